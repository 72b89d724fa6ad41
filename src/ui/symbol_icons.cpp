#include "ui/symbol_icons.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <QWidget>
#include <memory>

namespace lumaro::ui {
namespace {

QString resourcePath(const QString& name) { return QStringLiteral(":/lumaro/symbols/%1.svg").arg(name); }

// Renders one SVG symbol in a fixed colour at whatever size Qt asks for, so
// icons stay sharp at every scale factor.
class SymbolIconEngine final : public QIconEngine {
 public:
  SymbolIconEngine(QString name, QByteArray svg, QColor color)
      : name_(std::move(name)), svg_(std::move(svg)), color_(color) {
    // The files use currentColor; paint them opaque and apply the colour's
    // alpha as painter opacity, since SVG colour syntax has no alpha.
    QByteArray tinted = svg_;
    tinted.replace("currentColor", color_.name(QColor::HexRgb).toLatin1());
    renderer_ = std::make_shared<QSvgRenderer>(tinted);
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    if (!renderer_->isValid()) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    qreal opacity = color_.alphaF();
    if (mode == QIcon::Disabled) opacity *= 0.4;
    painter->setOpacity(painter->opacity() * opacity);
    // Keep the symbol square and centred in whatever rectangle is offered.
    const int side = std::min(rect.width(), rect.height());
    const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
    renderer_->render(painter, square);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  // `size` is in device pixels already: QIcon::pixmap multiplies by the
  // scale before asking, so multiplying again would draw four times the
  // pixels at a scale of 2.
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    // Buttons ask for their icon at every repaint; each size is drawn once.
    const QString cacheKey = QStringLiteral("lumaro-symbol:%1:%2:%3x%4@%5:%6")
                                 .arg(name_, QString::number(color_.rgba(), 16))
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(scale)
                                 .arg(static_cast<int>(mode));
    QPixmap pixmap;
    if (QPixmapCache::find(cacheKey, &pixmap)) return pixmap;
    pixmap = QPixmap(size);
    pixmap.fill(Qt::transparent);
    {
      QPainter painter(&pixmap);
      paint(&painter, QRect(QPoint(0, 0), pixmap.size()), mode, state);
    }
    pixmap.setDevicePixelRatio(scale);
    QPixmapCache::insert(cacheKey, pixmap);
    return pixmap;
  }

  QIconEngine* clone() const override { return new SymbolIconEngine(name_, svg_, color_); }
  QString key() const override { return QStringLiteral("lumaro-symbol"); }
  bool isNull() override { return !renderer_->isValid(); }

 private:
  QString name_;
  QByteArray svg_;
  QColor color_;
  std::shared_ptr<QSvgRenderer> renderer_;
};

// Icons already made, by symbol and colour. Emptied when the application
// ends, so no icon outlives it.
QHash<QString, QIcon>& madeIcons() {
  static QHash<QString, QIcon> icons;
  return icons;
}

QByteArray loadSymbol(const QString& name) {
  QFile file(resourcePath(name));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

}  // namespace

bool hasSymbol(const QString& name) { return QFile::exists(resourcePath(name)); }

QIcon symbolIcon(const QString& name, const QColor& color) {
  // Every row asks for the same few symbols in the same colours: each file
  // is parsed once per colour and the icon shared.
  QHash<QString, QIcon>& icons = madeIcons();
  const QString key = name + QLatin1Char(':') + QString::number(color.rgba(), 16);
  if (const auto found = icons.constFind(key); found != icons.constEnd()) return *found;
  QByteArray svg = loadSymbol(name);
  if (svg.isEmpty()) return {};
  QIcon icon(new SymbolIconEngine(name, std::move(svg), color));
  if (icons.isEmpty()) qAddPostRoutine([] { madeIcons().clear(); });
  icons.insert(key, icon);
  return icon;
}

QIcon symbolIcon(const QString& name, const QWidget& widget) {
  return symbolIcon(name, widget.palette().color(QPalette::WindowText));
}

QPixmap symbolPixmap(const QString& name, const QColor& color, QSize size, const QWidget& widget) {
  return symbolIcon(name, color).pixmap(size, widget.devicePixelRatioF());
}

}  // namespace lumaro::ui
