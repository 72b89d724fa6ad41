#include "ui/display_row.hpp"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

#include "display_control/access_rule.hpp"
#include "ui/accessibility.hpp"
#include "ui/elided_label.hpp"
#include "ui/percent_format.hpp"
#include "ui/symbol_icons.hpp"
#include "ui/text_styles.hpp"

namespace lumaro::ui {
namespace {

constexpr QSize kSymbolSize(16, 16);

QLabel* symbolLabel(const char* symbol, const QColor& color, QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setPixmap(symbolPixmap(QString::fromLatin1(symbol), color, kSymbolSize, *parent));
  label->setFixedSize(kSymbolSize);
  hideFromAccessibility(*label);
  return label;
}

// Wide enough for any percentage in the current locale, so the text does not
// jitter while the slider moves even where digits are not all equally wide.
// Every row has the same font, so the last measurement is kept.
int percentWidth(const QFont& font) {
  thread_local struct {
    QString fontKey;
    QLocale locale;
    int width = -1;
  } last;
  const QLocale locale;
  if (last.width >= 0 && last.fontKey == font.key() && last.locale == locale) return last.width;
  const QFontMetrics metrics(font);
  int widest = 0;
  for (int percent = 0; percent <= 100; ++percent) {
    widest = std::max(widest, metrics.horizontalAdvance(formatPercent(percent, locale)));
  }
  last = {font.key(), locale, widest + 2};
  return last.width;
}

}  // namespace

DisplayRow::DisplayRow(const DisplayItem& item, QWidget* parent) : QWidget(parent), item_(item) {
  auto* root = new QVBoxLayout(this);
  root->setSpacing(6);
  root->setContentsMargins(12, 6, 12, 6);

  const QColor text = palette().color(QPalette::WindowText);
  const QColor secondary = styles::secondary(palette());

  titleLine_ = new QWidget(this);
  auto* title = new QHBoxLayout(titleLine_);
  title->setContentsMargins(0, 0, 0, 0);
  title->addWidget(symbolLabel(symbols::kDisplay, text, titleLine_), 0, Qt::AlignVCenter);
  name_ = new ElidedLabel(QString(), titleLine_);
  name_->setFont(styles::headline(font()));
  title->addWidget(name_, 0, Qt::AlignVCenter);
  infoButton_ = new QToolButton(titleLine_);
  infoButton_->setObjectName(QStringLiteral("infoButton"));
  infoButton_->setAutoRaise(true);
  infoButton_->setIcon(symbolIcon(QString::fromLatin1(symbols::kInfoCircle), text));
  infoButton_->setIconSize(kSymbolSize);
  infoButton_->setToolTip(tr("Show display information"));
  title->addWidget(infoButton_, 0, Qt::AlignVCenter);
  title->addStretch(1);
  percent_ = new QLabel(titleLine_);
  percent_->setObjectName(QStringLiteral("percentage"));
  percent_->setTextFormat(Qt::PlainText);
  percent_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  styles::makeSecondary(*percent_);
  percent_->setFixedWidth(percentWidth(percent_->font()));
  title->addWidget(percent_, 0, Qt::AlignVCenter);
  root->addWidget(titleLine_);

  sliderLine_ = new QWidget(this);
  auto* sliderLayout = new QHBoxLayout(sliderLine_);
  sliderLayout->setContentsMargins(0, 0, 0, 0);
  sliderLayout->setSpacing(8);
  sliderLayout->addWidget(symbolLabel(symbols::kSunMinFill, secondary, sliderLine_), 0, Qt::AlignVCenter);
  slider_ = new QSlider(Qt::Horizontal, sliderLine_);
  slider_->setObjectName(QStringLiteral("brightnessSlider"));
  slider_->setRange(0, kSliderSteps);
  slider_->setSingleStep(kSliderSteps / 100);
  slider_->setPageStep(kSliderSteps / 10);
  slider_->setTracking(true);  // report every value while dragging, not just the last
  sliderLayout->addWidget(slider_, 1, Qt::AlignVCenter);
  sliderLayout->addWidget(symbolLabel(symbols::kSunMaxFill, secondary, sliderLine_), 0, Qt::AlignVCenter);
  root->addWidget(sliderLine_);

  brightnessFailure_ = new QLabel(this);
  brightnessFailure_->setObjectName(QStringLiteral("brightnessFailure"));
  brightnessFailure_->setTextFormat(Qt::PlainText);
  brightnessFailure_->setWordWrap(true);
  styles::makeSecondary(*brightnessFailure_);
  root->addWidget(brightnessFailure_);

  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    Q_EMIT brightnessChanged(item_.id, sliderValue(position));
    // A key, wheel or page step has no release to wait for: once the
    // model's updates for it have landed, show what it published, so a
    // rejected step snaps back as a rejected drag does.
    if (!slider_->isSliderDown()) {
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (!slider_->isSliderDown()) present(item_);
          },
          Qt::QueuedConnection);
    }
  });
  // While held, the slider follows the pointer, not the model; once let go
  // it shows whatever the model published last (a rejected write snaps back).
  // Queued, so the model's pending updates for the drag land first.
  connect(
      slider_, &QSlider::sliderReleased, this, [this] { present(item_); }, Qt::QueuedConnection);
  connect(infoButton_, &QToolButton::clicked, this, [this] { Q_EMIT infoRequested(item_); });

  present(item_);
}

