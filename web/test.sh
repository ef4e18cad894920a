#!/bin/sh
# Builds the web page and checks it in headless Chromium against the desktop program in build/.
set -e
cd "$(dirname "$0")/.."
./web/build.sh
[ -x build/orbdemo ] || cmake --build build -j"$(nproc)" --target orbdemo orb_host_files
node --experimental-websocket web/page_test.mjs "$@"
