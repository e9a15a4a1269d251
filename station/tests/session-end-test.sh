#!/usr/bin/env bash
# The real program under a session's end: SIGTERM (logout, shutdown) and SIGHUP reach its loop, it
# logs the end and exits cleanly instead of being killed by the signal.
# Usage: session-end-test.sh <interview-station>
set -euo pipefail
program=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

caught() { # pid signal-number: whether the process catches the signal now
    local mask
    mask=$(awk '/^SigCgt:/ {print $2}' "/proc/$1/status" 2>/dev/null) || return 1
    [[ -n $mask ]] && (((16#$mask >> ($2 - 1)) & 1))
}

for signal in TERM HUP; do
    home="$scratch/$signal"
    mkdir -p "$home/Desktop"
    HOME=$home XDG_STATE_HOME=$home/state XDG_CACHE_HOME=$home/cache QT_QPA_PLATFORM=offscreen \
        "$program" &
    pid=$!
    number=$(kill -l "$signal")
    for _ in $(seq 200); do
        caught "$pid" "$number" && break
        sleep 0.05
    done
    caught "$pid" "$number" || { echo "the station never caught SIG$signal"; kill -9 "$pid"; exit 1; }
    kill -s "$signal" "$pid"
    status=0
    wait "$pid" || status=$?
    [[ $status == 0 ]] || { echo "SIG$signal: exit status $status, expected 0"; exit 1; }
    grep -q "Сеанс завершается (SIG$signal)" "$home/state/interview-station/station.log" ||
        { echo "SIG$signal: no log line"; cat "$home/state/interview-station/station.log"; exit 1; }
done
echo "the station ends cleanly at SIGTERM and SIGHUP"
