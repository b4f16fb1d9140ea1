#!/usr/bin/env bash
# While the unzip holds the window, it stays drawn and answers other
# programs, and real clicks and keys given meanwhile start nothing.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1
LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
# The unzip is held long enough for every check made while it runs, on a busy machine too.
export QUON_LOG QUON_HOLD_MS=1000 QUON_UNZIP_HOLD_MS=15000

records() { grep -c "^$1=" "$LOG" 2>/dev/null || true; }
# The unzip stand-in started by this test's launcher, if one runs.
unzip_pid() {
    local p
    for p in /proc/[0-9]*; do
        { tr '\0' ' ' <"$p/cmdline" | grep -qF pkunzip.exe &&
            tr '\0' '\n' <"$p/environ" | grep -qxF "QUON_LOG=$QUON_LOG"; } 2>/dev/null && echo "${p#/proc/}" && return 0
    done
    return 1
}
first_unzip_runs() { kill -0 "${UNZIP:-none}" 2>/dev/null && echo yes || echo no; }
list_pixels() { import -window root -crop "$LIST" +repage rgb:- 2>/dev/null | md5sum; }

settings_for_demo
reg_add "$E2E_KEY" "Compressed ROMs Path" "$(win_dir "$E2E_APP/zips")"
reg_add "$E2E_KEY" "PkUnzip Program" "$(qn_winpath "$E2E_APP/pkunzip.exe")"
start_launcher
drv wait Form1 15000 >/dev/null
# Read before the run: a message sent to a launcher that cannot answer waits.
read -r vl vt vw vh <<<"$(drv rect Form1 ListView1)"
LIST="$((vw - 8))x$((vh - 24))+$((vl + 4))+$((vt + 22))"
row_y=$((vt + 2 + 18 + 7))  # the first row, rtypeus, below an 18-pixel header
xdotool mousemove $((vl + 40)) "$row_y" click --repeat 2 --delay 80 1
for _ in $(seq 100); do UNZIP=$(unzip_pid) && break; sleep 0.1; done
check_eq "a real double click starts the unzip" "yes" "$(first_unzip_runs)"
sleep 0.5
# Another double click on the game and Enter: each would run it again.
xdotool mousemove $((vl + 40)) "$row_y" click --repeat 2 --delay 80 1 key Return
check_eq "the clicks and the key are given while the unzip runs" "yes" "$(first_unzip_runs)"

# The driver gives up on a message after 5 s, well within the unzip's 15 s.
check_eq "the window answers what is sent to it" "Run Radiant Type (US)" "$(drv text Form1 SpeedButton1 2>&1)"
before=$(list_pixels)
drv select Form1 ListView1 2 >/dev/null
drawn=no
for _ in $(seq 80); do
    [ "$(list_pixels)" != "$before" ] && { drawn=$(first_unzip_runs); break; }
    sleep 0.1
done
check_eq "a new selection is drawn while the unzip runs" "yes" "$drawn"
e2e_shot during-unzip >/dev/null

poll_contains 30 1 grep -cx end "$LOG" >/dev/null  # the emulator's record
sleep 3  # what a click queued meanwhile would start, it starts by now
check_eq "no second unzip" "" "$(unzip_pid)"
check_eq "one unzip and one emulator run" "1 1" "$(records unzip-cmdline) $(records cmdline)"
check_eq "the window takes input again" "enabled" "$(main_input)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
e2e_finish
