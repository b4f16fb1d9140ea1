#!/usr/bin/env bash
# A first run done with the keyboard alone, from a distribution directory
# that holds a few hundred directories named in mixed case and one that
# cannot be read: the install-to dialog and its tree, the new-directory
# dialog, the configuration dialog with the path picker, then the About
# box, and closing the application from its task-bar entry.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

DIST=$E2E_WORK/dist
TOPS=(Alpha arcade BETA bin Cabinet cars delta Echo games Garage Zone zulu)
DIR_FORM=Form2

make_dist() {
    [ -d "$DIST/Locked" ] && chmod 755 "$DIST/Locked"  # left by a run that stopped early
    rm -rf "$DIST"
    mkdir -p "$DIST"
    cp "$(e2e_exe qnlaunch.exe)" "$DIST/" || return 1
    local f t i
    for f in readme.txt abouttxt.dat roms.dat reqfiles.dat; do cp "$QN_ROOT/demo/$f" "$DIST/" || return 1; done
    for f in noscreen.jpg tolvane1.jpg tolvane2.jpg; do cp "$QN_ROOT/demo/screens/$f" "$DIST/" || return 1; done
    for t in "${TOPS[@]}"; do
        for ((i = 100; i < 125; i++)); do mkdir -p "$DIST/$t/Sub$i"; done
    done
    cp "$(e2e_exe quon.exe)" "$DIST/Echo/" || return 1
    mkdir -p "$DIST/Locked/Inner"
    chmod 000 "$DIST/Locked"
}

# Root reads any directory: the program runs, with its own Wine server,
# without the right to pass over permissions, as an ordinary user would.
start_first_run() {
    local limit=()
    if [ "$(id -u)" = 0 ]; then limit=(setpriv --bounding-set=-dac_override,-dac_read_search); fi
    qn_wine_stop
    E2E_RC=""
    rm -f "$E2E_WORK/.rc"
    (
        cd "$DIST" && "${limit[@]}" wine "$DIST/qnlaunch.exe" >>"$E2E_WORK/program.log" 2>&1
        echo $? >"$E2E_WORK/.rc"
    ) &
    E2E_PROG_PID=$!
}

keys() { # xdotool key names...
    xdotool key --delay 60 "$@"
    sleep 0.3
}
typed() { # text   (quickly: one name for the tree's search)
    xdotool type --delay 40 "$1"
    sleep 0.3
}
focus_of() { drv focus "$1" | cut -f1; }
open_marks() { drv tree "$DIR_FORM" DirectoryOutline1 | awk -F'\t' -v n="$1" '{ t = $3; sub(/^ */, "", t) } t == n { print $2; exit }'; }
no_box() { # description
    local box
    if box=$(drv msgbox 500 2>/dev/null); then
        drv answer OK >/dev/null
        e2e_fail "$1" "a box came up: '$(e2e_show "$box")'"
    else
        e2e_pass "$1"
    fi
}
# The tab stops met from the focused control on, one Tab at a time.
tab_round() { # window count
    local i out=""
    for ((i = 0; i < $2; i++)); do
        keys Tab
        out+="$(focus_of "$1") "
    done
    printf '%s\n' "${out% }"
}

DIST_WIN=$(qn_winpath "$DIST")

echo "-- the install-to dialog by keyboard"
make_dist || exit 1
e2e_reset_registry
start_first_run
read_and_answer >/dev/null
check_eq "the install-to dialog opens" "Configuration" "$(drv wait Form2 10000)"
# The X keyboard goes to the window clicked last; a click on the question
# changes nothing in the dialog.
# shellcheck disable=SC2046
pointer_to $(control_centre Form2 Label1)
xdotool click 1
sleep 0.3
check_eq "the focus starts on the drive list" "DriveComboBox1" "$(focus_of Form2)"
check_eq "and shows" "shown" "$(drv cues Form2)"
keys Tab
check_eq "Tab goes to the tree" "DirectoryOutline1" "$(focus_of Form2)"
check_eq "the working directory is current" "$(entry_of "$DIST")" "$(current_entry)"
check_eq "its subdirectories in order, whatever their case" \
    "Alpha arcade BETA bin Cabinet cars delta Echo games Garage Locked Zone zulu" \
    "$(children_of_current | tr '\n' ' ' | sed 's/ $//')"
