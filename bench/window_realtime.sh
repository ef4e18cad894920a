#!/bin/sh
# Runs the demo in a window on a virtual X display for N fields in real time, reports the vertical blanks
# that came while the program was busy, and saves a screenshot of the window.
# Usage: bench/window_realtime.sh [build-dir] [fields] [screenshot.png]   (needs Xvfb and ffmpeg)
set -e
build=${1:-build}
fields=${2:-1100}
shot=${3:-/tmp/orbdemo-window.png}
display=:$((90 + $$ % 9))
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
DISPLAY=$display "$build/orbdemo" --frames "$fields" --stats >/dev/null 2>/tmp/orbdemo-window.log &
demo=$!
# Take the screenshot half way, while the flag is on show.
sleep $((fields / 100))
ffmpeg -hide_banner -loglevel error -y -f x11grab -video_size 1280x1024 -i "$display" -frames:v 1 "$shot"
wait $demo
grep 'fields/s' /tmp/orbdemo-window.log
echo "screenshot: $shot"
