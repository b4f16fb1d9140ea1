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
# QN_BENCH_STORED=<n> (default 100000, 0 for none): a settings key holding
# the options of n games, and starts against it in the same run: the
# 25-game catalogue beside it, and a catalogue of those n games (5,000 of
# them on disk) whose start is followed by one option changed and a close
# timed to the process's end.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
rounds=${1:-7}
big=${QN_BENCH_GAMES:-}
stored=${QN_BENCH_STORED:-100000}
[ "$stored" = 0 ] && stored=

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
    "$win32/tools/bench/startwatch.exe" "$win32/tools/driver/qndriver.exe" "$out/"

# make_app <dir> <games> [on disk]: the demo's program files with a
# catalogue of the given number of games of ten files each, all of them (or
# the first given number) present in the emulator directory.
make_app() {
    local dir=$1 games=$2 present=${3:-$2}
    mkdir -p "$dir/emu" "$dir/screens"
    cp demo/abouttxt.dat demo/readme.txt "$dir/"
    cp demo/screens/*.jpg "$dir/screens/"
    cp "$win32/app/qnlaunch.exe" "$dir/"
    cp "$win32/tools/quon/quon.exe" "$dir/emu/"
    python3 - "$dir" "$games" "$present" <<'EOF'
import os, sys
app, games, present = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
roms, req = [], []
for g in range(1, games + 1):
    s = "bg%05d" % g
    roms.append("#Bench Game %05d|%s\r\n" % (g, s))
    if g <= present:
        os.makedirs(os.path.join(app, "emu", s), exist_ok=True)
    for f in range(1, 11):
        req.append("%s\\rom%02d.bin\r\n" % (s, f))
        if g <= present:
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
# With a second argument "stored" the key holds the options of the stored
# games as well, as a close of that catalogue with every game's options
# set leaves it.
settings_dir=
settings_for() {
    [ "$settings_dir" = "$1 ${2:-}" ] && return
    if [ "${2:-}" = stored ]; then
        case $settings_dir in
        *" stored") ;;
        *) wine reg delete "$key" /f >/dev/null 2>&1 || true
           wine regedit /s "$(qn_winpath "$out/stored.reg")" ;;
        esac
    else
        wine reg delete "$key" /f >/dev/null 2>&1 || true
    fi
    settings_dir="$1 ${2:-}"
    wine reg add "$key" /v "Main Program Path" /d "$(winpath_dir "$1")" /f >/dev/null
    wine reg add "$key" /v "Quon Path" /d "$(winpath_dir "$1/emu")" /f >/dev/null
    sleep 1
}
wine reg add 'HKEY_CURRENT_CONFIG\Display\Settings' /v Resolution /d "1024,768" /f >/dev/null

make_app "$out/app25" 25
[ -n "$big" ] && make_app "$out/app$big" "$big"
if [ -n "$stored" ]; then
    make_app "$out/stored$stored" "$stored" 5000
    python3 - "$out/stored.reg" "$stored" "$key" <<'EOF'
import sys
path, games, key = sys.argv[1], int(sys.argv[2]), sys.argv[3]
lines = ["REGEDIT4", "", "[%s]" % key]
lines += ['"Bench Game %05d"="%s"' % (g, "01000001" if g % 2 else "00000000") for g in range(1, games + 1)]
open(path, "w", newline="").write("\r\n".join(lines) + "\r\n")
EOF
fi

# measure <exe> <title> <program name> [change]: prints "<ms> <VmHWM kB>";
# with "change", one option of the fourth game is toggled once the program
# is ready, and "<close ms>" follows: from the close request to its end.
measure() {
    local exe=$1 title=$2 name=$3 change=${4:-} line ms pid hwm=0 p closed=
    coproc WATCH { cd "$(dirname "$exe")" && exec wine "$out/startwatch.exe" "$exe" "$title" 30000; }
    local watch_pid=$WATCH_PID
    read -r line <&"${WATCH[0]}"
    case $line in
    ready*) ms=${line#ready } ;;
    *) echo "bench: $name did not get ready ($line)" >&2; echo 0 >&"${WATCH[1]}"; wait "$WATCH_PID"; return 1 ;;
    esac
    for p in $(pgrep -f -- "$exe" || true); do
        grep -q startwatch "/proc/$p/cmdline" 2>/dev/null && continue
        hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$p/status" 2>/dev/null || echo 0)
        [ -n "$hwm" ] && pid=$p && break
    done
    if [ -n "$change" ]; then
        (cd "$out" && wine qndriver.exe select Form1 ListView1 3 >/dev/null &&
            wine qndriver.exe click Form1 CheckBox1 >/dev/null) || echo "bench: no change made" >&2
        # Timed twice: as Windows sees the process end (startwatch), and
        # until the Linux process has ended; the later one is printed. An
        # ended process whose parent is gone stays a zombie until the
        # machine's first process reaps it, which here can take a second.
        local t0 gone
        t0=$(date +%s%N)
        echo timed >&"${WATCH[1]}"
        read -r line <&"${WATCH[0]}" || line=
        line=${line%$'\r'}
        while [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null &&
            ! grep -q '^State:[[:space:]]*Z' "/proc/$pid/status" 2>/dev/null; do sleep 0.002; done
        gone=$((($(date +%s%N) - t0) / 1000))
        closed=" $(awk -v a="${line#closed }" -v b="$gone" 'BEGIN {b /= 1000; printf "%.1f", (a > b ? a : b)}')"
    else
        echo go >&"${WATCH[1]}"
    fi
    wait "$watch_pid" || true
    echo "$ms ${hwm:-0}$closed"
}

launcher() { settings_for "$1" "${2:-}"; measure "$1/qnlaunch.exe" "Tolvane's QUON FrontEnd v2.09" qnlaunch.exe "${3:-}"; }
floor() { measure "$out/floor.exe" "Start-up floor" floor.exe; }
same() { measure "$out/same_window.exe" "Tolvane's QUON FrontEnd v2.09" same_window.exe; }

median() { sort -g | awk '{v[NR] = $1} END {if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# One warm-up of each fills the caches and starts the Wine server.
launcher "$out/app25" >/dev/null
same >/dev/null
floor >/dev/null
[ -n "$big" ] && launcher "$out/app$big" >/dev/null
[ -n "$stored" ] && launcher "$out/stored$stored" stored >/dev/null

: >"$out/launcher.txt"
: >"$out/same.txt"
: >"$out/floor.txt"
: >"$out/big.txt"
: >"$out/beside.txt"
: >"$out/stored.txt"
for ((i = 1; i <= rounds; i++)); do
    launcher "$out/app25" >>"$out/launcher.txt"
    same >>"$out/same.txt"
    floor >>"$out/floor.txt"
    [ -n "$big" ] && launcher "$out/app$big" >>"$out/big.txt"
    if [ -n "$stored" ]; then
        launcher "$out/app25" stored >>"$out/beside.txt"
        launcher "$out/stored$stored" stored change >>"$out/stored.txt"
    fi
    echo "round $i: launcher $(tail -n 1 "$out/launcher.txt"), same window $(tail -n 1 "$out/same.txt"), bare window $(tail -n 1 "$out/floor.txt")${big:+, $big games $(tail -n 1 "$out/big.txt")}${stored:+, beside $stored values $(tail -n 1 "$out/beside.txt"), $stored stored $(tail -n 1 "$out/stored.txt")}"
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
if [ -n "$stored" ]; then
    # Ratios of one round: each start against the bare-key start of its round.
    ratios() { paste -d' ' "$out/launcher.txt" "$1" | awk '{printf "%.2f\n", $3 / $1}' | median; }
    echo "start-up beside $stored stored values: 25 games $(cut -d' ' -f1 "$out/beside.txt" | median) ms" \
        "($(ratios "$out/beside.txt") times the bare-key start, median of each round's ratio)," \
        "$stored games $(cut -d' ' -f1 "$out/stored.txt" | median) ms ($(ratios "$out/stored.txt") times)"
    echo "close with one change at $stored games: $(cut -d' ' -f3 "$out/stored.txt" | median) ms" \
        "(slowest $(cut -d' ' -f3 "$out/stored.txt" | sort -g | tail -n 1) ms), from the request to the process's end"
fi
