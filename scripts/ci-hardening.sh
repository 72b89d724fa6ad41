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
  ctest --preset asan -j2 --no-tests=error
}

stage_tsan() {
  # The suites that run real threads: the model on Qt's event loop with its
  # worker pool, and concurrent EDID lookups sharing one registry-dump run.
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1"
  cmake --preset tsan
  cmake --build --preset tsan --target model_qt_tests model_tests adapters_qt_tests display_control_tests
  build/tsan/tests/model/model_qt_tests
  build/tsan/tests/model/model_tests
  build/tsan/tests/adapters/qt/adapters_qt_tests
  build/tsan/tests/display_control/display_control_tests
}

stage_fuzz() {
  # One minute per target, seeded from the test fixtures.
  cmake --preset fuzz
  cmake --build --preset fuzz
  local target ran=0
  for target in build/fuzz/fuzz/*_fuzzer; do
    [ -x "$target" ] || continue
    local name corpus
    name=$(basename "$target")
    # Work on a copy so the seeds stay as the fixtures made them.
    corpus=$(mktemp -d)
    cp -r "build/fuzz/fuzz/corpus/$name/." "$corpus/"
    echo "== $name"
    "$target" -max_total_time=60 -print_final_stats=1 "$corpus" > "build/fuzz/$name.log" 2>&1 \
      || { tail -n 40 "build/fuzz/$name.log"; rm -rf "$corpus"; return 1; }
    grep -E '^stat::number_of_executed_units|^Done' "build/fuzz/$name.log" || true
    rm -rf "$corpus"
    ran=$((ran + 1))
  done
  [ "$ran" -gt 0 ] || { echo "no fuzz target was built"; return 1; }
}

stage_package() {
  # The .deb must hold the binaries, the udev rule, the desktop entry, the icon,
  # the AppStream metadata, the man pages, the bash completion, the changelog
  # and the licence, and pass lintian without an error or a warning.
  # It is made from the tree the test run built (CI builds the "ci" preset).
  local preset="${LUMARO_PRESET:-default}" dir
  dir="build/$preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  (cd "$dir" && cpack -G DEB >/dev/null)
  local deb
  deb=$(ls -t "$dir"/lumaro_*.deb | head -n 1)
  dpkg-deb --contents "$deb" > "$dir/deb-contents.txt"
  local expected missing=0
  for expected in ./usr/bin/lumaro ./usr/libexec/lumaro/lumaro-tray ./usr/libexec/lumaro/lumaro-direct \
      ./lib/udev/rules.d/70-lumaro.rules \
      ./usr/share/applications/io.github.lumaro.Lumaro.desktop \
      ./usr/share/icons/hicolor/scalable/apps/io.github.lumaro.Lumaro.svg \
      ./usr/share/icons/hicolor/symbolic/apps/io.github.lumaro.Lumaro-symbolic.svg \
      ./usr/share/lumaro/io.github.lumaro.Lumaro.desktop ./usr/share/man/man1/lumaro.1.gz \
      ./usr/share/man/man1/lumaro-edid.1.gz ./usr/share/metainfo/io.github.lumaro.Lumaro.metainfo.xml \
      ./usr/share/bash-completion/completions/lumaro ./usr/share/doc/lumaro/copyright \
      ./usr/share/doc/lumaro/changelog.gz; do
    if ! grep -q " ${expected}\$" "$dir/deb-contents.txt"; then
      echo "missing from $deb: $expected"; missing=1
    fi
  done
  dpkg-deb --field "$deb" Depends
  [ "$missing" -eq 0 ] || return 1
  appstreamcli validate --no-net packaging/metainfo/io.github.lumaro.Lumaro.metainfo.xml || return 1
  lintian --fail-on error,warning "$deb" || return 1
  echo "package ok: $deb"
}

if [ "$#" -eq 0 ]; then set -- asan tsan fuzz package; fi
for stage in "$@"; do
  echo "=== stage: $stage ($(date +%T))"
  "stage_$stage"
done
