#!/usr/bin/env bash
# Builds the Debian package from the build folder, reads its control data and file list, unpacks it
# and checks the unpacked tree like an installed one. Every library the programs link or load must
# come from a package the control data depends on, and lintian finds neither error nor warning.
# Usage: package-test.sh <build folder> <version> <maintainer configured for the package>
set -euo pipefail
build=$1 version=$2 maintainer=${3:-}
if [[ -z $maintainer ]]; then
    echo "SKIP: no package maintainer configured (-DSTATION_PACKAGE_MAINTAINER=\"Name <address>\";" \
        "the test command sets one)"
    exit 77
fi
scratch=$(mktemp -d /tmp/station-package.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/installed-tree.sh"

(cd "$build" && cpack --config CPackConfig.cmake -B "$scratch/out") >"$scratch/cpack.log" ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
arch=$(dpkg --print-architecture)
deb=$scratch/out/interview-station_${version}_$arch.deb
[[ -f $deb ]] || { echo "FAIL: no $deb: $(ls "$scratch/out")" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == interview-station ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture: $(field Architecture)"
[[ $(field Maintainer) == "$maintainer" && -n $(field Section) ]] ||
    fail "Maintainer '$(field Maintainer)' (configured: '$maintainer') or no Section"
[[ $(field Description) == *"Собеседование по русскому языку"* ]] ||
    fail "Description: $(field Description)"

# The names in Depends, without versions or alternatives.
mapfile -t depends < <(field Depends | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/^ +//; s/ +$//' |
    grep -v '^$')
depends_on() {
    local wanted=$1 name
    for name in "${depends[@]}"; do [[ $name == "$wanted" ]] && return 0; done
    return 1
}
# The package that installed a file on this machine; tries the path as given and as resolved,
# since the library folders are reached both with and without /usr.
owner_of() {
    local path=$1 candidate
    for candidate in "$path" "$(realpath "$path")" "${path#/usr}" "/usr$path"; do
        # Debian 13 lists the merged /usr's diversions first ("diversion by libc6 from: ...").
        dpkg -S "$candidate" 2>/dev/null | grep -v '^diversion by ' | head -n 1 | cut -d: -f1 |
            grep . && return 0
    done
    return 1
}
require_owner_in_depends() { # path why
    local owner
    owner=$(owner_of "$1") || { fail "$1 ($2) belongs to no Debian package"; return; }
    depends_on "$owner" || fail "Depends lacks $owner, which provides $1 ($2)"
}

# The file list: only the program folders, the private library folder and the desktop data.
dpkg-deb -c "$deb" | awk '{print $NF}' >"$scratch/files"
unexpected=$(grep -v -E '/$' "$scratch/files" | grep -v -E \
    '^\./usr/(bin/[^/]+|lib/interview-station/[^/]+\.so|share/(lintian/overrides/interview-station|applications/[^/]+\.desktop|icons/hicolor/scalable/apps/[^/]+\.svg|metainfo/[^/]+\.metainfo\.xml|man/man1/[^/]+\.1\.gz|doc/interview-station/(copyright|changelog\.gz)))$' ||
    true)
[[ -z $unexpected ]] || fail "unexpected files in the package: $unexpected"
for wanted in ./usr/bin/interview-station ./usr/lib/interview-station/liblame_enc.so \
    ./usr/lib/interview-station/libgain.so ./usr/share/applications/interview-station.desktop \
    ./usr/share/icons/hicolor/scalable/apps/interview-station.svg \
    ./usr/share/man/man1/interview-station.1.gz ./usr/share/doc/interview-station/copyright \
    ./usr/share/doc/interview-station/changelog.gz; do
    grep -q -x -F "$wanted" "$scratch/files" || fail "the package lacks $wanted"
done

dpkg-deb -x "$deb" "$scratch/root"
checked_libraries=""
check_installed_tree "$scratch/root/usr" "$version" "$scratch"

# Linked libraries of every program and private library.
while IFS= read -r -d '' elf; do
    file -b "$elf" | grep -q '^ELF' || continue
    ldd "$elf" >"$scratch/ldd" 2>&1 || { fail "ldd $elf: $(cat "$scratch/ldd")"; continue; }
    for soname in $(readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
        # "name => /path (address)", or "/path (address)" for the program loader itself.
        path=$(awk -v n="$soname" '$1 == n && $3 ~ /^\// {print $3}
            $1 ~ /^\// && $1 ~ ("/" n "$") {print $1}' "$scratch/ldd")
        [[ -n $path ]] || { fail "$(basename "$elf") needs $soname, which is not found"; continue; }
        require_owner_in_depends "$path" "needed by $(basename "$elf")"
    done
done < <(find "$scratch/root/usr/bin" "$scratch/root/usr/lib" -type f -print0)

# Libraries loaded by name at run time, where the installed station found them.
while IFS= read -r line; do
    path=${line#*: }
    [[ $path == /* && $path != "$scratch"/* ]] || continue
    require_owner_in_depends "$path" "loaded by the station"
done <<<"$checked_libraries"

# What Qt loads at start on a desktop, and the font of the controls.
require_owner_in_depends "$(find /usr/lib -path '*/qt6/plugins/platforms/libqxcb.so' | head -n 1)" \
    "Qt's X11 display back-end"
require_owner_in_depends "$(fc-match -f '%{file}' 'DejaVu Sans')" "the controls' font"

# Debian's own check of the package: no error and no warning.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$scratch/lintian" 2>&1 ||
    fail "lintian: $(cat "$scratch/lintian")"

((failures == 0)) || exit 1
echo "package $(basename "$deb") in order"
