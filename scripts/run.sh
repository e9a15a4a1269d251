#!/usr/bin/env bash
# Sets the machine up, builds the station and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "No display: start the station from a desktop session, or under a virtual display with: Xvfb :99 & DISPLAY=:99 $0" >&2
    exit 1
fi
exec "$root/build/bin/interview-station"
