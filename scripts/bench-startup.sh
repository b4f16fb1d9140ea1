#!/usr/bin/env bash
# Start-up benchmark: the launcher on a 25-game catalogue against two
# floors, started in turn on a private display and prefix: the same window
# written by hand (tools/bench/same_window.cpp: the windows the launcher
# shows at start, with their fonts, texts and places, and nothing else) and
# a bare window with a filled list view and a written status bar
# (tools/bench/floor.cpp). Each start is timed from outside by
# startwatch.exe, from process start to ready; peak memory is the Linux
# process's VmHWM at that moment.
#
#   bash scripts/bench-startup.sh [rounds]    (default 7, after one warm-up)
#
# Also: QN_BENCH_GAMES=<n> for a catalogue of n games (10 files each, all
# present) started in the same run, beside the 25-game one.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
rounds=${1:-7}
big=${QN_BENCH_GAMES:-}

[ -n "${QN_BENCH_NOBUILD:-}" ] || bash scripts/build.sh >/dev/null
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh "$root/build/wine/bench-prefix"
qn_wine_prefix_ensure || exit 1
qn_xvfb_start force || exit 1
trap 'qn_wine_stop; qn_xvfb_stop' EXIT
qn_wine_stop

out=$root/build/bench
win32=$root/build/win32
rm -rf "$out"
mkdir -p "$out"
cp "$win32/tools/bench/floor.exe" "$win32/tools/bench/same_window.exe" \
    "$win32/tools/bench/startwatch.exe" "$out/"

