#!/usr/bin/env bash
# The UI driver against its fixture window (qndriver_target.exe), so the
# harness is known to work before the launcher is driven with it. The
# fixture logs every event it gets into Log1; its exit code is
# 10 * (ComboBox1 index + 1) + CheckBox1 state.
. "$(dirname "$0")/lib.sh"

target=$(e2e_exe qndriver_target.exe) || exit 1
cd "$E2E_WORK" || exit 1

events() { drv text Form1 Log1; }
# The events one driver command caused: what it added to the log.
caused() {
    local before after
    before=$(events)
    "$@" >/dev/null
    after=$(events)
    after=${after#"$before"}
    printf '%s\n' "${after# }"
}
TAB=$'\t'

echo "-- finding windows"
e2e_start "$target"
check_eq "wait by name prints the caption" "Driver Target" "$(drv wait Form1 10000)"
check_eq "wait by caption" "Driver Target" "$(drv wait 'Driver Target')"
check_contains "windows lists visible top-level windows" "$(drv windows)" \
    "Form1${TAB}QnTargetForm${TAB}20 20 "
out=$(drv wait Form9 300 2>&1)
check_eq "wait for a missing window fails with 2" "2" "$?"
check_contains "wait says what it missed" "$out" "window 'Form9' not found within 300 ms"
check_eq "the initial selection was reported" "sel+1" "$(events)"

echo "-- reading"
dump=$(drv dump Form1)
check_eq "dump lists named controls in creation order" \
    "Edit1 CheckBox1 Button1 Button2 ListView1 ComboBox1 PageControl1 Panel1 Log1 Button3 Button4 ListBox1 StatusBar1" \
    "$(cut -f1 <<<"$dump" | grep -v '^-$' | tr '\n' ' ' | sed 's/ $//')"
edit_line=$(grep "^Edit1$TAB" <<<"$dump")
check_contains "dump: class, visible, enabled, no check state, client rect" \
    "$edit_line" "Edit1${TAB}Edit${TAB}1${TAB}1${TAB}-${TAB}10 10 150 22${TAB}"
check_contains "dump: text last" "$edit_line" "${TAB}hello world"
font=$(cut -f7,8 <<<"$edit_line")
case "$font" in
"-$TAB-" | "MS Sans Serif$TAB-11") e2e_pass "dump: font face and height, or none" ;;
*) e2e_fail "dump: font face and height, or none" "got '$font'" ;;
esac
check_contains "dump: disabled button" "$dump" "Button2${TAB}Button${TAB}1${TAB}0${TAB}0${TAB}"
check_contains "dump: unchecked check box" "$dump" "CheckBox1${TAB}Button${TAB}1${TAB}1${TAB}0${TAB}170 10 120 22"
check_contains "dump: list view class" "$dump" "ListView1${TAB}SysListView32${TAB}"

check_eq "text by name" "hello world" "$(drv text Form1 Edit1)"
check_eq "text by control id" "hello world" "$(drv text Form1 '#101')"
check_eq "text by caption" "Remember me" "$(drv text Form1 'Remember me')"
out=$(drv text Form1 Nothing9 2>&1)
check_eq "a missing control fails with 2" "2" "$?"
check_contains "missing control named" "$out" "control 'Nothing9' not found"

check_eq "rows with the selected marker" \
    "-${TAB}Alpha Strike${TAB}1987${TAB}Tolvane
*${TAB}Beta Run${TAB}1991${TAB}Quonsoft
-${TAB}Gamma Ray${TAB}1994${TAB}Tolvane" "$(drv rows Form1 ListView1)"
check_eq "column widths and headers" "150${TAB}Game
60${TAB}Year
120${TAB}Maker" "$(drv columns Form1 ListView1)"
check_eq "status bar panels: right edge and text" "120${TAB}Ready
300${TAB}3 games
-1${TAB}v1.0" "$(drv panels Form1 StatusBar1)"
check_eq "combo items and selection" "-${TAB}Small
*${TAB}Medium
-${TAB}Large" "$(drv combo Form1 ComboBox1)"
check_eq "list box items, none selected" "-${TAB}384 x 256
-${TAB}320 x 240
-${TAB}256 x 256" "$(drv combo Form1 ListBox1)"
check_eq "tabs and the selected one" "*${TAB}General
-${TAB}Paths
-${TAB}About" "$(drv tab Form1 PageControl1)"
out=$(drv rows Form1 Edit1 2>&1)
check_eq "rows of a non-list-view fails with 3" "3" "$?"
check_contains "and says why" "$out" "not a list view"

