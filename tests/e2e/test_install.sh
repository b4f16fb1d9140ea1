#!/usr/bin/env bash
# A first run from a distribution directory: the install-to dialog with its
# directory list and the new-directory dialog, the copy into the chosen
# directory, the configuration dialog with its shortcuts, failed copies, and
# leaving without installing.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

DIST=$E2E_WORK/dist
PARENT=$E2E_WORK/target-parent
PROGRAM_FILES=(qnlaunch.exe readme.txt abouttxt.dat roms.dat reqfiles.dat)
PICTURES=(noscreen.jpg tolvane1.jpg tolvane2.jpg)
FIRST_RUN="Information
Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer"
CONFIGURE_QUESTION="Confirm
Program files copied. Do you want to configure some QnLaunch options now?"
SHELL_FOLDERS='HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders'
DESKTOP_LINK="QnLaunch v2.09.lnk"
PROGRAMS_LINK="Tolvane's QUON FrontEnd v2.09.lnk"
DIR_FORM=Form2

# The files as they are shipped: program and data files with the pictures
# beside them, not in screens\.
make_dist() {
    rm -rf "$DIST"
    mkdir -p "$DIST" "$PARENT"
    cp "$(e2e_exe qnlaunch.exe)" "$DIST/" || return 1
    local f
    for f in readme.txt abouttxt.dat roms.dat reqfiles.dat; do cp "$QN_ROOT/demo/$f" "$DIST/" || return 1; done
    for f in "${PICTURES[@]}"; do cp "$QN_ROOT/demo/screens/$f" "$DIST/" || return 1; done
}

# Starts a program with the given working directory, keeping this shell's
# record of it.
start_in() { # directory program.exe
    local here=$PWD
    cd "$1" || return 1
    e2e_start "$2"
    cd "$here" || return 1
}

# Starts a first run from the distribution directory. Not in $(...): the
# substitution would wait for the program to end.
start_first_run() {
    e2e_reset_registry
    start_in "$DIST" "$DIST/qnlaunch.exe"
}

is_open() { if drv wait "$1" 300 >/dev/null 2>&1; then echo open; else echo closed; fi; }

# "enabled" or "disabled": whether the install-to dialog takes clicks. The
# probe clicks its question label, which does nothing.
dialog_input() {
    local err
    if err=$(drv click Form2 Label1 2>&1 >/dev/null); then
        echo enabled
    elif [[ "$err" == *"window is disabled"* ]]; then
        echo disabled
    else
        echo "unknown: $err"
    fi
}

# Types into a control of the launcher with the real keyboard: a click in it
# first gives it the focus.
type_into() { # window control keys...
    local xy
    xy=$(control_centre "$1" "$2") || return 1
    # shellcheck disable=SC2086
    pointer_to $xy
    xdotool click 1
    sleep 0.2
    shift 2
    xdotool "$@"
    sleep 0.2
}

# Makes a directory below the install-to list's current directory through
# the new-directory dialog: typed after the text it starts with, then OK
# with the Enter key or the button.
new_directory() { # name enter|button
    drv click Form2 SpeedButton3 >/dev/null || return 1
    drv wait Form6 5000 >/dev/null || return 1
    type_into Form6 Edit1 key End type --delay 20 "$1" || return 1
    if [ "$2" = enter ]; then
        xdotool key Return
    else
        drv click Form6 Button1 >/dev/null || return 1
    fi
}

# Unix path of a folder named in the Shell Folders key.
shell_folder() { # name
    local win
    win=$(reg_query "$SHELL_FOLDERS" "$1") || return 1
    winepath -u "$win" 2>/dev/null | sed 's:/*$::'
}

no_message() { # description
    if drv msgbox 500 >/dev/null 2>&1; then
        e2e_fail "$1" "a message: $(read_and_answer | tr '\n' '|')"
    else
        e2e_pass "$1"
    fi
}

same_files() { # description source-dir target-dir names...
    local what=$1 from=$2 to=$3 name bad=""
    shift 3
    for name in "$@"; do cmp -s "$from/$name" "$to/$name" || bad+=" $name"; done
    if [ -z "$bad" ]; then e2e_pass "$what"; else e2e_fail "$what" "missing or different:$bad"; fi
}

same_links() { # description link link
    if cmp -s "$2" "$3"; then e2e_pass "$1"; else e2e_fail "$1" "$2 and $3 differ or are missing"; fi
}

