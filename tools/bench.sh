#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release (build-bench) and
# runs them, printing one Markdown table: each measure, Zepta's figure and the
# reference measured in the same run (median, then the spread of the
# repeats), their ratio, the goal and whether it was met. What the programs
# print besides goes to build-bench/bench.log. ZEPTA_BENCH_DIR names another
# build folder.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZEPTA_BENCH_DIR:-$root/build-bench}"
"$root/tools/install-deps.sh" xvfb
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
programs=(bench_clisend bench_tap bench_monitor bench_playback bench_busymodule bench_editorappend
          bench_logboard bench_startup)
cmake --build "$build" --target "${programs[@]}" >/dev/null

export QT_QPA_PLATFORM=offscreen
bin="$build/bench"
log="$build/bench.log"
: >"$log"
started=$SECONDS

# Runs one program; its table rows go to stdout, everything to the log.
run() {
    echo "== $*" >>"$log"
    "$@" 2>&1 | tee -a "$log" | grep '^|' || echo "| $* | failed, see $log | | | | **NO** |"
}

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
qt=$(qtpaths6 --qt-version 2>/dev/null || echo unknown)
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}, Qt $qt, $(uname -sr)"
echo
echo "| measure | Zepta | reference (same run) | ratio | goal | met |"
echo "|---|---|---|---|---|---|"
run "$bin/bench_clisend"
run "$bin/bench_tap"
run "$bin/bench_monitor"
run "$bin/bench_playback"
run "$bin/bench_busymodule"
run "$bin/bench_editorappend"
run "$bin/bench_logboard"
run "$bin/bench_startup" offscreen
run xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" "$bin/bench_startup" xcb
echo
echo "Medians (spread: lowest-highest) of the repeats; ran $((SECONDS - started)) s;" \
     "the programs' own output is in $log."
