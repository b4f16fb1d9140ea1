#!/usr/bin/env bash
# The main window seen and reached by everyone: a dark scheme's colours in
# what it draws; pages, controls, links, pickers and buttons by real keys;
# the game that ran still selected after the run.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1
COLORS='HKEY_CURRENT_USER\Control Panel\Colors'
BROWSER_KEY='HKEY_CLASSES_ROOT\htmlfile\shell\open\command'
LOG=$E2E_WORK/quon.log
export QUON_LOG; QUON_LOG=$(qn_winpath "$LOG")
SAVED=$E2E_WORK/colors.reg
OLD_BROWSER=$(reg_query "$BROWSER_KEY" "") || OLD_BROWSER=""
wine reg export "$COLORS" "$(qn_winpath "$SAVED")" /y >/dev/null 2>&1
# The prefix's scheme and associations go back as they were, however the script ends.
restore_scheme() { [ -s "$SAVED" ] && wine regedit /s "$(qn_winpath "$SAVED")" >/dev/null 2>&1; }
restore() { restore_scheme; if [ -n "$OLD_BROWSER" ]; then reg_add "$BROWSER_KEY" "" "$OLD_BROWSER"; else reg_delete "$BROWSER_KEY"; fi; }
trap 'status=$?; restore; e2e_on_exit $status' EXIT

keys() { xdotool key --delay 80 "$@"; sleep 0.4; }
focus_of() { drv focus Form1 | cut -f1; }
page() { drv tab Form1 PageControl1 | grep -n '^\*' | cut -d: -f1; }
# The controls the focus meets, one Tab at a time.
tab_round() { local i; for ((i = 0; i < $1; i++)); do keys Tab; printf '%s ' "$(focus_of)"; done; }
# Light pixels on the screen within a control, inset from its edges.
light() { # shot window control left top right bottom
    local l t w h
    read -r l t w h <<<"$(drv rect "$2" "$3")"
    convert "$1" -crop "$((w - $4 - $6))x$((h - $5 - $7))+$((l + $4))+$((t + $5))" +repage \
        -colorspace Gray -threshold 60% -format '%[fx:round(mean*w*h)]' info:
}
check_light() { if [ "${2:-0}" -gt 15 ]; then e2e_pass "$1"; else e2e_fail "$1" "light pixels: ${2:-none}"; fi; }
# X keys go to the window clicked last: its background, once n browser runs end.
refocus() { # n
    local l t w h i end=$((SECONDS + 10))
    while [ "$(cat "$LOG" 2>/dev/null | grep -c '^end')" -lt "$1" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
    read -r l t w h <<<"$(drv rect Form1 Image1)"
    for ((i = 0; i < 10; i++)); do  # again while the browser's console still takes it
        sleep 1
        pointer_to $((l + w / 2)) $((t + h + 4))
        xdotool click 1
        [ "$(focus_of)" != - ] && break
    done
}
start_main() { qn_wine_stop; start_launcher; drv wait Form1 15000 >/dev/null; refocus 0; }

settings_for_demo
reg_add "$BROWSER_KEY" "" "\"$(qn_winpath "$E2E_APP/emu/quon.exe")\" \"%1\""

echo "-- a dark scheme"
for v in Window ButtonFace Menu; do reg_add "$COLORS" "$v" "0 0 0"; done
for v in WindowText ButtonText MenuText HighlightText; do reg_add "$COLORS" "$v" "255 255 255"; done
for v in ButtonHilight ButtonLight ButtonShadow ButtonDkShadow; do reg_add "$COLORS" "$v" "40 40 40"; done
reg_add "$COLORS" Highlight "0 0 160"
start_main
drv select Form1 ListView1 0 >/dev/null
# Page, control, insets (left, top, right, bottom) that leave its text alone.
while read -r p c insets; do
    drv tab-select Form1 PageControl1 "$p" >/dev/null
    check_light "$c shows light text" "$(light "$(e2e_shot "dark-$c")" Form1 "$c" $insets)"
done <<'EOF_TABLE'
0 CheckBox2 18 0 0 0
0 ListView1 4 40 20 4
0 ComboBox1 3 3 22 3
0 ListBox1 3 18 3 3
0 SpeedButton1 30 6 30 6
1 Label6 0 0 0 0
1 Edit1 3 3 3 3
EOF_TABLE
restore_scheme

echo "-- pages and Tab by keyboard"
start_main
keys ctrl+Tab ctrl+Tab
check_eq "Ctrl+Tab turns to the next page" "3" "$(page)"
check_eq "Tab goes round the links, the filter and the list, back to the tabs" \
    "PageControl1 Label8 Label9 Label7 Label10 ComboBox1 ListView1 PageControl1 " \
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
check_eq "Tab goes round its links too" "Label18 Label16 ComboBox1 ListView1 PageControl1 " "$(tab_round 5)"
keys ctrl+Next ctrl+Prior ctrl+shift+Tab
check_eq "round past the last page and back, with Ctrl+Page Up and Ctrl+Shift+Tab" "3" "$(page)"

echo "-- path boxes and buttons by keyboard"
keys ctrl+Prior
check_eq "Tab from the tabs reaches the QUON path box" "Edit1" "$(keys Tab; focus_of)"
for k in F4 alt+Down; do
    keys "$k"
    check_eq "$k opens its picker" "Select Path" "$(drv wait Form3 5000)"
    keys Escape
    closes Form3 >/dev/null
done
keys Tab Tab F4
check_eq "not from the drivers box while its button is disabled" "Edit4 closed" "$(focus_of) $(closes Form3)"
keys ctrl+1
check_eq "Ctrl+1 is the single click interface" "Select a game and then click on it to play" \
    "$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)"
keys ctrl+2
check_eq "Ctrl+2 the common one" "Select a game and then doubleclick on it to play" \
    "$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)"

echo "-- the game that ran stays selected"
row=$(drv rows Form1 ListView1 | awk -F'\t' 'NR > 3 && $4 == "Yes" { print NR - 1; exit }')
title=$(drv rows Form1 ListView1 | sed -n "$((row + 1))p" | cut -f2)
drv click Form1 ListView1 "$row" >/dev/null
rm -f "$LOG"
keys Return
refocus 1
check_eq "after Enter ran it, its row is still the one selected" "$title" \
    "$(drv rows Form1 ListView1 | awk -F'\t' '$1 == "*" { print $2 }')"
keys ctrl+r
refocus 2
check_eq "so Ctrl+R runs the same game again" "2 1" \
    "$(grep -c cmdline= "$LOG") $(grep cmdline= "$LOG" | sort -u | wc -l)"
keys alt+space a
check_eq "Alt+Space, A opens the About box from the window menu" "About Tolvane's QUON FrontEnd v2.09" \
    "$(drv wait Form4 5000)"
keys Escape
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "the window closes with 0" "0" "$E2E_RC"

e2e_finish
