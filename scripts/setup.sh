#!/usr/bin/env bash
# Installs the Debian packages of debian-packages.txt that are missing, then builds the station into
# build/. Safe to run again: it installs nothing that is there and rebuilds only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

mapfile -t wanted < <(grep -v -E '^[[:space:]]*(#|$)' "$root/debian-packages.txt")
missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    ((EUID == 0)) || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
fi

build_type=${STATION_BUILD_TYPE:-RelWithDebInfo}
options=()
# The test command sets this: warnings fail its build.
[[ -n "${STATION_WARNINGS_AS_ERRORS:-}" ]] &&
    options+=(-DSTATION_WARNINGS_AS_ERRORS="$STATION_WARNINGS_AS_ERRORS")
# The Debian package's maintainer, "Name <address>"; the test command sets one for its package test.
[[ -n "${STATION_PACKAGE_MAINTAINER:-}" ]] &&
    options+=(-DSTATION_PACKAGE_MAINTAINER="$STATION_PACKAGE_MAINTAINER")
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${options[@]}" >/dev/null
cmake --build "$root/build"
