#!/bin/sh
# Builds the demo's web page into build-web/ with emscripten: index.html, the program, the song and the
# sound worklet, a static folder for any file server. With --serve, serves it on http://127.0.0.1:8000/.
set -e
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
# The page build runs the data embedder of a native build.
[ -x build/tools/orb_embed ] || { cmake -S . -B build -DCMAKE_BUILD_TYPE=Release && cmake --build build -j"$(nproc)" --target orb_embed; }
[ -f web/node_modules/chiptune3/libopenmpt.worklet.js ] || (cd web && npm ci --no-audit --no-fund)
# emscripten's optimiser finds its node modules through NODE_PATH.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build-web/cmake -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DORB_EMBED="$PWD/build/tools/orb_embed"
cmake --build build-web/cmake -j"$(nproc)"
if [ "$1" = "--serve" ]; then
    echo "serving build-web/ on http://127.0.0.1:8000/ (Ctrl-C stops)"
    exec python3 -m http.server 8000 --bind 127.0.0.1 --directory build-web
fi