# A shell link (its header size and class id) that holds the target's full
# path, in ANSI or UTF-16 text.
check_link() { # description link-file windows-path-of-target
    local head
    head=$(head -c 20 "$2" 2>/dev/null | od -An -tx1 | tr -d ' \n')
    if [ "$head" != 4c0000000114020000000000c000000000000046 ]; then
        e2e_fail "$1" "not a shell link: $2 (starts $head)"
    elif ! { strings -a "$2"; strings -a -e l "$2"; } | grep -q -i -x -F -- "$3"; then
        e2e_fail "$1" "the link does not hold $3" "it holds: $(strings -a "$2" | tr '\n' '|')"
    else
        e2e_pass "$1"
    fi
}

DIST_WIN=$(qn_winpath "$DIST")
WORK_WIN=$(qn_winpath "$E2E_WORK")
PARENT_WIN=$(qn_winpath "$PARENT")

echo "-- first run: the install-to dialog"
make_dist || exit 1
start_first_run
check_eq "the first-run message" "$FIRST_RUN" "$(read_and_answer)"
check_eq "the install-to dialog opens" "Configuration" "$(drv wait Form2 10000)"
check_eq "the main window does not show" "closed" "$(is_open Form1)"
# The dialog must be reachable from the task bar while the main window is
# hidden: the application window carries the entry and owns both.
app=$(drv frame Application)
check_contains "an application window with the application's title" "$app" "caption=Tolvane's Quon FrontEnd v2.09"
check_contains "it carries the task-bar entry" "$app" "taskbar=1"
dialog=$(drv frame Form2)
check_contains "the install-to dialog is the application's" "$dialog" "owner=Application"
check_contains "with no entry of its own" "$dialog" "taskbar=0"
check_contains "and takes the input" "$dialog" "active=1"
main=$(drv frame Form1)
check_contains "the main window is the application's too" "$main" "owner=Application"
check_contains "and stays hidden" "$main" "visible=0"
drv sys Application minimize >/dev/null
check_contains "minimized from the task bar, the dialog goes" "$(drv frame Form2)" "visible=0"
check_contains "the application is an entry only" "$(drv frame Application)" "iconic=1"
drv sys Application restore >/dev/null
# The activation comes back from the window system a moment later.
dialog=$(poll_contains 5 "active=1" drv frame Form2)
check_contains "restored from it, the dialog is back" "$dialog" "visible=1"
check_contains "and takes the input again" "$dialog" "active=1"
check_eq "the main window still does not show" "closed" "$(is_open Form1)"
check_eq "it asks where to install" "Where do you want to install this program? " "$(drv text Form2 Label1)"
drives=$(drv combo Form2 DriveComboBox1)
check_contains "the drive list offers C:" "$drives" "-${TAB}C:\\\\"
check_contains "and the working directory's drive, chosen" "$drives" "*${TAB}$(shown "${DIST_WIN:0:3}")"
check_eq "the tree: open from the root down to the working directory" "$(way_down "$DIST")" "$(on_the_way "$DIST")"
check_eq "the working directory is the current entry" "$(entry_of "$DIST")" "$(current_entry)"
check_eq "it has no subdirectories" "" "$(children_of_current)"
check_eq "the box shows it" "$DIST_WIN" "$(drv text Form2 Edit1)"

choose_entry "$(entry_of "$E2E_WORK")"
list=$(entries)
check_eq "choosing a directory on the way up shows its subdirectories" "dist target-parent" \
    "$(children_of_current | sort | tr '\n' ' ' | sed 's/ $//')"
check_contains "one level deeper" "$list" "-${TAB}$(entry_of "$DIST")"
check_eq "the box follows the choice" "$WORK_WIN" "$(drv text Form2 Edit1)"
choose_entry "$(entry_of "$PARENT")"
check_eq "a subdirectory chosen: the box shows it" "$PARENT_WIN" "$(drv text Form2 Edit1)"
check_eq "it has no subdirectories yet" "" "$(children_of_current)"
e2e_shot install-to >/dev/null

