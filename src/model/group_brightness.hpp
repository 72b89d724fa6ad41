#pragma once

#include <optional>
#include <vector>

#include "display_control/records/records.hpp"

namespace lumaro {

// One control for every display: a move of the group moves each display by
// the same change, measured from where each stood when the move began, and
// stops each at 0.0 or 1.0. Moving back from an end therefore restores the
// offsets between displays.
class GroupBrightness {
 public:
  struct Member {
    Uuid id;
    float start = 0.0f;
    bool operator==(const Member&) const = default;
  };

  // The rows a group move can reach: those whose brightness was read.
  static std::vector<Member> membersOf(const std::vector<DisplayItem>& displays);
  // The group's level: the mean of its members' levels; absent without members.
  static std::optional<float> mean(const std::vector<DisplayItem>& displays);

  // A move begins from the members' current levels.
  explicit GroupBrightness(std::vector<Member> members);
  // Each member's level when the group's level goes to `level`.
  std::vector<Member> movedTo(float level) const;

 private:
  std::vector<Member> members_;
  float startMean_ = 0.0f;
};

}  // namespace lumaro