echo "-- acting"
check_eq "select: old row deselected, new selected" "sel-1 sel+2" "$(caused drv select Form1 ListView1 2)"
check_eq "select shows in rows" "-${TAB}-${TAB}*" "$(drv rows Form1 ListView1 | cut -f1 | tr '\n' '\t' | sed 's/\t$//')"
check_eq "click on a row" "sel-2 sel+0 click=0" "$(caused drv click Form1 ListView1 0)"
check_eq "double click on a row" "sel-0 sel+1 click=1 open=1" "$(caused drv dblclick Form1 ListView1 1)"
check_eq "a key on the list: Down moves the selection" "sel-1 sel+2" "$(caused drv key Form1 ListView1 Down)"
out=$(drv select Form1 ListView1 3 2>&1)
check_eq "select past the last row fails with 3" "3" "$?"
check_contains "and names the range" "$out" "out of range (3 rows)"

check_eq "click a check box" "check=1" "$(caused drv click Form1 CheckBox1)"
check_contains "check box now checked" "$(drv dump Form1)" "CheckBox1${TAB}Button${TAB}1${TAB}1${TAB}1${TAB}"
check_eq "click a control of the program's own class at its centre" "down=94,11 up" \
    "$(caused drv click Form1 Panel1)"
check_eq "hover" "move" "$(caused drv hover Form1 Panel1)"
out=$(drv click Form1 Button2 2>&1)
check_eq "click on a disabled button fails with 3" "3" "$?"
check_contains "and says it is disabled" "$out" "control is disabled"

check_eq "combo-select notifies like a user's choice" "combo=2" "$(caused drv combo-select Form1 ComboBox1 2)"
check_eq "combo-select shows in combo" "-${TAB}-${TAB}*" "$(drv combo Form1 ComboBox1 | cut -f1 | tr '\n' '\t' | sed 's/\t$//')"
check_eq "combo-select on a list box" "list=1" "$(caused drv combo-select Form1 ListBox1 1)"
check_eq "list box selection shows" "-${TAB}*${TAB}-" "$(drv combo Form1 ListBox1 | cut -f1 | tr '\n' '\t' | sed 's/\t$//')"
drv combo-select Form1 ComboBox1 3 2>/dev/null
check_eq "combo-select past the end fails with 3" "3" "$?"
check_eq "tab-select clicks the tab" "tab=2" "$(caused drv tab-select Form1 PageControl1 2)"
check_eq "tab-select shows in tab" "-${TAB}-${TAB}*" "$(drv tab Form1 PageControl1 | cut -f1 | tr '\n' '\t' | sed 's/\t$//')"

echo "-- message boxes"
drv click Form1 Button1
check_eq "msgbox: caption, then the text's lines" "Confirm
Keep the changes?
They apply at once." "$(drv msgbox 3000)"
box=$(drv dump Confirm)
check_contains "a message box can be dumped by its caption" "$box" "Button${TAB}1${TAB}1${TAB}0${TAB}"
check_contains "dump escapes line breaks" "$box" 'Keep the changes?\r\nThey apply at once.'
check_contains "its buttons are listed" "$box" "${TAB}&No"
out=$(drv click Form1 Button4 2>&1)
check_eq "no clicks while a modal box is open" "3" "$?"
check_contains "and says why" "$out" "window is disabled"
shot=$(e2e_shot msgbox)
check_file "screenshot saved" "$shot"
check_eq "answer NO" "ask=no" "$(caused drv answer NO)"
drv msgbox 300 2>/dev/null
check_eq "the box is gone" "2" "$?"

drv click Form1 Button4
out=$(drv answer YES 2>&1)
check_eq "answer with a button the box lacks fails with 3" "3" "$?"
check_contains "and names it" "$out" "has no YES button"
check_eq "answer OK" "info" "$(caused drv answer OK)"
out=$(drv answer OK 300 2>&1)
check_eq "answer with no box fails with 2" "2" "$?"

