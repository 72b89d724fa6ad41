#pragma once

#include <QWidget>

#include "display_control/records/records.hpp"

class QLabel;
class QSlider;
class QToolButton;

namespace lumaro::ui {

class ElidedLabel;

// One display in the list: name, information button and percentage above a
// brightness slider. The row shows the values of the DisplayItem it was last
// given and keeps no brightness of its own; user changes go out through
// brightnessChanged and come back through setItem(). A row whose brightness
// could not be read shows no percentage and no slider, and says why.
class DisplayRow final : public QWidget {
  Q_OBJECT

 public:
  // The slider's integer steps over 0.0–1.0; fine enough that a drag across
  // a 300-pixel groove reports a new value at every pixel.
  static constexpr int kSliderSteps = 10000;

  explicit DisplayRow(const DisplayItem& item, QWidget* parent = nullptr);

  const Uuid& id() const { return item_.id; }
  // The row as last drawn.
  const DisplayItem& item() const { return item_; }

  // Shows `item` (same id) in place. The slider is written without echoing
  // a change back, and is left alone while the user holds it.
  void setItem(const DisplayItem& item);

  QSlider* slider() const { return slider_; }
  QToolButton* infoButton() const { return infoButton_; }
  QLabel* percentLabel() const { return percent_; }
  ElidedLabel* nameLabel() const { return name_; }
  // Why the brightness could not be read; hidden while it could.
  QLabel* brightnessFailureLabel() const { return brightnessFailure_; }

  // The short reason shown for a row whose brightness could not be read.
  static QString brightnessFailureText(BrightnessFailure failure);
  // The same for the row's display: a display the shipped access rule does
  // not list gets the line that grants it instead.
  static QString brightnessFailureText(const DisplayItem& item);

  static int sliderPosition(float brightness);
  static float sliderValue(int position);

 Q_SIGNALS:
  void brightnessChanged(const lumaro::Uuid& id, float value);
  void infoRequested(const lumaro::DisplayItem& asDrawn);

 private:
  void present(const DisplayItem& item);

  DisplayItem item_;
  QWidget* titleLine_;
  QWidget* sliderLine_;
  ElidedLabel* name_;
  QToolButton* infoButton_;
  QLabel* percent_;
  QSlider* slider_;
  QLabel* brightnessFailure_;
};

}  // namespace lumaro::ui
