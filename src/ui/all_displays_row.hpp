#pragma once

#include <QObject>
#include <optional>

#include "model/group_brightness.hpp"
#include "model/lumaro_manager.hpp"

class QWidget;

namespace lumaro::ui {

class DisplayRow;

// The "All Displays" row shown above the displays when two or more can be
// controlled: a row like theirs, without an information button, whose slider
// moves every display by the same change and whose percentage is their mean.
class AllDisplaysRow final : public QObject {
  Q_OBJECT

 public:
  AllDisplaysRow(LumaroManager& manager, QWidget* parent);

  // The row's title, "All Displays" in the user's language.
  static QString title() { return tr("All Displays"); }

  DisplayRow* row() const { return row_; }
  // Shows the manager's displays as they are now (their mean, or nothing).
  void update();

 private:
  void moveTo(float level);

  LumaroManager& manager_;
  DisplayRow* row_;
  // Set while the slider is held: every step of a drag is measured from
  // where the displays stood when it was grabbed.
  std::optional<GroupBrightness> move_;
};

}  // namespace lumaro::ui
