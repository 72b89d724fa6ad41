#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "display_control/records/records.hpp"
#include "model/lumaro_manager.hpp"
#include "ui/info_popover.hpp"

class QToolButton;
class QVBoxLayout;

namespace lumaro::ui {

class AllDisplaysRow;
class DisplayRow;
class DisplayInfoView;

// The display list: one row per display the manager publishes, or a one-line
// empty state with a refresh button. Rows are kept by id, so a publish that
// keeps the ids updates the row widgets in place and a slider drag in
// progress survives it. One popover, beside the whole list, shows the
// information panel of the display whose information button was pressed.
class ContentView final : public QWidget {
  Q_OBJECT

 public:
  explicit ContentView(LumaroManager& manager, QWidget* parent = nullptr);
  ~ContentView() override;

  // What an information button does: select the freshest copy of the row
  // from the manager, or the row as drawn when it has left the list, and
  // present a new popover for it.
  void openInfo(DisplayItem asDrawn);

  // The row the popover shows; absent while no popover is open.
  const std::optional<DisplayItem>& selectedDisplayForInfo() const { return selectedDisplayForInfo_; }
  InfoPopover* popover() const { return popover_; }

  const std::vector<DisplayRow*>& rows() const { return rows_; }
  // "All Displays", above the rows; hidden with fewer than two displays to move.
  DisplayRow* allDisplaysRow() const;
  QWidget* emptyState() const { return emptyState_; }
  QToolButton* emptyStateRefreshButton() const { return emptyRefresh_; }

  // The list's controls in keyboard order: the all-displays slider (when
  // shown), each row's slider (when shown),
  // then its information button; the empty state's refresh button when there
  // are no rows.
  QList<QWidget*> focusChain() const;

 Q_SIGNALS:
  // The rows were rebuilt or reordered (after every publish).
  void rowsChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void redraw();
  DisplayRow* makeRow(const DisplayItem& item);
  void dismissInfo();
  void placePopover();
  static QList<QWidget*> rowControls(DisplayRow& row);

  LumaroManager& manager_;

  QVBoxLayout* root_;
  QWidget* emptyState_;
  QToolButton* emptyRefresh_;
  AllDisplaysRow* allDisplays_;
  std::vector<DisplayRow*> rows_;

  std::optional<DisplayItem> selectedDisplayForInfo_;
  QPointer<InfoPopover> popover_;

  // Last member: unsubscribes before the widgets above go away.
  Subscription subscription_;
};

}  // namespace lumaro::ui