e2e_shot install-tree >/dev/null
keys Down
check_eq "Down moves to the first subdirectory" "$(entry_of "$DIST/Alpha")" "$(current_entry)"
check_eq "the box follows" "$DIST_WIN\\Alpha" "$(drv text Form2 Edit1)"
check_eq "which is not opened on the way" ">" "$(open_marks Alpha)"
keys Down Down Down
check_eq "Down again reaches the fourth, not the last" "$(entry_of "$DIST/bin")" "$(current_entry)"
typed gar
check_eq "typing a name finds it, whatever its case" "$(entry_of "$DIST/Garage")" "$(current_entry)"
keys Right
check_eq "Right opens it" "+" "$(open_marks Garage)"
check_eq "showing its 25 subdirectories" "25" "$(children_of_current | wc -l | tr -d ' ')"
keys minus
check_eq "'-' closes it" ">" "$(open_marks Garage)"
keys plus
check_eq "'+' opens it again" "+" "$(open_marks Garage)"
keys Left
check_eq "Left closes it" ">" "$(open_marks Garage)"
sleep 1.2
typed l
check_eq "after a pause a new name: the unreadable directory" "$(entry_of "$DIST/Locked")" "$(current_entry)"
keys Return
check_eq "Enter opens it: nothing below, nothing to open" " " "$(open_marks Locked)"
no_box "and no message"
keys Left
check_eq "Left goes up to the working directory" "$(entry_of "$DIST")" "$(current_entry)"

echo "-- a new directory by keyboard"
keys Tab Tab
check_eq "Tab reaches New Directory past the box" "SpeedButton3" "$(focus_of Form2)"
keys space
check_eq "Space opens the new-directory dialog" "Create Directory" "$(drv wait Form6 5000)"
check_eq "its box has the focus" "Edit1" "$(focus_of Form6)"
check_eq "shown at once" "shown" "$(drv cues Form6)"
typed KeyDir
check_eq "the name typed goes after the directory shown" "$DIST_WIN\\KeyDir" "$(drv text Form6 Edit1)"
keys Tab Tab Escape
check_eq "Escape on a button cancels" "closed" "$(closes Form6)"
check_eq "nothing made" "no" "$([ -d "$DIST/KeyDir" ] && echo yes || echo no)"
keys space
drv wait Form6 5000 >/dev/null
check_eq "Space opens it again, the focus in its box" "Edit1" "$(focus_of Form6)"
typed KeyDir
keys Return
check_eq "Enter makes it" "yes" "$([ -d "$DIST/KeyDir" ] && echo yes || echo no)"
check_eq "the focus is back on New Directory" "SpeedButton3" "$(focus_of Form2)"
keys shift+Tab shift+Tab
check_eq "Shift+Tab back to the tree" "DirectoryOutline1" "$(focus_of Form2)"
check_contains "which shows the new directory" "$(children_of_current)" "KeyDir"
typed k
keys Return
check_eq "chosen by its first letter" "$DIST_WIN\\KeyDir" "$(drv text Form2 Edit1)"
keys Tab Tab Tab
check_eq "Tab reaches OK" "SpeedButton1" "$(focus_of Form2)"
keys Return
check_eq "Enter asks" "Confirm
OK to install to $DIST_WIN\\KeyDir?" "$(drv msgbox 5000)"
keys Return
check_eq "Enter is Yes: asked whether to configure" "Confirm
Program files copied. Do you want to configure some QnLaunch options now?" "$(drv msgbox 10000)"
keys Return
check_eq "Yes opens the configuration dialog" "Tolvane's Quon FrontEnd Configuration" "$(drv wait Form5 5000)"

