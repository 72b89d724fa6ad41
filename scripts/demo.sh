#!/usr/bin/env bash
# Installs what is missing, builds lumaro-demo and starts it: the real
# application wired to two simulated Cinema Displays, so every flow works
# without Apple hardware. Without a graphical session it walks through the
# command line instead. LUMARO_BUILD_DIR picks another build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
build_dir="${LUMARO_BUILD_DIR:-build/default}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --target lumaro-demo
demo="$build_dir/app/lumaro-demo"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting lumaro-demo: click the sun in the tray (or use the window if your desktop has no tray)."
  exec "$demo"
fi

# No desktop: run the tray application without a screen on a session bus of
# its own, and drive it the way a brightness key or a script would.
walk() {
  local demo=$1 step
  QT_QPA_PLATFORM=offscreen "$demo" >/dev/null 2>&1 &
  instance=$!
  trap 'kill "$instance" 2>/dev/null' EXIT
  for _ in $(seq 50); do
    "$demo" list -v 2>&1 >/dev/null | grep -q "running instance" && break
    sleep 0.1
  done
  for step in "list" "info 1" "get" "set 1 40%" "set all +10%" "get --json"; do
    echo "\$ lumaro-demo $step"
    # shellcheck disable=SC2086
    "$demo" $step
    echo
  done
}
export -f walk
echo "No graphical session (neither DISPLAY nor WAYLAND_DISPLAY is set): a walk through the command line."
echo
dbus-run-session -- bash -c 'walk "$0"' "$demo" 2> >(grep -v "fd limit" >&2)
cat <<'MSG'
To see the window, run scripts/demo.sh from a terminal inside your X11 or
Wayland desktop, or over `ssh -X`; or look at docs/tray-popup.png and
docs/tray-popover.png, made from this binary by scripts/screenshots.sh.
MSG
