#!/usr/bin/env bash
# Builds the fuzz tree and runs every fuzz target for SECONDS seconds each:
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]      (default 60 s, all targets)
#
# The tree (build/fuzz) is native, built with clang, libFuzzer and the address
# and undefined-behaviour sanitizers, with a libjpeg-turbo built the same way.
# Each target starts from its seeds in tests/fuzz/corpus/<target>/ and the
# inputs earlier runs kept in build/fuzz/corpus/<target>/; a crash leaves its
# input in build/fuzz/artifacts/<target>/ and the log in build/fuzz/logs/.
# At the end it prints, per target, the executions, executions per second,
# coverage (edges and features) and the new inputs kept, then
# "fuzz: N passed, N failed"; it exits 1 when any target crashed. Slowness
# fails nothing: only a crash, a failed check or a hang (60 s on one input).
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

seconds=${1:-60}
shift $(( $# > 0 ? 1 : 0 ))
case $seconds in '' | *[!0-9]*) echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2; exit 2 ;; esac

bash scripts/setup.sh >/dev/null || { echo "fuzz: setup failed" >&2; exit 1; }
bash scripts/build-third-party.sh fuzz || { echo "fuzz: libjpeg-turbo failed" >&2; exit 1; }
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DQN_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >build/fuzz-configure.log 2>&1 || { cat build/fuzz-configure.log; echo "fuzz: configure failed" >&2; exit 1; }
cmake --build build/fuzz -j2 || { echo "fuzz: build failed" >&2; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < build/fuzz/tests/fuzz/targets.txt
fi

passed=0
failed=0
results=()
for t in "${targets[@]}"; do
    [ -n "$t" ] || continue
    exe=build/fuzz/tests/fuzz/$t
    if [ ! -x "$exe" ]; then
        results+=("fuzz: $t was not built")
        failed=$((failed + 1))
        continue
    fi
    mkdir -p "build/fuzz/corpus/$t" "build/fuzz/artifacts/$t" build/fuzz/logs
    seeds=()
    [ -d "tests/fuzz/corpus/$t" ] && seeds=("tests/fuzz/corpus/$t")
    dict=()
    [ -f "tests/fuzz/$t.dict" ] && dict=("-dict=tests/fuzz/$t.dict")
    # A target's own libFuzzer flags, one a line (a memory bound, say).
    extra=()
    [ -f "tests/fuzz/$t.options" ] && mapfile -t extra < <(grep -v '^#' "tests/fuzz/$t.options" | grep .)
    log=build/fuzz/logs/$t.log
    # One input may take its time (a large picture under the sanitizers),
    # but not a hang's.
    "$exe" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=3072 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$t/" "${dict[@]}" "${extra[@]}" \
        "build/fuzz/corpus/$t" "${seeds[@]}" >"$log" 2>&1
    rc=$?
    stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -n 1; }
    runs=$(stat number_of_executed_units)
    rate=$(stat average_exec_per_sec)
    added=$(stat new_units_added)
    # The last status line carries the coverage: "cov: <edges> ft: <features>".
    cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1 | awk '{print $2 " edges, " $4 " features"}')
    corpus=$(ls "build/fuzz/corpus/$t" | wc -l)
    stats="${runs:-?} runs in $seconds s (${rate:-?}/s), ${cov:-no coverage}, ${added:-?} new inputs, corpus $corpus"
    if [ "$rc" -eq 0 ]; then
        passed=$((passed + 1))
        results+=("fuzz: $t $stats, no crash")
    else
        failed=$((failed + 1))
        artefact=$(grep -o "Test unit written to .*" "$log" | tail -n 1 | sed 's/Test unit written to //')
        results+=("fuzz: $t CRASHED (exit $rc) after ${runs:-?} runs: ${artefact:-no input written}; log $log")
        results+=("$(grep -m 1 -E "ERROR: |fuzz check failed|runtime error|fuzz_run: " "$log" | sed 's/^/  /')")
    fi
    echo "-- $t: exit $rc, $stats"
done
# Every target's figures together at the end, however long the run.
printf '%s\n' "${results[@]}"
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
