#!/usr/bin/env bash
# Running games from the list: the emulator's command line and directory, the
# launcher hidden while it runs, unpacking a zipped set and cleaning it up,
# the user's own files coming through a run (also one the launcher did not
# live to finish), the report for a game that cannot run, a missing
# emulator, and directories with blanks starting exactly the chosen programs.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

# The stand-ins write what they were started with here; the launcher passes
# its environment on to them.
LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
QUON_HOLD_MS=3000
export QUON_LOG QUON_HOLD_MS
MAIN_CAPTION="Tolvane's QUON FrontEnd v2.09"
EMU=$(win_dir "$E2E_APP/emu" | tr A-Z a-z)

# The lines of the log that a run added after `from` lines.
log_since() { # from
    [ -f "$LOG" ] || return 0
    tail -n +"$(($1 + 1))" "$LOG"
}
log_lines() { if [ -f "$LOG" ]; then wc -l <"$LOG" | tr -d ' '; else echo 0; fi; }
# The value of the first `key=` line of a record, read as is (trailing blanks kept).
field() { # record key
    local line
    while IFS= read -r line; do
        if [[ "$line" == "$2="* ]]; then
            printf '%s\n' "${line#"$2="}"
            return 0
        fi
    done <<<"$1"
    return 1
}
files_in() { find "$1" -maxdepth 1 -type f -printf '%f\n' | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'; }
fields() { grep "^$2=" <<<"$1" | cut -d= -f2- | tr '\n' ' ' | sed 's/ $//'; }

main_visible() { # yes/no: the main window is on the screen
    local win
    win=$(xdotool search --onlyvisible --name "^${MAIN_CAPTION}\$" 2>/dev/null | head -n 1)
    if drv wait Form1 300 >/dev/null 2>&1 && [ -n "$win" ]; then echo yes; else echo no; fi
}

row_of() { # shortname: its row in the list
    drv rows Form1 ListView1 | cut -f3 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'
}

# Double-clicks a row in the background: the launcher does not answer while
# the emulator runs, so the driver's call ends only after the run.
RUN_PID=""
dblclick_in_background() { # row
    drv dblclick Form1 ListView1 "$1" >/dev/null 2>&1 &
    RUN_PID=$!
}
wait_run() { [ -n "$RUN_PID" ] && wait "$RUN_PID" 2>/dev/null; RUN_PID=""; }

# Waits until the log has a record that ends after `from` lines.
wait_record() { # from timeout_s
    local end=$((SECONDS + $2))
    while [ "$SECONDS" -lt "$end" ]; do
        log_since "$1" | grep -qx end && return 0
        sleep 0.05
    done
    return 1
}

# The row a key press leaves selected: it moves the selection only when the
# list has the keyboard focus.
selected_after_key() { # key
    xdotool key "$1" >/dev/null 2>&1
    sleep 0.3
    drv rows Form1 ListView1 | grep -n '^\*' | cut -d: -f1 | awk '{print $1 - 1}'
}

echo "-- a plain run with options"
settings_for_demo
start_launcher
check_eq "main window" "$MAIN_CAPTION" "$(drv wait Form1 15000)"
row=$(row_of loht)
# A real click on the row gives the list the focus: keys then move the
# selection, so the same test after the run means something.
read -r vl vt _ <<<"$(drv rect Form1 ListView1)"
# Rows are 15 pixels high below an 18-pixel header, inside a 2-pixel edge.
xdotool mousemove $((vl + 40)) $((vt + 2 + 18 + row * 15 + 7)) click 1
sleep 0.3
check_eq "the clicked row is selected" "Run Legend of Hollow Tower" "$(drv text Form1 SpeedButton1)"
check_eq "with the list focused, Up selects the row above" "$((row - 1))" "$(selected_after_key Up)"
drv select Form1 ListView1 "$row"
check_eq "the chosen game is selected" "Run Legend of Hollow Tower" "$(drv text Form1 SpeedButton1)"
drv click Form1 CheckBox2
drv click Form1 CheckBox10
# The fourth entry of the resolution list, clicked with the real mouse.
read -r bl bt bw _ <<<"$(drv rect Form1 ListBox1)"
xdotool mousemove $((bl + bw / 2)) $((bt + 2 + 3 * 13 + 6)) click 1
sleep 0.3
check_contains "No Sound checked" "$(drv dump Form1)" "CheckBox2${TAB}Button${TAB}1${TAB}1${TAB}1${TAB}"
check_contains "Screen resolution checked" "$(drv dump Form1)" "CheckBox10${TAB}Button${TAB}1${TAB}1${TAB}1${TAB}"
check_eq "the main window shows before the run" "yes" "$(main_visible)"

before=$(log_lines)
dblclick_in_background "$row"
if wait_record "$before" 15; then e2e_pass "the emulator started"; else e2e_fail "the emulator started" "no record in $LOG"; fi
check_eq "the main window is hidden while the emulator runs" "no" "$(main_visible)"
sleep 1.2  # about two of the emulator's three seconds have gone
check_eq "and still hidden later in the run" "no" "$(main_visible)"
record=$(log_since "$before")
check_eq "emulator command line" "${EMU}quon.exe loht -s -d320x240 " "$(field "$record" cmdline)"
check_eq "emulator started in the emulator directory" "${EMU%\\}" "$(field "$record" cwd)"
check_eq "the game's files as the emulator saw them" "loht.qun tom_m21.6f tom_m22.6d tom_m23.bin" "$(fields "$record" file)"
check_not_contains "no unzip in plain mode" "$record" "unzip-"
wait_run
shown=$(poll_contains 15 yes main_visible)
check_eq "the main window comes back after the run" "yes" "$shown"
# Without a window manager X sends keys only to a window clicked on, so the
# focus is read from the launcher itself. The window shows first and takes
# the focus when its showing is over: a busy machine may read in between.
check_eq "back active, with the list focused" "ListView1${TAB}1" \
    "$(poll_contains 5 "ListView1${TAB}1" drv focus Form1)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "the options were kept for the game" "01000001" "$(reg_query "$E2E_KEY" "Legend of Hollow Tower")"

# The runs of a zipped set, with the unzip stand-in behaving as PKUNZIP
# 2.04g does ("dos": names alone, 8.3 capitals) or as later unzip programs
# do ("folders": QUON_UNZIP_FOLDERS=1, folders and long names kept).
zipped_runs() { # mode
mode=$1
if [ "$mode" = folders ]; then export QUON_UNZIP_FOLDERS=1; else unset QUON_UNZIP_FOLDERS; fi
echo "-- a zipped run ($mode)"
e2e_reset_registry
settings_for_demo
# The archives in a directory whose name has a space: the unzip program gets
# short names.
ZIPS="$E2E_APP/Arcade Roms"
mkdir -p "$ZIPS"
cp "$E2E_APP"/zips/*.zip "$ZIPS/"
reg_add "$E2E_KEY" "Compressed ROMs Path" "$(win_dir "$ZIPS")"
UNZIP=$(qn_winpath "$E2E_APP/pkunzip.exe")
reg_add "$E2E_KEY" "PkUnzip Program" "$UNZIP"
# Only the driver stays in the game's directory: every ROM file comes from
# the archive.
for f in "$E2E_APP"/emu/rtypeus/*; do
    [ "$(basename "$f")" = rtypeus.qun ] || rm -f "$f"
done
# The launcher hands on its settings in lower case.
zips_short=$(win_short_path "$(win_dir "$ZIPS" | tr A-Z a-z)")
emu_short=$(win_short_path "$EMU")
if [ -z "$zips_short" ] || [[ "$zips_short" == *" "* ]]; then
    e2e_fail "looking up the short form of the archives' directory" "got '$zips_short'"
fi
start_launcher
drv wait Form1 15000 >/dev/null
check_eq "only the zipped game with its driver is available" "rtypeus" \
    "$(drv rows Form1 ListView1 | awk -F'\t' '$4 == "Yes" {print $3}' | tr '\n' ' ' | sed 's/ $//')"
row=$(row_of rtypeus)
drv select Form1 ListView1 "$row"
before=$(log_lines)
dblclick_in_background "$row"
wait_record "$before" 15
check_eq "hidden while the emulator runs" "no" "$(main_visible)"
record=$(log_since "$before")
cmdline=$(field "$record" unzip-cmdline)
check_eq "unzip command line: the program as set, short directories" \
    "$(tr A-Z a-z <<<"$UNZIP") -o ${zips_short}\\rtypeus.zip ${emu_short}\\" "${cmdline%\\*}\\"
check_eq "the unzip writes into a folder of the run's own beside the game's, by its short name" "yes" \
    "$([[ "${cmdline##*\\}" == RTYP*~*.UNP ]] && echo yes)"
check_eq "unzip ran in the game's directory" "${EMU}rtypeus" "$(field "$record" unzip-cwd)"
check_eq "unzip unpacked the set" "$(unz rt_b-a0.bin rt_b-a1.bin rt_b-h0.bin rt_b-l0.bin)" "$(fields "$record" unzip-file)"
check_eq "unzip succeeded" "0" "$(field "$record" unzip-exit)"
check_eq "then the emulator" "${EMU}quon.exe rtypeus " "$(field "$record" cmdline)"
check_eq "the emulator started is the one in the emulator directory" "${EMU}quon.exe" \
    "$(field "$record" program | tr A-Z a-z)"
check_eq "the unpacked files are there during the run" \
    "$(unz rt_b-a0.bin rt_b-a1.bin rt_b-h0.bin rt_b-l0.bin) rtypeus.qun" "$(fields "$record" file)"
check_eq "unzip came first" "unzip-cmdline" "$(head -n 1 <<<"$record" | cut -d= -f1)"
wait_run
poll_contains 15 yes main_visible >/dev/null
check_eq "back after the run" "yes" "$(main_visible)"
check_eq "the unpacked files are gone, the driver stays" "rtypeus.qun" \
    "$(files_in "$E2E_APP/emu/rtypeus")"

echo "-- a zipped run keeps the user's own ROM file, by its own name ($mode)"
printf 'mine\r\n' >"$E2E_APP/emu/rtypeus/rt_b-h0.bin"
before=$(log_lines)
dblclick_in_background "$row"
wait_record "$before" 15
wait_run
poll_contains 15 yes main_visible >/dev/null
check_eq "only the files the unzip added are deleted" "rt_b-h0.bin rtypeus.qun" \
    "$(files_in "$E2E_APP/emu/rtypeus")"
check_eq "the user's file has its own content again" "mine" \
    "$(tr -d '\r' <"$E2E_APP/emu/rtypeus/rt_b-h0.bin")"
check_no_file "nothing is left of the record kept during the run" "$E2E_APP/RunRecords"

echo "-- a launcher ended during a run puts the user's files back at its next start ($mode)"
before=$(log_lines)
dblclick_in_background "$row"
wait_record "$before" 15
if [ -d "$E2E_APP/RunRecords" ]; then e2e_pass "the record is kept while the emulator runs"
else e2e_fail "the record is kept while the emulator runs" "no $E2E_APP/RunRecords"; fi
check_eq "the user's file is set aside meanwhile" "mine" \
    "$(tr -d '\r' <"$E2E_APP/emu/rtypeus set aside/rt_b-h0.bin" 2>/dev/null)"
pid=$(launcher_pid)
check_eq "the launcher's process is found" "yes" "$([ -n "$pid" ] && echo yes)"
[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
wait_run
e2e_wait_exit 15
check_eq "and ended" "" "$(launcher_pid)"
check_eq "meanwhile the archive's file stands over the user's" "$(unzip -p "$ZIPS/rtypeus.zip" rt_b-h0.bin)" \
    "$(cat "$E2E_APP/emu/rtypeus/$(unz rt_b-h0.bin)")"
start_launcher
check_eq "the next start shows the main window" "$MAIN_CAPTION" "$(drv wait Form1 15000)"
check_eq "and the user's file has its own content again" "mine" \
    "$(tr -d '\r' <"$E2E_APP/emu/rtypeus/rt_b-h0.bin")"
check_eq "under its own name, the run's files gone" "rt_b-h0.bin rtypeus.qun" "$(files_in "$E2E_APP/emu/rtypeus")"
check_no_file "nothing is left of the record" "$E2E_APP/RunRecords"
check_no_file "nor of the folder beside" "$E2E_APP/emu/rtypeus set aside"

echo "-- a launcher ended while the unzip runs: the unzip ends with it, the next start puts the file back ($mode)"
for f in "$E2E_APP"/emu/rtypeus/*; do
    case "$(basename "$f")" in rtypeus.qun | rt_b-h0.bin) ;; *) rm -f "$f" ;; esac
done
drv close Form1 >/dev/null
e2e_wait_exit 15
export QUON_UNZIP_HOLD_MS=4000
start_launcher
drv wait Form1 15000 >/dev/null
before=$(log_lines)
dblclick_in_background "$(row_of rtypeus)"
sleep 1.5
check_eq "the unzip is running" "yes" "$([ -n "$(launcher_pid pkunzip.exe)" ] && echo yes)"
pid=$(launcher_pid)
[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
e2e_wait_exit 15
sleep 1
check_eq "the unzip ended with the launcher" "" "$(launcher_pid pkunzip.exe)"
unset QUON_UNZIP_HOLD_MS
start_launcher
check_eq "the next start shows the main window" "$MAIN_CAPTION" "$(drv wait Form1 15000)"
check_eq "the user's file is back, as it was" "mine" "$(tr -d '\r' <"$E2E_APP/emu/rtypeus/rt_b-h0.bin")"
check_eq "and nothing was unpacked over it" "rt_b-h0.bin rtypeus.qun" "$(files_in "$E2E_APP/emu/rtypeus")"
check_no_file "nothing is left of the record" "$E2E_APP/RunRecords"

real_archives
}

# Names as the unzip writes them in this mode.
unz() { if [ "$mode" = folders ]; then echo "$*"; else tr a-z A-Z <<<"$*"; fi; }

# Each file below a directory with its content, by the names as listed.
tree_of() { (cd "$1" && find . -type f -printf '%P\n' | LC_ALL=C sort | while IFS= read -r f; do printf '%s=%s\n' "$f" "$(cat "$f")"; done); }

# Archives made as users get them (Python's zipfile, Debian's zip) holding
# names an unzip program writes over the user's: folders, long names, other
# case, UTF-8, a folder and a file of one name, names like the launcher's.
real_archives() {
    echo "-- real archives: the user's items come through whatever the unzip makes of them ($mode)"
    local game="$E2E_APP/emu/rtypeus" made="$E2E_WORK/made" kind before_tree
    rm -rf "$made" && mkdir -p "$made/tree/Sub" "$made/tree/roms"
    for kind in zipfile zip; do
        find "$game" -mindepth 1 ! -name rtypeus.qun -exec rm -rf {} +
        mkdir -p "$game/sub" "$game/saves"
        for f in a1.bin longfile.bin longfilename.bin caf$'\xc3\xa9'.bin sub/hiscore.dat saves/slot1 x.dat; do
            printf 'mine %s' "$f" >"$game/$f"
        done
        before_tree=$(tree_of "$game")
        if [ $kind = zipfile ]; then
            python3 - "$made/rtypeus.zip" "$ZIPS/rtypeus.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[2]) as demo, zipfile.ZipFile(sys.argv[1], "w") as z:
    for info in demo.infolist():
        z.writestr(info.filename, demo.read(info))
    for name in ["roms/a1.bin", "longfilename.bin", "LONGFILE.BIN", "caf\u00e9.bin", "Sub/HISCORE.DAT",
                 "x.dat/", "x.dat/inner.bin", "x.dat", "a1.bin.qnkept", "../rtypeus set aside/a1.bin", "saves"]:
        z.writestr(name, "" if name.endswith("/") else "from the archive")
PY
        else
            (cd "$made/tree" && unzip -q -o "$ZIPS/rtypeus.zip" &&
                for f in roms/a1.bin longfilename.bin Sub/HISCORE.DAT caf$'\xc3\xa9'.bin; do echo archive >"$f"; done &&
                rm -f ../rtypeus.zip && zip -q -r ../rtypeus.zip .)
        fi
        cp "$ZIPS/rtypeus.zip" "$made/demo.zip"
        cp "$made/rtypeus.zip" "$ZIPS/rtypeus.zip"
        before=$(log_lines)
        dblclick_in_background "$(row_of rtypeus)"
        said=$(run_or_message "$before")
        poll_contains 15 yes main_visible >/dev/null
        cp "$made/demo.zip" "$ZIPS/rtypeus.zip"
        # An entry that is a folder and a file at once makes an unzip fail:
        # the run then stops and says so, having changed nothing.
        check_eq "$kind: the run went on, or stopped with the unzip's exit code" yes \
            "$([ -z "$said" ] || [[ "$said" == *"the unzip program ended with exit code"* ]] && echo yes)"
        check_eq "$kind: the unzip wrote at places of the user's items" yes \
            "$(log_since "$before" | grep -qiE '^unzip-file=(a1\.bin|longfile\.bin|(sub\\)?hiscore\.dat)$' && echo yes)"
        check_eq "$kind: every item of the user's as it was, by its own name" "$before_tree" \
            "$(tree_of "$game" | awk -F= 'NR == FNR { mine[$1]; next } $1 in mine' <(printf '%s\n' "$before_tree") -)"
        check_no_file "$kind: nothing left beside" "$game set aside"
        check_no_file "$kind: nor of the record" "$E2E_APP/RunRecords"
    done
}

zipped_runs folders
drv close Form1 >/dev/null
e2e_wait_exit 15
zipped_runs dos
unset QUON_UNZIP_FOLDERS

echo "-- reports in compressed mode"
drv dblclick Form1 ListView1 "$(row_of loht)"
check_eq "archive missing" "Information
Legend of Hollow Tower is not available because:

   - The compressed file $(win_dir "$ZIPS" | tr A-Z a-z)loht.zip wasn't found" "$(read_and_answer)"
drv dblclick Form1 ListView1 "$(row_of rtypejp)"
check_eq "driver missing beside the ROMs" "Information
Radiant Type (Japan) is not available because:

   - The driver file ${EMU}rtypejp\\rtypejp.qun wasn't found" "$(read_and_answer)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- reports in plain mode"
e2e_reset_registry
settings_for_demo
start_launcher
drv wait Form1 15000 >/dev/null
before=$(log_lines)
# The "found in" lines end with a blank, as the program writes them.
drv dblclick Form1 ListView1 "$(row_of rtypejp)"
check_eq "an incomplete set: the missing files and the driver" "Information
Radiant Type (Japan) is not available because:

   - It wasn't found in ${EMU}rtypejp\\. 
     These files are missing:

   - ${EMU}rtypejp\\rt_r-a1.bin
   - ${EMU}rtypejp\\rt_r-l0.bin

   - The driver file ${EMU}rtypejp\\rtypejp.qun wasn't found" "$(read_and_answer)"
drv dblclick Form1 ListView1 "$(row_of uccops)"
check_eq "a game with no directory: every file" "Information
Undercover Constables is not available because:

   - It wasn't found in ${EMU}uccops\\. 
     These files are missing:

   - ${EMU}uccops\\uc_h0.rom
   - ${EMU}uccops\\uc_l0.rom

   - The driver file ${EMU}uccops\\uccops.qun wasn't found" "$(read_and_answer)"
check_eq "nothing was started for them" "$before" "$(log_lines)"
check_eq "the window stays" "yes" "$(main_visible)"

echo "-- the emulator is missing"
rm -f "$E2E_APP/emu/quon.exe"
drv dblclick Form1 ListView1 "$(row_of moonmole)"
check_eq "warning" "Warning
QUON program not found" "$(read_and_answer)"
check_eq "the emulator path box is emptied" "" "$(drv text Form1 Edit1)"
check_eq "nothing was started" "$before" "$(log_lines)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "the emptied emulator path is saved" "" "$(reg_query "$E2E_KEY" "Quon Path")"

echo "-- directories with blanks start exactly the chosen programs"
# Named by their command lines alone, Windows would start app\quon.exe for
# "app\quon emu\quon.exe ..." and app\unzip.exe for "app\unzip tools\pkunzip.exe ...".
e2e_reset_registry
settings_for_demo
BLANK_EMU="$E2E_APP/quon emu"
mkdir -p "$BLANK_EMU/rtypeus" "$E2E_APP/unzip tools"
cp "$E2E_APP/emu/rtypeus/rtypeus.qun" "$BLANK_EMU/rtypeus/"
cp "$(e2e_exe quon.exe)" "$BLANK_EMU/quon.exe"
cp "$(e2e_exe quon.exe)" "$E2E_APP/quon.exe"
cp "$(e2e_exe pkunzip.exe)" "$E2E_APP/unzip tools/pkunzip.exe"
cp "$(e2e_exe pkunzip.exe)" "$E2E_APP/unzip.exe"
BLANK_UNZIP=$(qn_winpath "$E2E_APP/unzip tools/pkunzip.exe")
reg_add "$E2E_KEY" "Quon Path" "$(win_dir "$BLANK_EMU")"
reg_add "$E2E_KEY" "Compressed ROMs Path" "$(win_dir "$ZIPS")"
reg_add "$E2E_KEY" "PkUnzip Program" "$BLANK_UNZIP"
reg_add "$E2E_KEY" "Radiant Type (US)" "01000000"  # No Sound: -s
EMU2=$(win_dir "$BLANK_EMU" | tr A-Z a-z)
emu2_short=$(win_short_path "$EMU2")
start_launcher
drv wait Form1 15000 >/dev/null
row=$(row_of rtypeus)
drv select Form1 ListView1 "$row"
before=$(log_lines)
dblclick_in_background "$row"
wait_record "$before" 15
wait_run
record=$(log_since "$before")
check_eq "the unzip program started is the one set" "$(tr A-Z a-z <<<"$BLANK_UNZIP")" \
    "$(field "$record" unzip-program | tr A-Z a-z)"
cmdline=$(field "$record" unzip-cmdline)
check_eq "with its path quoted" \
    "\"$(tr A-Z a-z <<<"$BLANK_UNZIP")\" -o ${zips_short}\\rtypeus.zip ${emu2_short}\\" "${cmdline%\\*}\\"
check_eq "which it read as its arguments" "0" "$(field "$record" unzip-exit)"
check_eq "the emulator started is the one in the emulator directory" "${EMU2}quon.exe" \
    "$(field "$record" program | tr A-Z a-z)"
check_eq "with its path quoted" "\"${EMU2}quon.exe\" rtypeus -s " "$(field "$record" cmdline)"
check_eq "its arguments are the game and the switch, exactly" "rtypeus -s" "$(fields "$record" arg)"
poll_contains 15 yes main_visible >/dev/null
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

e2e_finish
