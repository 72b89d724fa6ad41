#pragma once

namespace lumaro {

// The whole percent a brightness of 0.0–1.0 is shown as, everywhere (window,
// command line, JSON): the single-precision product b × 100 truncated toward
// zero, so 254/255 shows 99, never 100.
int brightnessPercent(float brightness);

// The smallest brightness a display can hold whose shown percentage is at
// least `percent` (clamped to 0–100), so that writing it and reading it back
// shows `percent` itself for every whole percentage.
float brightnessForPercent(double percent);

}  // namespace lumaro
