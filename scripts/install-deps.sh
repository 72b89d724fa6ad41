#!/usr/bin/env bash
# Installs every Debian 12 package Lumaro needs to build, test and run.
# Idempotent: does nothing when all packages are present, and only runs
# `apt-get update` when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libhidapi-dev libudev-dev udev
  libsystemd-dev  # sd-bus: logind's SetBrightness for displays on the kernel's backlight driver
  dbus-daemon python3-dbus python3-gi  # private buses: the mock logind of the backlight suite, the session-bus tests, the demo walk
  umockdev libumockdev-dev gir1.2-umockdev-1.0  # the emulated hidraw displays of the hardware-path suites
  libicu-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-tools-dev qt6-tools-dev-tools
  qt6-l10n-tools linguist-qt6 libqt6svg6 qt6-qpa-plugins
  libgl-dev fonts-dejavu-core  # widget tests and screenshots lay text out in DejaVu
  clang-14 libclang-rt-14-dev
  xvfb imagemagick xdotool  # scripts/screenshots.sh
  lintian appstream  # the package stage's checks of the .deb and its AppStream metadata
  # Desktop tests (tests/ui/e2e) and screenshots: tray hosts, a window
  # manager, a Wayland compositor, the accessibility bus.
  python3 x11-utils trayer openbox xfce4-panel weston qt6-wayland
  at-spi2-core python3-pyatspi
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
