#include "model/group_brightness.hpp"

#include <algorithm>
#include <utility>

namespace lumaro {

std::vector<GroupBrightness::Member> GroupBrightness::membersOf(const std::vector<DisplayItem>& displays) {
  std::vector<Member> members;
  for (const auto& item : displays) {
    if (!item.brightnessFailure) members.push_back({item.id, item.brightness});
  }
  return members;
}

std::optional<float> GroupBrightness::mean(const std::vector<DisplayItem>& displays) {
  auto members = membersOf(displays);
  if (members.empty()) return std::nullopt;
  return GroupBrightness(std::move(members)).startMean_;
}

GroupBrightness::GroupBrightness(std::vector<Member> members) : members_(std::move(members)) {
  double sum = 0.0;
  for (const auto& member : members_) sum += member.start;
  if (!members_.empty()) startMean_ = static_cast<float>(sum / static_cast<double>(members_.size()));
}

std::vector<GroupBrightness::Member> GroupBrightness::movedTo(float level) const {
  const float change = level - startMean_;
  std::vector<Member> moved = members_;
  for (auto& member : moved) member.start = std::clamp(member.start + change, 0.0f, 1.0f);
  return moved;
}

}  // namespace lumaro
