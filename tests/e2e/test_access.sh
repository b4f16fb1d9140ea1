#!/usr/bin/env bash
# The main window seen and reached by everyone, with real keys: a dark
# scheme's colours in what the program draws, the pages and every control
# by keyboard, links, path pickers and buttons from the keyboard, and the
# game that ran still selected after the run.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1
COLORS='HKEY_CURRENT_USER\Control Panel\Colors'
BROWSER_KEY='HKEY_CLASSES_ROOT\htmlfile\shell\open\command'
LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
export QUON_LOG
SAVED=$E2E_WORK/colors.reg
OLD_BROWSER=$(reg_query "$BROWSER_KEY" "") || OLD_BROWSER=""
wine reg export "$COLORS" "$(qn_winpath "$SAVED")" /y >/dev/null 2>&1
# The prefix's scheme and associations go back as they were, however the script ends.
restore_scheme() { [ -s "$SAVED" ] && wine regedit /s "$(qn_winpath "$SAVED")" >/dev/null 2>&1; }
restore() {
    restore_scheme
    if [ -n "$OLD_BROWSER" ]; then reg_add "$BROWSER_KEY" "" "$OLD_BROWSER"; else reg_delete "$BROWSER_KEY"; fi
}
trap 'status=$?; restore; e2e_on_exit $status' EXIT

