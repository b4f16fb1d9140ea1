#!/usr/bin/env bash
# A catalogue of 10,000 games of 10 files each: every game listed and marked
# in each of the four modes, the counter, and the options of the last game
# kept across a restart.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1
GAMES=10000

# Game g (1-based, bgNNNNN) has all ten ROM files unless g % 3 == 0 (one
# is missing, and a directory stands in its place), a zip when g % 2 == 0, a
# driver in the drivers directory unless g % 5 == 0, and a driver beside its
# ROMs unless g % 4 == 0.
python3 - "$E2E_APP" "$GAMES" <<'EOF' || exit 1
import os, sys
app, games = sys.argv[1], int(sys.argv[2])
emu, zips, drivers = (os.path.join(app, d) for d in ("emu", "bulkzips", "bulkdrivers"))
os.makedirs(zips, exist_ok=True)
os.makedirs(drivers, exist_ok=True)
roms, req = [], []
for g in range(1, games + 1):
    s = "bg%05d" % g
    roms.append("#Bulk Game %05d|%s\r\n" % (g, s))
    d = os.path.join(emu, s)
    os.makedirs(d, exist_ok=True)
    for f in range(10):
        name = "ROM%d.BIN" % f
        req.append("%s\\%s\r\n" % (s, name.lower() if f % 2 else name))
        if g % 3 == 0 and f == 9:
            os.makedirs(os.path.join(d, name), exist_ok=True)
        else:
            open(os.path.join(d, name), "w").close()
    if g % 2 == 0: open(os.path.join(zips, s + ".zip"), "w").close()
    if g % 5 != 0: open(os.path.join(drivers, s.upper() + ".QUN"), "w").close()
    if g % 4 != 0: open(os.path.join(d, s + ".qun"), "w").close()
open(os.path.join(app, "roms.dat"), "w", newline="").write("".join(roms))
open(os.path.join(app, "reqfiles.dat"), "w", newline="").write("".join(req))
EOF

# "Yes"/"No" per game, one a line, when the rule holds for g.
expected() { # awk condition on g
    awk -v n="$GAMES" "BEGIN { for (g = 1; g <= n; g++) print (($1) ? \"Yes\" : \"No\") }"
}
# The main window's caption once it answers: a start on this many games
# may keep it busy past one message's time-out.
wait_main() {
    local caption="" i
    for ((i = 0; i < 60; i++)); do
        caption=$(drv wait Form1 60000 2>/dev/null) && [ -n "$caption" ] && break
        sleep 1
    done
    printf '%s\n' "$caption"
}
panel() { drv panels Form1 StatusBar1 | sed -n "$(($1 + 1))p" | cut -f2-; }

run_mode() { # name zips-dir drivers-dir availability-rule
    e2e_reset_registry
    settings_for_demo
    if [ -n "$2" ]; then
        reg_add "$E2E_KEY" "Compressed ROMs Path" "$(win_dir "$E2E_APP/$2")"
        reg_add "$E2E_KEY" "PkUnzip Program" "$(qn_winpath "$E2E_APP/pkunzip.exe")"
    fi
    [ -n "$3" ] && reg_add "$E2E_KEY" "Drivers Path" "$(win_dir "$E2E_APP/$3")"
    echo "-- $1"
    start_launcher
    check_eq "$1: main window" "Tolvane's QUON FrontEnd v2.09" "$(wait_main)"
    check_eq "$1: the counter" "$GAMES ROMs supported" "$(panel 1)"
    local rows
    rows=$(drv rows Form1 ListView1)
    check_eq "$1: every game is listed" "$GAMES" "$(wc -l <<<"$rows")"
    check_eq "$1: in catalogue order, the last one last" \
        "Bulk Game 00001 bg00001 | Bulk Game 10000 bg10000" \
        "$(sed -n '1p' <<<"$rows" | cut -f2,3 | tr '\t' ' ') | $(sed -n '$p' <<<"$rows" | cut -f2,3 | tr '\t' ' ')"
    check_eq "$1: every game marked" "$(expected "$4" | md5sum)" "$(cut -f4 <<<"$rows" | md5sum)"
    check_eq "$1: a sample of rows" \
        "$(expected "$4" | sed -n '1p;2p;3p;4p;5p;6p;2310p;9999p;10000p' | tr '\n' ' ')" \
        "$(cut -f4 <<<"$rows" | sed -n '1p;2p;3p;4p;5p;6p;2310p;9999p;10000p' | tr '\n' ' ')"
    drv close Form1 >/dev/null
    e2e_wait_exit 30
    check_eq "$1: closes" 0 "$E2E_RC"
}

run_mode "plain ROMs" "" "" "g % 3 != 0"
run_mode "plain ROMs with the drivers directory" "" bulkdrivers "g % 3 != 0 && g % 5 != 0"
run_mode "zipped ROMs, drivers beside them" bulkzips "" "g % 2 == 0 && g % 4 != 0"
run_mode "zipped ROMs with the drivers directory" bulkzips bulkdrivers "g % 2 == 0 && g % 5 != 0"

echo "-- the last game's options"
e2e_reset_registry
settings_for_demo
start_launcher
wait_main >/dev/null
drv select Form1 ListView1 9999
check_eq "the last game is selected" "Run Bulk Game 10000" "$(drv text Form1 SpeedButton1)"
drv click Form1 CheckBox2 >/dev/null
drv click Form1 CheckBox10 >/dev/null
drv close Form1 >/dev/null
e2e_wait_exit 30
check_eq "its options are saved under its title" "01000001" "$(reg_query "$E2E_KEY" "Bulk Game 10000")"
check_eq "the game before it, untouched, still has no value" "" "$(reg_query "$E2E_KEY" "Bulk Game 09999")"
start_launcher
wait_main >/dev/null
drv select Form1 ListView1 9999
box() { drv dump Form1 | awk -F'\t' -v n="$1" '$1 == n {print $5}'; }
check_eq "read back: No Sound and the screen resolution are checked, No ScanLines is not" "1 1 0" \
    "$(box CheckBox2) $(box CheckBox10) $(box CheckBox1)"
drv select Form1 ListView1 9998
check_eq "the game before it shows none" "0 0" "$(box CheckBox2) $(box CheckBox10)"
drv close Form1 >/dev/null
e2e_wait_exit 30
check_eq "closes" 0 "$E2E_RC"
