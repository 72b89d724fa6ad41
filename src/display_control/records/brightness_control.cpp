#include "display_control/records/brightness_control.hpp"

#include <cmath>

namespace lumaro {

namespace {

constexpr std::size_t kReportIDBytes = 1;

std::size_t bitPosition(const BrightnessControl& control, std::uint32_t bit) {
  return kReportIDBytes * 8 + control.bitOffset + bit;
}

}  // namespace

std::optional<std::int64_t> BrightnessControl::valueIn(std::span<const std::uint8_t> report) const {
  if (bitSize == 0 || bitSize > 32 || bitPosition(*this, bitSize - 1) / 8 >= report.size()) return std::nullopt;
  std::uint64_t raw = 0;
  for (std::uint32_t bit = 0; bit < bitSize; ++bit) {
    const std::size_t at = bitPosition(*this, bit);
    raw |= std::uint64_t{(report[at / 8] >> (at % 8)) & 1u} << bit;
  }
  // A field holds two's complement only when its range reaches below zero.
  if (minimum < 0 && (raw >> (bitSize - 1) & 1)) return static_cast<std::int64_t>(raw) - (std::int64_t{1} << bitSize);
  return static_cast<std::int64_t>(raw);
}

void BrightnessControl::store(std::span<std::uint8_t> report, std::int64_t value) const {
  if (bitSize == 0 || bitSize > 32 || bitPosition(*this, bitSize - 1) / 8 >= report.size()) return;
  const auto raw = static_cast<std::uint64_t>(value);
  for (std::uint32_t bit = 0; bit < bitSize; ++bit) {
    const std::size_t at = bitPosition(*this, bit);
    const auto mask = static_cast<std::uint8_t>(1u << (at % 8));
    report[at / 8] = static_cast<std::uint8_t>((raw >> bit & 1) ? report[at / 8] | mask : report[at / 8] & ~mask);
  }
}

float BrightnessControl::fraction(std::int64_t value) const {
  return static_cast<float>(static_cast<double>(value - minimum) / static_cast<double>(maximum - minimum));
}

std::int64_t BrightnessControl::deviceValue(float level) const {
  if (!(level > 0.0f)) return minimum;  // NaN lands here too
  if (level >= 1.0f) return maximum;
  return minimum + std::llround(static_cast<double>(level) * static_cast<double>(maximum - minimum));
}

}  // namespace lumaro
