#!/usr/bin/env bash
# Installs the Debian packages of debian-packages.txt that are missing, then builds the station into
# build/. Safe to run again: it installs nothing that is there and rebuilds only what changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-packages.sh"

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
