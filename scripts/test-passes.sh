# The test command's passes that run on more than one system (this machine's own Debian and the
# other release's, in its folder), for the scripts that source this file.

# ctest in the current folder; a test it reports as skipped (a sound test that found no sound
# server, a library that is not there) fails the run like a failed one, since it proved nothing.
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

# The station on PipeWire's PulseAudio service, on a private server in a new folder: "sound" runs
# every test that needs the sound server (the views' suite aside) and one whole interview of the
# views from readiness to the read-back, "interview" that interview alone.
pipewire_pass() { # root build-folder sound|interview
    local root=$1 build=$2 scope=$3 dir status=0
    dir=$(mktemp -d /tmp/station-pipewire.XXXXXX)
    if "$root/scripts/pipewire-test-server.sh" start "$dir"; then
        (
            export PULSE_SERVER="unix:$dir/pulse/native"
            cd "$build"
            pactl info | grep -i "^Server Name" || true
            failed=0
            if [[ $scope == sound ]]; then
                checked_ctest --output-on-failure -L sound -LE gui || failed=1
            fi
            ./bin/station_views_tests \
                --gtest_filter=StationViewsTest.ExamPageFollowsTheInterviewFromStartToExit || failed=1
            exit $failed
        ) || status=1
    else
        echo "FAIL: the private PipeWire server did not start" >&2
        status=1
    fi
    "$root/scripts/pipewire-test-server.sh" stop "$dir"
    rm -rf "$dir"
    return $status
}