echo "-- the configuration dialog and the path picker by keyboard"
check_eq "the focus starts on the first button" "SpeedButton6" "$(focus_of Form5)"
check_eq "and shows" "shown" "$(drv cues Form5)"
check_eq "Tab goes round every control that works" \
    "CheckBox8 CheckBox7 ComboBox1 SpeedButton1 SpeedButton2 SpeedButton3 SpeedButton6" \
    "$(tab_round Form5 7)"
keys space
check_eq "Space on '...' opens the picker" "Select Path" "$(drv wait Form3 5000)"
keys Escape
check_eq "Escape cancels it" "closed" "$(closes Form3)"
check_eq "the path is unchanged" "" "$(drv text Form5 Edit1)"
keys space
drv wait Form3 5000 >/dev/null
DIR_FORM=Form3
keys Tab
check_eq "Tab to the picker's tree" "DirectoryOutline1" "$(focus_of Form3)"
e2e_shot picker-tree >/dev/null
typed e
keys Return
check_eq "the emulator's directory chosen" "$(entry_of "$DIST/Echo")" "$(current_entry)"
keys Tab Return
check_eq "Enter delivers it" "$(printf '%s' "$DIST_WIN\\Echo" | tr '[:upper:]' '[:lower:]')" "$(drv text Form5 Edit1)"
check_eq "and closes the picker" "closed" "$(closes Form3)"
keys Tab Tab Tab
check_eq "Tab to the interface list" "ComboBox1" "$(focus_of Form5)"
keys Down
check_eq "Down chooses the common interface" "Common interface" "$(drv combo Form5 ComboBox1 | grep '^\*' | cut -f2)"
keys Return
check_eq "Enter is OK: the main window opens" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 15000)"
check_eq "settings saved" "Common" "$(reg_query "$E2E_KEY" Interface)"

echo "-- the About box by keyboard"
drv tab-select Form1 PageControl1 3 >/dev/null
drv click Form1 SpeedButton7 >/dev/null  # the main window's buttons take no focus
drv wait Form4 5000 >/dev/null
check_eq "the focus on its button" "SpeedButton1" "$(focus_of Form4)"
check_eq "and shows" "shown" "$(drv cues Form4)"
message=$(head -n 1 "$DIST/KeyDir/abouttxt.dat" | tr -d '\r')
[ "${#message}" -gt 300 ] || e2e_fail "the installed abouttxt.dat holds a long message" "${#message} characters"
check_eq "the message from its start" "${message:0:40}" "$(drv text Form4 Edit1 | head -c 40)"
keys Right
# A drag's first step: one pixel of the bar, about two characters here.
check_eq "Right moves it on by one step of a drag" "${message:2:40}" "$(drv text Form4 Edit1 | head -c 40)"
keys Left
check_eq "Left moves it back" "${message:0:40}" "$(drv text Form4 Edit1 | head -c 40)"
keys End
check_eq "End shows its end" "<$(printf '%*s' 255 '' | tr ' ' -)" "$(drv text Form4 Edit1)"
keys Home
check_eq "Home its start" "${message:0:40}" "$(drv text Form4 Edit1 | head -c 40)"
keys Escape
check_eq "Escape closes the box" "closed" "$(closes Form4)"

echo "-- closed from the task bar"
drv sys Application close >/dev/null
e2e_wait_exit 15
check_eq "the application's Close ends the program with 0" "0" "$E2E_RC"
check_eq "the settings saved: the program path" "$DIST_WIN\\KeyDir\\" "$(reg_query "$E2E_KEY" "Main Program Path")"
check_eq "the emulator path" "$(printf '%s' "$DIST_WIN\\Echo\\" | tr '[:upper:]' '[:lower:]')" "$(reg_query "$E2E_KEY" "Quon Path")"
chmod 755 "$DIST/Locked"

e2e_finish
