#!/usr/bin/env bash
# What the real pointer does in the main window: status-bar hints under it,
# the single-click interface (flat buttons, hot tracking, a click to run or
# to learn why not) and back; and the About box with its message scrolled by
# dragging along a bar.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
export QUON_LOG

hint() { drv panels Form1 StatusBar1 | sed -n 4p | cut -f2; }
# Waits until the last panel reads `text` (the pointer's messages arrive
# after xdotool returns); prints what it read.
wait_hint() { # text
    local end=$((SECONDS + 5)) now
    while now=$(hint) && [ "$now" != "$1" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
    printf '%s\n' "$now"
}
pointer_over() { # window control
    local xy
    xy=$(control_centre "$1" "$2") || return 1
    # shellcheck disable=SC2086
    pointer_to $xy
}
# A place with no window under it, so no hint changes.
pointer_away() { pointer_to 3 3; }
selected_row() { drv rows Form1 ListView1 | cut -f1 | grep -n -x -F '*' | cut -d: -f1 | awk '{ print $1 - 1 }'; }
title_of() { drv rows Form1 ListView1 | sed -n "$(($1 + 1))p" | cut -f2; }

# The screen point in the middle of a list row: rows start below the
# header (the dump gives both rectangles relative to the window) and are
# ROW_H pixels high with the list's font; aiming at the middle of row n stays
# inside it for heights from about 13.5 to 16.5 pixels.
ROW_H=15
row_point() { # row
    local dump lv_y hd_y hd_h l t
    dump=$(drv dump Form1)
    read -r _ lv_y _ _ <<<"$(grep "^ListView1$TAB" <<<"$dump" | cut -f6)"
    read -r _ hd_y _ hd_h <<<"$(grep "^-${TAB}SysHeader32$TAB" <<<"$dump" | head -n 1 | cut -f6)"
    read -r l t _ _ <<<"$(drv rect Form1 ListView1)"
    printf '%s %s\n' $((l + 40)) $((t - lv_y + hd_y + hd_h + $1 * ROW_H + ROW_H / 2))
}
# Rests the pointer on a row for the hover time; prints the selected row once
# it is that row, or what is selected when the time runs out.
hover_row() { # row
    # shellcheck disable=SC2046
    pointer_to $(row_point "$1")
    local end=$((SECONDS + 4)) sel
    while sel=$(selected_row) && [ "$sel" != "$1" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.2; done
    printf '%s\n' "$sel"
}

# The emulator's runs so far: each record ends with "end".
runs() { grep -c '^end' "$LOG" 2>/dev/null || true; }
wait_runs() { # count timeout_s
    local end=$((SECONDS + $2))
    while [ "$(runs)" -lt "$1" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
    [ "$(runs)" -ge "$1" ]
}
# The keyboard focus in the main window once it is the expected one, or
# what it is when the time runs out: after a run or a dialog the activation
# and the focus arrive a moment later, one after the other.
focus_becomes() { # expected
    local end=$((SECONDS + 5)) now
    while now=$(drv focus Form1 2>/dev/null) && [ "$now" != "$1" ] && [ "$SECONDS" -lt "$end" ]; do
        sleep 0.1
    done
    printf '%s\n' "$now"
}
# The tooltip shown for a window's control: "<control>\t<text>" once the
# pointer's arrival has been handled, else what shows, or "none".
# A loaded machine can drop the one move that brings the pointer in; a
# user's hand makes many, so after a while the pointer moves once more.
tooltip_of() { # window control
    local end=$((SECONDS + 8)) nudge=$((SECONDS + 3)) now x y
    while :; do
        now=$(drv tooltip "$1" 300 2>/dev/null | cut -f1,2)
        if [ "${now%%"$TAB"*}" = "$2" ] || [ "$SECONDS" -ge "$end" ]; then break; fi
        if [ "$SECONDS" -ge "$nudge" ] && read -r x y <<<"$(control_centre "$1" "$2")"; then
            pointer_to "$((x + 2))" "$y"
            nudge=$end
        fi
    done
    printf '%s\n' "${now:-none}"
}
# "none" once no tooltip of the window shows.
no_tooltip() { # window
    local end=$((SECONDS + 4))
    while drv tooltip "$1" 100 >/dev/null 2>&1; do
        [ "$SECONDS" -ge "$end" ] && { echo "still shown"; return; }
        sleep 0.1
    done
    echo none
}

# Whether a button has its 3D frame in a screenshot: a drawn frame makes the
# bottom edge darker than the top edge; a flat button shows its face on both.
frame_of() { # shot window control
    local l t w h top bottom
    read -r l t w h <<<"$(drv rect "$2" "$3")"
    top=$(convert "$1" -crop "$((w - 10))x1+$((l + 5))+$t" -format '%[fx:int(mean*100)]' info:)
    bottom=$(convert "$1" -crop "$((w - 10))x1+$((l + 5))+$((t + h - 1))" -format '%[fx:int(mean*100)]' info:)
    if [ "$((top - bottom))" -gt 20 ]; then echo "framed (top $top%, bottom $bottom%)"; else echo "flat (top $top%, bottom $bottom%)"; fi
}

# "marked" when a control's text is drawn in the highlight colour (a few
# dozen pixels far bluer than red), else "plain"; with the count.
mark_of() { # shot window control
    local l t w h n
    read -r l t w h <<<"$(drv rect "$2" "$3")"
    n=$(convert "$1" -crop "${w}x${h}+$l+$t" -fx 'b - r > 0.3 ? 1 : 0' -format '%[fx:int(mean * w * h)]' info:)
    if [ "$n" -gt 20 ]; then echo "marked ($n blue pixels)"; else echo "plain ($n blue pixels)"; fi
}

settings_for_demo
start_launcher
drv wait Form1 15000 >/dev/null

echo "-- hints under the pointer"
pointer_over Form1 CheckBox2
check_eq "over the unchecked No Sound box" "Click to disable sound" "$(wait_hint "Click to disable sound")"
check_contains "the common interface marks nothing" "$(mark_of "$(e2e_shot common-hover)" Form1 CheckBox2)" "plain "
drv click Form1 CheckBox2 >/dev/null
pointer_over Form1 CheckBox2
check_eq "checked, the hint says the opposite" "Click to enable sound" "$(wait_hint "Click to enable sound")"
drv click Form1 CheckBox2 >/dev/null
drv tab-select Form1 PageControl1 1 >/dev/null
pointer_over Form1 Edit1
check_eq "over the emulator path box" "Press the '...' button to select QUON program path" \
    "$(wait_hint "Press the '...' button to select QUON program path")"
pointer_over Form1 SpeedButton9
check_eq "over the single-click button" "Press this button to change to the single click interface" \
    "$(wait_hint "Press this button to change to the single click interface")"

echo "-- the single-click interface"
pointer_away
common_shot=$(e2e_shot common-interface)
check_contains "common interface: the run button has its frame" "$(frame_of "$common_shot" Form1 SpeedButton1)" "framed "
drv click Form1 SpeedButton9 >/dev/null
check_eq "the main window shows again" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 5000)"
check_eq "the hint for the new way" "Select a game and then click on it to play" "$(hint)"
single_shot=$(e2e_shot single-click-interface)
check_contains "the run button is flat" "$(frame_of "$single_shot" Form1 SpeedButton1)" "flat "
check_contains "so is the common-interface button" "$(frame_of "$single_shot" Form1 SpeedButton10)" "flat "
check_eq "first row selected after the showing" "0" "$(selected_row)"

drv tab-select Form1 PageControl1 0 >/dev/null
pointer_over Form1 CheckBox2
wait_hint "Click to disable sound" >/dev/null
shot=$(e2e_shot single-click-mark)
check_contains "the box under the pointer is marked" "$(mark_of "$shot" Form1 CheckBox2)" "marked "
pointer_over Form1 CheckBox4
wait_hint "Click to play with a joystick" >/dev/null
shot=$(e2e_shot single-click-mark-moved)
check_contains "the mark moves with the pointer: the old box is plain" "$(mark_of "$shot" Form1 CheckBox2)" "plain "
check_contains "and the new one marked" "$(mark_of "$shot" Form1 CheckBox4)" "marked "

pointer_away
drv tab-select Form1 PageControl1 1 >/dev/null
drv click Form1 SpeedButton6 >/dev/null
drv wait Form3 5000 >/dev/null
shot=$(e2e_shot single-click-picker)
check_contains "the picker's OK button is flat too" "$(frame_of "$shot" Form3 SpeedButton1)" "flat "
drv click Form3 SpeedButton2 >/dev/null

check_eq "resting the pointer on row 4 selects it" "4" "$(hover_row 4)"
check_eq "the run button names it" "Run $(title_of 4)" "$(drv text Form1 SpeedButton1)"
check_eq "resting on row 3 (an incomplete set) selects it" "3" "$(hover_row 3)"
xdotool click 1
box=$(read_and_answer)
check_eq "one click on it explains why it cannot run" "Information
$(title_of 3) is not available because:" "$(head -n 2 <<<"$box")"
check_contains "naming a missing file" "$box" "$(win_dir "$E2E_APP/emu" | tr "[:upper:]" "[:lower:]")dbreed\\db_c-h3.bin"
check_eq "resting on row 4 again" "4" "$(hover_row 4)"
game=$(drv rows Form1 ListView1 | sed -n 5p | cut -f3)
xdotool click 1
if poll_contains 10 "end" cat "$LOG" >/dev/null; then e2e_pass "one click runs it"; else e2e_fail "one click runs it" "no emulator record in $LOG"; fi
check_contains "the emulator got the game" "$(cat "$LOG" 2>/dev/null)" "game=$game"
check_eq "the main window is back" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 10000)"

echo "-- Enter in the single-click interface"
# A click would run the row under the pointer: the keys come from the driver.
check_eq "resting on row 3 selects it" "3" "$(hover_row 3)"
drv key Form1 ListView1 Return >/dev/null
box=$(read_and_answer)
check_eq "Enter on it explains why it cannot run" "Information
$(title_of 3) is not available because:" "$(head -n 2 <<<"$box")"
check_eq "resting on row 4 selects it" "4" "$(hover_row 4)"
before=$(runs)
drv key Form1 ListView1 Return >/dev/null
if wait_runs $((before + 1)) 10; then e2e_pass "Enter on it runs it"; else e2e_fail "Enter on it runs it" "no new emulator record in $LOG"; fi
check_eq "the main window is back with the list focused" "ListView1${TAB}1" "$(focus_becomes "ListView1${TAB}1")"

echo "-- back to the common interface"
# The pointer away, so no hover hint replaces the one the showing writes. A
# click on a button (here the button's own click message, which presses it
# as the mouse does) leaves the keyboard focus where it was, in the list,
# also across the hiding and showing of a switch.
pointer_away
drv click Form1 SpeedButton10 >/dev/null
drv wait Form1 5000 >/dev/null
check_eq "the common hint" "Select a game and then doubleclick on it to play" "$(hint)"
check_eq "the list keeps the keyboard focus" "ListView1${TAB}1" "$(focus_becomes "ListView1${TAB}1")"
common_shot=$(e2e_shot common-again)
check_contains "the run button has its frame again" "$(frame_of "$common_shot" Form1 SpeedButton1)" "framed "
before=$(selected_row)
# shellcheck disable=SC2046
pointer_to $(row_point 2)
sleep 1.5
check_eq "no hot tracking: resting on row 2 leaves the selection" "$before" "$(selected_row)"

echo "-- Enter in the common interface"
# A real click on a row selects it and gives the list the X keyboard focus.
# shellcheck disable=SC2046
pointer_to $(row_point 3)
xdotool click 1
sleep 0.3
check_eq "a click selects row 3, an incomplete set" "3" "$(selected_row)"
xdotool key Return
box=$(read_and_answer)
check_eq "Enter on it explains why it cannot run" "Information
$(title_of 3) is not available because:" "$(head -n 2 <<<"$box")"
# shellcheck disable=SC2046
pointer_to $(row_point 4)
xdotool click 1
sleep 0.3
check_eq "a click selects row 4" "4" "$(selected_row)"
game=$(drv rows Form1 ListView1 | sed -n 5p | cut -f3)
before=$(runs)
xdotool key Return
if wait_runs $((before + 1)) 10; then e2e_pass "Enter on it runs it"; else e2e_fail "Enter on it runs it" "no new emulator record in $LOG"; fi
check_eq "the emulator got that game" "game=$game" "$(grep '^game=' "$LOG" | tail -n 1 | tr -d '\r')"
check_eq "the main window is back with the list focused" "ListView1${TAB}1" "$(focus_becomes "ListView1${TAB}1")"

echo "-- the About box"
pointer_away
drv tab-select Form1 PageControl1 3 >/dev/null
# shellcheck disable=SC2046
pointer_to $(row_point 2)
xdotool click 1
sleep 0.3
check_eq "a click on a row gives the list the keyboard focus" "ListView1${TAB}1" "$(drv focus Form1)"
pointer_over Form1 SpeedButton7
xdotool click 1
check_eq "it opens with its caption" "About Tolvane's QUON FrontEnd v2.09" "$(drv wait Form4 5000)"
check_eq "the main window takes no input" "disabled" "$(main_input)"
# The message is the first line of abouttxt.dat, up to its carriage return.
message=$(tr '\r' '\n' <"$E2E_APP/abouttxt.dat" | head -n 1)
check_eq "the message box shows the first line" "$message" "$(drv text Form4 Edit1)"
about_shot=$(e2e_shot about-box)
check_file "screenshot of the About box" "$about_shot"

bar_tip="Click and drag to see the rest of the message"
check_eq "the bars and the message carry a tooltip" "ProgressBar1${TAB}$bar_tip
Edit1${TAB}$bar_tip
ProgressBar2${TAB}$bar_tip" "$(drv tips Form4)"
# In the main window, only the buttons Tab does not stop at carry one: the key that presses each.
tips=$(drv tips Form1)
check_eq "the main window's buttons that Tab passes by name their keys" \
    "SpeedButton1 SpeedButton10 SpeedButton11 SpeedButton2 SpeedButton3 SpeedButton4 SpeedButton5 SpeedButton6 SpeedButton7 SpeedButton8 SpeedButton9 " \
    "$(grep -E '\((Ctrl\+|F1\)|F4 |also Alt\+Space)' <<<"$tips" | cut -f1 | LC_ALL=C sort | tr '\n' ' ')"
check_eq "and nothing else there carries a tooltip" 11 "$(grep -c . <<<"$tips")"
pointer_over Form4 ProgressBar1
check_eq "resting on a bar shows its tooltip" "ProgressBar1${TAB}$bar_tip" "$(tooltip_of Form4 ProgressBar1)"
tooltip_shot=$(e2e_shot about-tooltip)
check_file "screenshot of the About box with the tooltip" "$tooltip_shot"
read -r _ tip_top _ _ <<<"$(drv tooltip Form4 1000 | cut -f3)"
read -r _ bar_top _ bar_h <<<"$(drv rect Form4 ProgressBar1)"
if [ -n "$tip_top" ] && [ "$tip_top" -ge $((bar_top + bar_h / 2)) ]; then
    e2e_pass "the tooltip shows below the pointer"
else
    e2e_fail "the tooltip shows below the pointer" "tooltip top ${tip_top:-none}, bar top $bar_top"
fi
pointer_over Form4 Edit1
check_eq "the disabled message field shows it too" "Edit1${TAB}$bar_tip" "$(tooltip_of Form4 Edit1)"
pointer_over Form4 SpeedButton1
check_eq "the button has none" "none" "$(no_tooltip Form4)"

read -r l t w h <<<"$(drv rect Form4 ProgressBar1)"
y=$((t + h / 2))
xdotool mousemove "$l" "$y" mousedown 1
xdotool mousemove $((l + 180)) "$y"
# The bar is 361 pixels wide: x pixels in, the message starts len / (361 / x)
# characters on, rounded.
from=$(awk -v n="${#message}" 'BEGIN { printf "%d", n / (361 / 180) + 0.5 }')
expected=${message:$from}
now=""
for _ in $(seq 30); do
    now=$(drv text Form4 Edit1)
    [ "$now" = "$expected" ] && break
    sleep 0.1
done
check_eq "dragging 180 pixels along the bar scrolls to character $from" "$expected" "$now"
xdotool mousemove $((l + w + 300)) "$y"
dashes="<$(printf '%255s' '' | tr ' ' '-')"
for _ in $(seq 30); do
    now=$(drv text Form4 Edit1)
    [ "$now" = "$dashes" ] && break
    sleep 0.1
done
check_eq "past the right end: the end mark and dashes" "$dashes" "$now"
xdotool mouseup 1
xdotool mousemove $((l + 60)) "$y"
sleep 0.5
check_eq "after the release a move scrolls nothing" "$dashes" "$(drv text Form4 Edit1)"
pointer_over Form4 SpeedButton1
xdotool click 1
sleep 0.3
if drv wait Form4 300 >/dev/null 2>&1; then
    e2e_fail "Return to main program closes it"
else
    e2e_pass "Return to main program closes it"
fi
check_eq "the keyboard focus is back in the list, not on a button" "ListView1${TAB}1" "$(focus_becomes "ListView1${TAB}1")"
check_eq "the main window takes input again" "enabled" "$(main_input)"

drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "the common interface is saved" "Common" "$(reg_query "$E2E_KEY" Interface)"

e2e_finish
