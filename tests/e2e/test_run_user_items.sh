#!/usr/bin/env bash
# A zipped run touches only what the archive brings, whatever the user keeps
# in the game's directory: names that differ only in letter case, links made
# from the Linux side, names Windows cannot spell, a long name whose short
# alias the archive uses, records written by hand, a full volume. Archives
# are made with Python's zipfile; both behaviours of the unzip stand-in.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1
LOG=$E2E_WORK/quon.log
QUON_LOG=$(qn_winpath "$LOG")
QUON_HOLD_MS=200
export QUON_LOG QUON_HOLD_MS
GAME=$E2E_APP/emu/rtypeus
OUT=$E2E_WORK/outside
ZIPS=$E2E_APP/zips
cp "$ZIPS/rtypeus.zip" "$E2E_WORK/demo.zip"

log_lines() { if [ -f "$LOG" ]; then wc -l <"$LOG" | tr -d ' '; else echo 0; fi; }
# Every item below a directory, links as links, files by their bytes.
snap() { # dir
    (cd "$1" && find . -mindepth 1 -printf '%P|%y|%l\n' | LC_ALL=C sort &&
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0 -r md5sum)
}
# The demo's archive of the game with these entries added ("x/" a folder).
archive_with() { # entry...
    python3 - "$E2E_WORK/demo.zip" "$ZIPS/rtypeus.zip" "$@" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as demo, zipfile.ZipFile(sys.argv[2], "w") as z:
    for info in demo.infolist():
        z.writestr(info.filename, demo.read(info))
    for name in sys.argv[3:]:
        z.writestr(name, "" if name.endswith("/") else "from the archive " + name)
PY
}
# The game's directory holding its driver and what the case makes.
fresh_game() {
    find "$GAME" -mindepth 1 ! -name rtypeus.qun -exec rm -rf {} +
    rm -rf "$OUT" && mkdir -p "$OUT/saves" && printf 'outside' >"$OUT/hi.sav" && printf 'slot' >"$OUT/saves/slot1"
}
game_row() { drv rows Form1 ListView1 | cut -f3 | grep -n -x rtypeus | cut -d: -f1 | awk '{print $1 - 1}'; }
# Runs the game; SAID is what a message box said, empty when it ran.
run_game() {
    local before
    before=$(log_lines)
    drv dblclick Form1 ListView1 "$(game_row)" >/dev/null 2>&1 &
    RUN_PID=$!
    SAID=$(run_or_message "$before")
    poll_contains 15 "ListView1" drv focus Form1 >/dev/null
}
# After a case: nothing of the run's own beside the game's directory.
no_leftovers() { # what
    check_eq "$1: nothing of the run's left beside the game's directory" "" \
        "$(cd "$E2E_APP/emu" && ls -d rtypeus.unpacked* 'rtypeus set aside'* 2>/dev/null; ls "$E2E_APP/RunRecords" 2>/dev/null)"
}

settings_for_demo
reg_add "$E2E_KEY" "Compressed ROMs Path" "$(win_dir "$ZIPS")"
reg_add "$E2E_KEY" "PkUnzip Program" "$(qn_winpath "$E2E_APP/pkunzip.exe")"

# A case: what the game's directory holds, what the archive adds, and the
# start of what the user is told ("" when the game runs).
refused_or_run() { # what expected-start entry...
    local what=$1 expected=$2 game_before out_before
    shift 2
    archive_with "$@"
    game_before=$(snap "$GAME")
    out_before=$(snap "$OUT")
    run_game
    if [ -z "$expected" ]; then
        check_eq "$what: the game runs without a word" "" "$SAID"
    else
        check_contains "$what: the run is refused, saying why" "$SAID" "$expected"
        check_eq "$what: the game's directory is as it was" "$game_before" "$(snap "$GAME")"
    fi
    check_eq "$what: nothing outside it changed" "$out_before" "$(snap "$OUT")"
    no_leftovers "$what"
}
# Of the game's directory, the items whose names hold this text.
items() { snap "$GAME" | grep -a -- "$1"; }

