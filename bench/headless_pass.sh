#!/bin/sh
# Times headless passes of the demo with its music (no pictures written): fields per second over the whole
# pass of 4101 fields and over each scene, best of a few runs. A build with --stats-split times its scenes
# within each pass; an older build is timed by runs of growing length instead, a scene's time being the
# difference of the runs ending at its end and at its start. Given a second build, both builds run
# interleaved and the ratio of the first to the second is shown.
# Usage: bench/headless_pass.sh [build-dir] [baseline-build-dir] [runs]
set -e
build=${1:-build}
baseline=$2
runs=${3:-3}

# Scene ends (src/demo/timeline.h, bars.h): the flag hangs and waves until 1600, falls until 2000, the net
# turns until 3700, the band closes until the pass ends at 4101.
ends="1600 2000 3700 4101"
splits=1600,2000,3700

# Prints "split" lines, "<scene> <fields/s>", for a build that times its own scenes; else "end" lines,
# "<fields> <seconds>", for runs of growing length. Seconds are the program's own clock, around the fields.
measure() {
    if "$1/orbdemo" --help 2>&1 | grep -q -- --stats-split; then
        "$1/orbdemo" --headless --frames 4101 --stats --stats-split "$splits" 2>&1 >/dev/null |
            sed -n 's/.* fields in \([0-9.]*\) s: .*/pass \1/p; s/^[^ ]*: fields //p' |
            awk '/^pass/ { print "split 5 " 4101 / $2; next }
                 { n = split($0, part, ", "); for (i = 1; i <= n; ++i) { split(part[i], w, " "); print "split " i " " w[3] } }'
    else
        for end in $ends; do
            "$1/orbdemo" --headless --frames "$end" --stats 2>&1 >/dev/null |
                sed -n "s/.* fields in \([0-9.]*\) s.*/end $end \1/p"
        done
    fi
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for run in $(seq "$runs"); do
    for dir in "$build" $baseline; do
        measure "$dir" | sed "s|^|$dir |" >> "$results"
    done
done
"$build/orbdemo" --headless --frames 4101 --stats 2>&1 >/dev/null | grep 'fields/s' | sed 's/^/last pass: /'

awk -v build="$build" -v baseline="$baseline" -v ends="$ends" '
    $2 == "split" { if (!(($1, $3) in fast) || $4 > fast[$1, $3]) fast[$1, $3] = $4 }
    $2 == "end" { if (!(($1, $3) in best) || $4 < best[$1, $3]) best[$1, $3] = $4 }
    # Fields per second of scene i (5: the whole pass), from fields `from` to `to`.
    function rate(dir, i, from, to) {
        if ((dir, i) in fast) return fast[dir, i]
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
            r = rate(build, i, from, to)
            # A scene shorter than the runs noise gives no figure.
            printf "%-8s %4d-%-6d %12s", (i <= 4 ? name[i] : "pass"), from, to - 1, (r > 0 ? sprintf("%.0f", r) : "-")
            if (baseline != "") {
                b = rate(baseline, i, from, to)
                printf " %12s %7s", (b > 0 ? sprintf("%.0f", b) : "-"), (r > 0 && b > 0 ? sprintf("%.2fx", r / b) : "-")
            }
            printf "\n"
            from = to
        }
    }' "$results"
