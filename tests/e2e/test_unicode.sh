#!/usr/bin/env bash
# Paths the code page cannot spell: the program directory in Japanese, the
# emulator directory in Cyrillic, the archives in Cyrillic with a blank.
# The games on disk are found and run, the picker shows, opens and takes
# such a directory, and a close leaves every setting as it was.

# Windows paths are split on their backslashes (IFS='\').
# shellcheck disable=SC1003,SC2141
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

# File names reach Wine in UTF-8, and the driver's texts come back in it.
export LC_ALL=C.UTF-8 QNDRIVER_UTF8=1
E2E_APP=$E2E_WORK/ゲーム
install_demo || exit 1
EMU_DIR=$E2E_WORK/игры/квон
ZIPS_DIR="$E2E_WORK/архив ромов"
mkdir -p "$E2E_WORK/игры" "$ZIPS_DIR"
mv "$E2E_APP/emu" "$EMU_DIR"
cp "$E2E_APP"/zips/*.zip "$ZIPS_DIR/"
# The zipped set's files come from its archive alone; its driver stays.
for f in "$EMU_DIR"/rtypeus/*; do
    [ "$(basename "$f")" = rtypeus.qun ] || rm -f "$f"
done

LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
QUON_HOLD_MS=300
export QUON_LOG QUON_HOLD_MS
MAIN_CAPTION="Tolvane's QUON FrontEnd v2.09"
DIR_FORM=Form3
# The settings as a close stores them: the boxes' paths in lower case.
EMU_WIN=$(win_dir "$EMU_DIR" | tr A-Z a-z)
ZIPS_WIN=$(win_dir "$ZIPS_DIR" | tr A-Z a-z)
UNZIP_WIN=$(qn_winpath "$E2E_APP/pkunzip.exe" | tr A-Z a-z)

available() { drv rows Form1 ListView1 | awk -F'\t' '$4 == "Yes" { print $3 }' | tr '\n' ' ' | sed 's/ $//'; }
row_of() { drv rows Form1 ListView1 | cut -f3 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'; }
log_lines() { if [ -f "$LOG" ]; then wc -l <"$LOG" | tr -d ' '; else echo 0; fi; }
field() { tail -n +"$(($1 + 1))" "$LOG" | grep "^$2=" | head -n 1 | cut -d= -f2-; }
# The settings key's values, as the registry holds them (UTF-16 exported).
settings_dump() {
    local file=$E2E_WORK/settings.reg
    wine reg export "$E2E_KEY" "$(qn_winpath "$file")" /y >/dev/null 2>&1 || return 1
    iconv -f utf-16le -t utf-8 "$file" | tr -d '\r' | grep '^"' | LC_ALL=C sort
}
no_box() { # description
    local box
    if box=$(drv msgbox 1000 2>/dev/null); then
        drv answer OK >/dev/null
        e2e_fail "$1" "a box came up: '$(e2e_show "$box")'"
    else
        e2e_pass "$1"
    fi
}
# Runs a row as a double click does and waits for the emulator's record;
# prints the number of log lines before it.
run_row() { # shortname
    local before row
    before=$(log_lines)
    row=$(row_of "$1")
    drv select Form1 ListView1 "$row" >/dev/null
    drv dblclick Form1 ListView1 "$row" >/dev/null 2>&1 &
    poll_contains 15 end tail -n +"$((before + 1))" "$LOG" >/dev/null
    wait $! 2>/dev/null
    drv wait Form1 15000 >/dev/null
    echo "$before"
}
# The directory chosen from its drive down, as test_paths does it.
choose_dir() { # unix directory
    local win parts drive index i
    win=$(qn_winpath "$1")
    drive=$(shown "${win:0:3}")
    index=$(drv combo Form3 DriveComboBox1 | cut -f2 | grep -n -i -x -F -- "$drive" | cut -d: -f1)
    drv combo-select Form3 DriveComboBox1 $((index - 1)) >/dev/null || return 1
    wait_current "$drive" 5 || return 1
    IFS='\' read -ra parts <<<"${win:3}"
    for ((i = 0; i < ${#parts[@]}; i++)); do
        choose_entry "$(printf '%*s%s' $(((i + 1) * 2)) '' "${parts[i]}")" || return 1
    done
}

settings_for_demo
reg_add "$E2E_KEY" "Quon Path" "$EMU_WIN"
reg_add "$E2E_KEY" "Compressed ROMs Path" "$ZIPS_WIN"
reg_add "$E2E_KEY" "PkUnzip Program" "$UNZIP_WIN"
reg_add "$E2E_KEY" "Interface" "Common"
reg_add "$E2E_KEY" "Legend of Hollow Tower" "01000000"
stored=$(settings_dump)
check_contains "the settings hold the Cyrillic directory" "$stored" "квон"

echo "-- a start on such paths"
start_launcher
check_eq "main window" "$MAIN_CAPTION" "$(drv wait Form1 15000)"
no_box "no error at start"
drv tab-select Form1 PageControl1 1 >/dev/null
check_eq "the emulator box shows its directory" "$EMU_WIN" "$(drv text Form1 Edit1)"
check_eq "the archives' box shows theirs" "$ZIPS_WIN" "$(drv text Form1 Edit3)"
check_eq "the zipped game with its driver is available" "rtypeus" "$(available)"
# The boxes scrolled to their ends, where the names the code page lacks are.
for box in Edit1 Edit2 Edit3; do drv key Form1 "$box" End >/dev/null; done
check_file "screenshot of the main window" "$(e2e_shot main)"

echo "-- the picker"
drv click Form1 SpeedButton6 >/dev/null
check_eq "the picker opens" "Select Path" "$(drv wait Form3 5000)"
check_eq "it shows the program's directory, named in Japanese" "$(entry_of "$E2E_APP")" "$(current_entry)"
choose_dir "$EMU_DIR"
check_eq "it opens the Cyrillic directory" "$(entry_of "$EMU_DIR")" "$(current_entry)"
check_contains "and lists what it holds" "$(entries)" "$(entry_of "$EMU_DIR/loht")"
drv click Form3 SpeedButton1 >/dev/null
no_box "it takes the directory: the emulator is found there"
check_eq "the picker closes" "closed" "$(closes Form3)"
check_eq "the box shows the choice" "${EMU_WIN%\\}" "$(drv text Form1 Edit1)"

echo "-- a close"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "every setting is as it was" "$stored" "$(settings_dump | grep -xF -f <(printf '%s\n' "$stored"))"

echo "-- runs"
start_launcher
drv wait Form1 15000 >/dev/null
before=$(run_row rtypeus)
check_eq "a zipped run: the emulator gets the game first" "rtypeus" "$(field "$before" game)"
check_eq "after the unzip program" "0" "$(field "$before" unzip-exit)"
unzip_args=$(field "$before" unzip-cmdline)
unzip_args=${unzip_args#* -o }
check_contains "which was given the archive" "$unzip_args" "rtypeus.zip"
check_not_contains "by names it can read" "$unzip_args" "?"
drv tab-select Form1 PageControl1 1 >/dev/null
drv click Form1 CheckBox7 >/dev/null
check_eq "the games on disk are available" "rtype2 loht imgfight gunforce ppong moonmole" "$(available)"
before=$(run_row loht)
check_eq "a plain run: the emulator gets the game first" "loht" "$(field "$before" game)"
check_contains "with the options stored for it" "$(field "$before" cmdline)" "quon.exe loht -s "
drv close Form1 >/dev/null
e2e_wait_exit 15

e2e_finish
