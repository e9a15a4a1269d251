#!/usr/bin/env bash
# Installs the Debian packages of debian-packages.txt that are missing (with sudo when not run as
# root). For each line of alternatives, one installed alternative is enough; otherwise the first one
# the package sources offer is installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/package-list.sh"

sudo_cmd=()
((EUID == 0)) || sudo_cmd=(sudo)
mapfile -t wanted < <(package_list_lines "$root/debian-packages.txt")
missing=()
updated=
for line in "${wanted[@]}"; do
    installed_alternative "$line" >/dev/null && continue
    # Which alternative this release offers is known once the package sources are up to date.
    if [[ -z $updated ]]; then
        "${sudo_cmd[@]}" apt-get update -q
        updated=yes
    fi
    package=$(offered_alternative "$line") || exit 1
    missing+=("$package")
done
((${#missing[@]})) || exit 0
echo "Installing: ${missing[*]}"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