echo "-- more windows, rectangles, closing"
drv click Form1 "Second window"
check_eq "a second top-level window" "Second Window" "$(drv wait Form2)"
check_eq "its control" "Second" "$(drv text Form2 Label1)"
frame=$(drv frame Form2)
check_contains "frame: the window's owner" "$frame" "owner=Form1"
check_contains "frame: an owned window has no task-bar entry" "$frame" "taskbar=0"
check_contains "frame: the unowned one has" "$(drv frame Form1)" "taskbar=1"
drv sys Form2 minimize
check_contains "sys minimize" "$(drv frame Form2)" "iconic=1"
drv sys Form2 restore
check_contains "sys restore" "$(drv frame Form2)" "iconic=0"
drv close Form2
drv wait Form2 300 2>/dev/null
check_eq "close removes it" "2" "$?"

echo "-- tooltips"
check_eq "tips lists each tool's control and text" "Button1${TAB}Asks a question" "$(drv tips Form1)"
drv tooltip Form1 300 >/dev/null 2>&1
check_eq "no tooltip before the pointer rests on the control" "2" "$?"
read -r bl bt bw bh <<<"$(drv rect Form1 Button1)"
xdotool mousemove $((bl + bw / 2 - 1)) $((bt + bh / 2)) sleep 0.1 mousemove $((bl + bw / 2)) $((bt + bh / 2))
check_contains "tooltip: the control under the pointer and the text shown" \
    "$(drv tooltip Form1 3000)" "Button1${TAB}Asks a question${TAB}"
xdotool mousemove 5 5

read -r fl ft fw fh <<<"$(drv rect Form1)"
read -r el et ew eh <<<"$(drv rect Form1 Edit1)"
check_eq "control rect size" "150 22" "$ew $eh"
inside=no
[ "$el" -gt "$fl" ] && [ "$et" -gt "$ft" ] && [ $((el + ew)) -lt $((fl + fw)) ] &&
    [ $((et + eh)) -lt $((ft + fh)) ] && inside=yes
check_eq "control rect lies inside its window's rect" "yes" "$inside"

shot=$(e2e_shot form1)
check_eq "screenshot is the whole screen" "1024x768" "$(identify -format '%wx%h' "$shot")"
# The window's area of the shot must have been drawn (Xvfb starts black).
mean=$(convert "$shot" -crop "${fw}x${fh}+${fl}+${ft}" -format '%[fx:int(mean*100)]' info:)
drawn=no
[ "$mean" -gt 30 ] && drawn=yes
check_eq "window area drawn in the screenshot (mean brightness $mean%)" "yes" "$drawn"

drv close Form1
e2e_wait_exit 10
check_eq "exit code reflects the state the driver set" "31" "$E2E_RC"

echo "-- harness"
key='HKLM\Software\Tolvane\Tolvane Quon FrontEnd v2.09'
reg_add "$key" "Main Program Path" 'Z:\demo dir\'
reg_add "$key" "Count" 7 REG_DWORD
reg_add "$key" "" "default"
check_eq "reg value with spaces and a trailing backslash" 'Z:\demo dir\' "$(reg_query "$key" "Main Program Path")"
check_eq "reg DWORD" "0x7" "$(reg_query "$key" Count)"
check_eq "reg default value" "default" "$(reg_query "$key" "")"
reg_delete "$key" Count
reg_query "$key" Count >/dev/null
check_eq "deleted value is missing" "1" "$?"
e2e_reset_registry
reg_query "$key" "Main Program Path" >/dev/null
check_eq "reset removes the launcher's keys" "1" "$?"

e2e_guard 1 sleep 5
check_eq "guard stops a command that runs too long" "124" "$?"
e2e_start "$target"
drv wait Form1 >/dev/null
e2e_wait_exit 1 2>/dev/null
check_eq "waiting too long returns 1" "1" "$?"
check_eq "a program that does not end is ended" "timeout" "$E2E_RC"
drv wait Form1 300 2>/dev/null
check_eq "and its window is gone" "2" "$?"

e2e_finish
