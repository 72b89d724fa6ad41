#include "ui/level_indicator.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>

#include "ui/percent_format.hpp"

namespace lumaro::ui {

namespace {

constexpr int kWidth = 280;
constexpr int kHeight = 72;
constexpr int kMargin = 14;
constexpr int kBarHeight = 6;

}  // namespace

// Drawn in its own colours, light on dark, whatever the theme: it sits over
// whatever the desktop shows beneath, light or dark.
class LevelIndicatorPanel final : public QWidget {
 public:
  LevelIndicatorPanel() {
    // A tooltip window bypasses the window manager: no frame, no task bar
    // entry, never activated.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                   Qt::WindowTransparentForInput);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName(QStringLiteral("levelIndicator"));
    setWindowTitle(QCoreApplication::translate("lumaro::ui::LevelIndicator", "Brightness"));
    setFixedSize(kWidth, kHeight);
  }

  void setLevel(const QString& title, int percent) {
    title_ = title;
    percent_ = std::clamp(percent, 0, 100);
    percentText_ = formatPercent(percent_);
    setAccessibleName(title_ + QLatin1Char(' ') + percentText_);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(38, 38, 38));
    painter.setPen(QColor(110, 110, 110));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const QRect text(kMargin, kMargin - 2, width() - 2 * kMargin, fontMetrics().height() + 4);
    QFont bold = font();
    bold.setBold(true);
    painter.setPen(Qt::white);
    painter.setFont(font());
    const int percentWidth = fontMetrics().horizontalAdvance(percentText_);
    painter.drawText(text, Qt::AlignRight | Qt::AlignVCenter, percentText_);
    painter.setFont(bold);
    const QRect titleRect = text.adjusted(0, 0, -(percentWidth + kMargin), 0);
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(bold).elidedText(title_, Qt::ElideRight, titleRect.width()));

    const QRectF track(kMargin, height() - kMargin - kBarHeight, width() - 2 * kMargin, kBarHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 90, 90));
    painter.drawRoundedRect(track, kBarHeight / 2.0, kBarHeight / 2.0);
    if (percent_ > 0) {
      painter.setBrush(Qt::white);
      QRectF filled = track;
      filled.setWidth(std::max(track.width() * percent_ / 100.0, static_cast<qreal>(kBarHeight)));
      painter.drawRoundedRect(filled, kBarHeight / 2.0, kBarHeight / 2.0);
    }
  }

 private:
  QString title_;
  QString percentText_;
  int percent_ = 0;
};

namespace {

// Near the bottom centre of the screen holding the pointer, above any panel there.
QPoint placeFor(QSize size) {
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect area = screen->availableGeometry();
  return {area.center().x() - size.width() / 2, area.bottom() - size.height() - area.height() / 8};
}

}  // namespace

LevelIndicator::LevelIndicator(std::unique_ptr<OneShotTimer> hideTimer)
    : window_(std::make_unique<LevelIndicatorPanel>()), hideTimer_(std::move(hideTimer)) {}

LevelIndicator::~LevelIndicator() = default;

QWidget* LevelIndicator::window() const { return window_.get(); }

void LevelIndicator::show(const std::string& title, int percent) {
  window_->setLevel(QString::fromStdString(title), percent);
  window_->move(placeFor(window_->size()));
  window_->show();
  window_->raise();
  hideTimer_->start(kShownFor, [this] { window_->hide(); });
}

}  // namespace lumaro::ui
