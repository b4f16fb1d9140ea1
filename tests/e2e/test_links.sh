#!/usr/bin/env bash
# What leaves the launcher: web and mail links handed to the program
# registered for HTML files, the readme opened by the shell, the warning
# when no such program is registered, and uninstalling.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

BROWSER_KEY='HKEY_CLASSES_ROOT\htmlfile\shell\open\command'
TXT_KEY='HKEY_CLASSES_ROOT\.txt'
MAIN_CAPTION="Tolvane's QUON FrontEnd v2.09"
LOG=$E2E_WORK/browser.log
QUON_LOG=$(qn_winpath "$LOG")
export QUON_LOG
# The emulator stand-in logs its command line and ends: a browser that
# shows what it was given.
BROWSER="\"$(qn_winpath "$E2E_APP/emu/quon.exe")\" \"%1\""

# The prefix's own associations go back as they were when the script ends.
OLD_BROWSER=$(reg_query "$BROWSER_KEY" "") || OLD_BROWSER=""
OLD_TXT=$(reg_query "$TXT_KEY" "") || OLD_TXT=""
restore_associations() {
    if [ -n "$OLD_BROWSER" ]; then reg_add "$BROWSER_KEY" "" "$OLD_BROWSER"; else reg_delete "$BROWSER_KEY"; fi
    if [ -n "$OLD_TXT" ]; then reg_add "$TXT_KEY" "" "$OLD_TXT"; else reg_delete "$TXT_KEY"; fi
}

