#!/bin/sh
# Times headless runs of the demo (no pictures written, music on): fields per second over the whole pass of
# 4101 fields and over each scene, best of a few runs. Scenes come from runs of growing length: a scene's time
# is the difference of the runs ending at its end and at its start. Given a second build, both builds run
# interleaved and the ratio of the first to the second is shown.
# Usage: bench/headless_pass.sh [build-dir] [baseline-build-dir] [runs]
set -e
build=${1:-build}
baseline=$2
runs=${3:-3}

# Scene ends (src/demo/timeline.h, bars.h): the flag hangs and waves until 1600, falls until 2000, the net
# turns until 3700, the band closes until the pass ends at 4101.
ends="1600 2000 3700 4101"

# Seconds the program reports for a run of N fields (its own clock, around the fields only).
seconds() {
    "$1/orbdemo" --headless --frames "$2" --stats 2>&1 >/dev/null | sed -n 's/.* fields in \([0-9.]*\) s.*/\1/p'
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for run in $(seq "$runs"); do
    for end in $ends; do
        for dir in "$build" $baseline; do
            echo "$dir $end $(seconds "$dir" "$end")" >> "$results"
        done
    done
done
"$build/orbdemo" --headless --frames 4101 --stats 2>&1 >/dev/null | grep 'fields/s' | sed 's/^/last pass: /'

awk -v build="$build" -v baseline="$baseline" -v ends="$ends" '
    { if (!(($1, $2) in best) || $3 < best[$1, $2]) best[$1, $2] = $3 }
    function rate(dir, from, to) {
        t = best[dir, to] - (from > 0 ? best[dir, from] : 0)
        return t > 0 ? (to - from) / t : 0
    }
    END {
        split(ends, e, " ")
        split("flag fall net closing", name, " ")
        printf "%-8s %-11s %12s", "scene", "fields", "fields/s"
        if (baseline != "") printf " %12s %7s", "baseline", "ratio"
        printf "\n"
        from = 0
        for (i = 1; i <= 5; ++i) {
            to = i <= 4 ? e[i] : e[4]
            if (i == 5) from = 0
            r = rate(build, from, to)
            # A scene shorter than the runs noise gives no figure.
            printf "%-8s %4d-%-6d %12s", (i <= 4 ? name[i] : "pass"), from, to - 1, (r > 0 ? sprintf("%.0f", r) : "-")
            if (baseline != "") {
                b = rate(baseline, from, to)
                printf " %12s %7s", (b > 0 ? sprintf("%.0f", b) : "-"), (r > 0 && b > 0 ? sprintf("%.2fx", r / b) : "-")
            }
            printf "\n"
            from = to
        }
    }' "$results"
