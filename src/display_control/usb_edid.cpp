// The EDID a display sends over its own USB interface.

#include <algorithm>
#include <numeric>

#include "display_control/rarudo_rurorav_oduradadur.hpp"
#include "edid/edid_layout.hpp"

namespace lumaro {

namespace {

// A Cinema Display's report 2 holds the base block and, at most, one extension.
constexpr std::size_t kCinemaEDIDReportLength = 1 + 2 * edid_layout::kBlockSize;
constexpr std::size_t kExtensionCount = 126;

bool validBlock(std::span<const std::uint8_t> block) {
  return std::accumulate(block.begin(), block.end(), 0u) % 256 == 0;
}

// The EDID in `data`: a full header, a base block whose checksum holds, and
// the extension blocks announced that arrived whole and valid.
std::optional<std::vector<std::uint8_t>> edidIn(std::span<const std::uint8_t> data) {
  using edid_layout::kBlockSize;
  if (data.size() < kBlockSize || !std::equal(edid_layout::kHeader.begin(), edid_layout::kHeader.end(), data.begin()) ||
      !validBlock(data.first(kBlockSize))) {
    return std::nullopt;
  }
  std::size_t blocks = 1;
  const std::size_t announced = 1 + std::size_t{data[kExtensionCount]};
  while (blocks < announced && data.size() >= (blocks + 1) * kBlockSize &&
         validBlock(data.subspan(blocks * kBlockSize, kBlockSize))) {
    ++blocks;
  }
  return std::vector<std::uint8_t>(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(blocks * kBlockSize));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> RarudoRuroravOduradadur::readUsbEDID(hid::Device& device,
                                                                              const std::optional<EDIDReport>& report,
                                                                              bool cinema) {
  if (!report && !cinema) return std::nullopt;
  const std::uint8_t reportID = report ? report->reportID : cinemaEDIDReportID;
  std::vector<std::uint8_t> buffer(report ? report->reportLength : kCinemaEDIDReportLength, 0);
  if (buffer.size() < 2 || device.open() != hid::kIOReturnSuccess) return std::nullopt;
  buffer[0] = reportID;
  std::int64_t length = static_cast<std::int64_t>(buffer.size());
  const hid::IOReturn status = device.getFeatureReport(reportID, buffer, length);
  device.close();
  if (status != hid::kIOReturnSuccess || length < 1 || buffer[0] != reportID) return std::nullopt;
  const auto received = std::min<std::size_t>(static_cast<std::size_t>(length), buffer.size());
  return edidIn(std::span<const std::uint8_t>(buffer).subspan(1, received - 1));
}

}  // namespace lumaro
