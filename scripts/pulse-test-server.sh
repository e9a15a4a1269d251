#!/usr/bin/env bash
# Starts or stops a private PulseAudio server for tests: a null sink that consumes playback in real
# time and a 440 Hz sine source, on a unix socket inside DIR. Clients reach it with
# PULSE_SERVER=unix:DIR/native.
#   pulse-test-server.sh start DIR
#   pulse-test-server.sh stop DIR
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder for the server}

case "$cmd" in
start)
    mkdir -p "$dir"
    PULSE_RUNTIME_PATH="$dir" pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit -n \
        --use-pid-file=yes \
        --load="module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
        --load="module-null-sink sink_name=silence" \
        --load="module-sine-source source_name=sine frequency=440" \
        --load="module-always-sink" \
        --log-target=file:"$dir/log" 2>/dev/null || true
    for _ in $(seq 50); do
        [[ -S "$dir/native" ]] && PULSE_SERVER="unix:$dir/native" pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    PULSE_SERVER="unix:$dir/native" pactl set-default-source sine >/dev/null
    PULSE_SERVER="unix:$dir/native" pactl set-default-sink silence >/dev/null
    ;;
stop)
    PULSE_RUNTIME_PATH="$dir" pulseaudio --kill 2>/dev/null || true
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
