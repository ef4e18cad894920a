#!/bin/sh
# Times one headless pass of the demo (4101 fields, no pictures written), best of a few runs, with the
# pixels the GS drew per field. Usage: bench/headless_pass.sh [build-dir] [runs]
set -e
build=${1:-build}
runs=${2:-3}
for i in $(seq "$runs"); do
    "$build/orbdemo" --headless --frames 4101 --stats 2>&1 >/dev/null | grep 'fields/s'
done | awk '{ for (i = 1; i < NF; i++) if ($(i + 1) == "fields/s;") speed = $i; if (speed > best) { best = speed; line = $0 } }
           END { print line }'
