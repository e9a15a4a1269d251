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

((failures == 0)) || exit 1
echo "installed tree in order"
