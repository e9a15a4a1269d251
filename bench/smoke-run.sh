#!/usr/bin/env bash
# Runs one benchmark program in its smoke mode for the test command: it fails when the program
# fails, reports a benchmark that stopped with an error, or prints no line with its figures.
#   smoke-run.sh FIGURE-PATTERN PROGRAM [ARGUMENTS...]   (FIGURE-PATTERN: an extended regex)
set -uo pipefail
figure=$1
shift
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
if ((status != 0)); then
    echo "FAIL: $1 ended with status $status" >&2
    exit 1
fi
if grep -q 'ERROR OCCURRED' <<<"$output"; then
    echo "FAIL: a benchmark of $1 stopped with an error" >&2
    exit 1
fi
if ! grep -E -q -- "$figure" <<<"$output"; then
    echo "FAIL: $1 printed no figure (nothing matched: $figure)" >&2
    exit 1
fi