keys() { xdotool key --delay 80 "$@"; sleep 0.4; }
focus_of() { drv focus Form1 | cut -f1; }
page() { drv tab Form1 PageControl1 | grep -n '^\*' | cut -d: -f1; }
# The controls the focus meets, one Tab at a time.
tab_round() { # count
    local i out=""
    for ((i = 0; i < $1; i++)); do keys Tab; out+="$(focus_of) "; done
    printf '%s\n' "${out% }"
}
# Light pixels in a rectangle of the screen, inset from a control's edges.
light() { # shot window control left-inset top-inset right-inset bottom-inset
    local l t w h
    read -r l t w h <<<"$(drv rect "$2" "$3")"
    convert "$1" -crop "$((w - $4 - $6))x$((h - $5 - $7))+$((l + $4))+$((t + $5))" +repage \
        -colorspace Gray -threshold 60% -format '%[fx:round(mean*w*h)]' info:
}
check_light() { # description count
    if [ "${2:-0}" -gt 15 ]; then e2e_pass "$1"; else e2e_fail "$1" "light pixels: ${2:-none}"; fi
}
# A click on the window's own background, below the picture: the X
# keyboard comes back to the window, and its focus where it was.
refocus() {
    local l t w h end=$((SECONDS + 10))
    # Once the browser has ended and its console gone.
    while [ "$(grep -c '^end' "$LOG" 2>/dev/null)" -lt "${1:-0}" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
    sleep 1
    read -r l t w h <<<"$(drv rect Form1 Image1)"
    pointer_to $((l + w / 2)) $((t + h + 4))
    xdotool click 1
    sleep 0.3
}
start_main() {
    qn_wine_stop
    start_launcher
    drv wait Form1 15000 >/dev/null
    # The X keyboard goes to the window clicked last: a plain label.
    # shellcheck disable=SC2046
    pointer_to $(control_centre Form1 Label1)
    xdotool click 1
    sleep 0.3
}

settings_for_demo
reg_add "$BROWSER_KEY" "" "\"$(qn_winpath "$E2E_APP/emu/quon.exe")\" \"%1\""

echo "-- a dark scheme"
for v in Window ButtonFace Menu; do reg_add "$COLORS" "$v" "0 0 0"; done
for v in WindowText ButtonText MenuText HighlightText; do reg_add "$COLORS" "$v" "255 255 255"; done
for v in ButtonHilight ButtonLight ButtonShadow ButtonDkShadow; do reg_add "$COLORS" "$v" "40 40 40"; done
reg_add "$COLORS" Highlight "0 0 160"
start_main
drv select Form1 ListView1 0 >/dev/null
shot=$(e2e_shot dark-options)
check_light "a check box's caption is light" "$(light "$shot" Form1 CheckBox2 18 0 0 0)"
check_light "the list's rows below the selected one" "$(light "$shot" Form1 ListView1 4 40 20 4)"
check_light "the drop-down's text" "$(light "$shot" Form1 ComboBox1 3 3 22 3)"
check_light "the resolution list's items below the selected one" "$(light "$shot" Form1 ListBox1 3 18 3 3)"
check_light "an owner-drawn button's caption" "$(light "$shot" Form1 SpeedButton1 30 6 30 6)"
drv tab-select Form1 PageControl1 1 >/dev/null
shot=$(e2e_shot dark-paths)
check_light "a label" "$(light "$shot" Form1 Label6 0 0 0 0)"
check_light "a path box's text" "$(light "$shot" Form1 Edit1 3 3 3 3)"
restore_scheme

echo "-- pages and Tab by keyboard"
start_main
keys ctrl+Tab
check_eq "Ctrl+Tab turns to the next page" "2" "$(page)"
keys ctrl+Tab
check_eq "...and again" "3" "$(page)"
check_eq "Tab goes round the links, the list and the filter, back to the tabs" \
    "PageControl1 Label8 Label9 Label7 Label10 ListView1 ComboBox1 PageControl1" \
    "$(keys shift+Tab; tab_round 8)"
keys Tab Return
check_contains "Enter on a link opens it" "$(poll_contains 10 quon.example.org cat "$LOG")" "quon.example.org"
refocus 1  # the browser took the keyboard
keys Tab space
check_contains "Space too" "$(poll_contains 10 qnlaunch.example.org cat "$LOG")" "qnlaunch.example.org"
refocus 2
check_eq "the link keeps the focus, shown" "Label9 shown" "$(focus_of) $(drv cues Form1)"
keys ctrl+Next
check_eq "Ctrl+Page Down: the next page" "4" "$(page)"
check_eq "Tab goes round its links too" "Label18 Label16 ListView1 ComboBox1 PageControl1" "$(tab_round 5)"
keys ctrl+Next
check_eq "past the last page, the first" "1" "$(page)"
keys ctrl+Prior ctrl+shift+Tab
check_eq "Ctrl+Page Up and Ctrl+Shift+Tab go back" "3" "$(page)"

echo "-- path boxes and buttons by keyboard"
keys ctrl+Prior
check_eq "Tab from the tabs reaches the QUON path box" "Edit1" "$(keys Tab; focus_of)"
keys F4
check_eq "F4 opens its picker" "Select Path" "$(drv wait Form3 5000)"
keys Escape
check_eq "Escape closes it" "closed" "$(closes Form3)"
keys alt+Down
check_eq "Alt+Down opens it too" "Select Path" "$(drv wait Form3 5000)"
keys Escape
closes Form3 >/dev/null
keys Tab Tab F4
check_eq "not from the drivers box while its button is disabled" "Edit4 closed" "$(focus_of) $(closes Form3)"
keys ctrl+1
check_eq "Ctrl+1 is the single click interface" "Select a game and then click on it to play" \
    "$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)"
keys ctrl+2
check_eq "Ctrl+2 the common one" "Select a game and then doubleclick on it to play" \
    "$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)"
keys ctrl+u
check_eq "Ctrl+U asks before uninstalling" "Confirm
Are you sure you want to uninstall QnLaunch?" "$(read_and_answer NO)"

echo "-- the game that ran stays selected"
row=$(drv rows Form1 ListView1 | awk -F'\t' 'NR > 3 && $4 == "Yes" { print NR - 1; exit }')
title=$(drv rows Form1 ListView1 | sed -n "$((row + 1))p" | cut -f2)
drv click Form1 ListView1 "$row" >/dev/null
rm -f "$LOG"
keys Return
poll_contains 15 cmdline= cat "$LOG" >/dev/null
drv wait Form1 15000 >/dev/null
sleep 1
check_eq "after Enter ran it, its row is still the one selected" "$title" \
    "$(drv rows Form1 ListView1 | awk -F'\t' '$1 == "*" { print $2 }')"
keys ctrl+r
check_eq "so Ctrl+R runs the same game again" "2" \
    "$(poll_contains 15 "$(cut -d= -f2 <<<"$(grep cmdline= "$LOG")" | head -n 1)" cat "$LOG" >/dev/null;
       grep -c cmdline= "$LOG")"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "the window closes with 0" "0" "$E2E_RC"

e2e_finish
