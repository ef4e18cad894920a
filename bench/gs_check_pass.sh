#!/bin/bash
# What --gs-check costs: the best of a few headless passes of the demo (4101 fields) without and with the
# check, and, when a second build is named (one without the checker), that build's pass for comparison.
# Times are CPU seconds (user and system), which other work on the machine disturbs less than the clock.
# Usage: bench/gs_check_pass.sh [build-dir] [baseline-build-dir] [runs]
set -e
build=${1:-build}
baseline=${2:-}
runs=${3:-3}

# Best CPU seconds of `runs` passes of the program $1 with the options that follow.
best() {
    local program=$1
    shift
    local TIMEFORMAT='%U %S'
    for i in $(seq "$runs"); do
        { time "$program" --headless --frames 4101 "$@" >/dev/null 2>&1; } 2>&1 | awk '{ printf "%.3f\n", $1 + $2 }'
    done | sort -n | head -1
}

plain=$(best "$build/orbdemo")
checked=$(best "$build/orbdemo" --gs-check)
echo "pass without --gs-check: $plain s"
echo "pass with --gs-check:    $checked s ($(awk "BEGIN { printf \"%.2f\", $checked / $plain }") times as long)"
if [ -n "$baseline" ]; then
    before=$(best "$baseline/orbdemo")
    echo "pass of $baseline:  $before s (this build without --gs-check: $(awk "BEGIN { printf \"%.3f\", $plain / $before }") times as long)"
fi
