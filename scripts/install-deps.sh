#!/bin/sh
# Installs the Debian 12 packages the build needs, when they are missing (apt-get, as root or through sudo).
set -e
packages="cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev libpng-dev zlib1g-dev libsdl2-dev ffmpeg libopenmpt-dev clang libclang-rt-14-dev xvfb xauth emscripten chromium"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "installing:$missing"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
