#!/bin/sh
# Builds the demo and runs it: in a window when a display is there, otherwise headless, recording one
# pass of the timeline to orbdemo.mp4.
set -e
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
exec ./build/orbdemo "$@"
