#!/usr/bin/env bash
# Applies each deliberate break in scripts/mutations/ (one patch at a time),
# rebuilds, runs the whole suite and reverts. A break the suite does not fail
# on is a hole in the tests. Needs a configured build/default and a clean tree.
# Usage: scripts/mutation-check.sh [patch...]
set -uo pipefail
cd "$(dirname "$0")/.."
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
if ! git diff --quiet -- src; then
  echo "src/ has uncommitted changes; commit or stash them first" >&2
  exit 2
fi
[ "$#" -gt 0 ] || set -- scripts/mutations/*.patch
missed=0
for patch in "$@"; do
  name=$(basename "$patch" .patch)
  git apply "$patch" || { echo "$name: does not apply"; missed=$((missed + 1)); continue; }
  if ! cmake --build build/default > "build/default/mutation-$name.log" 2>&1; then
    # A break must compile to tell anything about the tests.
    verdict="BROKEN PATCH (does not build)"
    missed=$((missed + 1))
  elif ctest --test-dir build/default -j2 --timeout 120 >> "build/default/mutation-$name.log" 2>&1; then
    verdict="NOT CAUGHT"
    missed=$((missed + 1))
  else
    failing=$(grep -E '^\s*[0-9]+ - ' "build/default/mutation-$name.log" | grep -vc '(Skipped)')
    verdict="caught ($failing failing)"
  fi
  git apply -R "$patch"
  echo "$name: $verdict"
done
# Leave the build matching the sources again.
cmake --build build/default > /dev/null 2>&1
echo "$missed of $# breaks not caught"
[ "$missed" -eq 0 ]