void DisplayRow::setItem(const DisplayItem& item) {
  item_ = item;
  present(item_);
}

QString DisplayRow::brightnessFailureText(BrightnessFailure failure) {
  switch (failure) {
    case BrightnessFailure::kNotPrivileged:
      return tr(
          "No permission to control this display. Install Lumaro's display access rule (part of the "
          "Lumaro package), then unplug the display and plug it back in.");
    case BrightnessFailure::kNoDevice:
      return tr("The display did not answer. It may have been unplugged; refresh the list.");
    case BrightnessFailure::kError:
      break;
  }
  return tr("The display's brightness could not be read. Refresh the list to try again.");
}

QString DisplayRow::brightnessFailureText(const DisplayItem& item) {
  const BrightnessFailure failure = item.brightnessFailure.value_or(BrightnessFailure::kError);
  const auto lineToAdd = failure == BrightnessFailure::kNotPrivileged
                             ? accessRuleLineToAdd(item.vendorID, item.productID)
                             : std::nullopt;
  if (!lineToAdd) return brightnessFailureText(failure);
  return tr("No permission to control this display, and Lumaro's display access rule does not list it. Add this "
            "line to /etc/udev/rules.d/70-lumaro.rules, then unplug the display and plug it back in: %1")
      .arg(QString::fromStdString(*lineToAdd));
}

void DisplayRow::present(const DisplayItem& item) {
  const QString name = QString::fromStdString(item.name);
  // An unread row holds a stand-in brightness, which must not pass for the display's.
  const bool unread = item.brightnessFailure.has_value();
  const QString percent = unread ? QStringLiteral("–") : formatPercent(brightnessPercent(item.brightness));
  // No slider at all: a disabled one would still sit at the stand-in value.
  slider_->setEnabled(!unread);
  sliderLine_->setVisible(!unread);
  brightnessFailure_->setText(unread ? brightnessFailureText(item) : QString());
  brightnessFailure_->setVisible(unread);
  name_->setText(name);
  percent_->setText(percent);
  infoButton_->setAccessibleName(tr("Show information for %1").arg(name));
  const QString sliderName = tr("Brightness for %1").arg(name);
  sliderLine_->setAccessibleName(sliderName);
  slider_->setAccessibleName(sliderName);
  // The title line reads as one element: name and percentage.
  titleLine_->setAccessibleName(name + QStringLiteral(", ") + percent);
  if (!slider_->isSliderDown()) {
    const QSignalBlocker blocker(slider_);
    slider_->setValue(sliderPosition(item.brightness));
  }
}

int DisplayRow::sliderPosition(float brightness) {
  if (std::isnan(brightness) || brightness <= 0.0f) return 0;
  if (brightness >= 1.0f) return kSliderSteps;
  return static_cast<int>(std::lround(static_cast<double>(brightness) * kSliderSteps));
}

float DisplayRow::sliderValue(int position) {
  return static_cast<float>(std::clamp(position, 0, kSliderSteps)) / static_cast<float>(kSliderSteps);
}

}  // namespace lumaro::ui
