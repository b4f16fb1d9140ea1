#!/usr/bin/env bash
# Start-up, the filled main window, saving at close, and every way start-up
# ends early.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

echo "-- the program file says what it is"
check_eq "its version texts and its icon's sizes" "FixedFileVersion${TAB}2.9.0.0
CompanyName${TAB}Tolvane
ProductName${TAB}Tolvane's QUON FrontEnd
FileVersion${TAB}2.09
ProductVersion${TAB}2.09
FileDescription${TAB}Tolvane's QUON FrontEnd, a launcher for the QUON arcade emulator
LegalCopyright${TAB}Copyright (C) Tolvane. All rights reserved.
OriginalFilename${TAB}qnlaunch.exe
IconSizes${TAB}16 20 24 32 40 48 64 256" "$(drv file-info "$(qn_winpath "$E2E_APP/qnlaunch.exe")" | tr -d '\r')"

echo "-- a normal start"
settings_for_demo
reg_add "$E2E_KEY" "Quon Path" "$(win_dir "$E2E_APP/emu" | tr a-z A-Z)"
reg_add "$E2E_KEY" "Imagine Flight" "01000001"
start_launcher
check_eq "main window caption" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 15000)"
panels=$(drv panels Form1 StatusBar1)
check_eq "status bar panels" "128${TAB}Designed for QUON v0.9
236${TAB}15 ROMs supported
329${TAB}UnZipped ROMs
-1${TAB}Select a game and then doubleclick on it to play" "$panels"
check_eq "filter shows every game" "*${TAB}Display All Games" "$(drv combo Form1 ComboBox1 | head -n 1)"
check_eq "the first page is shown" "*${TAB}Game Options" "$(drv tab Form1 PageControl1 | head -n 1)"
check_eq "list columns" "155${TAB}Name
78${TAB}Path
60${TAB}Available" "$(drv columns Form1 ListView1)"
rows=$(drv rows Form1 ListView1)
check_eq "fifteen rows" "15" "$(wc -l <<<"$rows" | tr -d ' ')"
check_eq "first row selected, available" "*${TAB}Radiant Type (US)${TAB}rtypeus${TAB}Yes" "$(head -n 1 <<<"$rows")"
check_contains "an incomplete set is unavailable" "$rows" "-${TAB}Radiant Type (Japan)${TAB}rtypejp${TAB}No"
check_eq "run button names the first game" "Run Radiant Type (US)" "$(drv text Form1 SpeedButton1)"
dump=$(drv dump Form1)
check_eq "emulator path box shows lower case" "$(win_dir "$E2E_APP/emu" | tr A-Z a-z)" "$(drv text Form1 Edit1)"
check_contains "list view at its place" "$(grep "^ListView1$TAB" <<<"$dump")" "${TAB}376 32 297 417${TAB}"
check_contains "FrameSkip box disabled at start" "$dump" "CheckBox6${TAB}Button${TAB}1${TAB}0${TAB}"
e2e_shot main-window >/dev/null

echo "-- the application window and the task bar"
app=$(drv frame Application)
check_contains "an application window with the application's title" "$app" "caption=Tolvane's Quon FrontEnd v2.09"
check_contains "it carries the task-bar entry" "$app" "taskbar=1"
check_eq "it has no size: nothing of it is seen" "0 0" "$(grep '^rect=' <<<"$app" | cut -d' ' -f3,4)"
main=$(drv frame Form1)
check_contains "the main window is the application's" "$main" "owner=Application"
check_contains "with no entry of its own" "$main" "taskbar=0"
# A showing would write the mode's instruction over the selected game's hint.
drv select Form1 ListView1 2 >/dev/null
hint=$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)
check_eq "a game selected: its hint" "Doubleclick to run Radiant Type II" "$hint"
drv sys Form1 minimize >/dev/null
check_contains "its minimize box minimizes the application" "$(drv frame Application)" "iconic=1"
check_contains "which takes the main window along" "$(drv frame Form1)" "visible=0"
drv sys Application restore >/dev/null
main=$(drv frame Form1)
check_contains "the task-bar entry brings it back" "$main" "visible=1"
check_contains "and gives it the input" "$main" "active=1"
check_eq "as it was, not shown anew" "$hint" "$(drv panels Form1 StatusBar1 | sed -n 4p | cut -f2)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "settings saved: emulator path in lower case" "$(win_dir "$E2E_APP/emu" | tr A-Z a-z)" "$(reg_query "$E2E_KEY" "Quon Path")"
check_eq "settings saved: interface" "Common" "$(reg_query "$E2E_KEY" Interface)"
check_eq "settings saved: a game's flags" "01000001" "$(reg_query "$E2E_KEY" "Imagine Flight")"
check_eq "settings saved: an untouched game still has no value" "" "$(reg_query "$E2E_KEY" "Moon Mole")"
check_eq "settings saved: unzip program empty" "" "$(reg_query "$E2E_KEY" "PkUnzip Program")"

echo "-- closed from the task bar"
start_launcher
drv wait Form1 15000 >/dev/null
check_contains "row 2 is Radiant Type II" "$(sed -n 3p <<<"$rows")" "${TAB}Radiant Type II${TAB}"
drv select Form1 ListView1 2 >/dev/null
drv click Form1 CheckBox1 >/dev/null
drv sys Application close >/dev/null
e2e_wait_exit 15
check_eq "closing the application closes the main window: exit code 0" "0" "$E2E_RC"
check_eq "after saving the settings" "10000000" "$(reg_query "$E2E_KEY" "Radiant Type II")"

