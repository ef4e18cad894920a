#!/bin/sh
# Builds a fuzz target with clang and libFuzzer and fuzzes it for SECONDS (default 60).
#   usage: fuzz/run.sh [SECONDS] [TARGET]
# TARGET: lwo2_fuzz (the default; starts from fuzz/seeds and the embedded plate) or gs_stream_fuzz.
# The build goes to $ORB_FUZZ_BUILD_DIR (default build-fuzz). Exits 77 (skipped) where clang cannot link a fuzzer.
set -e
seconds=${1:-60}
target=${2:-lwo2_fuzz}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORB_FUZZ_BUILD_DIR:-$root/build-fuzz}
case $target in
lwo2_fuzz | gs_stream_fuzz) ;;
*) echo "no fuzz target called $target" >&2; exit 2 ;;
esac
corpus="$build/corpus-$target"
mkdir -p "$corpus"

probe="$build/fuzzer_probe"
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' >"$probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe.cpp" -o "$probe" 2>/dev/null; then
    echo "clang++ cannot link a libFuzzer target here: skipped"
    exit 77
fi

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORB_FUZZ=ON -DBUILD_TESTING=OFF -DORB_BENCHMARKS=OFF >"$build/configure.log"
cmake --build "$build" --target "$target" -j2

# New inputs go to the first folder; crash files to the build folder.
set -- -max_total_time="$seconds" -timeout=10 -print_final_stats=1
if [ "$target" = lwo2_fuzz ]; then
    cp "$root/data/plate.lwo" "$corpus/"
    set -- "$@" -dict="$root/fuzz/lwo2.dict" "$corpus" "$root/fuzz/seeds"
else
    # A stream of a few dozen primitives, not one register at a time.
    set -- "$@" -max_len=2048 -len_control=20 "$corpus"
fi
cd "$build"
exec "$build/fuzz/$target" "$@"
