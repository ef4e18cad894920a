#!/bin/sh
# Builds the LWO2 loader's fuzz target with clang and libFuzzer and fuzzes it for SECONDS (default 60), starting
# from fuzz/seeds and the embedded plate.   usage: fuzz/run.sh [SECONDS]
# The build goes to $ORB_FUZZ_BUILD_DIR (default build-fuzz). Exits 77 (skipped) where clang cannot link a fuzzer.
set -e
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORB_FUZZ_BUILD_DIR:-$root/build-fuzz}
mkdir -p "$build/corpus"

probe="$build/fuzzer_probe"
printf '%s\n' '#include <cstddef>' '#include <cstdint>' \
    'extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }' >"$probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe.cpp" -o "$probe" 2>/dev/null; then
    echo "clang++ cannot link a libFuzzer target here: skipped"
    exit 77
fi

cmake -S "$root" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DORB_FUZZ=ON -DBUILD_TESTING=OFF -DORB_BENCHMARKS=OFF >"$build/configure.log"
cmake --build "$build" --target lwo2_fuzz -j2

cp "$root/data/plate.lwo" "$build/corpus/"
# New inputs go to the first folder; crash files to the build folder.
cd "$build"
exec "$build/fuzz/lwo2_fuzz" -max_total_time="$seconds" -timeout=10 -dict="$root/fuzz/lwo2.dict" \
    -print_final_stats=1 "$build/corpus" "$root/fuzz/seeds"
