#!/usr/bin/env bash
# Starts or stops a private PipeWire instance with its PulseAudio service for tests, as Debian's
# desktop runs it: pipewire, wireplumber and pipewire-pulse, with a session bus of their own, all in
# DIR, so that nothing of a user's session is read or changed. The servers run on their packages'
# own configuration (nothing here is in WirePlumber 0.4's Lua or 0.5's configuration language), so
# that the same script serves Debian 12 (PipeWire 0.3.65) and Debian 13 (PipeWire 1.4). PipeWire's PulseAudio service has no
# sine source: a null sink "tone" is fed with a 440 Hz sine at half the full amplitude (the same
# signal as the PulseAudio test server's), and the real source "sine" is remapped over its monitor.
# Playback goes to the null sink "silence", which consumes it in real time. Clients reach it with
# PULSE_SERVER=unix:DIR/pulse/native.
#   pipewire-test-server.sh start DIR
#   pipewire-test-server.sh stop DIR
set -euo pipefail
cmd=${1:?start or stop}
dir=${2:?folder for the server}

# Everything the servers read or write lives in DIR; the caller's sound server, bus and display are
# not theirs to use.
isolated=(env -u PULSE_SERVER -u PULSE_RUNTIME_PATH -u PIPEWIRE_REMOTE -u DISPLAY -u WAYLAND_DISPLAY
    XDG_RUNTIME_DIR="$dir" PIPEWIRE_RUNTIME_DIR="$dir" XDG_CONFIG_HOME="$dir/config"
    XDG_STATE_HOME="$dir/state" XDG_DATA_HOME="$dir/data"
    DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/bus")
pactl_here() { PULSE_SERVER="unix:$dir/pulse/native" pactl "$@"; }

# Starts a program in the background with its log and pid file in DIR. A simple command (env then
# execs the program), so that the recorded pid is the program's own.
launch() { # name program arguments...
    local name=$1
    shift
    "${isolated[@]}" "$@" </dev/null >"$dir/$name.log" 2>&1 &
    echo $! >"$dir/$name.pid"
}

# A process that has ended but was not reaped (a container's first process may never reap the
# orphans it inherits) counts as gone.
running() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [[ -n $state && $state != Z ]]
}

wait_for() { # description command...
    local what=$1
    shift
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "pipewire-test-server: $what did not come up; logs in $dir" >&2
    return 1
}

stop_all() {
    local name pid
    for name in feed pipewire-pulse wireplumber pipewire dbus; do
        [[ -f "$dir/$name.pid" ]] || continue
        pid=$(cat "$dir/$name.pid")
        # The feed is a process group (the generator and pacat); the others are single processes.
        if [[ $name == feed ]]; then kill -- "-$pid" 2>/dev/null || true; fi
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do
            running "$pid" || break
            sleep 0.1
        done
        rm -f "$dir/$name.pid"
    done
}

# Whether the sine source delivers the feed's sound (the session manager links the feed to its sink
# a moment after it starts).
sine_has_sound() {
    local sample
    sample=$(timeout 3 env PULSE_SERVER="unix:$dir/pulse/native" parec -d sine --raw \
        --format=s16le --rate=44100 --channels=1 --latency-msec=20 2>/dev/null |
        head -c 17640 | od -An -td2 -w2 -v | awk '$1 > 8000 || $1 < -8000 {n++} END {print n + 0}' || true)
    ((sample > 0))
}

case "$cmd" in
start)
    mkdir -p "$dir/config" "$dir/state" "$dir/data"
    chmod 700 "$dir"
    "${isolated[@]}" dbus-daemon --session --address="unix:path=$dir/bus" --fork --print-pid=1 \
        >"$dir/dbus.pid" 2>"$dir/dbus.log"
    launch pipewire pipewire
    wait_for "pipewire" test -S "$dir/pipewire-0"
    launch wireplumber wireplumber
    launch pipewire-pulse pipewire-pulse
    wait_for "pipewire-pulse" pactl_here info
    pactl_here load-module module-null-sink sink_name=tone rate=44100 channels=1 \
        'sink_properties=device.description="Tone feed"' >/dev/null
    pactl_here load-module module-remap-source source_name=sine master=tone.monitor rate=44100 \
        channels=1 'source_properties=device.description="Sine 440 Hz"' >/dev/null
    pactl_here load-module module-null-sink sink_name=silence rate=44100 channels=2 \
        'sink_properties=device.description="Silence"' >/dev/null
    # The defaults are set before the feed starts: the session manager moves streams that follow
    # the default sink when it changes.
    pactl_here set-default-sink silence
    pactl_here set-default-source sine
    # One second of 440 Hz holds a whole number of periods at 44100 Hz, so repeating it is seamless.
    launch feed setsid bash -c 'python3 -c "
import math, struct, sys
second = struct.pack(\"<44100h\", *[round(16384 * math.sin(2 * math.pi * 440 * i / 44100))
                                     for i in range(44100)])
while True:
    sys.stdout.buffer.write(second)
" | pacat --playback --raw --format=s16le --rate=44100 --channels=1 --device=tone \
        --client-name=station-test-tone'
    wait_for "the sine source" sine_has_sound
    ;;
stop)
    stop_all
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
