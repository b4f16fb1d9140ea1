#!/usr/bin/env bash
# Run benchmark: how a zipped run's cost grows with what the user keeps in
# the game's directory. In one go, on a private display and prefix, rounds
# alternate between:
#   empty   a game's directory holding only its driver
#   kept    the same with QN_BENCH_KEPT (default 10000) small files of the user's
#   hand    the same two command lines (unzip, then emulator) started by hand,
#           each in a console of its own as the launcher starts them
# each timed from a real double click on the row (xdotool) to the
# emulator's first log line. Then the start after a launcher killed during
# a run with QN_BENCH_KILLED (default 4000) items of the user's in the
# game's directory, against a start with nothing to finish, each from the
# process start to the main window's list answering.
#
#   bash scripts/bench-run.sh [rounds]    (default 5, after one warm-up)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
rounds=${1:-5}
kept=${QN_BENCH_KEPT:-10000}
killed=${QN_BENCH_KILLED:-4000}

[ -n "${QN_BENCH_NOBUILD:-}" ] || bash scripts/build.sh >/dev/null
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh "$root/build/wine/bench-prefix"
qn_wine_prefix_ensure || exit 1
qn_xvfb_start force || exit 1
export DISPLAY
trap 'qn_wine_stop; qn_xvfb_stop' EXIT
qn_wine_stop

win32=$root/build/win32
app=$root/build/bench-run
rm -rf "$app" && mkdir -p "$app" && cp -r demo/. "$app/"
cp "$win32/app/qnlaunch.exe" "$win32/tools/unzip/pkunzip.exe" "$win32/tools/driver/qndriver.exe" "$app/"
cp "$win32/tools/quon/quon.exe" "$app/emu/"
game=$app/emu/rtypeus
log=$app/quon.log
export QUON_LOG QUON_HOLD_MS=0
QUON_LOG=$(qn_winpath "$log")
key='HKEY_LOCAL_MACHINE\Software\Tolvane\Tolvane Quon FrontEnd v2.09'
setting() { wine reg add "$key" /v "$1" /d "$2" /f >/dev/null 2>&1; }
setting "Main Program Path" "$(qn_winpath "$app")\\"
setting "Quon Path" "$(qn_winpath "$app/emu")\\"
setting "Compressed ROMs Path" "$(qn_winpath "$app/zips")\\"
setting "PkUnzip Program" "$(qn_winpath "$app/pkunzip.exe")"
wine reg add 'HKEY_CURRENT_CONFIG\Display\Settings' /v Resolution /d 1024,768 /f >/dev/null 2>&1
drv() { (cd "$app" && wine qndriver.exe "$@"); }

now() { date +%s%N; }
lines() { if [ -f "$log" ]; then wc -l <"$log"; else echo 0; fi; }
# Nanoseconds until the log has an emulator record after `from` lines.
until_emulator() { # t0 from
    local end=$((SECONDS + 60))
    while ! awk -v from="$2" 'NR > from && /^cmdline=/ {found = 1; exit} END {exit !found}' "$log" 2>/dev/null; do
        [ "$SECONDS" -lt "$end" ] || { echo "bench: no emulator start" >&2; exit 1; }
        sleep 0.002
    done
    echo $(($(now) - $1))
}
user_files() { # count
    find "$game" -mindepth 1 ! -name rtypeus.qun -delete
    [ "$1" -gt 0 ] && python3 -c "
import sys
for n in range(int(sys.argv[2])): open('%s/save%05d.sav' % (sys.argv[1], n), 'w').write('mine')" "$game" "$1"
    return 0
}

(cd "$app" && wine qnlaunch.exe >/dev/null 2>&1 &)
drv wait Form1 30000 >/dev/null
row=$(drv rows Form1 ListView1 | cut -f3 | grep -n -x rtypeus | cut -d: -f1)
read -r vl vt _ <<<"$(drv rect Form1 ListView1)"
y=$((vt + 2 + 18 + (row - 1) * 15 + 7))
xdotool mousemove $((vl + 40)) "$y"