echo "-- the new-directory dialog"
drv click Form2 SpeedButton3 >/dev/null
check_eq "New Directory opens it" "Create Directory" "$(drv wait Form6 5000)"
check_eq "its box starts with the current directory and a backslash" "$PARENT_WIN\\" "$(drv text Form6 Edit1)"
check_contains "OK is enabled with it" "$(drv dump Form6)" "Button1${TAB}Button${TAB}1${TAB}1${TAB}"
check_eq "the install-to dialog takes no clicks meanwhile" "disabled" "$(dialog_input)"
type_into Form6 Edit1 key End type --delay 20 'qn\deeper'
check_eq "typing goes on after it" "$PARENT_WIN\\qn\\deeper" "$(drv text Form6 Edit1)"
drv click Form6 Button1 >/dev/null
check_eq "two levels at once cannot be made" "Error
There was an error creating $PARENT_WIN\\qn\\deeper directory" "$(read_and_answer)"
check_eq "the dialog stays" "open" "$(is_open Form6)"
type_into Form6 Edit1 key End key --repeat 7 BackSpace
check_eq "corrected" "$PARENT_WIN\\qn" "$(drv text Form6 Edit1)"
xdotool key Return
check_eq "Enter makes it and closes the dialog" "closed" "$(closes Form6)"
check_eq "the install-to dialog takes clicks again" "enabled" "$(dialog_input)"
if [ -d "$PARENT/qn" ]; then e2e_pass "the directory exists"; else e2e_fail "the directory exists" "no $PARENT/qn"; fi
check_eq "the tree shows it below the current directory" "qn" "$(children_of_current)"
check_eq "which stays current" "$(entry_of "$PARENT")" "$(current_entry)"
choose_entry "$(entry_of "$PARENT/qn")"
TARGET=$PARENT/qn
TARGET_WIN=$PARENT_WIN\\qn
check_eq "the new directory chosen" "$TARGET_WIN" "$(drv text Form2 Edit1)"

echo "-- install, no configuration"
drv click Form2 SpeedButton1 >/dev/null
check_eq "OK asks first" "Confirm
OK to install to $TARGET_WIN?" "$(read_and_answer NO)"
check_eq "No keeps the dialog" "open" "$(is_open Form2)"
check_no_file "and copies nothing" "$TARGET/qnlaunch.exe"
drv click Form2 SpeedButton1 >/dev/null
check_eq "asked again" "Confirm
OK to install to $TARGET_WIN?" "$(read_and_answer YES)"
box=$(drv msgbox 10000)
check_eq "then whether to configure" "$CONFIGURE_QUESTION" "$box"
check_eq "the install-to dialog is gone" "closed" "$(is_open Form2)"
same_files "the program files are copied" "$DIST" "$TARGET" "${PROGRAM_FILES[@]}"
same_files "the pictures are copied into screens" "$DIST" "$TARGET/screens" "${PICTURES[@]}"
check_no_file "no picture beside the program" "$TARGET/noscreen.jpg"
# The catalogue must come from the installed copy, not from where the
# program was started.
mv "$DIST/roms.dat" "$DIST/roms.away"
drv answer NO 5000 >/dev/null
check_eq "No opens the main window" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 15000)"
no_message "no message"
check_eq "on the installed catalogue: fifteen rows" "15" "$(drv rows Form1 ListView1 | wc -l | tr -d ' ')"
# Not configured: the common interface a new user is told about, and what
# is stored is the interface that runs.
check_eq "in the common interface" "Select a game and then doubleclick on it to play" \
    "$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)"
check_eq "settings saved at once: the program path" "$TARGET_WIN\\" "$(reg_query "$E2E_KEY" "Main Program Path")"
check_eq "settings saved at once: the common interface that runs" "Common" "$(reg_query "$E2E_KEY" Interface)"
e2e_shot installed-main >/dev/null
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
mv "$DIST/roms.away" "$DIST/roms.dat"
check_eq "program path saved with one backslash" "$TARGET_WIN\\" "$(reg_query "$E2E_KEY" "Main Program Path")"
check_eq "the interface is still the common one after the close" "Common" "$(reg_query "$E2E_KEY" Interface)"

echo "-- the next start, from elsewhere, is a normal one"
start_in "$E2E_WORK" "$TARGET/qnlaunch.exe"
check_eq "the main window opens" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 15000)"
no_message "without any message"
check_eq "with the fifteen games" "15" "$(drv rows Form1 ListView1 | wc -l | tr -d ' ')"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- install and configure: interface and shortcuts"
DESKTOP=$(shell_folder Desktop)
PROGRAMS=$(shell_folder Programs)
RECENT=$(shell_folder Recent)
for d in "$DESKTOP" "$PROGRAMS" "$RECENT"; do
    [ -d "$d" ] || { e2e_fail "shell folder $d exists"; exit 1; }
