#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/brightness_value.hpp"
#include "display_control/records/records.hpp"

// What the command line asks of the displays, wherever they are driven from:
// the hardware directly, or a running instance over the session bus.
namespace lumaro {

// Why a display did not take part in an operation.
enum class DisplayFailure {
  none,
  refused,       // the display answered with an error
  notPermitted,  // no access to its device node
  gone,          // unplugged since the rows were read
};

// One display as the command line lists it. `number` is 1-based, in
// discovery order and valid for this answer only; `id` names the same display
// across refreshes. `brightness` is absent when it could not be read, and
// `readFailure` then says why.
struct DisplayStatus {
  std::size_t number = 0;
  std::string id;
  std::string name;
  std::optional<std::int64_t> vendorID;  // absent from an instance that does not send it
  std::int64_t productID = 0;
  std::optional<std::string> serialNumber;
  std::optional<float> brightness;  // 0.0 to 1.0
  DisplayFailure readFailure = DisplayFailure::none;

  bool operator==(const DisplayStatus&) const = default;
};

// The eight EDID fields, in the information panel's order, with the titles
// it shows and the keys under which scripts find them.
struct EDIDField {
  std::string_view title;
  std::string_view key;
  std::string DisplayEDIDDetails::*member;
};
inline constexpr std::array<EDIDField, 8> kEDIDFields = {{
    {"Manufacturer", "manufacturer", &DisplayEDIDDetails::manufacturer},
    {"Product ID", "productId", &DisplayEDIDDetails::productID},
    {"Serial Number", "serialNumber", &DisplayEDIDDetails::serialNumber},
    {"Manufacturing Date", "manufactureDate", &DisplayEDIDDetails::manufactureDate},
    {"Dimensions", "dimensions", &DisplayEDIDDetails::dimensions},
    {"Color Depth", "colorDepth", &DisplayEDIDDetails::colorDepth},
    {"Connection Type", "connectionType", &DisplayEDIDDetails::connectionType},
    {"HDCP Support", "hdcpSupport", &DisplayEDIDDetails::hdcpSupport},
}};

// Why a command could not be carried out at all; `message` is the line to
// print after the program's name.
struct CommandError {
  enum class Kind {
    noSuchDisplay,  // the selector names no attached display
    unanswered,     // the running instance did not answer in time
    noInstance,     // nobody owns the bus name: the displays are to be driven directly
  };
  Kind kind = Kind::noSuchDisplay;
  std::string message;

  bool operator==(const CommandError&) const = default;
};

template <typename T>
using Answer = std::variant<T, CommandError>;

// How one display took a brightness change. `display.brightness` is the
// level written; `failedRead` when the change was relative and the level it
// starts from could not be read, so nothing was written.
struct WriteOutcome {
  DisplayStatus display;
  DisplayFailure failure = DisplayFailure::none;
  bool failedRead = false;

  bool operator==(const WriteOutcome&) const = default;
};

struct DisplayInfo {
  DisplayStatus display;
  std::optional<DisplayEDIDDetails> details;  // absent when no EDID was found

  bool operator==(const DisplayInfo&) const = default;
};

// A selector is what the user typed for DISPLAY: a number from `list`, an
// `id`, or a serial number; absent means every display. Whoever holds the
// displays resolves it against its rows at the moment it answers, so a
// display plugged in meanwhile cannot take another's write.
class DisplayCommands {
 public:
  virtual ~DisplayCommands() = default;

  virtual Answer<std::vector<DisplayStatus>> list() = 0;
  virtual Answer<std::vector<WriteOutcome>> setBrightness(const std::optional<std::string>& selector,
                                                          const cli::BrightnessValue& value) = 0;
  virtual Answer<DisplayInfo> info(const std::string& selector) = 0;
};

}  // namespace lumaro
