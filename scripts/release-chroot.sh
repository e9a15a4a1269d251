#!/usr/bin/env bash
# The station on another Debian release, as the test command tests it: a minimal system of that
# release made from Debian's packages in a folder (debootstrap), the working tree copied into it,
# the project's own set-up run inside (chroot), then the build with warnings as errors, the main
# test suite against a private PulseAudio and one whole interview on PipeWire there
# (scripts/release-suite.sh).
#   release-chroot.sh prepare SUITE DIR  makes the system in DIR/root unless a whole one is there,
#                                        copies the working tree in and installs the project's
#                                        packages (network and disk, little processor)
#   release-chroot.sh test DIR           copies the working tree in again, builds and tests inside
#                                        (the processor's work)
# /proc, /sys, /dev and /dev/pts are bound into the system (with a /dev/shm of its own) for each
# step and unbound on every exit, also on failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmd=${1:?prepare or test}
case "$cmd" in
prepare)
    suite=${2:?Debian suite, for example trixie}
    dir=${3:?folder for the system}
    ;;
test) dir=${2:?folder for the system} ;;
*)
    echo "usage: $0 prepare SUITE DIR | test DIR" >&2
    exit 2
    ;;
esac
mkdir -p "$dir"
dir=$(cd "$dir" && pwd)
system=$dir/root
source_copy=/src/station

# Mounts made by this run, undone in the reverse order.
mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" ||
            echo "release-chroot: could not unmount ${mounted[i]}" >&2
    done
    mounted=()
}
trap unmount_all EXIT
trap 'exit 130' INT TERM HUP

mount_into_system() {
    # The system's root is a mount of its own (and private), so that the tests that hide a folder
    # or mount a tmpfs in a mount namespace of their own can make its mounts private, as they do
    # on a machine; what is mounted below it then stays inside.
    mount --bind "$system" "$system"
    mounted+=("$system")
    mount --make-private "$system"
    local folder
    for folder in proc sys dev dev/pts; do
        mount --bind "/$folder" "$system/$folder"
        mounted+=("$system/$folder")
    done
    mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$system/dev/shm"
    mounted+=("$system/dev/shm")
}

# A command in the system, as root, with a clean environment of its own.
inside() {
    chroot "$system" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive "$@"
}

# The working tree as git sees it (tracked and new files, without what is ignored), replacing the
# previous copy; the copy's build folder is kept, so that a second run rebuilds only what changed.
copy_working_tree() {
    local target=$system$source_copy
    mkdir -p "$target"
    find "$target" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
    (cd "$root" && git ls-files -z -c -o --exclude-standard |
        tar --null -T - --ignore-failed-read -cf -) | tar -xf - -C "$target"
}

if [[ $cmd == prepare ]]; then
    # A folder without the mark of a finished bootstrap (a first run, or one that was stopped) is
    # made anew.
    if [[ ! -f $dir/bootstrapped ]]; then
        rm -rf "$system"
        debootstrap --variant=minbase "$suite" "$system"
        # The package sources of an installed machine of that release, with its updates and
        # security updates (Debian 12's 7-Zip library came with those): this machine's own Debian
        # sources under the other suite's name, where they are in the usual file.
        host_suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
        if [[ -n $host_suite && -f /etc/apt/sources.list.d/debian.sources ]]; then
            sed "s/\\b$host_suite\\b/$suite/g" /etc/apt/sources.list.d/debian.sources \
                >"$system/etc/apt/sources.list.d/debian.sources"
            rm -f "$system/etc/apt/sources.list"
        fi
        # Packages installed in the system start no services there.
        printf '#!/bin/sh\nexit 101\n' >"$system/usr/sbin/policy-rc.d"
        chmod +x "$system/usr/sbin/policy-rc.d"
        touch "$dir/bootstrapped"
    fi
    copy_working_tree
    mount_into_system
    # An installation a stopped run left half done is finished first.
    inside dpkg --configure -a
    inside "$source_copy/scripts/install-packages.sh"
    exit 0
fi

[[ -f $dir/bootstrapped ]] || { echo "release-chroot: no system in $dir; prepare it first" >&2; exit 1; }
# The tree as it is now: it may have changed while the system was prepared.
copy_working_tree
mount_into_system
inside bash -c "grep PRETTY_NAME /etc/os-release && cd $source_copy &&
    STATION_WARNINGS_AS_ERRORS=ON \
    STATION_PACKAGE_MAINTAINER='Interview Station Packaging <packaging@example.org>' \
    ./scripts/setup.sh && ./scripts/release-suite.sh"
