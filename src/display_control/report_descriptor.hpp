#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The Feature controls a HID report descriptor declares: which usage each
// one carries, in which report and where in it, and the values it may hold.
namespace lumaro::hid {

// A usage with its page in the upper 16 bits, as an extended usage writes it.
constexpr std::uint32_t usage(std::uint16_t page, std::uint16_t id) { return std::uint32_t{page} << 16 | id; }

// USB Monitor Control class and VESA Virtual Controls usages.
inline constexpr std::uint32_t kMonitorControlUsage = usage(0x80, 0x01);
inline constexpr std::uint32_t kEDIDInformationUsage = usage(0x80, 0x02);
inline constexpr std::uint32_t kBrightnessUsage = usage(0x82, 0x10);

// One run of Feature fields that share a usage. Offsets count from the first
// data byte, after the report-ID byte that frames every report on the wire.
struct FeatureControl {
  std::uint32_t usage = 0;
  std::uint32_t applicationUsage = 0;  // of the innermost application collection, 0 outside any
  std::uint8_t reportID = 0;           // 0: the descriptor numbers no report
  std::uint32_t bitOffset = 0;
  std::uint32_t bitSize = 0;
  std::uint32_t count = 1;  // fields of bitSize bits, one after the other
  std::int64_t logicalMinimum = 0;
  std::int64_t logicalMaximum = 0;
  std::size_t reportLength = 0;  // bytes of the whole report, its ID byte included
  bool operator==(const FeatureControl&) const = default;
};

struct ReportDescriptor {
  std::vector<FeatureControl> features;  // in descriptor order; data fields only
  // Why the bytes were refused; `features` is then empty.
  std::optional<std::string> refusal;
};

// Reads short and long items, global state with push and pop, usage pages and
// extended usages, collections, report IDs, sizes and counts, signed logical
// limits. Cut-off items, unbalanced collections or push/pop, and sizes no
// display could send are refused.
ReportDescriptor parseReportDescriptor(std::span<const std::uint8_t> bytes);

// The first Feature control with `usage` inside a Monitor Control collection.
std::optional<FeatureControl> monitorControl(const ReportDescriptor& descriptor, std::uint32_t usage);

}  // namespace lumaro::hid
