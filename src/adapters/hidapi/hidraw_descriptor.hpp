#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace lumaro::hid {

// The report descriptor of the HID device behind a hidraw node
// ("/dev/hidraw3"), from <sysfsRoot>/class/hidraw/<node>/device/report_descriptor:
// world-readable, so the node itself is never opened to learn it. Absent when
// the file is missing or unreadable.
std::optional<std::vector<std::uint8_t>> hidrawReportDescriptor(const std::filesystem::path& sysfsRoot,
                                                                std::string_view devicePath);

}  // namespace lumaro::hid
