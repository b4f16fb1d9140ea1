#!/usr/bin/env bash
# A run in the world users have: the emulator and the unzip program under
# directories whose names have blanks, and a window that stays drawn and
# answering while the unzip holds it, where clicks and keys given meanwhile
# start nothing.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
QUON_HOLD_MS=1000
export QUON_LOG QUON_HOLD_MS

records() { grep -c "^$1=" "$LOG" 2>/dev/null || true; }
values() { grep "^$1=" "$LOG" 2>/dev/null | cut -d= -f2- | tr '\n' ' ' | sed 's/ $//'; }
emulator_ended() { [ -f "$LOG" ] && [ "$(grep -cx end "$LOG")" -ge "$1" ]; }
wait_for() { # timeout_s command...
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}
# The process of the unzip stand-in started by this test's launcher, if one runs.
unzip_pid() {
    local p
    for p in /proc/[0-9]*; do
        { tr '\0' ' ' <"$p/cmdline" | grep -qF pkunzip.exe &&
            tr '\0' '\n' <"$p/environ" | grep -qxF "QUON_LOG=$QUON_LOG"; } 2>/dev/null && echo "${p#/proc/}" && return 0
    done
    return 1
}
# Yes while the first unzip of the run is still the one running.
first_unzip_runs() { [ -n "$UNZIP" ] && kill -0 "$UNZIP" 2>/dev/null && echo yes || echo no; }
main_shown() { xdotool search --onlyvisible --name "^Tolvane's QUON FrontEnd v2.09\$" >/dev/null 2>&1; }
# The pixels of the game list as the screen shows them.
list_pixels() { import -window root -crop "$LIST_GEOMETRY" +repage rgb:- 2>/dev/null | md5sum; }

compressed_settings() { # emulator-dir unzip-program
    e2e_reset_registry
    settings_for_demo
    reg_add "$E2E_KEY" "Quon Path" "$(win_dir "$1")"
    reg_add "$E2E_KEY" "Compressed ROMs Path" "$(win_dir "$E2E_APP/zips")"
    reg_add "$E2E_KEY" "PkUnzip Program" "$(qn_winpath "$2")"
    reg_add "$E2E_KEY" "Radiant Type (US)" "01000000"  # No Sound: -s
}

echo "-- the emulator and the unzip program under directories with blanks"
GAMES="$E2E_WORK/acc/my games"
TOOLS="$E2E_WORK/acc/my tools"
mkdir -p "$GAMES/rtypeus" "$TOOLS"
cp "$E2E_APP/emu/quon.exe" "$GAMES/"
cp "$E2E_APP/emu/rtypeus/rtypeus.qun" "$GAMES/rtypeus/"
cp "$E2E_APP/pkunzip.exe" "$TOOLS/unz.exe"
compressed_settings "$GAMES" "$TOOLS/unz.exe"
start_launcher
drv wait Form1 15000 >/dev/null
drv select Form1 ListView1 0
drv dblclick Form1 ListView1 0 >/dev/null 2>&1 &
run=$!
wait_for 20 emulator_ended 1
wait "$run"
check_eq "the unzip read its own arguments and unpacked the set" "0" "$(values unzip-exit)"
check_eq "into the game's directory" "rt_b-a0.bin rt_b-a1.bin rt_b-h0.bin rt_b-l0.bin" "$(values unzip-file)"
check_eq "the emulator started is the one under the blank" "$(qn_winpath "$GAMES/quon.exe" | tr A-Z a-z)" \
    "$(values program | tr A-Z a-z)"
check_eq "its arguments are the game and the switch, exactly" "rtypeus -s" "$(values arg)"
wait_for 15 main_shown
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- while the unzip holds the window: drawn, answering, and deaf to clicks and keys"
rm -f "$LOG"
export QUON_UNZIP_HOLD_MS=8000
compressed_settings "$E2E_APP/emu" "$E2E_APP/pkunzip.exe"
start_launcher
drv wait Form1 15000 >/dev/null
# Read before the run: a sent message waits while the launcher cannot answer.
read -r vl vt vw vh <<<"$(drv rect Form1 ListView1)"
LIST_GEOMETRY="$((vw - 8))x$((vh - 24))+$((vl + 4))+$((vt + 22))"
row_y=$((vt + 2 + 18 + 7))  # the first row, rtypeus: 15 pixels below an 18-pixel header
xdotool mousemove $((vl + 40)) "$row_y" click --repeat 2 --delay 80 1
wait_for 10 unzip_pid >/dev/null
UNZIP=$(unzip_pid)
check_eq "a real double click starts the unzip" "yes" "$(first_unzip_runs)"
# Another double click on the game and Enter, which would run it again.
sleep 0.5
xdotool mousemove $((vl + 40)) "$row_y" click --repeat 2 --delay 80 1 key Return
check_eq "the clicks and the key were given while the unzip ran" "yes" "$(first_unzip_runs)"
started=$(date +%s%N)
caption=$(drv text Form1 SpeedButton1 2>&1)
took_ms=$((($(date +%s%N) - started) / 1000000))
check_eq "the window answers what is sent to it" "Run Radiant Type (US)" "$caption"
check_eq "at once (${took_ms} ms)" "yes" "$([ "$took_ms" -lt 2000 ] && echo yes)"
before=$(list_pixels)
drv select Form1 ListView1 2 >/dev/null
changed=no
for _ in $(seq 30); do
    [ "$(list_pixels)" != "$before" ] && { changed=$(first_unzip_runs); break; }
    sleep 0.1
done
check_eq "the list is drawn anew when its selection is changed, while the unzip runs" "yes" "$changed"
e2e_shot during-unzip >/dev/null
wait_for 30 emulator_ended 1
wait_for 15 main_shown
sleep 3  # what a click queued meanwhile would start, it starts by now
check_eq "no second unzip" "" "$(unzip_pid)"
check_eq "one unzip and one emulator run" "1 1" "$(records unzip-cmdline) $(records cmdline)"
check_eq "the window takes input again" "enabled" "$(main_input)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

e2e_finish
