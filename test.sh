#!/bin/sh
# Builds and runs every test: once in Release (and the web page in headless Chromium), once more with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -e
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
./web/test.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORB_SANITIZE=ON -DORB_BENCHMARKS=OFF
cmake --build build-sanitize -j"$(nproc)"
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