done
rm -f "$DESKTOP/$DESKTOP_LINK" "$PROGRAMS/$PROGRAMS_LINK" "$RECENT/qnlaunch.exe.lnk"
make_dist || exit 1
start_first_run
check_eq "the first-run message" "$FIRST_RUN" "$(read_and_answer)"
drv wait Form2 10000 >/dev/null
choose_entry "$(entry_of "$E2E_WORK")" && choose_entry "$(entry_of "$PARENT")"
new_directory "Quon Front" button
check_eq "OK makes the directory and closes the dialog" "closed" "$(closes Form6)"
TARGET="$PARENT/Quon Front"
TARGET_WIN="$PARENT_WIN\\Quon Front"
choose_entry "$(entry_of "$TARGET")"
check_eq "the new directory chosen" "$TARGET_WIN" "$(drv text Form2 Edit1)"
drv click Form2 SpeedButton1 >/dev/null
read_and_answer YES >/dev/null
check_eq "asked whether to configure" "$CONFIGURE_QUESTION" "$(read_and_answer YES)"
check_eq "Yes opens the configuration dialog" "Tolvane's Quon FrontEnd Configuration" "$(drv wait Form5 5000)"
check_eq "the main window does not show yet" "closed" "$(is_open Form1)"
key_exists && e2e_fail "nothing saved yet" || e2e_pass "nothing saved yet"
check_eq "the interface list starts at its first item" "*${TAB}Single click interface
-${TAB}Common interface" "$(drv combo Form5 ComboBox1)"
drv combo-select Form5 ComboBox1 1 >/dev/null

drv click Form5 SpeedButton1 >/dev/null
# The launcher copies the shell's recent-documents shortcut on a one-second
# timer.
end=$((SECONDS + 5))
while [ ! -f "$DESKTOP/$DESKTOP_LINK" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.2; done
check_file "a shortcut appears on the desktop within 5 s" "$DESKTOP/$DESKTOP_LINK"
same_links "a copy of the shell's recent-documents shortcut" "$RECENT/qnlaunch.exe.lnk" "$DESKTOP/$DESKTOP_LINK"
check_link "the desktop shortcut leads to the installed program" "$DESKTOP/$DESKTOP_LINK" "$TARGET_WIN\\qnlaunch.exe"
drv click Form5 SpeedButton2 >/dev/null
check_file "a shortcut in the start menu, at once" "$PROGRAMS/$PROGRAMS_LINK"
same_links "the same shortcut" "$RECENT/qnlaunch.exe.lnk" "$PROGRAMS/$PROGRAMS_LINK"
check_link "leading to the installed program" "$PROGRAMS/$PROGRAMS_LINK" "$TARGET_WIN\\qnlaunch.exe"
e2e_shot configuration >/dev/null

drv click Form5 SpeedButton3 >/dev/null
check_eq "OK closes the dialog" "closed" "$(is_open Form5)"
check_eq "and opens the main window" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 15000)"
check_eq "on the installed catalogue" "15" "$(drv rows Form1 ListView1 | wc -l | tr -d ' ')"
check_eq "settings saved: the program path" "$TARGET_WIN\\" "$(reg_query "$E2E_KEY" "Main Program Path")"
check_eq "settings saved: the chosen interface" "Common" "$(reg_query "$E2E_KEY" Interface)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "the interface stays after the close" "Common" "$(reg_query "$E2E_KEY" Interface)"
same_files "the program files are copied" "$DIST" "$TARGET" "${PROGRAM_FILES[@]}"
same_files "the pictures too" "$DIST" "$TARGET/screens" "${PICTURES[@]}"

