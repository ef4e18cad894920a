#!/bin/sh
# Times recording one pass of the demo (4101 fields) to an MP4 with its sound, checks the file has 4101
# pictures and a sound stream as long as them, and tells ffmpeg's share of the work apart from the
# program's. Usage: bench/record_pass.sh [build-dir] [out.mp4]
set -e
build=${1:-build}
out=${2:-/tmp/orbdemo-pass.mp4}
ffmpeg=$(command -v ffmpeg)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ffmpeg, timed on its own (every run of it added up) through a stand-in first on PATH.
cat >"$work/ffmpeg" <<EOF
#!/bin/sh
exec /usr/bin/time -a -f "%e %U %S" -o "$work/ffmpeg-time" "$ffmpeg" "\$@"
EOF
chmod +x "$work/ffmpeg"

/usr/bin/time -f "%e %U %S" -o "$work/pass-time" "$build/orbdemo" --headless --frames 4101 >/dev/null
PATH="$work:$PATH" /usr/bin/time -f "%e %U %S" -o "$work/record-time" \
    "$build/orbdemo" --headless --frames 4101 --video "$out" >/dev/null

streams=$(ffprobe -v error -count_frames -show_entries stream=codec_name,nb_read_frames,duration -of csv=p=0 "$out" |
          tr '\n' ' ')
read -r pass_wall pass_user pass_sys <"$work/pass-time"
read -r wall user sys <"$work/record-time"
f_cpu=$(awk '{ t += $2 + $3 } END { print t }' "$work/ffmpeg-time")
awk -v w="$wall" -v u="$user" -v s="$sys" -v pw="$pass_wall" -v pu="$pass_user" -v ps="$pass_sys" \
    -v f="$f_cpu" -v out="$out" -v streams="$streams" 'BEGIN {
    printf "recorded 4101 fields with sound in %.1f s (%.1f s of processor time): %s (%s)\n", w, u + s, out, streams
    printf "  the pass alone: %.1f s (%.1f s of processor time)\n", pw, pu + ps
    printf "  ffmpeg: %.1f s of processor time; the program while recording: %.1f s\n", f, u + s - f
}'
