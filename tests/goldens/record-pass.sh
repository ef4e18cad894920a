#!/bin/sh
# Records the hash of every field of one pass and the SHA-256 of its sound, which the PassHashes test compares
# against. Usage: tests/goldens/record-pass.sh [build-dir]
set -e
build=${1:-build}
here=$(dirname "$0")
wav=$(mktemp --suffix=.wav)
"$build/orbdemo" --headless --frames 4101 --field-hashes "$here/pass-hashes.txt" --wav "$wav"
sha256sum < "$wav" | cut -c1-64 > "$here/pass-sound.sha256"
rm -f "$wav"
