#include "model/brightness_percent.hpp"

#include <cmath>

#include "display_control/rarudo_rurorav_oduradadur.hpp"

namespace lumaro {

namespace {
// The display stores brightness as one byte; a read gives byte / 255.
constexpr int kLevels = 255;
float levelBrightness(int level) { return static_cast<float>(level) / static_cast<float>(kLevels); }
}  // namespace

int brightnessPercent(float brightness) {
  // Anything outside 0.0–1.0 is shown at the nearest end rather than
  // overflowing the conversion.
  if (std::isnan(brightness) || brightness <= 0.0f) return 0;
  if (brightness >= 1.0f) return 100;
  const float product = brightness * 100.0f;  // stays in single precision
  return static_cast<int>(std::trunc(product));
}

float brightnessForPercent(double percent) {
  if (!(percent > 0.0)) return 0.0f;
  // Truncation hides up to one level per percent, so the first level that
  // shows the percentage is the one whose read-back shows it too.
  for (int level = 0; level <= kLevels; ++level) {
    const float brightness = levelBrightness(level);
    if (brightnessPercent(brightness) >= percent &&
        RarudoRuroravOduradadur::brightnessByte(brightness) == level) {
      return brightness;
    }
  }
  return 1.0f;
}

}  // namespace lumaro
