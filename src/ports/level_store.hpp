#pragma once

#include <map>
#include <string>

namespace lumaro {

// The level the user last chose for each display, 0.0 to 1.0, by the
// display's stable key (stableDisplayID).
using RememberedLevels = std::map<std::string, float>;

// Where chosen levels outlive the process. Failures are the store's to report
// (one diagnostic line each); neither call throws.
class LevelStore {
 public:
  virtual ~LevelStore() = default;
  // Empty when nothing was stored yet or what was stored cannot be used.
  virtual RememberedLevels load() = 0;
  // Replaces everything stored with `levels`, whole or not at all: a reader
  // never meets half of one save.
  virtual void save(const RememberedLevels& levels) = 0;
};

}  // namespace lumaro
