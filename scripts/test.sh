#!/usr/bin/env bash
# Sets the machine up, builds the station with warnings as errors and runs every test: the whole
# suite against a private PulseAudio server, the sound tests and one whole interview against a
# private PipeWire (Debian's desktop default), a configure and the layering checks with CMake's
# default generator, then the non-GUI tests again in an AddressSanitizer +
# UndefinedBehaviorSanitizer build and the concurrency tests in a ThreadSanitizer build. Then the
# other supported Debian release: in a minimal system of it made in build-<suite>/, the set-up, the
# build with warnings as errors, the whole suite against a private PulseAudio and one whole
# interview on PipeWire (scripts/release-chroot.sh). Each phase's time is shown as it ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/test-passes.sh"
started=$SECONDS
# Shows how long the phase that has just ended took.
phase_done() { # name since
    echo "== $1: $(($SECONDS - $2)) s (the test command so far: $(($SECONDS - started)) s)"
}

# The other release tested beside this machine's own: Debian 13, "trixie" (this machine being
# Debian 12), or Debian 12, "bookworm" (on Debian 13). Its system is made in the background while
# this machine builds, since that is network and disk work; it must be ready before the sound
# tests start, which take no processor from beside them.
"$root/scripts/install-packages.sh"
. /etc/os-release
other_suite=trixie
[[ ${VERSION_CODENAME:-} == trixie ]] && other_suite=bookworm
release_dir=$root/build-$other_suite
mkdir -p "$release_dir"
"$root/scripts/release-chroot.sh" prepare "$other_suite" "$release_dir" \
    >"$release_dir/prepare.log" 2>&1 &
prepare_pid=$!
prepare_started=$SECONDS
pulse_dir=
# The background step is waited for on every exit: it unbinds what it bound into the system.
cleanup() {
    wait $prepare_pid 2>/dev/null || true
    if [[ -n $pulse_dir ]]; then
        "$root/scripts/pulse-test-server.sh" stop "$pulse_dir"
        rm -rf "$pulse_dir"
    fi
}
trap cleanup EXIT

phase=$SECONDS
# The package test builds the Debian package, which needs a maintainer, and checks it with lintian.
STATION_WARNINGS_AS_ERRORS=ON \
    STATION_PACKAGE_MAINTAINER="${STATION_PACKAGE_MAINTAINER:-Interview Station Packaging <packaging@example.org>}" \
    "$root/scripts/setup.sh"
phase_done "set-up and build" $phase

status=0
prepared=0
wait $prepare_pid || prepared=1
phase_done "the $other_suite system made and set up in the background (log: $release_dir/prepare.log)" \
    $prepare_started
if ((prepared != 0)); then
    tail -n 30 "$release_dir/prepare.log" >&2
    echo "FAIL: the $other_suite system could not be made or set up" >&2
    status=1
fi

pulse_dir=$(mktemp -d /tmp/station-pulse.XXXXXX)
"$root/scripts/pulse-test-server.sh" start "$pulse_dir"
export PULSE_SERVER="unix:$pulse_dir/native"
export STATION_TEST_PULSE_DIR="$pulse_dir"
export QT_QPA_PLATFORM=offscreen

jobs=$(nproc)
phase=$SECONDS
(cd "$root/build" && checked_ctest --output-on-failure -j "$jobs") || status=1
phase_done "the whole suite on PulseAudio" $phase
phase=$SECONDS
pipewire_pass "$root" "$root/build" sound || status=1
phase_done "the sound tests and an interview on PipeWire" $phase

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
phase=$SECONDS
sanitized build-asan STATION_SANITIZE_ADDRESS || status=1
phase_done "AddressSanitizer and UndefinedBehaviorSanitizer" $phase

export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/scripts/tsan-suppressions.txt"
phase=$SECONDS
sanitized build-tsan STATION_SANITIZE_THREAD -L concurrency || status=1
phase_done "ThreadSanitizer" $phase

if ((prepared == 0)); then
    phase=$SECONDS
    "$root/scripts/release-chroot.sh" test "$release_dir" || status=1
    phase_done "the $other_suite system: build and tests" $phase
fi
exit $status
