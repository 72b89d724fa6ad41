#!/usr/bin/env bash
# Installs what is missing, builds lumaro-demo and starts it: the real
# application wired to two simulated Cinema Displays, so every flow works
# without Apple hardware. LUMARO_BUILD_DIR picks another build directory.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
lumaro-demo needs a graphical desktop session, and none was found
(neither DISPLAY nor WAYLAND_DISPLAY is set).
Start it from a terminal inside your X11 or Wayland desktop, or over
`ssh -X`. To just see it, look at docs/demo-window.png and
docs/demo-popover.png, made from this binary by scripts/screenshots.sh.
MSG
  exit 1
fi

bash scripts/install-deps.sh
build_dir="${LUMARO_BUILD_DIR:-build/default}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" --target lumaro-demo
echo "Starting lumaro-demo: click the sun in the tray (or use the window if your desktop has no tray)."
exec "$build_dir/app/lumaro-demo"
