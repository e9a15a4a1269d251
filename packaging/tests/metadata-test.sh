#!/usr/bin/env bash
# The menu entry and the software-centre metadata pass their standards' validators without a single
# error, and the metadata's newest release is the version being built.
# Usage: metadata-test.sh <desktop file> <metainfo file> <version>
set -euo pipefail
desktop=$1 metainfo=$2 version=$3
failures=0

report=$(desktop-file-validate "$desktop" 2>&1) && status=0 || status=$?
# Some errors are reported with a zero status ("will be fatal in the future"): any error fails.
if [[ $status != 0 ]] || grep -q 'error:' <<<"$report"; then
    echo "FAIL: desktop-file-validate: $report" >&2
    failures=$((failures + 1))
fi

if ! report=$(appstreamcli validate --no-net "$metainfo" 2>&1); then
    echo "FAIL: appstreamcli validate: $report" >&2
    failures=$((failures + 1))
fi

newest=$(xmllint --xpath 'string(//releases/release[1]/@version)' "$metainfo")
if [[ $newest != "$version" ]]; then
    echo "FAIL: the newest release in $metainfo is '$newest', the build is $version" >&2
    failures=$((failures + 1))
fi

((failures == 0)) || exit 1
echo "menu entry and metadata valid"
