#!/usr/bin/env bash
# Makes the README's screenshots from the real lumaro-demo binary in a real
# XEmbed tray (trayer, a dark panel at the bottom right of a virtual X
# server): docs/tray-popup.png (the popup opened from the tray icon, above
# the panel: the All Displays row, then two displays), docs/tray-popover.png (the same with the first display's
# information popover beside it), docs/demo-no-permission.png (one display
# that refuses access, as before the udev rule is installed) and
# docs/level-indicator.png (the on-screen level after `lumaro-demo set 1 40%`).
# LUMARO_BUILD_DIR picks the build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir="${LUMARO_BUILD_DIR:-build/default}"
demo="$build_dir/app/lumaro-demo"
if [ ! -x "$demo" ]; then
  echo "No $demo: build it first (bash scripts/demo.sh, or cmake --build $build_dir --target lumaro-demo)." >&2
  exit 1
fi
for tool in Xvfb trayer xwininfo import convert identify xdotool dbus-daemon dbus-send; do
  command -v "$tool" >/dev/null || { echo "$tool is missing: run bash scripts/install-deps.sh" >&2; exit 1; }
done

work="$(mktemp -d)"
chmod 700 "$work"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
[ -n "${LUMARO_SCREENSHOT_DEBUG:-}" ] && set -x

# wait_for <what> <command...>: polls the command for up to 30 seconds.
wait_for() {
  local what="$1"
  shift
  for _ in $(seq 300); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "Timed out waiting for $what" >&2
  exit 1
}
wait_for "Xvfb" test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"

trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true --SetPartialStrut true \
  --transparent true --alpha 0 --tint 0x202020 >"$work/trayer.log" 2>&1 &
pids+=($!)
wait_for "trayer" sh -c 'xwininfo -root -tree | grep -q "\"panel\""'

# English texts, Qt's own style, no session bus: the XEmbed tray. Extra
# arguments are environment settings for the demo.
demo_pid=""
start_demo() {
  LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=Fusion DBUS_SESSION_BUS_ADDRESS=disabled: \
    XDG_RUNTIME_DIR="$work" TMPDIR="$work" env "$@" "$demo" >"$work/demo.log" 2>&1 &
  demo_pid=$!
  pids+=("$demo_pid")
}
start_demo

# window_geometry <name>: "x y width height" of the viewable window of that name.
window_geometry() {
  local id
  for id in $(xwininfo -root -tree | awk -v name="\"$1\":" '$2 == name { print $1 }'); do
    if xwininfo -id "$id" | grep IsViewable >/dev/null; then
      xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
      return 0
    fi
  done
  return 1
}
# The embedded icon: the demo's window that carries its class, 22 pixels square.
icon_line() { xwininfo -root -tree | grep -m1 '"lumaro-demo": ("lumaro-demo"'; }
icon_inside_panel() { icon_line >/dev/null; }
# open_popup: clicks the tray icon and waits for the popup; sets px py pw ph.
open_popup() {
  wait_for "the tray icon" icon_inside_panel
  local icon_x icon_y
  read -r icon_x icon_y <<<"$(icon_line | grep -oE '\+[0-9]+\+[0-9]+$' | tr '+' ' ')"
  sleep 1  # the icon is redrawn for the panel once embedded
  xdotool mousemove $((icon_x + 11)) $((icon_y + 11)) click 1
  wait_for "the popup" window_geometry Lumaro
  sleep 2  # rows arrive and the popup is placed again with them
  read -r px py pw ph <<<"$(window_geometry Lumaro)"
  xdotool mousemove $((px + pw / 2)) $((py - 40))  # no hover highlight in the picture
}

# shown_area: "left top" of everything the demo shows beside its tray icon.
shown_area() {
  local id left=1024 top=768 x y w
  for id in $(xdotool search --onlyvisible --class lumaro-demo); do
    read -r x y w <<<"$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
      /Width:/ {w=$2} END {print x, y, w}')"
    [ "$w" -gt 64 ] || continue  # the icon
    [ "$x" -lt "$left" ] && left=$x
    [ "$y" -lt "$top" ] && top=$y
  done
  echo "$left $top"
}

# shoot <output>: the lower right corner of the screen holding the popup,
# anything beside it and the panel; the bare black root becomes a quiet
# desktop grey.
shoot() {
  import -window root "$work/root.png"
  local left top
  read -r left top <<<"$(shown_area)"
  left=$((left > 24 ? left - 24 : 0))
  top=$((top > 24 ? top - 24 : 0))
  convert "$work/root.png" -crop "$((1024 - left))x$((768 - top))+${left}+${top}" +repage \
    -fill '#5f6b78' -draw 'color 0,0 floodfill' "$1"
}
mkdir -p docs
open_popup
shoot docs/tray-popup.png

# The first display's information button, below the All Displays row (positions
# for the Fusion style and DejaVu fonts).
xdotool mousemove $((px + ${LUMARO_INFO_X:-185})) $((py + ${LUMARO_INFO_Y:-90})) click 1
sleep 2
xdotool mousemove $((px + pw / 2)) $((py - 40))
sleep 0.5
shoot docs/tray-popover.png

popup_width=$(identify -format '%w' docs/tray-popup.png)
popover_width=$(identify -format '%w' docs/tray-popover.png)
if [ "$popover_width" -le "$popup_width" ]; then
  echo "The popover did not open; set LUMARO_INFO_X/LUMARO_INFO_Y to the info button's place in the popup." >&2
  exit 1
fi

kill "$demo_pid"
wait "$demo_pid" 2>/dev/null || true
wait_for "the tray icon to leave" sh -c '! xwininfo -root -tree | grep "\"lumaro-demo\": (\"lumaro-demo\"" >/dev/null'
start_demo LUMARO_DEMO_DISPLAYS=1 LUMARO_DEMO_NO_PERMISSION=1
open_popup
shoot docs/demo-no-permission.png

# A level set from the command line reaches the running demo over a session
# bus of our own, and shows on screen.
kill "$demo_pid"
wait "$demo_pid" 2>/dev/null || true
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
pids+=($!)
wait_for "dbus-daemon" test -s "$work/bus"
bus="$(head -n1 "$work/bus")"
start_demo DBUS_SESSION_BUS_ADDRESS="$bus"
wait_for "the demo on the bus" sh -c "DBUS_SESSION_BUS_ADDRESS='$bus' dbus-send --session --print-reply \
  --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner string:io.github.lumaro.Lumaro.Demo | grep -q true"
DBUS_SESSION_BUS_ADDRESS="$bus" LANG=C.UTF-8 LC_ALL=C.UTF-8 "$demo" set 1 40% >/dev/null
wait_for "the indicator" window_geometry Brightness
read -r ix iy iw ih <<<"$(window_geometry Brightness)"
import -window root "$work/root.png"
convert "$work/root.png" -crop "$((iw + 48))x$((ih + 48))+$((ix - 24))+$((iy - 24))" +repage \
  -fill '#5f6b78' -draw 'color 0,0 floodfill' docs/level-indicator.png
echo "Wrote docs/tray-popup.png, docs/tray-popover.png, docs/demo-no-permission.png and docs/level-indicator.png"