echo "-- data files saved as UTF-8 with a byte-order mark"
mark=$'\xef\xbb\xbf'
for f in roms reqfiles abouttxt; do cp "$E2E_APP/$f.dat" "$E2E_APP/$f.ansi"; done
# The first game's record first, so that a mark read as text would spoil it.
{ printf '%s#Se\xc3\xb1or Blaster|rtypeus\r\n' "$mark"; grep '^#' "$E2E_APP/roms.ansi" | tail -n +2; } >"$E2E_APP/roms.dat"
{ printf '%s' "$mark"; cat "$E2E_APP/reqfiles.ansi"; } >"$E2E_APP/reqfiles.dat"
printf '%sGr\xc3\xbc\xc3\x9fe aus der Demo.\r\n' "$mark" >"$E2E_APP/abouttxt.dat"
start_launcher
drv wait Form1 15000 >/dev/null
check_eq "every game listed, the first one's title as written, its files its own" \
    "$(sed "1s/Radiant Type (US)/Señor Blaster/" <<<"$rows")" "$(QNDRIVER_UTF8=1 drv rows Form1 ListView1)"
drv tab-select Form1 PageControl1 3 >/dev/null
drv click Form1 SpeedButton7 >/dev/null
drv wait Form4 5000 >/dev/null
check_eq "the About box's message as written" "Grüße aus der Demo." "$(QNDRIVER_UTF8=1 drv text Form4 Edit1)"
drv close Form4 >/dev/null
drv close Form1 >/dev/null
e2e_wait_exit 15
for f in roms reqfiles abouttxt; do mv "$E2E_APP/$f.ansi" "$E2E_APP/$f.dat"; done

echo "-- main program path missing"
e2e_reset_registry
reg_add "$E2E_KEY" "Quon Path" 'C:\quon\'
start_launcher
check_eq "warning" "Warning
Error reading Main Program Path value. Restart this program" "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 1" "1" "$E2E_RC"
check_eq "the key keeps the rest, the main path empty" "${TAB}C:\\quon\\" \
    "$(reg_query "$E2E_KEY" "Main Program Path")${TAB}$(reg_query "$E2E_KEY" "Quon Path")"

echo "-- screen too small"
settings_for_demo
reg_add 'HKEY_CURRENT_CONFIG\Display\Settings' Resolution "799,600"
start_launcher
check_eq "warning with two lines" "Warning
Your screen resolution must be at least 800x600.
It is currently 799x600" "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 3" "3" "$E2E_RC"
key_exists && e2e_pass "nothing deleted" || e2e_fail "nothing deleted"

echo "-- roms.dat missing"
settings_for_demo
reg_add "$E2E_KEY" "Radiant Type II" "10000000"
mv "$E2E_APP/roms.dat" "$E2E_APP/roms.away"
start_launcher
expected="Error
There was an error opening $(win_dir "$E2E_APP")roms.dat"
check_eq "error at creation" "$expected" "$(read_and_answer)"
check_eq "error again at the showing" "$expected" "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 5" "5" "$E2E_RC"
check_eq "the key keeps the options and paths, the main path empty" "${TAB}10000000${TAB}$(win_dir "$E2E_APP/emu")" \
    "$(reg_query "$E2E_KEY" "Main Program Path")${TAB}$(reg_query "$E2E_KEY" "Radiant Type II")${TAB}$(reg_query "$E2E_KEY" "Quon Path")"
mv "$E2E_APP/roms.away" "$E2E_APP/roms.dat"

echo "-- after it, a first run that keeps them"
# Installed where it is, from a directory laid out as a distribution.
cp "$E2E_APP"/screens/{noscreen,tolvane1,tolvane2}.jpg "$E2E_APP/"
start_launcher
check_eq "first-run message" "Information
Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer" "$(read_and_answer)"
drv wait Form2 10000 >/dev/null
drv click Form2 SpeedButton1 >/dev/null
check_contains "install where it is" "$(read_and_answer YES)" "OK to install to"
check_contains "no configuring now" "$(read_and_answer NO)" "configure some QnLaunch options now?"
drv wait Form1 15000 >/dev/null
drv select Form1 ListView1 2 >/dev/null
check_eq "the game's stored option is used" "1" "$(drv dump Form1 | grep "^CheckBox1$TAB" | cut -f5)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "and stays with the emulator path, as its box shows it" "10000000${TAB}$(win_dir "$E2E_APP/emu" | tr A-Z a-z)" \
    "$(reg_query "$E2E_KEY" "Radiant Type II")${TAB}$(reg_query "$E2E_KEY" "Quon Path")"

echo "-- first run"
e2e_reset_registry
start_launcher
check_eq "first-run message" "Information
Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer" "$(read_and_answer)"
check_eq "the install-to dialog opens" "Configuration" "$(drv wait Form2 10000)"
drv text Form1 Image1 >/dev/null 2>&1
visible=$(drv dump Form2 | grep -c "^SpeedButton2$TAB" || true)
check_eq "its Exit button is there" "1" "$visible"
drv click Form2 SpeedButton2 >/dev/null
e2e_wait_exit 15
check_eq "Exit ends with 0" "0" "$E2E_RC"
key_exists && e2e_fail "nothing saved" || e2e_pass "nothing saved"

e2e_finish
