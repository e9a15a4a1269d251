#!/usr/bin/env bash
# Sets the machine up, builds the station with warnings as errors and runs every test: the whole
# suite against a private PulseAudio server, the sound tests and one whole interview against a
# private PipeWire (Debian's desktop default), a configure and the layering checks with CMake's
# default generator, then the non-GUI tests again in an AddressSanitizer +
# UndefinedBehaviorSanitizer build and the concurrency tests in a ThreadSanitizer build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The package test builds the Debian package, which needs a maintainer, and checks it with lintian.
STATION_WARNINGS_AS_ERRORS=ON \
    STATION_PACKAGE_MAINTAINER="${STATION_PACKAGE_MAINTAINER:-Interview Station Packaging <packaging@example.org>}" \
    "$root/scripts/setup.sh"

pulse_dir=$(mktemp -d /tmp/station-pulse.XXXXXX)
pipewire_dir=$(mktemp -d /tmp/station-pipewire.XXXXXX)
cleanup() {
    "$root/scripts/pulse-test-server.sh" stop "$pulse_dir"
    "$root/scripts/pipewire-test-server.sh" stop "$pipewire_dir"
    rm -rf "$pulse_dir" "$pipewire_dir"
}
trap cleanup EXIT
"$root/scripts/pulse-test-server.sh" start "$pulse_dir"
export PULSE_SERVER="unix:$pulse_dir/native"
export STATION_TEST_PULSE_DIR="$pulse_dir"
export QT_QPA_PLATFORM=offscreen

status=0
jobs=$(nproc)

# ctest in the current folder; a test it reports as skipped (a sound test that found no sound
# server, say) fails the run like a failed one, since it proved nothing.
checked_ctest() {
    local log rc=0
    log=$(mktemp)
    ctest "$@" 2>&1 | tee "$log" || rc=1
    if grep -q '\*\*\*Skipped' "$log"; then
        echo "FAIL: tests were skipped (listed above); a skipped test counts as failed here" >&2
        rc=1
    fi
    rm -f "$log"
    return $rc
}

(cd "$root/build" && checked_ctest --output-on-failure -j "$jobs") || status=1

# The same station on PipeWire's PulseAudio service: every test that needs the sound server (the
# views' suite aside), and of the views one whole interview from readiness to the read-back.
if "$root/scripts/pipewire-test-server.sh" start "$pipewire_dir"; then
    (
        export PULSE_SERVER="unix:$pipewire_dir/pulse/native"
        cd "$root/build"
        failed=0
        checked_ctest --output-on-failure -L sound -LE gui || failed=1
        ./bin/station_views_tests \
            --gtest_filter=StationViewsTest.ExamPageFollowsTheInterviewFromStartToExit || failed=1
        exit $failed
    ) || status=1
    "$root/scripts/pipewire-test-server.sh" stop "$pipewire_dir"
else
    echo "FAIL: the private PipeWire server did not start" >&2
    status=1
fi

# CMake's default generator (Unix Makefiles) configures the project and runs the layering checks;
# a whole second build would add nothing the Ninja build has not shown.
{ cmake -S "$root" -B "$root/build-make" -G "Unix Makefiles" >/dev/null &&
    cmake --build "$root/build-make" --target layering_checks >/dev/null; } ||
    { echo "FAIL: the Unix Makefiles configure or layering checks" >&2; status=1; }

# Sanitizer builds: a failed build counts as a failure, and the other build still runs. Warnings
# are judged in the main build; the sanitizers' instrumentation brings false ones of its own.
sanitized() { # folder option ctest-arguments...
    local folder=$1 option=$2
    shift 2
    cmake -S "$root" -B "$root/$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -D"$option"=ON >/dev/null &&
        cmake --build "$root/$folder" &&
        (cd "$root/$folder" && checked_ctest --output-on-failure "$@")
}

export ASAN_OPTIONS="detect_leaks=1 abort_on_error=1 detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt print_suppressions=0"
sanitized build-asan STATION_SANITIZE_ADDRESS || status=1

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan-suppressions.txt"
sanitized build-tsan STATION_SANITIZE_THREAD -L concurrency || status=1
exit $status
