#pragma once

#include <cstdint>
#include <string_view>

namespace lumaro {

// Sets a kernel backlight on behalf of the user's login session, which needs
// no privilege of its own for the active session.
class SessionBrightness {
 public:
  enum class Outcome {
    kDone,
    kRefused,      // the session manager answered with an error
    kUnavailable,  // no session manager to ask
  };
  virtual ~SessionBrightness() = default;
  // `subsystem` is the sysfs class ("backlight"), `name` the device's name
  // there, `value` in the device's own units (0..max_brightness).
  virtual Outcome setBrightness(std::string_view subsystem, std::string_view name, std::uint32_t value) = 0;
};

}  // namespace lumaro
