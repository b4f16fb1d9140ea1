#!/usr/bin/env bash
# The game list on the demo data: which games each mode lets run, the
# filter, what a selected row shows (button, status bar, option boxes, its
# picture), the logos under the mouse, and leaving compressed mode.
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/launcher.sh"

install_demo || exit 1

ALL=(rtypeus rtypejp rtype2 dbreed loht hharry uccops imgfight nspirit bmaster inthunt gunforce ppong scourier moonmole)
PLAIN=(rtypeus rtype2 loht imgfight gunforce ppong moonmole)
SCREENS=$E2E_APP/screens

# "short=Yes|No ..." for every row, in list order.
availability() { drv rows Form1 ListView1 | awk -F'\t' '{printf "%s=%s ", $3, $4}'; }
# The same for the whole catalogue when exactly the named games can run.
mix_of() { # available shortnames...
    local s out=""
    for s in "${ALL[@]}"; do
        if [[ " $* " == *" $s "* ]]; then out+="$s=Yes "; else out+="$s=No "; fi
    done
    printf '%s' "$out"
}
shorts() { drv rows Form1 ListView1 | cut -f3 | tr '\n' ' ' | sed 's/ $//'; }
selected_rows() { drv rows Form1 ListView1 | grep -n '^\*' | cut -d: -f1 | awk '{print $1 - 1}' | tr '\n' ' ' | sed 's/ $//'; }
panel() { drv panels Form1 StatusBar1 | sed -n "$(($1 + 1))p" | cut -f2-; }
row_of() { drv rows Form1 ListView1 | cut -f3 | grep -n -x "$1" | cut -d: -f1 | awk '{print $1 - 1}'; }
# "enabled checked" of a button-class control, from the dump.
box_state() { drv dump Form1 | awk -F'\t' -v n="$1" '$1 == n {print $4, $5}'; }

# ---- the picture panel, read from the screen ---------------------------------

