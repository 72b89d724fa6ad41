#include "ui/content_view.hpp"

#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <unordered_map>

#include "ui/accessibility.hpp"
#include "ui/all_displays_row.hpp"
#include "ui/display_info_view.hpp"
#include "ui/display_row.hpp"
#include "ui/info_popover.hpp"
#include "ui/placement.hpp"
#include "ui/symbol_icons.hpp"
#include "ui/text_styles.hpp"

namespace lumaro::ui {

ContentView::ContentView(LumaroManager& manager, QWidget* parent) : QWidget(parent), manager_(manager) {
  root_ = new QVBoxLayout(this);
  root_->setContentsMargins(0, 0, 0, 0);
  root_->setSpacing(12);
  root_->setAlignment(Qt::AlignTop);

  emptyState_ = new QWidget(this);
  emptyState_->setObjectName(QStringLiteral("emptyState"));
  auto* empty = new QHBoxLayout(emptyState_);
  empty->setSpacing(8);
  empty->setContentsMargins(12, 4, 12, 0);
  auto* sun = new QLabel(emptyState_);
  sun->setPixmap(
      symbolPixmap(QString::fromLatin1(symbols::kSunMax), palette().color(QPalette::WindowText), QSize(16, 16), *this));
  hideFromAccessibility(*sun);
  empty->addWidget(sun, 0, Qt::AlignVCenter);
  auto* message = new QLabel(tr("No Apple Cinema Displays found."), emptyState_);
  message->setTextFormat(Qt::PlainText);
  styles::makeSecondary(*message);
  empty->addWidget(message, 0, Qt::AlignVCenter);
  empty->addStretch(1);
  emptyRefresh_ = new QToolButton(emptyState_);
  emptyRefresh_->setObjectName(QStringLiteral("emptyStateRefresh"));
  emptyRefresh_->setAutoRaise(true);
  emptyRefresh_->setIcon(symbolIcon(QString::fromLatin1(symbols::kArrowClockwise), *this));
  // No tooltip here, but a screen reader still needs to know what it does.
  emptyRefresh_->setAccessibleName(tr("Refresh"));
  empty->addWidget(emptyRefresh_, 0, Qt::AlignVCenter);
  root_->addWidget(emptyState_);
  allDisplays_ = new AllDisplaysRow(manager_, this);
  root_->addWidget(allDisplays_->row());

  connect(emptyRefresh_, &QToolButton::clicked, this, [this] { manager_.refresh(); });

  acceptAccessiblePopups(*this);
  subscription_ = manager_.subscribe({.willChange = [] {}, .didChange = [this] { redraw(); }});
  redraw();
}

ContentView::~ContentView() {
  // The popover is a child window; closing it first keeps its dismissal from
  // reaching a half-destroyed view.
  if (popover_) {
    disconnect(popover_, nullptr, this, nullptr);
    delete popover_;
  }
}

void ContentView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Each time the list comes on screen; a window-system re-show after
  // un-minimising is not a new appearance.
  if (!event->spontaneous()) manager_.refresh();
}

void ContentView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // The popover belongs to the list on screen; it does not outlive it there.
  if (!event->spontaneous()) dismissInfo();
}