cmdlines() { grep '^cmdline=' "$LOG" 2>/dev/null | tr -d '\r'; }
# Waits until the log holds n command lines; prints them.
wait_cmdlines() { # n
    local end=$((SECONDS + 10))
    while [ "$(cmdlines | wc -l)" -lt "$1" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
    cmdlines
}
# The first visible top-level window whose caption holds the text.
window_with() { # text
    drv windows | awk -F'\t' -v t="$1" 'index($4, t) { print $4; exit }'
}
# The settings key as text (`reg export` writes UTF-16).
settings_dump() {
    local file=$E2E_WORK/settings.reg
    rm -f "$file"
    wine reg export "$E2E_KEY" "$(qn_winpath "$file")" /y >/dev/null 2>&1
    iconv -f UTF-16LE -t UTF-8 "$file" 2>/dev/null | tr -d '\r'
}
no_message() { # description
    if drv msgbox 500 >/dev/null 2>&1; then
        e2e_fail "$1" "a message: $(read_and_answer | tr '\n' '|')"
    else
        e2e_pass "$1"
    fi
}

settings_for_demo
reg_add "$BROWSER_KEY" "" "$BROWSER"
check_eq "the stand-in browser is registered" "$BROWSER" "$(reg_query "$BROWSER_KEY" "")"
rm -f "$LOG"

echo "-- web and mail links"
start_launcher
check_eq "the main window opens" "$MAIN_CAPTION" "$(drv wait Form1 15000)"
no_message "no warning with a browser registered"
drv tab-select Form1 PageControl1 2 >/dev/null
check_eq "the links page is shown" "*${TAB}Internet Links" "$(drv tab Form1 PageControl1 | sed -n 3p)"
web=$(drv text Form1 Label8)
drv click Form1 Label8 >/dev/null
STANDIN="\"$(qn_winpath "$E2E_APP/emu/quon.exe")\""
check_eq "a web link: the address in the quotes of the command's \"%1\"" "cmdline=$STANDIN \"$web\"" "$(wait_cmdlines 1)"
drv tab-select Form1 PageControl1 3 >/dev/null
mail=$(drv text Form1 Label16)
drv click Form1 Label16 >/dev/null
check_eq "the mail link: mailto: and the address there" \
    "cmdline=$STANDIN \"$web\"
cmdline=$STANDIN \"mailto:$mail\"" "$(wait_cmdlines 2)"
no_message "nothing said"
drv close Form1 >/dev/null
e2e_wait_exit 15
# Other forms of the registered command: the mail link's command line.
while IFS='|' read -r command expected what; do
    reg_add "$BROWSER_KEY" "" "$command"
    rm -f "$LOG"
    start_launcher
    drv wait Form1 15000 >/dev/null
    drv tab-select Form1 PageControl1 3 >/dev/null
    drv click Form1 Label16 >/dev/null
    check_eq "$what" "cmdline=$expected" "$(wait_cmdlines 1)"
    drv close Form1 >/dev/null
    e2e_wait_exit 15
done <<ROWS
$STANDIN -url %L|$STANDIN -url mailto:$mail|an unquoted %L: the address in its place
$STANDIN|$STANDIN mailto:$mail|no placeholder: a space, mailto: and the address appended
$STANDIN "%1" "%1"|$STANDIN "mailto:$mail" "%1"|two placeholders: the first one takes it
ROWS
reg_add "$BROWSER_KEY" "" "$BROWSER"
start_launcher
drv wait Form1 15000 >/dev/null
drv tab-select Form1 PageControl1 3 >/dev/null

echo "-- the readme through the shell"
# A fresh prefix has no association for .txt files.
reg_add "$TXT_KEY" "" txtfile
drv click Form1 SpeedButton2 >/dev/null
end=$((SECONDS + 10))
while notepad=$(window_with readme.txt) && [ -z "$notepad" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.2; done
check_contains "a Notepad window with the readme" "$notepad" "readme.txt"
check_contains "it is Notepad" "$notepad" "Notepad"
if [ -n "$notepad" ]; then
    first=$(head -n 1 "$E2E_APP/readme.txt" | tr -d '\r')
    check_contains "showing the program's readme" "$(drv dump "$notepad" | awk -F'\t' '$2 == "Edit"')" "$first"
    e2e_shot notepad >/dev/null
    drv close "$notepad" >/dev/null
    end=$((SECONDS + 10))
    while [ -n "$(window_with readme.txt)" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.2; done
    check_eq "Notepad closed" "" "$(window_with readme.txt)"
fi
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- no program for HTML files"
reg_delete "$BROWSER_KEY"
reg_query "$BROWSER_KEY" "" >/dev/null && e2e_fail "the handler key is deleted" || e2e_pass "the handler key is deleted"
rm -f "$LOG"
start_launcher
check_eq "the warning" "Warning
You have no program associated with HTML files. You won't be able to use internet links" "$(read_and_answer)"
check_eq "and the start goes on" "$MAIN_CAPTION" "$(drv wait Form1 15000)"
check_eq "with the games" "15" "$(drv rows Form1 ListView1 | wc -l | tr -d ' ')"
drv tab-select Form1 PageControl1 2 >/dev/null
drv click Form1 Label8 >/dev/null
sleep 1
check_eq "a link then starts nothing" "" "$(cmdlines)"
no_message "and says nothing"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
reg_add "$BROWSER_KEY" "" "$BROWSER"

echo "-- uninstall"
start_launcher
drv wait Form1 15000 >/dev/null
drv tab-select Form1 PageControl1 3 >/dev/null
before=$(settings_dump)
check_contains "the settings as they are before" "$before" '"Main Program Path"='
drv click Form1 SpeedButton11 >/dev/null
check_eq "it asks first" "Confirm
Are you sure you want to uninstall QnLaunch?" "$(read_and_answer NO)"
check_eq "No: the main window stays" "enabled" "$(main_input)"
check_eq "and the settings are as they were" "$before" "$(settings_dump)"
drv click Form1 SpeedButton11 >/dev/null
read_and_answer YES >/dev/null
check_eq "Yes: the key is deleted" "Information
QnLaunch registry key successfully deleted. You can now delete this program" "$(read_and_answer)"
e2e_wait_exit 15
check_eq "exit code 5" "5" "$E2E_RC"
key_exists && e2e_fail "the settings key is gone" || e2e_pass "the settings key is gone"
if wine reg query 'HKEY_LOCAL_MACHINE\Software\Tolvane' >/dev/null 2>&1; then
    e2e_pass "its parent key remains"
else
    e2e_fail "its parent key remains"
fi
check_file "the program's files stay" "$E2E_APP/qnlaunch.exe"

echo "-- the next start is a first run"
start_launcher
check_eq "the first-run message" "Information
Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer" "$(read_and_answer)"
check_eq "the install-to dialog" "Configuration" "$(drv wait Form2 10000)"
drv click Form2 SpeedButton2 >/dev/null
e2e_wait_exit 15
check_eq "Exit ends with 0" "0" "$E2E_RC"
key_exists && e2e_fail "nothing saved" || e2e_pass "nothing saved"

restore_associations
e2e_finish
