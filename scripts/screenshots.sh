#!/usr/bin/env bash
# Makes the README's screenshots from the real lumaro-demo binary on a
# virtual X server: docs/demo-window.png (the window with both simulated
# displays), docs/demo-popover.png (the same with the information popover
# of the first display open) and docs/demo-no-permission.png (one display
# that refuses access, as before the udev rule is installed).
# LUMARO_BUILD_DIR picks the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${LUMARO_BUILD_DIR:-build/default}"
demo="$build_dir/app/lumaro-demo"
if [ ! -x "$demo" ]; then
  echo "No $demo: build it first (bash scripts/demo.sh, or cmake --build $build_dir --target lumaro-demo)." >&2
  exit 1
fi
for tool in Xvfb import convert xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run bash scripts/install-deps.sh" >&2; exit 1; }
done

screen=":${LUMARO_SCREENSHOT_DISPLAY:-91}"
work="$(mktemp -d)"
Xvfb "$screen" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
demo_pid=""
cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
sleep 1

# No tray on a bare X server: the demo shows its window as a top-level window
# in the top-left corner. English texts, Qt's own style. Extra arguments are
# environment settings for the demo.
start_demo() {
  DISPLAY="$screen" LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion \
    XDG_RUNTIME_DIR="$work" env "$@" "$demo" >"$work/demo.log" 2>&1 &
  demo_pid=$!
  sleep 3
}
start_demo

shoot() {  # shoot <output>: the screen cropped to what is drawn on the black root
  DISPLAY="$screen" import -window root "$work/root.png"
  # The bare root stays black around and between the windows; a flood fill
  # from the added corner turns it into a quiet desktop grey.
  convert "$work/root.png" -bordercolor black -border 1 -trim +repage \
    -bordercolor black -border 16 -fill '#5f6b78' -draw 'color 0,0 floodfill' "$1"
}
mkdir -p docs
shoot docs/demo-window.png

# The first row's information button: right of the display name, in the
# first title line (positions for the Fusion style and DejaVu fonts).
DISPLAY="$screen" xdotool mousemove "${LUMARO_INFO_X:-185}" "${LUMARO_INFO_Y:-24}" click 1
sleep 2
DISPLAY="$screen" xdotool mousemove 600 700  # no hover highlight in the picture
sleep 0.5
shoot docs/demo-popover.png

window_width=$(identify -format '%w' docs/demo-window.png)
popover_width=$(identify -format '%w' docs/demo-popover.png)
if [ "$popover_width" -le "$window_width" ]; then
  echo "The popover did not open; set LUMARO_INFO_X/LUMARO_INFO_Y to the info button's position." >&2
  exit 1
fi
kill "$demo_pid"
wait "$demo_pid" 2>/dev/null || true
start_demo LUMARO_DEMO_DISPLAYS=1 LUMARO_DEMO_NO_PERMISSION=1
shoot docs/demo-no-permission.png
echo "Wrote docs/demo-window.png, docs/demo-popover.png and docs/demo-no-permission.png"
