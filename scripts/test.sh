#!/usr/bin/env bash
# The one test command: builds, then runs the native unit tests, the Win32
# integration tests under Wine, the end-to-end tests and a short run of each
# fuzz target, and prints one summary. Exits 1 when any level fails.
#
# Wine programs run on a private Xvfb so nothing lands on the user's screen;
# QN_TEST_DISPLAY=host uses $DISPLAY instead.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

summary=()
status=0
record() { # level ok|FAILED|detail...
    summary+=("$1 $2")
    [ "$2" = FAILED ] && status=1
    return 0
}
finish() {
    local verdict=PASSED joined
    [ "$status" -eq 0 ] || verdict=FAILED
    joined=$(printf '%s; ' "${summary[@]}")
    echo "test: $verdict (${joined%; })"
    exit "$status"
}

echo "== build"
if bash scripts/build.sh; then record build ok; else record build FAILED; finish; fi

echo "== native unit tests"
if ctest --test-dir build/native --output-on-failure; then record native ok; else record native FAILED; fi

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh
qn_wine_prefix_ensure || { record wine FAILED; finish; }
if [ "${QN_TEST_DISPLAY:-}" = host ]; then qn_xvfb_start; else qn_xvfb_start force; fi ||
    { record display FAILED; finish; }
export DISPLAY
trap 'qn_wine_stop; qn_xvfb_stop' EXIT
# A session still running keeps the display it started with.
qn_wine_stop

echo "== win32 integration tests"
win32_programs=$(find build/win32/tests -name '*_tests.exe' -type f -not -path '*/CMakeFiles/*' 2>/dev/null | sort)
if [ -z "$win32_programs" ]; then
    record win32 "none built"
else
    win32_failed=0
    count=0
    while IFS= read -r exe; do
        count=$((count + 1))
        echo "-- $exe"
        (cd "$(dirname "$exe")" && timeout --kill-after=5 600 wine "./$(basename "$exe")")
        rc=$?
        if [ "$rc" -ne 0 ]; then
            echo "test: $exe exited with $rc"
            win32_failed=1
            # A program that timed out leaves Wine processes behind.
            qn_wine_stop
        fi
    done <<<"$win32_programs"
    if [ "$win32_failed" -eq 0 ]; then record win32 "ok, $count program(s)"; else record win32 FAILED; fi
fi

echo "== end-to-end tests"
if bash tests/e2e/run.sh; then record e2e ok; else record e2e FAILED; fi

# A few seconds per target: long enough to replay the seeds and the inputs
# earlier runs kept, and to try some new ones; scripts/fuzz.sh runs longer.
echo "== fuzz targets"
mkdir -p build
bash scripts/fuzz.sh "${QN_FUZZ_SECONDS:-5}" | tee build/fuzz-last.log
if [ "${PIPESTATUS[0]}" -eq 0 ]; then
    record fuzz "ok, $(grep -c '^fuzz: .* no crash$' build/fuzz-last.log) target(s)"
else
    record fuzz FAILED
fi

finish