echo "-- uninstall removes the shortcuts it placed"
# A shortcut of the user's own to the program, under another name, stays.
cp "$DESKTOP/$DESKTOP_LINK" "$DESKTOP/mine.lnk"
(cd "$TARGET" && e2e_start "$TARGET/qnlaunch.exe")
drv wait Form1 15000 >/dev/null
drv tab-select Form1 PageControl1 3 >/dev/null
drv click Form1 SpeedButton11 >/dev/null
read_and_answer YES >/dev/null
read_and_answer >/dev/null
e2e_wait_exit 15
check_eq "uninstalled: exit code 5" "5" "$E2E_RC"
check_no_file "the desktop shortcut is gone" "$DESKTOP/$DESKTOP_LINK"
check_no_file "the start-menu shortcut is gone" "$PROGRAMS/$PROGRAMS_LINK"
check_file "the user's own shortcut stays" "$DESKTOP/mine.lnk"
rm -f "$DESKTOP/$DESKTOP_LINK" "$PROGRAMS/$PROGRAMS_LINK" "$DESKTOP/mine.lnk"

echo "-- a program file cannot be copied"
make_dist || exit 1
rm "$DIST/abouttxt.dat"
mkdir -p "$PARENT/fail"
TARGET=$PARENT/fail
TARGET_WIN=$PARENT_WIN\\fail
start_first_run
read_and_answer >/dev/null
drv wait Form2 10000 >/dev/null
choose_entry "$(entry_of "$E2E_WORK")" && choose_entry "$(entry_of "$PARENT")" && choose_entry "$(entry_of "$TARGET")"
drv click Form2 SpeedButton1 >/dev/null
read_and_answer YES >/dev/null
# The system's own text for the missing file ends the message.
check_eq "the copy error, and why" "Error
Error copying program files to '$TARGET_WIN\\'. You will have to do it manually (File not found.)" "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 4" "4" "$E2E_RC"
check_eq "the settings are saved with the chosen directory" "$TARGET_WIN\\" "$(reg_query "$E2E_KEY" "Main Program Path")"
same_files "the files before the missing one are copied" "$DIST" "$TARGET" qnlaunch.exe readme.txt
check_no_file "none after it" "$TARGET/roms.dat"

echo "-- installed where it runs, a program file missing there"
make_dist || exit 1
rm "$DIST/abouttxt.dat"
start_first_run
read_and_answer >/dev/null
drv wait Form2 10000 >/dev/null
check_eq "the working directory is current" "$DIST_WIN" "$(drv text Form2 Edit1)"
drv click Form2 SpeedButton1 >/dev/null
read_and_answer YES >/dev/null
check_eq "the program files are reported, not the pictures" "Error
Error copying program files to '$DIST_WIN\\'. You will have to do it manually (File not found.)" "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 4" "4" "$E2E_RC"

echo "-- a picture cannot be copied"
make_dist || exit 1
rm "$DIST/tolvane2.jpg"
rm -rf "$TARGET"
mkdir -p "$TARGET"
start_first_run
read_and_answer >/dev/null
drv wait Form2 10000 >/dev/null
choose_entry "$(entry_of "$E2E_WORK")" && choose_entry "$(entry_of "$PARENT")" && choose_entry "$(entry_of "$TARGET")"
drv click Form2 SpeedButton1 >/dev/null
read_and_answer YES >/dev/null
check_eq "the error names the screens directory" "Error
Error copying screenshot files to '$TARGET_WIN\\screens\\'. You will have to copy them to the 'screens' directory manually (File not found.)" \
    "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 4" "4" "$E2E_RC"
check_eq "the settings are saved" "$TARGET_WIN\\" "$(reg_query "$E2E_KEY" "Main Program Path")"
same_files "the program files are copied" "$DIST" "$TARGET" "${PROGRAM_FILES[@]}"
same_files "the pictures before the missing one are in screens" "$DIST" "$TARGET/screens" noscreen.jpg tolvane1.jpg

echo "-- leaving without installing"
make_dist || exit 1
rm -rf "$PARENT/exit"
mkdir -p "$PARENT/exit"
start_first_run
read_and_answer >/dev/null
drv wait Form2 10000 >/dev/null
choose_entry "$(entry_of "$E2E_WORK")" && choose_entry "$(entry_of "$PARENT")" && choose_entry "$(entry_of "$PARENT/exit")"
drv click Form2 SpeedButton2 >/dev/null
e2e_wait_exit 15
check_eq "Exit ends with 0" "0" "$E2E_RC"
key_exists && e2e_fail "nothing saved" || e2e_pass "nothing saved"
check_eq "nothing copied" "" "$(ls -A "$PARENT/exit")"

e2e_finish
