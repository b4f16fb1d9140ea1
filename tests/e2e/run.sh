#!/usr/bin/env bash
# Runs every tests/e2e/test_*.sh (or those whose names contain one of the
# arguments) on one display and one Wine prefix, then prints the total.
# Exits 1 when any check failed or a test script did not report.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/wine-env.sh
. "$here/../../scripts/wine-env.sh" ""

qn_wine_prefix_ensure || exit 1
qn_xvfb_start || exit 1
export DISPLAY
export E2E_TALLY
E2E_TALLY=$(mktemp)
trap 'qn_wine_stop; qn_xvfb_stop; rm -f "$E2E_TALLY"' EXIT

wanted() {
    local name=$1 w
    [ $# -eq 1 ] && return 0
    shift
    for w in "$@"; do [[ "$name" == *"$w"* ]] && return 0; done
    return 1
}

passed=0 failed=0 scripts=0
for t in "$here"/test_*.sh; do
    [ -f "$t" ] || continue
    wanted "$(basename "$t")" "$@" || continue
    scripts=$((scripts + 1))
    echo "== $(basename "$t")"
    # A script that drove the real pointer leaves it where it clicked; a
    # window shown under it later gets a hover hint. Park it in the corner,
    # which no test window covers.
    read -r w h < <(xdotool getdisplaygeometry 2>/dev/null) && xdotool mousemove $((w - 1)) $((h - 1))
    before=$(wc -l <"$E2E_TALLY")
    bash "$t"
    rc=$?
    if [ "$(wc -l <"$E2E_TALLY")" -eq "$before" ]; then
        echo "  FAIL  $(basename "$t") gave no result (exit status $rc)"
        failed=$((failed + 1))
    elif [ "$rc" -ne 0 ] && [ "$(tail -n 1 "$E2E_TALLY" | cut -d' ' -f2)" -eq 0 ]; then
        echo "  FAIL  $(basename "$t") exited with status $rc"
        failed=$((failed + 1))
    fi
done
while read -r p f _; do
    passed=$((passed + p))
    failed=$((failed + f))
done <"$E2E_TALLY"

[ "$scripts" -gt 0 ] || { echo "e2e: no test scripts matched" >&2; failed=$((failed + 1)); }
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
