#!/usr/bin/env bash
# The path settings on the "FrontEnd Configuration" page: the picker window
# (drive list and directory list), its check for the emulator, the three
# directories it delivers, the unzip program from the system's file dialog,
# and the paths as they are saved.

# Windows paths are split on their backslashes (IFS='\').
# shellcheck disable=SC1003,SC2141
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

DIR_FORM=Form3

lower() { printf '%s\n' "$1" | tr '[:upper:]' '[:lower:]'; }
hex() { od -An -tx1 | tr -d ' \n'; }
available() { drv rows Form1 ListView1 | awk -F'\t' '$4 == "Yes" { print $3 }' | tr '\n' ' ' | sed 's/ $//'; }
window_state() { if drv wait "$1" 300 >/dev/null 2>&1; then echo open; else echo closed; fi; }
picker_open() { window_state Form3; }
# Passes when no message box comes up; answers one that does.
no_box() { # description
    local box
    if box=$(drv msgbox 300 2>/dev/null); then
        drv answer OK >/dev/null
        e2e_fail "$1" "a box came up: '$(e2e_show "$box")'"
    else
        e2e_pass "$1"
    fi
}
# Chooses a directory from its drive down: the drive in the drive list, then
# each directory on the way.
choose_dir() { # unix directory
    local win parts drive index i
    win=$(qn_winpath "$1")
    drive=$(shown "${win:0:3}")
    index=$(drv combo Form3 DriveComboBox1 | cut -f2 | grep -n -i -x -F -- "$drive" | cut -d: -f1)
    [ -n "$index" ] || { echo "e2e: drive $drive not offered" >&2; return 1; }
    drv combo-select Form3 DriveComboBox1 $((index - 1)) >/dev/null || return 1
    wait_current "$drive" 5 || { echo "e2e: the tree did not go to $drive" >&2; return 1; }
    IFS='\' read -ra parts <<<"${win:3}"
    for ((i = 0; i < ${#parts[@]}; i++)); do
        choose_entry "$(printf '%*s%s' $(((i + 1) * 2)) '' "${parts[i]}")" || return 1
    done
}

# The warning the picker gives for a directory without the emulator: its
# caption, then the text, compared byte by byte (the accent is one byte of
# the Windows code page, 0xB4).
check_no_emulator_warning() { # description windows-directory
    local box
    box=$(read_and_answer)
    check_eq "$1" "$(printf 'Warning\nQuon.exe wasn\xb4t found in %s' "$2" | hex)" \
        "$(printf '%s' "$box" | hex)"
}

APP_WIN=$(qn_winpath "$E2E_APP")
EMU_WIN=$(qn_winpath "$E2E_APP/emu")
ZIPS_WIN=$(qn_winpath "$E2E_APP/zips")
DRIVERS_WIN=$(qn_winpath "$E2E_APP/drivers")
UNZIP_WIN=$(qn_winpath "$E2E_APP/pkunzip.exe")

settings_for_demo
# The emulator path starts at the program directory, where no game's files
# are: choosing the emulator directory must make the list change.
reg_add "$E2E_KEY" "Quon Path" "$(win_dir "$E2E_APP")"
start_launcher
drv wait Form1 15000 >/dev/null
drv tab-select Form1 PageControl1 1 >/dev/null
check_eq "no game available before" "" "$(available)"

echo "-- the picker for the emulator directory"
drv click Form1 SpeedButton6 >/dev/null
check_eq "the picker opens" "Select Path" "$(drv wait Form3 5000)"
check_eq "it asks for the emulator" "Select the path where QUON is installed:" "$(drv text Form3 Label1)"
check_eq "the main window takes no input" "disabled" "$(main_input)"
drives=$(drv combo Form3 DriveComboBox1)
check_contains "the drive list offers C:" "$drives" "-${TAB}C:\\\\"
check_contains "and the current directory's drive, chosen" "$drives" "*${TAB}$(shown "${APP_WIN:0:3}")"
# The program's current directory: the tree open from the root down to it,
# and its subdirectories below it.
check_eq "the tree shows the way down to the current directory" "$(way_down "$E2E_APP")" "$(on_the_way "$E2E_APP")"
check_eq "which is the current entry" "$(entry_of "$E2E_APP")" "$(current_entry)"
check_eq "then its subdirectories, in order" "drivers emu screens zips" \
    "$(children_of_current | tr '\n' ' ' | sed 's/ $//')"
shot=$(e2e_shot picker)
check_file "screenshot of the picker" "$shot"

echo "-- a directory without the emulator is refused"
drv combo-select Form3 DriveComboBox1 "$(drv combo Form3 DriveComboBox1 | cut -f2 | grep -n -x -F 'C:\\' | cut -d: -f1 | awk '{ print $1 - 1 }')" >/dev/null
wait_current 'C:\\' 5
list=$(entries)
check_eq "choosing drive C: makes its root current" "*${TAB}C:\\\\" "$(head -n 1 <<<"$list")"
check_contains "with the root's subdirectories below" "$list" "-${TAB}  windows"
drv click Form3 SpeedButton1 >/dev/null
check_no_emulator_warning "a drive root without the emulator: the warning names the root" 'C:\'
check_eq "the picker stays open" "open" "$(picker_open)"

choose_dir "$E2E_APP/drivers"
check_eq "chosen from the drive down" "$(entry_of "$E2E_APP/drivers")" "$(current_entry)"
drv click Form3 SpeedButton1 >/dev/null
check_no_emulator_warning "a directory without quon.exe: the warning with its path" "$DRIVERS_WIN"
check_eq "the picker stays open" "open" "$(picker_open)"
check_eq "the main window still takes no input" "disabled" "$(main_input)"
drv click Form3 SpeedButton2 >/dev/null
check_eq "Cancel closes the picker" "closed" "$(picker_open)"
check_eq "and gives the main window its input back" "enabled" "$(main_input)"
check_eq "the emulator path is kept" "$(lower "$APP_WIN")\\" "$(drv text Form1 Edit1)"
check_eq "and the list too" "" "$(available)"

echo "-- the emulator directory"
drv click Form1 SpeedButton6 >/dev/null
drv wait Form3 5000 >/dev/null
check_eq "the picker opens where it was left" "$(entry_of "$E2E_APP/drivers")" "$(current_entry)"
choose_entry "$(entry_of "$E2E_APP")" && choose_entry "$(entry_of "$E2E_APP/emu")"
check_contains "the chosen directory's subdirectories are listed" "$(entries)" \
    "-${TAB}$(entry_of "$E2E_APP/emu/rtypeus")"
drv click Form3 SpeedButton1 >/dev/null
no_box "no warning"
check_eq "OK closes the picker" "closed" "$(picker_open)"
check_eq "the main window takes input again" "enabled" "$(main_input)"
check_eq "the path box shows the directory in lower case" "$(lower "$EMU_WIN")" "$(drv text Form1 Edit1)"
check_eq "the list follows: the plain mix" "rtypeus rtype2 loht imgfight gunforce ppong moonmole" "$(available)"

echo "-- the compressed ROMs directory"
drv click Form1 CheckBox7 >/dev/null
check_eq "compressed mode in the status bar" "Zipped ROMs" "$(drv panels Form1 StatusBar1 | sed -n 3p | cut -f2)"
check_eq "without a ROMs directory nothing can run" "" "$(available)"
drv click Form1 SpeedButton5 >/dev/null
drv wait Form3 5000 >/dev/null
check_eq "the picker asks for the zipped ROMs" "Select the path where your compressed ROMs are stored:" \
    "$(drv text Form3 Label1)"
choose_entry "$(entry_of "$E2E_APP")" && choose_entry "$(entry_of "$E2E_APP/zips")"
drv click Form3 SpeedButton1 >/dev/null
no_box "no check for the emulator there"
check_eq "OK closes the picker" "closed" "$(picker_open)"
check_eq "the ROMs box shows the directory in lower case" "$(lower "$ZIPS_WIN")" "$(drv text Form1 Edit3)"
check_eq "the list follows: only the set with its driver beside it" "rtypeus" "$(available)"

echo "-- the drivers directory"
drv click Form1 CheckBox8 >/dev/null
check_contains "its button is enabled with the box" "$(drv dump Form1)" "SpeedButton8${TAB}Button${TAB}1${TAB}1${TAB}"
drv click Form1 SpeedButton8 >/dev/null
drv wait Form3 5000 >/dev/null
check_eq "the picker asks for the drivers" "Select the path to your QUON game drivers:" "$(drv text Form3 Label1)"
choose_entry "$(entry_of "$E2E_APP")" && choose_entry "$(entry_of "$E2E_APP/drivers")"
drv click Form3 SpeedButton1 >/dev/null
check_eq "OK closes the picker" "closed" "$(picker_open)"
check_eq "the drivers box shows the directory in lower case" "$(lower "$DRIVERS_WIN")" "$(drv text Form1 Edit4)"
check_eq "the list follows: zipped sets with the drivers directory" "rtypejp dbreed hharry nspirit" "$(available)"

echo "-- the unzip program"
DIALOG="Select PkUnzip program file"
drv click Form1 SpeedButton4 >/dev/null
check_eq "the system's file dialog opens" "$DIALOG" "$(drv wait "$DIALOG" 5000)"
check_contains "a dialog window" "$(drv windows | grep -F "$DIALOG")" "${TAB}#32770${TAB}"
check_eq "the main window takes no input" "disabled" "$(main_input)"
drv click "$DIALOG" Cancel >/dev/null
check_eq "Cancel closes the dialog" "closed" "$(window_state "$DIALOG")"
check_eq "and keeps the box empty" "" "$(drv text Form1 Edit2)"
drv click Form1 SpeedButton4 >/dev/null
drv wait "$DIALOG" 5000 >/dev/null
# The file name box has the focus when the dialog opens.
sleep 0.3
xdotool type --delay 10 "$UNZIP_WIN"
check_eq "the file name is typed into the dialog" "$(shown "$UNZIP_WIN")" \
    "$(drv dump "$DIALOG" | grep "^-${TAB}Edit${TAB}" | head -n 1 | cut -f9)"
drv click "$DIALOG" "&Open" >/dev/null
check_eq "Open closes the dialog" "closed" "$(window_state "$DIALOG")"
check_eq "the box shows the program in lower case" "$(lower "$UNZIP_WIN")" "$(drv text Form1 Edit2)"
check_eq "the main window takes input again" "enabled" "$(main_input)"

echo "-- saved at close"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "emulator path: lower case, one backslash" "$(lower "$EMU_WIN")\\" "$(reg_query "$E2E_KEY" "Quon Path")"
check_eq "compressed ROMs path: lower case, one backslash" "$(lower "$ZIPS_WIN")\\" \
    "$(reg_query "$E2E_KEY" "Compressed ROMs Path")"
check_eq "drivers path: lower case, one backslash" "$(lower "$DRIVERS_WIN")\\" "$(reg_query "$E2E_KEY" "Drivers Path")"
check_eq "unzip program: as the dialog gave it" "$UNZIP_WIN" "$(reg_query "$E2E_KEY" "PkUnzip Program")"

e2e_finish
