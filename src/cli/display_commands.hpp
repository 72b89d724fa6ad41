#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "display_control/records/records.hpp"

// What the command line asks of the displays, wherever they are driven from:
// the hardware directly, or a running instance over the session bus.
namespace lumaro {

// Why a display did not take part in an operation.
enum class DisplayFailure {
  none,
  refused,       // the display answered with an error
  notPermitted,  // no access to its device node
  gone,          // unplugged, or no such display number
  unreachable,   // the running instance did not answer
};

// One display as the command line lists it. `number` is 1-based, in
// discovery order; `brightness` is absent when it could not be read, and
// `readFailure` then says why.
struct DisplayStatus {
  std::size_t number = 0;
  std::string name;
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

class DisplayCommands {
 public:
  virtual ~DisplayCommands() = default;

  virtual std::vector<DisplayStatus> list() = 0;
  // Writes `value` (0.0 to 1.0) to display `number`.
  virtual DisplayFailure setBrightness(std::size_t number, float value) = 0;
  // The display's decoded EDID; absent when none was found.
  virtual std::optional<DisplayEDIDDetails> info(std::size_t number) = 0;
};

}  // namespace lumaro