# make_app <dir> <games>: the demo's program files with a catalogue of the
# given number of games, each with ten files present in the emulator
# directory, and the settings that point at it.
make_app() {
    local dir=$1 games=$2
    mkdir -p "$dir/emu" "$dir/screens"
    cp demo/abouttxt.dat demo/readme.txt "$dir/"
    cp demo/screens/*.jpg "$dir/screens/"
    cp "$win32/app/qnlaunch.exe" "$dir/"
    cp "$win32/tools/quon/quon.exe" "$dir/emu/"
    python3 - "$dir" "$games" <<'EOF'
import os, sys
app, games = sys.argv[1], int(sys.argv[2])
roms, req = [], []
for g in range(1, games + 1):
    s = "bg%05d" % g
    roms.append("#Bench Game %05d|%s\r\n" % (g, s))
    os.makedirs(os.path.join(app, "emu", s), exist_ok=True)
    for f in range(1, 11):
        req.append("%s\\rom%02d.bin\r\n" % (s, f))
        open(os.path.join(app, "emu", s, "rom%02d.bin" % f), "w").close()
open(os.path.join(app, "roms.dat"), "w", newline="").write("".join(roms))
open(os.path.join(app, "reqfiles.dat"), "w", newline="").write("".join(req))
EOF
}

key='HKEY_LOCAL_MACHINE\Software\Tolvane\Tolvane Quon FrontEnd v2.09'
winpath_dir() { printf '%s\\' "$(qn_winpath "$1")"; }
# settings_for <dir>: the launcher's settings for that program directory,
# written only when another directory had them. The wine commands that
# write them keep the Wine server busy for a while after they end, which
# the start right after them would pay for: the server is given a moment.
settings_dir=
settings_for() {
    [ "$settings_dir" = "$1" ] && return
    settings_dir=$1
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    wine reg add "$key" /v "Main Program Path" /d "$(winpath_dir "$1")" /f >/dev/null
    wine reg add "$key" /v "Quon Path" /d "$(winpath_dir "$1/emu")" /f >/dev/null
    sleep 1
}
wine reg add 'HKEY_CURRENT_CONFIG\Display\Settings' /v Resolution /d "1024,768" /f >/dev/null

make_app "$out/app25" 25
[ -n "$big" ] && make_app "$out/app$big" "$big"

# measure <exe> <title> <program name>: prints "<ms> <VmHWM kB>".
measure() {
    local exe=$1 title=$2 name=$3 line ms pid hwm=0 p
    coproc WATCH { cd "$(dirname "$exe")" && exec wine "$out/startwatch.exe" "$exe" "$title" 30000; }
    read -r line <&"${WATCH[0]}"
    case $line in
    ready*) ms=${line#ready } ;;
    *) echo "bench: $name did not get ready ($line)" >&2; echo 0 >&"${WATCH[1]}"; wait "$WATCH_PID"; return 1 ;;
    esac
    for p in $(pgrep -f "$name" || true); do
        grep -q startwatch "/proc/$p/cmdline" 2>/dev/null && continue
        hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$p/status" 2>/dev/null || echo 0)
        [ -n "$hwm" ] && break
    done
    echo go >&"${WATCH[1]}"
    wait "$WATCH_PID" || true
    echo "$ms ${hwm:-0}"
}

launcher() { settings_for "$1"; measure "$1/qnlaunch.exe" "Tolvane's QUON FrontEnd v2.09" qnlaunch.exe; }
floor() { measure "$out/floor.exe" "Start-up floor" floor.exe; }
same() { measure "$out/same_window.exe" "Tolvane's QUON FrontEnd v2.09" same_window.exe; }

median() { sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# One warm-up of each fills the caches and starts the Wine server.
launcher "$out/app25" >/dev/null
same >/dev/null
floor >/dev/null
[ -n "$big" ] && launcher "$out/app$big" >/dev/null

: >"$out/launcher.txt"
: >"$out/same.txt"
: >"$out/floor.txt"
: >"$out/big.txt"
for ((i = 1; i <= rounds; i++)); do
    launcher "$out/app25" >>"$out/launcher.txt"
    same >>"$out/same.txt"
    floor >>"$out/floor.txt"
    [ -n "$big" ] && launcher "$out/app$big" >>"$out/big.txt"
    echo "round $i: launcher $(tail -n 1 "$out/launcher.txt"), same window $(tail -n 1 "$out/same.txt"), bare window $(tail -n 1 "$out/floor.txt")${big:+, $big games $(tail -n 1 "$out/big.txt")}"
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
l_ms=$(cut -d' ' -f1 "$out/launcher.txt" | median)
s_ms=$(cut -d' ' -f1 "$out/same.txt" | median)
f_ms=$(cut -d' ' -f1 "$out/floor.txt" | median)
l_kb=$(cut -d' ' -f2 "$out/launcher.txt" | median)
s_kb=$(cut -d' ' -f2 "$out/same.txt" | median)
f_kb=$(cut -d' ' -f2 "$out/floor.txt" | median)
echo "start-up: launcher $l_ms ms, same window $s_ms ms (ratio $(ratio "$l_ms" "$s_ms")), bare window $f_ms ms (ratio $(ratio "$l_ms" "$f_ms"))"
# On a machine others are using, a start that had the processors to itself
# is the one to compare: the fastest of each is printed too.
fastest() { cut -d' ' -f1 "$1" | sort -g | head -n 1; }
l_min=$(fastest "$out/launcher.txt")
s_min=$(fastest "$out/same.txt")
f_min=$(fastest "$out/floor.txt")
echo "fastest: launcher $l_min ms, same window $s_min ms (ratio $(ratio "$l_min" "$s_min")), bare window $f_min ms (ratio $(ratio "$l_min" "$f_min"))"
echo "peak memory: launcher $l_kb kB, same window $s_kb kB (ratio $(ratio "$l_kb" "$s_kb")), bare window $f_kb kB (ratio $(ratio "$l_kb" "$f_kb"))"
if [ -n "$big" ]; then
    b_ms=$(cut -d' ' -f1 "$out/big.txt" | median)
    echo "start-up at $big games: $b_ms ms, $(ratio "$b_ms" "$l_ms") times the 25-game start"
fi
