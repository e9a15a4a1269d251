#!/usr/bin/env bash
# The tests the test command runs on the other Debian release, inside its system
# (scripts/release-chroot.sh), on the build that set-up made there: the main test suite against a
# private PulseAudio server, then one whole interview on a private PipeWire.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/test-passes.sh"

pulse_dir=$(mktemp -d /tmp/station-pulse.XXXXXX)
cleanup() {
    "$root/scripts/pulse-test-server.sh" stop "$pulse_dir"
    rm -rf "$pulse_dir"
}
trap cleanup EXIT
"$root/scripts/pulse-test-server.sh" start "$pulse_dir"
export PULSE_SERVER="unix:$pulse_dir/native"
export STATION_TEST_PULSE_DIR="$pulse_dir"
export QT_QPA_PLATFORM=offscreen

status=0
(cd "$root/build" && checked_ctest --output-on-failure -j "$(nproc)") || status=1
"$root/scripts/pulse-test-server.sh" stop "$pulse_dir"
pipewire_pass "$root" "$root/build" interview || status=1
exit $status
