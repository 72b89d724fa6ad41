#include "ui/all_displays_row.hpp"

#include <QSlider>
#include <QToolButton>
#include <algorithm>

#include "ui/display_row.hpp"

namespace lumaro::ui {

namespace {

DisplayItem groupItem(float level) {
  DisplayItem item;
  item.name = AllDisplaysRow::title().toStdString();
  item.brightness = level;
  return item;
}

}  // namespace

AllDisplaysRow::AllDisplaysRow(LumaroManager& manager, QWidget* parent)
    : QObject(parent), manager_(manager), row_(new DisplayRow(groupItem(0.0f), parent)) {
  row_->setObjectName(QStringLiteral("allDisplaysRow"));
  row_->infoButton()->hide();
  row_->hide();
  connect(row_, &DisplayRow::brightnessChanged, this, [this](const Uuid&, float level) { moveTo(level); });
  connect(row_->slider(), &QSlider::sliderPressed, this,
          [this] { move_.emplace(GroupBrightness::membersOf(manager_.displays())); });
  connect(row_->slider(), &QSlider::sliderReleased, this, [this] { move_.reset(); });
}

void AllDisplaysRow::update() {
  const auto& displays = manager_.displays();
  const auto mean = GroupBrightness::mean(displays);
  const bool shown = mean && GroupBrightness::membersOf(displays).size() >= 2;
  if (shown) row_->setItem(groupItem(*mean));
  row_->setVisible(shown);
}

void AllDisplaysRow::moveTo(float level) {
  // A key, wheel or page step is a move of its own, from where the displays are.
  const GroupBrightness move = move_ ? *move_ : GroupBrightness(GroupBrightness::membersOf(manager_.displays()));
  const auto current = GroupBrightness::membersOf(manager_.displays());
  for (const auto& member : move.movedTo(level)) {
    const bool unchanged = std::any_of(current.begin(), current.end(), [&](const GroupBrightness::Member& now) {
      return now.id == member.id && now.start == member.start;
    });
    if (!unchanged) manager_.setBrightness(member.id, member.start);
  }
}

}  // namespace lumaro::ui
