#!/usr/bin/env bash
# The sweep (tools/sweep): every window and page of the launcher, on the
# real backend, under the default scheme, a dark one and high contrast, at
# 100, 150 and 200 %, with names in Cyrillic, Greek and Latin-1. Prints its
# table; passes when it finds no fault. Screenshots of each window under
# the dark scheme and at 200 % go to build/e2e/shots/sweep/.
#
# On a screen large enough for the main window at 200 % (its own Xvfb
# unless the display it is given is that large).
here=$(cd "$(dirname "$0")" && pwd)
export QN_XVFB_SCREEN=2048x1536x24
if [ -n "${DISPLAY:-}" ]; then
    size=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ { print $2 }')
    if [ -z "$size" ] || [ "${size%x*}" -lt 1400 ] || [ "${size#*x}" -lt 1100 ]; then unset DISPLAY; fi
fi
. "$here/lib.sh"

sweep=$(e2e_exe qnsweep.exe) || exit 1
shots=$E2E_SHOTS/sweep
rm -rf "$shots"
mkdir -p "$shots"
face() { wine reg query 'HKCU\Control Panel\Colors' /v ButtonFace 2>/dev/null | tr -d '\r' | awk '/ButtonFace/ { print $3, $4, $5 }'; }
before=$(face)
t0=$(date +%s%N)
(cd "$(dirname "$sweep")" && QN_SWEEP_SHOTS=$(qn_winpath "$shots") e2e_guard 300 wine ./qnsweep.exe) >"$E2E_WORK/table"
rc=$?
sed 's/^/    /' "$E2E_WORK/table"
check_eq "the sweep finds no fault in any window under any condition" 0 "$rc"
check_contains "it swept every window under every condition" "$(tail -n 1 "$E2E_WORK/table")" "sweep: 91 windows"
check_eq "the scheme is the one it found, for whatever runs next" "$before" "$(face)"
echo "  the sweep took $((($(date +%s%N) - t0) / 1000000)) ms"
for bmp in "$shots"/*.bmp; do
    [ -f "$bmp" ] && convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
done
check_eq "a screenshot of each window under the dark scheme and at 200 %" 52 "$(find "$shots" -name '*.png' | wc -l)"