by_launcher() { # count
    user_files "$1"
    local from t0 ms
    from=$(lines)
    t0=$(now)
    xdotool click --repeat 2 --delay 60 1
    ms=$(until_emulator "$t0" "$from")
    # Back and listening before the next round.
    drv wait Form1 30000 >/dev/null
    sleep 0.3
    echo $((ms / 1000000))
}
by_hand() { # count
    user_files "$1"
    local from t0 target=$app/emu/rtypeus.byhand
    mkdir -p "$target"
    from=$(lines)
    t0=$(now)
    # Each in a console of its own, the unzip's minimized, as the launcher starts them.
    (cd "$game" && wine cmd /c start "" /wait /min "$(qn_winpath "$app/pkunzip.exe")" \
        -o "$(qn_winpath "$app/zips/rtypeus.zip")" "$(qn_winpath "$target")" >/dev/null 2>&1)
    (cd "$app/emu" && wine cmd /c start "" /wait quon.exe rtypeus >/dev/null 2>&1)
    echo $(($(until_emulator "$t0" "$from") / 1000000))
    rm -rf "$target"
}

by_launcher 0 >/dev/null  # warm-up
by_hand 0 >/dev/null
declare -a empty=() many=() hand=() handmany=()
for ((r = 0; r < rounds; r++)); do
    empty+=("$(by_launcher 0)")
    many+=("$(by_launcher "$kept")")
    hand+=("$(by_hand 0)")
    handmany+=("$(by_hand "$kept")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
e=$(median "${empty[@]}") m=$(median "${many[@]}") h=$(median "${hand[@]}") hm=$(median "${handmany[@]}")
# The emulator stand-in lists the game's directory before it writes its
# record, by hand as from the launcher: compare like with like.
echo "run, double click to emulator start (ms, median of $rounds):"
echo "  launcher, empty game directory   $e   (${empty[*]})"
echo "  launcher, $kept user files     $m   (${many[*]})"
echo "  by hand, empty game directory    $h   (${hand[*]})"
echo "  by hand, $kept user files      $hm   (${handmany[*]})"
awk -v e="$e" -v m="$m" -v h="$h" -v hm="$hm" -v k="$kept" 'BEGIN {
    printf "  ratios: launcher %d files / empty %.2f (by hand %.2f); launcher / by hand: empty %.2f, %d files %.2f\n",
        k, m / e, hm / h, e / h, k, m / hm
    printf "  what %d files add: launcher %d ms, by hand %d ms\n", k, m - e, hm - h }'
drv close Form1 >/dev/null
sleep 1

# A start with nothing to finish, and one after a launcher killed in a run.
start_ms() {
    local t0
    t0=$(now)
    # Nothing of the launcher's may hold this function's output open.
    (cd "$app" && wine qnlaunch.exe >/dev/null 2>&1 &) >/dev/null 2>&1
    drv wait Form1 60000 >/dev/null
    drv rows Form1 ListView1 >/dev/null
    echo $((($(now) - t0) / 1000000))
}
# Only this prefix's launcher: other programs of the machine may run one too.
kill_launcher() {
    local p
    for p in $(pgrep -f qnlaunch.exe || true); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && kill -KILL "$p"
    done
    return 0
}
declare -a plain=() recovering=()
export QUON_HOLD_MS=1500
user_files "$killed"
for ((r = 0; r < rounds; r++)); do
    plain+=("$(start_ms)")
    from=$(lines)
    drv dblclick Form1 ListView1 $((row - 1)) >/dev/null 2>&1 &
    until_emulator "$(now)" "$from" >/dev/null
    kill_launcher
    sleep 2  # the emulator's hold
    recovering+=("$(start_ms)")
    drv close Form1 >/dev/null
    sleep 1
done
p=$(median "${plain[@]}") k=$(median "${recovering[@]}")
echo "start to the list answering (ms, median of $rounds), $killed user items in the game's directory:"
echo "  nothing to finish      $p   (${plain[*]})"
echo "  after a killed run     $k   (${recovering[*]})"
awk -v p="$p" -v k="$k" 'BEGIN {printf "  ratio: %.2f\n", k / p}'
