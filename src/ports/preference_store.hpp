#pragma once

namespace lumaro {

// What the user turned on or off in the tray's menu.
struct Preferences {
  bool restoreOnReturn = true;  // put a display's remembered level back when it returns
  bool operator==(const Preferences&) const = default;
};

// Where preferences outlive the process. Failures are the store's to report
// (one diagnostic line); neither call throws.
class PreferenceStore {
 public:
  virtual ~PreferenceStore() = default;
  // The defaults when nothing was stored or what was stored cannot be used.
  virtual Preferences load() = 0;
  virtual void save(const Preferences& preferences) = 0;
};

}  // namespace lumaro