void ContentView::redraw() {
  const std::vector<DisplayItem>& displays = manager_.displays();
  emptyState_->setVisible(displays.empty());
  allDisplays_->update();

  std::unordered_map<Uuid, DisplayRow*> previous;
  for (DisplayRow* row : rows_) previous.emplace(row->id(), row);
  // A refresh gives every display a new id: the row holding the keyboard
  // focus is replaced, and its successor in the same place takes the focus.
  const QWidget* focused = window()->focusWidget();
  std::optional<std::size_t> focusedIndex;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i]->isAncestorOf(focused)) focusedIndex = i;
  }

  std::vector<DisplayRow*> next;
  next.reserve(displays.size());
  for (const DisplayItem& item : displays) {
    if (auto found = previous.find(item.id); found != previous.end()) {
      found->second->setItem(item);
      next.push_back(found->second);
      previous.erase(found);
    } else {
      next.push_back(makeRow(item));
    }
  }
  for (auto& [id, row] : previous) {
    root_->removeWidget(row);
    row->hide();
    // Later, not now: the row may be inside one of its own signal handlers.
    row->deleteLater();
  }
  if (next != rows_) {
    // Re-adding moves widgets in the layout without re-creating them, so a
    // held slider keeps its grab.
    for (DisplayRow* row : next) root_->removeWidget(row);
    for (DisplayRow* row : next) root_->addWidget(row);
  }
  rows_ = std::move(next);
  for (DisplayRow* row : rows_) row->setVisible(true);
  if (focusedIndex && !rows_.empty()) {
    DisplayRow* successor = rows_[std::min(*focusedIndex, rows_.size() - 1)];
    if (!successor->isAncestorOf(focused)) rowControls(*successor).front()->setFocus(Qt::OtherFocusReason);
  }
  Q_EMIT rowsChanged();
}

DisplayRow* ContentView::makeRow(const DisplayItem& item) {
  auto* row = new DisplayRow(item, this);
  connect(row, &DisplayRow::brightnessChanged, this,
          [this](const Uuid& id, float value) { manager_.setBrightness(id, value); });
  connect(row, &DisplayRow::infoRequested, this, &ContentView::openInfo);
  return row;
}

void ContentView::openInfo(DisplayItem asDrawn) {
  dismissInfo();

  const std::vector<DisplayItem>& displays = manager_.displays();
  const auto fresh =
      std::find_if(displays.begin(), displays.end(), [&](const DisplayItem& row) { return row.id == asDrawn.id; });
  if (fresh != displays.end()) {
    selectedDisplayForInfo_ = *fresh;
  } else {
    selectedDisplayForInfo_ = std::move(asDrawn);
  }

  auto* view =
      new DisplayInfoView(manager_, selectedDisplayForInfo_->id, QString::fromStdString(selectedDisplayForInfo_->name));
  popover_ = new InfoPopover(view, this);
  connect(popover_, &InfoPopover::dismissed, this, [this, shown = popover_.data()] {
    if (popover_ == shown) selectedDisplayForInfo_.reset();
  });
  popover_->adjustSize();
  placePopover();
  // It grows when its rows load: placed again then, with its new size.
  popover_->installEventFilter(this);
  popover_->show();
  announcePopupChange(*this);
}

void ContentView::placePopover() {
  const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
  const QRect available = screen() ? screen()->availableGeometry() : QRect();
  // Client geometry, not move(): a popup has no frame, and some platforms
  // would otherwise offset it by a frame they guess for it.
  popover_->setGeometry(QRect(placement::popoverPosition(anchor, popover_->size(), available), popover_->size()));
}

bool ContentView::eventFilter(QObject* watched, QEvent* event) {
  if (popover_ && watched == popover_ && event->type() == QEvent::Resize && popover_->isVisible()) placePopover();
  return QWidget::eventFilter(watched, event);
}

// A row's controls in keyboard order; a row whose brightness could not be
// read shows no slider.
QList<QWidget*> ContentView::rowControls(DisplayRow& row) {
  QList<QWidget*> controls;
  if (row.slider()->isVisibleTo(&row)) controls << row.slider();
  controls << row.infoButton();
  return controls;
}

QList<QWidget*> ContentView::focusChain() const {
  QList<QWidget*> chain;
  if (rows_.empty()) {
    chain << emptyRefresh_;
  }
  if (allDisplays_->row()->isVisibleTo(this)) chain << allDisplays_->row()->slider();
  for (DisplayRow* row : rows_) chain << rowControls(*row);
  return chain;
}

DisplayRow* ContentView::allDisplaysRow() const { return allDisplays_->row(); }

void ContentView::dismissInfo() {
  if (!popover_) return;
  InfoPopover* old = popover_;
  popover_ = nullptr;
  disconnect(old, nullptr, this, nullptr);
  old->close();  // deletes itself
  selectedDisplayForInfo_.reset();
}

}  // namespace lumaro::ui
