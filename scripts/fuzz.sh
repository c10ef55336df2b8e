#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ and runs each for a bounded time.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   (default 60 s each; targets:
# import listing cli picture font). New inputs gather in fuzz/corpus-work/<target>/; an input
# that breaks the engine is written to fuzz/corpus-work/findings/ and stops the run with a
# non-zero status.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(import listing cli picture font)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOTLANE_BUILD_FUZZERS=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p fuzz/corpus-work/findings
for target in "${targets[@]}"; do
    echo "fuzz: $target for $seconds s"
    mkdir -p "fuzz/corpus-work/$target"
    # The committed seeds are read, never written: new inputs go to the work folder.
    log="fuzz/corpus-work/$target.log"
    # Absolute paths: fuzz_cli runs in a folder of its own.
    if ! build-fuzz/fuzz/"fuzz_$target" "$PWD/fuzz/corpus-work/$target" "$PWD/fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$PWD/fuzz/corpus-work/findings/$target-" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "fuzz: $target found a failing input (see fuzz/corpus-work/findings/)" >&2
        exit 1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|^stat::(number_of_executed_units|peak_rss_mb)' "$log"
done
