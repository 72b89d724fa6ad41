#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
# LUMARO_PRESET picks the preset (default: "default"; CI uses "ci", which
# also treats warnings as errors).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
preset="${LUMARO_PRESET:-default}"
cmake --preset "$preset"
cmake --build --preset "$preset"
ctest --preset "$preset" -j2
