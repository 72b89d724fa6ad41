#!/usr/bin/env bash
# The checks CI runs after the test suite: sanitizers, fuzz smoke runs and the
# Debian package. Each stage can be run alone: scripts/ci-hardening.sh asan
set -euo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

stage_asan() {
  # Every test that needs no widgets, with AddressSanitizer and UBSan.
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  cmake --preset asan
  cmake --build --preset asan
  ctest --preset asan -j2
}

stage_tsan() {
  # The tests that run real threads.
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
  cmake --preset tsan
  cmake --build --preset tsan --target model_tests edid_acquisition_tests
  ctest --preset tsan -L concurrency
}

stage_fuzz() {
  # One minute per target, seeded from the test fixtures.
  cmake --preset fuzz
  cmake --build --preset fuzz
  local target
  for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    local name corpus
    name=$(basename "$target")
    corpus=$(mktemp -d)
    if [ -d "fuzz/corpus/${name#fuzz_}" ]; then cp -r "fuzz/corpus/${name#fuzz_}/." "$corpus/"; fi
    echo "== $name"
    "$target" -max_total_time=60 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
    rm -rf "$corpus"
  done
}

stage_package() {
  # The .deb must hold the binary, the udev rule, the desktop entry and the icon.
  cmake --build --preset default
  (cd build/default && cpack -G DEB >/dev/null)
  local deb
  deb=$(ls -t build/default/lumaro_*.deb | head -n 1)
  dpkg-deb --contents "$deb" > build/default/deb-contents.txt
  local expected missing=0
  for expected in ./usr/bin/lumaro ./lib/udev/rules.d/70-lumaro.rules \
      ./usr/share/applications/lumaro.desktop ./usr/share/icons/hicolor/scalable/apps/lumaro.svg; do
    if ! grep -q " ${expected}\$" build/default/deb-contents.txt; then
      echo "missing from $deb: $expected"; missing=1
    fi
  done
  dpkg-deb --field "$deb" Depends
  [ "$missing" -eq 0 ] && echo "package ok: $deb"
}

if [ "$#" -eq 0 ]; then set -- asan tsan fuzz package; fi
for stage in "$@"; do
  echo "=== stage: $stage ($(date +%T))"
  "stage_$stage"
done
