#!/usr/bin/env bash
# Installs the build into a scratch folder as a package manager would (DESTDIR) and checks the
# installed tree.
# Usage: install-test.sh <build folder> <version>
set -euo pipefail
build=$1 version=$2
scratch=$(mktemp -d /tmp/station-install.XXXXXX)
trap 'rm -rf "$scratch"' EXIT
source "$(dirname "$0")/installed-tree.sh"

DESTDIR=$scratch/root cmake --install "$build" --prefix /usr >"$scratch/install.log"
check_installed_tree "$scratch/root/usr" "$version" "$scratch" start

# Nothing lands outside the prefix.
outside=$(cd "$scratch/root" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[[ -z $outside ]] || fail "installed outside the prefix: $outside"

# A library missing from the installed tree is reported, never passed over.
rm "$scratch/root/usr/lib/interview-station/libgain.so"
answer=$(clean_user_environment "$scratch/home" "$scratch/root/usr/bin/interview-station" --check \
    2>&1) && status=0 || status=$?
[[ $status == 1 && $answer == *"libgain.so: не загружается"* &&
    $answer == *"liblame_enc.so: $scratch/root/usr/lib/interview-station/liblame_enc.so"* ]] ||
    fail "--check without libgain.so (status $status) answered '$answer'"

((failures == 0)) || exit 1
echo "installed tree in order"
