#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (build-fuzz/), then runs each in turn for the given
# seconds (default 60) from its committed seeds. New inputs collect in
# build-fuzz/corpus/<target>, so the tree keeps only the small seed corpora; a
# crash or a broken property leaves its input in build-fuzz/artifacts/ and makes
# the script fail; run the target on that file alone to see it again, with
# ASAN_OPTIONS=malloc_context_size=30 for where its memory came from.
# One fuzzer at a time: the machine's cores are shared.
#   tools/fuzz.sh [seconds] [target...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
shift || true
"$root/tools/install-deps.sh" clang libclang-rt-14-dev
build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZEPTA_FUZZ=ON >/dev/null
cmake --build "$build"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_commandtext fuzz_prtline fuzz_exportscan fuzz_exporters fuzz_binarysave
             fuzz_configfile fuzz_module)
fi
mkdir -p "$build/artifacts"
failed=0
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    log="$build/$target.log"
    # The module's inputs beyond 256 bytes only repeat what shorter ones reach,
    # at several times the cost of each run.
    limits=()
    [ "$target" = fuzz_module ] && limits=(-max_len=256)
    # Leaks are LeakSanitizer's business in the test suite; here every input
    # runs in one process, and Qt keeps a few caches for the process's life.
    # Recording a stack for every allocation halves the rate; a finding's
    # allocation stack comes from running its saved input again.
    if ASAN_OPTIONS=detect_leaks=0:malloc_context_size=0 "$build/fuzz/$target" \
        -max_total_time="$seconds" "${limits[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" \
        "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1; then
        result=ok
    else
        result="FAILED (see $log)"
        failed=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "$target: ${runs:-?} executions in ${seconds} s, $result"
done
exit $failed
