#!/usr/bin/env bash
# Runs every headless core test (tests/core/*/tst_*.cpp) under valgrind's
# memcheck: an invalid read or write, a use of an uninitialised value or a
# definite leak fails the run. tools/valgrind.supp holds the few reports that
# belong to Qt's and glibc's own code, each with the reason. A test that fails
# without a memory error is listed but does not fail the run: at valgrind's
# speed (some twenty times slower) a few timing bounds of the ordinary suite
# cannot hold, and that suite checks them. The soak is left out: it measures
# resident memory, which valgrind's own bookkeeping inflates.
#   tools/valgrind.sh [build-dir]   (default build-valgrind)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/tools/install-deps.sh" valgrind
build="${1:-$root/build-valgrind}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
tests=()
for source in "$root"/tests/core/*/tst_*.cpp; do
    test="$(basename "$source" .cpp)"
    [ "$test" = tst_soak ] || tests+=("$test")
done
cmake --build "$build" --target "${tests[@]}"

export QT_QPA_PLATFORM=offscreen
failed=()
for test in "${tests[@]}"; do
    binary=$(find "$build/tests" -name "$test" -type f -perm -u+x | head -1)
    log="$build/valgrind-$test.log"
    status=0
    valgrind --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
        --show-leak-kinds=definite --track-origins=yes --num-callers=30 \
        --suppressions="$root/tools/valgrind.supp" --gen-suppressions=all \
        "$binary" >"$log" 2>&1 || status=$?
    errors=$(sed -n 's/.*ERROR SUMMARY: \([0-9]*\) errors.*/\1/p' "$log" | tail -1)
    if [ "$status" -eq 0 ]; then
        echo "$test: clean"
    elif [ "${errors:-1}" -eq 0 ]; then
        echo "$test: clean; a test failed at valgrind's speed (see $log)"
    else
        echo "$test: $errors memory errors (see $log)"
        failed+=("$test")
    fi
done
[ ${#failed[@]} -eq 0 ] || { echo "valgrind found errors in: ${failed[*]}"; exit 1; }
echo "valgrind: ${#tests[@]} core tests clean"