for mode in dos folders; do
    if [ $mode = folders ]; then export QUON_UNZIP_FOLDERS=1; else unset QUON_UNZIP_FOLDERS; fi
    start_launcher
    drv wait Form1 15000 >/dev/null

    echo "-- names that differ only in letter case ($mode)"
    fresh_game
    printf 'upper' >"$GAME/Same.txt" && printf 'lower' >"$GAME/same.txt"
    refused_or_run "two files the archive's name answers to" "differ only in letter case" same.txt
    check_contains "both are named" "$SAID" "Same.txt and"
    fresh_game
    printf 'a file' >"$GAME/saves" && mkdir "$GAME/Saves" && for n in 1 2 3; do printf "save $n" >"$GAME/Saves/slot$n"; done
    refused_or_run "a file and a folder the archive's name answers to" "differ only in letter case" saves
    fresh_game
    printf 'upper' >"$GAME/A1.BIN" && printf 'lower' >"$GAME/a1.bin"
    twins=$(items A1.BIN; items a1.bin)
    refused_or_run "twins the archive does not meet" ""
    check_eq "they stay as they were" "$twins" "$(items A1.BIN; items a1.bin)"

    echo "-- links made from the Linux side ($mode)"
    fresh_game
    ln -s "$OUT/saves" "$GAME/saves"
    refused_or_run "a folder link where the archive brings an item" "saves is a link" saves
    fresh_game
    ln -s "$OUT/hi.sav" "$GAME/hi.sav"
    refused_or_run "a file link where the archive brings an item" "hi.sav is a link" hi.sav
    fresh_game
    ln -s "$OUT/saves" "$GAME/saves" && ln -s "$OUT/hi.sav" "$GAME/hi.sav"
    links=$(items '|l|')
    refused_or_run "links the archive does not meet" ""
    refused_or_run "and again" ""
    check_eq "the links stand as they were" "$links" "$(items '|l|')"

    echo "-- names Windows cannot spell ($mode)"
    fresh_game
    for n in 'a?b' 'st*r' 'p|p' 'lt<gt>' 'q"q' 'trail.' 'trail ' con.txt $'caf\xe9.bin'; do printf 'mine' >"$GAME/$n"; done
    odd=$(snap "$GAME")
    refused_or_run "odd names the archive does not meet" ""
    check_eq "every one stays, by its bytes" "$odd" "$(snap "$GAME" | grep -av -i 'rt_b')"

    echo "-- an archive entry named as a long name's short alias ($mode)"
    fresh_game
    printf 'my long file' >"$GAME/LongFileName.bin"
    alias=$(win_short_path "$(win_dir "$GAME")LongFileName.bin")
    alias=${alias##*\\}
    check_eq "the long name has an alias" yes "$([[ "$alias" == *~* ]] && echo yes)"
    refused_or_run "the archive brings $alias" "" "$alias"
    check_eq "the long file is as it was, and nothing stays at its alias" "my long file|" \
        "$(cat "$GAME/LongFileName.bin")|$(cd "$GAME" && ls -- "$alias" 2>/dev/null)"
    refused_or_run "and the next run" "" "$alias"

    drv close Form1 >/dev/null
    e2e_wait_exit 15
done
unset QUON_UNZIP_FOLDERS

echo "-- records written by hand, with the right name"
# A launcher ended during a run leaves its record: its name is the one a
# start reads. Its lines are then replaced.
fresh_game
printf 'notes' >"$GAME/notes.txt" && mkdir -p "$GAME/sub" && printf 'save' >"$GAME/sub/save1"
printf 'new scores' >"$GAME/hiscore.dat"
ln -s "$OUT" "$GAME/out" && printf 'letter' >"$OUT/letter.doc"
cp "$E2E_WORK/demo.zip" "$ZIPS/rtypeus.zip"
export QUON_HOLD_MS=3000
start_launcher
drv wait Form1 15000 >/dev/null
before=$(log_lines)
drv dblclick Form1 ListView1 "$(game_row)" >/dev/null 2>&1 &
poll_contains 15 "cmdline=" tail -n +$((before + 1)) "$LOG" >/dev/null
pid=$(launcher_pid)
[ -n "$pid" ] && kill -KILL "$pid"
e2e_wait_exit 15
sleep 3  # the emulator stand-in's hold
record=$(ls "$E2E_APP"/RunRecords/run-*.txt 2>/dev/null | head -n 1)
check_eq "a killed run leaves its record" yes "$([ -f "$record" ] && echo yes)"
# Its first lines name the game's directory and the unzip's folder, as a run writes them.
head=$(head -n 4 "$record" | tr -d '\r')
rm -rf "$E2E_APP/emu/rtypeus.unpacked" && find "$GAME" -iname 'rt_b-*' -delete
mkdir -p "$E2E_APP/emu/rtypeus set aside" && printf 'old scores' >"$E2E_APP/emu/rtypeus set aside/hiscore.dat"
export QUON_HOLD_MS=200
mapfile -t head_lines <<<"$head"
for lines in 'delete=1:2|notes.txt;delete=1:2|sub\save1;delete=1:2|rtypeus.qun;delete=1:2|out\letter.doc' \
    'aside=1:2|rtypeus set aside;kept=hiscore.dat'; do
    IFS=';' read -ra extra <<<"$lines"
    mkdir -p "$(dirname "$record")"
    printf '%s\r\n' "${head_lines[@]}" "${extra[@]}" >"$record"
    game_before=$(snap "$GAME")
    out_before=$(snap "$OUT")
    aside_before=$(snap "$E2E_APP/emu/rtypeus set aside")
    start_launcher
    said=""
    wait_ms=3000
    [[ "$lines" == aside* ]] && wait_ms=20000  # a message is due: give a busy machine time
    box=$(drv msgbox "$wait_ms" 2>/dev/null) && { said=$box; drv answer OK 5000 >/dev/null; }
    drv wait Form1 15000 >/dev/null
    check_eq "$lines: the game's directory is as it was" "$game_before" "$(snap "$GAME")"
    check_eq "$lines: nothing outside it changed" "$out_before" "$(snap "$OUT")"
    check_eq "$lines: the user's own folder beside it is as it was" "$aside_before" \
        "$(snap "$E2E_APP/emu/rtypeus set aside")"
    if [[ "$lines" == aside* ]]; then
        check_contains "$lines: set apart and named once" "$said" "was kept as $(qn_winpath "$record").not-trusted"
    else
        check_eq "$lines: nothing to say" "" "$said"
    fi
    drv close Form1 >/dev/null
    e2e_wait_exit 15
done
rm -rf "$E2E_APP/RunRecords" "$E2E_APP/emu/rtypeus set aside"

echo "-- a full volume"
VOL=$E2E_WORK/volume
mkdir -p "$VOL"
if mount -t tmpfs -o size=20m tmpfs "$VOL" 2>/dev/null; then
    ln -sfn "$VOL" "$WINEPREFIX/dosdevices/e:"
    mkdir -p "$VOL/emu/rtypeus" && cp "$E2E_APP/emu/quon.exe" "$VOL/emu/" && cp "$GAME/rtypeus.qun" "$VOL/emu/rtypeus/"
    printf 'mine' >"$VOL/emu/rtypeus/notes.txt"
    reg_add "$E2E_KEY" "Quon Path" 'E:\emu\'
    # An archive whose unpacking fills the volume: random bytes do not shrink.
    head -c 24000000 /dev/urandom >"$E2E_WORK/big.bin"
    python3 - "$E2E_WORK/demo.zip" "$ZIPS/rtypeus.zip" "$E2E_WORK/big.bin" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as demo, zipfile.ZipFile(sys.argv[2], "w", zipfile.ZIP_DEFLATED) as z:
    for info in demo.infolist():
        z.writestr(info.filename, demo.read(info))
    z.write(sys.argv[3], "big.bin")
PY
    game_before=$(snap "$VOL/emu/rtypeus")
    start_launcher
    drv wait Form1 15000 >/dev/null
    run_game
    check_contains "the run stops with the unzip's exit code" "$SAID" "the unzip program ended with exit code 5"
    check_eq "the game's directory is as it was" "$game_before" "$(snap "$VOL/emu/rtypeus")"
    check_eq "the run's folder is gone, the volume free again" "" "$(ls "$VOL/emu" | grep -v -e '^quon.exe$' -e '^rtypeus$')"
    drv close Form1 >/dev/null
    e2e_wait_exit 15
    # The user then keeps a file of a required file's name there.
    printf 'mine' >"$VOL/emu/rtypeus/rt_b-a1.bin"
    start_launcher
    drv wait Form1 15000 >/dev/null
    check_eq "a later start leaves it alone" "mine" "$(cat "$VOL/emu/rtypeus/rt_b-a1.bin")"
    drv close Form1 >/dev/null
    e2e_wait_exit 15
    rm -f "$WINEPREFIX/dosdevices/e:"
    umount "$VOL"
else
    echo "  skip  a full volume: tmpfs cannot be mounted here"
fi

e2e_finish
