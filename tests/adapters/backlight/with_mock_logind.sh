#!/bin/sh
# Runs a command beside a private bus that stands in for the system bus, with
# mock_logind.py on it. The command sees DBUS_SYSTEM_BUS_ADDRESS pointing at
# that bus and LUMARO_MOCK_LOGIND_DIR at the mock's state folder.
set -eu
here=$(dirname "$0")
state=$(mktemp -d "${TMPDIR:-/tmp}/lumaro-logind-XXXXXX")
daemon=""
mock=""
cleanup() {
  [ -n "$mock" ] && kill "$mock" 2>/dev/null || true
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null || true
  rm -rf "$state"
}
trap cleanup EXIT
# wait_for TEST...: polls for up to ten seconds.
wait_for() {
  tries=0
  until "$@"; do
    tries=$((tries + 1)); [ "$tries" -gt 200 ] && { echo "gave up waiting for: $*" >&2; exit 1; }
    sleep 0.05
  done
}

dbus-daemon --session --nofork --nopidfile --print-address=3 3>"$state/address" 2>"$state/daemon.log" &
daemon=$!
wait_for test -s "$state/address"
DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$state/address")
export DBUS_SYSTEM_BUS_ADDRESS

/usr/bin/python3 "$here/mock_logind.py" "$state" &
mock=$!
wait_for test -e "$state/ready"

LUMARO_MOCK_LOGIND_DIR=$state "$@"
