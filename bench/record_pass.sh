#!/bin/sh
# Times recording one pass of the demo (4101 fields) to an MP4 with its sound, and checks the file has a
# picture and a sound stream. Usage: bench/record_pass.sh [build-dir] [out.mp4]
set -e
build=${1:-build}
out=${2:-/tmp/orbdemo-pass.mp4}
start=$(date +%s.%N)
"$build/orbdemo" --headless --frames 4101 --video "$out" >/dev/null
end=$(date +%s.%N)
streams=$(ffprobe -v error -show_entries stream=codec_name -of csv=p=0 "$out" | tr '\n' ' ')
echo "recorded 4101 fields with sound in $(awk "BEGIN { printf \"%.1f\", $end - $start }") s: $out ($streams)"
