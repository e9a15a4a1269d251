#!/usr/bin/env bash
# Sets the machine up, builds the station and runs every test: the whole suite against a private
# PulseAudio server, then the concurrency tests again in a ThreadSanitizer build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

pulse_dir=$(mktemp -d /tmp/station-pulse.XXXXXX)
cleanup() { "$root/scripts/pulse-test-server.sh" stop "$pulse_dir"; rm -rf "$pulse_dir"; }
trap cleanup EXIT
"$root/scripts/pulse-test-server.sh" start "$pulse_dir"
export PULSE_SERVER="unix:$pulse_dir/native"
export STATION_TEST_PULSE_DIR="$pulse_dir"
export QT_QPA_PLATFORM=offscreen

status=0
jobs=$(nproc)
(cd "$root/build" && ctest --output-on-failure -j "$jobs") || status=1

cmake -S "$root" -B "$root/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSTATION_SANITIZE_THREAD=ON >/dev/null
cmake --build "$root/build-tsan"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
(cd "$root/build-tsan" && ctest --output-on-failure -L concurrency) || status=1
exit $status