# Image1's area of the screen now, as a PNG in the work directory.
panel_png() { # name
    local file=$E2E_WORK/panel-$1.png l t w h
    read -r l t w h <<<"$(drv rect Form1 Image1)"
    sleep 0.3  # the panel repaints after the driver's call returns
    import -window root -crop "${w}x${h}+${l}+${t}" +repage "$file" 2>/dev/null && printf '%s\n' "$file"
}
# The root-mean-square difference of two images, in thousandths of full scale.
rmse() { compare -metric RMSE "$1" "$2" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p' | awk '{printf "%d\n", $1 * 1000 + 0.5}'; }
# A screenshot as the panel shows it: centred on black, cut to 360 by 240.
expected_panel() { # picture.jpg
    local file=$E2E_WORK/expected-$1.png
    [ -f "$file" ] || convert -size 360x240 xc:black "$SCREENS/$1" -gravity center -composite "$file"
    printf '%s\n' "$file"
}
# The logo's own area of a panel (340 by 200, centred) above the version text.
logo_area() { # panel.png
    convert "$1" -crop 340x170+10+20 +repage "${1%.png}-logo.png" && printf '%s\n' "${1%.png}-logo.png"
}
# The same part of a logo file.
logo_top() { # logo.jpg
    local file=$E2E_WORK/top-$1.png
    [ -f "$file" ] || convert "$SCREENS/$1" -crop 340x170+0+0 +repage "$file"
    printf '%s\n' "$file"
}
# Pixels of pure blue, the colour of the version text.
blue_pixels() {
    convert "$1" -alpha off -fill black +opaque '#0000ff' -fill white -opaque '#0000ff' \
        -format '%[fx:int(mean*w*h+0.5)]' info:
}
# The box around the pure blue pixels, "width height left top" in the panel.
blue_box() {
    convert "$1" -alpha off -fill black +opaque '#0000ff' -fill white -opaque '#0000ff' -trim \
        -format '%w %h %X %Y' info: | tr -d '+'
}
# Decoders may differ by a level or two; a different picture is far off.
SAME_PICTURE=10

check_shows() { # description panel.png picture.jpg
    local d
    d=$(rmse "$2" "$(expected_panel "$3")")
    if [ -n "$d" ] && [ "$d" -le "$SAME_PICTURE" ]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "panel differs from $3 by ${d:-?}/1000 (at most $SAME_PICTURE expected): $2"
    fi
}
check_logo() { # description panel.png 1|2
    local area d other
    area=$(logo_area "$2")
    d=$(rmse "$area" "$(logo_top "tolvane$3.jpg")")
    other=$(rmse "$area" "$(logo_top "tolvane$((3 - $3)).jpg")")
    if [ -n "$d" ] && [ "$d" -le "$SAME_PICTURE" ] && [ "${other:-0}" -gt "$SAME_PICTURE" ]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "logo area differs from tolvane$3.jpg by ${d:-?}/1000, from the other logo by ${other:-?}/1000: $2"
    fi
}
check_version_text() { # panel.png
    local n w h x y where=no
    n=$(blue_pixels "$1")
    read -r w h x y <<<"$(blue_box "$1")"
    # In the logo's bottom right corner, 5 pixels in from its edges (345, 215).
    [ "${n:-0}" -gt 20 ] && [ "$x" -ge 250 ] && [ $((x + w)) -le 346 ] && [ "$y" -ge 180 ] &&
        [ $((y + h)) -le 216 ] && where=yes
    check_eq "the first logo carries the version in blue at its bottom right ($n px, ${w}x${h} at $x,$y)" yes "$where"
}
check_no_version_text() { # description panel.png
    check_eq "$1" 0 "$(blue_pixels "$2")"
}

echo "-- plain ROMs"
settings_for_demo
start_launcher
check_eq "main window" "Tolvane's QUON FrontEnd v2.09" "$(drv wait Form1 15000)"
check_eq "every game of roms.dat, in its order" \
    "$(grep '^#' "$E2E_APP/roms.dat" | cut -c2- | cut -d'|' -f1)" "$(drv rows Form1 ListView1 | cut -f2)"
check_eq "the seven complete sets are available" "$(mix_of "${PLAIN[@]}")" "$(availability)"
check_eq "the first row is selected" "0" "$(selected_rows)"
check_eq "status bar panels" "128${TAB}Designed for QUON v0.9
236${TAB}15 ROMs supported
329${TAB}UnZipped ROMs
-1${TAB}Select a game and then doubleclick on it to play" "$(drv panels Form1 StatusBar1)"
p=$(panel_png start)
check_logo "the first logo at the start" "$p" 1
check_version_text "$p"

echo "-- selecting rows"
drv select Form1 ListView1 "$(row_of rtype2)"
check_eq "an available game: run button" "Run Radiant Type II" "$(drv text Form1 SpeedButton1)"
check_eq "an available game: status text" "Doubleclick to run Radiant Type II" "$(panel 3)"
check_eq "only that row is selected" "$(row_of rtype2)" "$(selected_rows)"
check_eq "FrameSkip allowed for it" "1 0" "$(box_state CheckBox6)"
check_eq "Rotate screen not allowed for it" "0 0" "$(box_state CheckBox9)"
p=$(panel_png rtype2)
check_shows "its screenshot, centred on black" "$p" rtype2.jpg
check_no_version_text "no version text on a screenshot" "$p"

drv select Form1 ListView1 "$(row_of rtypejp)"
check_eq "an unavailable game: run button" "Cannot run Radiant Type (Japan)" "$(drv text Form1 SpeedButton1)"
check_eq "an unavailable game: status text" "Radiant Type (Japan) is not available. Doubleclick to know why" "$(panel 3)"
check_shows "its screenshot" "$(panel_png rtypejp)" rtypejp.jpg

drv select Form1 ListView1 "$(row_of imgfight)"
check_eq "Imagine Flight: FrameSkip allowed" "1 0" "$(box_state CheckBox6)"
check_eq "Imagine Flight: Rotate screen allowed" "1 0" "$(box_state CheckBox9)"
check_shows "a narrow screenshot, centred" "$(panel_png imgfight)" imgfight.jpg
drv select Form1 ListView1 "$(row_of ppong)"
check_eq "a game outside the FrameSkip list: FrameSkip greyed" "0 0" "$(box_state CheckBox6)"
check_eq "and Rotate screen greyed" "0 0" "$(box_state CheckBox9)"

drv select Form1 ListView1 "$(row_of dbreed)"
check_eq "a game without a screenshot: run button" "Cannot run Dragon Brood" "$(drv text Form1 SpeedButton1)"
check_shows "the placeholder picture" "$(panel_png dbreed)" noscreen.jpg

drv select Form1 ListView1 "$(row_of gunforce)"
check_eq "Gun Fortress: run button" "Run Gun Fortress" "$(drv text Form1 SpeedButton1)"
p=$(panel_png gunforce)
check_shows "a screenshot larger than the panel: its middle, cut" "$p" gunforce.jpg
e2e_shot game-picture >/dev/null

echo "-- the logos under the mouse"
drv click Form1 Image1 >/dev/null
check_shows "a left click on a screenshot changes nothing" "$(panel_png gunforce-left)" gunforce.jpg
read -r il it iw ih <<<"$(drv rect Form1 Image1)"
xdotool mousemove $((il + iw / 2)) $((it + ih / 2)) click 3
p=$(panel_png right-click)
check_logo "a right click shows the first logo" "$p" 1
check_version_text "$p"
e2e_shot logo >/dev/null
drv click Form1 Image1 >/dev/null
p=$(panel_png left-1)
check_logo "a left click on it shows the second logo" "$p" 2
check_no_version_text "the second logo has no version text" "$p"
drv click Form1 Image1 >/dev/null
check_logo "another left click: the first logo again" "$(panel_png left-2)" 1
check_eq "the selection stays" "Run Gun Fortress" "$(drv text Form1 SpeedButton1)"

echo "-- the filter"
drv select Form1 ListView1 "$(row_of gunforce)"
drv combo-select Form1 ComboBox1 1
check_eq "filter chosen" "*${TAB}Display only Available Games" "$(drv combo Form1 ComboBox1 | sed -n 2p)"
check_eq "only the available games" "${PLAIN[*]}" "$(shorts)"
check_eq "all of them Yes" "Yes" "$(drv rows Form1 ListView1 | cut -f4 | sort -u)"
check_eq "the first row is selected" "0" "$(selected_rows)"
check_logo "the logo replaces the screenshot" "$(panel_png available)" 1
check_eq "run button for the first row" "Run Radiant Type (US)" "$(drv text Form1 SpeedButton1)"
drv select Form1 ListView1 3
check_eq "any row here can run" "Run Imagine Flight" "$(drv text Form1 SpeedButton1)"
check_eq "its status text" "Doubleclick to run Imagine Flight" "$(panel 3)"

drv combo-select Form1 ComboBox1 2
check_eq "only the unavailable games" "rtypejp dbreed hharry uccops nspirit bmaster inthunt scourier" "$(shorts)"
check_eq "all of them No" "No" "$(drv rows Form1 ListView1 | cut -f4 | sort -u)"
check_eq "the first row is selected" "0" "$(selected_rows)"
check_logo "the logo again" "$(panel_png unavailable)" 1
check_eq "run button for the first row" "Cannot run Radiant Type (Japan)" "$(drv text Form1 SpeedButton1)"
check_eq "its status text" "Radiant Type (Japan) is not available. Doubleclick to know why" "$(panel 3)"
drv select Form1 ListView1 2
check_eq "another row" "Cannot run Hard Hat Harold" "$(drv text Form1 SpeedButton1)"

drv combo-select Form1 ComboBox1 0
check_eq "every game again" "$(mix_of "${PLAIN[@]}")" "$(availability)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- compressed ROMs"
e2e_reset_registry
settings_for_demo
ZIPS=$(win_dir "$E2E_APP/zips")
UNZIP=$(qn_winpath "$E2E_APP/pkunzip.exe")
reg_add "$E2E_KEY" "Compressed ROMs Path" "$ZIPS"
reg_add "$E2E_KEY" "PkUnzip Program" "$UNZIP"
start_launcher
drv wait Form1 15000 >/dev/null
check_eq "status bar names the mode" "Zipped ROMs" "$(panel 2)"
check_eq "only the zipped set with its driver beside the ROMs" "$(mix_of rtypeus)" "$(availability)"
check_eq "the compressed box starts checked" "1 1" "$(box_state CheckBox7)"
check_eq "the archives' directory is shown" "$(tr A-Z a-z <<<"$ZIPS")" "$(drv text Form1 Edit3)"
check_eq "the unzip program is shown" "$(tr A-Z a-z <<<"$UNZIP")" "$(drv text Form1 Edit2)"
drv select Form1 ListView1 "$(row_of hharry)"
check_eq "a zipped set without its driver cannot run" "Cannot run Hard Hat Harold" "$(drv text Form1 SpeedButton1)"

drv tab-select Form1 PageControl1 1
drv click Form1 CheckBox7
check_eq "unchecked" "1 0" "$(box_state CheckBox7)"
check_eq "status bar names the plain mode" "UnZipped ROMs" "$(panel 2)"
check_eq "the plain mix again" "$(mix_of "${PLAIN[@]}")" "$(availability)"
check_eq "the archives' directory is forgotten" "" "$(drv text Form1 Edit3)"
check_eq "the unzip program is forgotten" "" "$(drv text Form1 Edit2)"
check_eq "its path buttons are greyed" "0 0" \
    "$(box_state SpeedButton4 | cut -d' ' -f1) $(box_state SpeedButton5 | cut -d' ' -f1)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"
check_eq "saved without the archives' directory" "" "$(reg_query "$E2E_KEY" "Compressed ROMs Path")"
check_eq "saved without the unzip program" "" "$(reg_query "$E2E_KEY" "PkUnzip Program")"

echo "-- drivers path"
e2e_reset_registry
settings_for_demo
DRIVERS=$(win_dir "$E2E_APP/drivers")
reg_add "$E2E_KEY" "Drivers Path" "$DRIVERS"
start_launcher
drv wait Form1 15000 >/dev/null
check_eq "complete sets whose driver is in the drivers directory" "$(mix_of rtype2 ppong)" "$(availability)"
check_eq "the drivers box starts checked" "1 1" "$(box_state CheckBox8)"
check_eq "the drivers directory is shown" "$(tr A-Z a-z <<<"$DRIVERS")" "$(drv text Form1 Edit4)"
check_eq "still the plain mode" "UnZipped ROMs" "$(panel 2)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- compressed ROMs with the drivers path"
reg_add "$E2E_KEY" "Compressed ROMs Path" "$ZIPS"
reg_add "$E2E_KEY" "PkUnzip Program" "$UNZIP"
start_launcher
drv wait Form1 15000 >/dev/null
check_eq "zipped sets whose driver is in the drivers directory" "$(mix_of rtypejp dbreed hharry nspirit)" "$(availability)"
check_eq "status bar names the mode" "Zipped ROMs" "$(panel 2)"
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "closing ends with 0" "0" "$E2E_RC"

echo "-- two games of one title"
e2e_reset_registry
settings_for_demo
mv "$E2E_APP/roms.dat" "$E2E_APP/roms.demo"
mv "$E2E_APP/reqfiles.dat" "$E2E_APP/reqfiles.demo"
printf '#Twin|twina\r\n#Twin|twinb\r\n' >"$E2E_APP/roms.dat"
printf 'twina\\a.rom\r\ntwinb\\b.rom\r\n' >"$E2E_APP/reqfiles.dat"
reg_add "$E2E_KEY" Twin 01000000
start_launcher
drv wait Form1 15000 >/dev/null
drv select Form1 ListView1 "$(row_of twinb)"
check_eq "the second shows the flags the title shares" "1 1" "$(box_state CheckBox2)"
drv click Form1 CheckBox1
drv close Form1 >/dev/null
e2e_wait_exit 15
check_eq "an option changed through it is kept at the close" "11000000" "$(reg_query "$E2E_KEY" Twin)"
mv "$E2E_APP/roms.demo" "$E2E_APP/roms.dat"
mv "$E2E_APP/reqfiles.demo" "$E2E_APP/reqfiles.dat"

e2e_finish
