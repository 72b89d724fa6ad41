#pragma once

namespace lumaro {

// Whether the desktop starts the application when the user logs in.
class Autostart {
 public:
  virtual ~Autostart() = default;
  virtual bool enabled() const = 0;
  // False when the change could not be made (the store says why, in one line).
  virtual bool setEnabled(bool on) = 0;
};

}  // namespace lumaro
