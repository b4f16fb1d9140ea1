#!/usr/bin/env bash
# Display scaling: the launcher at 96, 120, 144 and 192 dots per inch
# ("LogPixels" under HKCU\Control Panel\Desktop, then a fresh Wine session).
# Every control's place and size, the client area, the status bar's panels
# and the list's columns are the 96-dpi ones times the factor, the tabs fit
# without scroll arrows, and a drag along the About box's bar scrolls its
# message to the same place. Screenshots at 96 and 144 dpi side by side.
#
# It runs in a prefix of its own, so every other test keeps 96 dpi, and on a
# screen large enough for the window at 200 % (its own Xvfb unless the
# display it is given is that large).
here=$(cd "$(dirname "$0")" && pwd)
QN_WINEPREFIX="$(cd "$here/../.." && pwd)/build/wine/prefix-dpi"
export QN_WINEPREFIX
export QN_XVFB_SCREEN=2048x1536x24
if [ -n "${DISPLAY:-}" ]; then
    size=$(xdpyinfo 2>/dev/null | awk '/dimensions:/ { print $2 }')
    if [ -z "$size" ] || [ "${size%x*}" -lt 1400 ] || [ "${size#*x}" -lt 1100 ]; then unset DISPLAY; fi
fi
. "$here/lib.sh"
. "$here/launcher.sh"

install_demo || exit 1
settings_for_demo

set_dpi() { # dpi
    qn_wine_stop
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    qn_wine_stop
}
# Whatever happens, the prefix is left at 96 dpi for the next run.
trap 'set_dpi 96; e2e_on_exit $?' EXIT

message=$(tr '\r' '\n' <"$E2E_APP/abouttxt.dat" | head -n 1)

# Starts the launcher at `dpi` and records what the driver reads of it in
# $E2E_WORK/<what>-<dpi>.
record_at() { # dpi
    local dpi=$1 out=$E2E_WORK l t w h y now from expected
    set_dpi "$dpi"
    start_launcher
    if ! drv wait Form1 15000 >/dev/null; then
        e2e_fail "the main window appears at $dpi dpi"
        return 1
    fi
    drv client Form1 >"$out/client-$dpi"
    drv dump Form1 >"$out/dump-$dpi"
    drv panels Form1 StatusBar1 >"$out/panels-$dpi"
    drv columns Form1 ListView1 >"$out/columns-$dpi"
    drv rect Form1 >"$out/rect-$dpi"
    if [ "$dpi" = 96 ] || [ "$dpi" = 144 ]; then
        pointer_to 1 1
        sleep 0.3
        e2e_shot "main-$dpi" >/dev/null
    fi

    # The About box: its own layout, and a drag two fifths along its bar.
    drv tab-select Form1 PageControl1 3 >/dev/null
    drv click Form1 SpeedButton7 >/dev/null
    drv wait Form4 5000 >/dev/null || { e2e_fail "the About box opens at $dpi dpi"; return 1; }
    drv client Form4 >"$out/about-client-$dpi"
    drv dump Form4 >"$out/about-dump-$dpi"
    read -r l t w h <<<"$(drv rect Form4 ProgressBar1)"
    y=$((t + h / 2))
    # 144 of the bar's 361 layout pixels, at this resolution.
    xdotool mousemove "$l" "$y" mousedown 1
    xdotool mousemove $((l + (144 * dpi + 48) / 96)) "$y"
    from=$(awk -v n="${#message}" 'BEGIN { printf "%d", n / (361 / 144) + 0.5 }')
    expected=${message:$from}
    for _ in $(seq 30); do
        now=$(drv text Form4 Edit1)
        [ "$now" = "$expected" ] && break
        sleep 0.1
    done
    xdotool mouseup 1
    check_eq "at $dpi dpi a drag two fifths along the About box's bar scrolls to character $from" \
        "$expected" "$now"
    drv close Form4 >/dev/null
    drv close Form1 >/dev/null
    e2e_wait_exit 15
    check_eq "at $dpi dpi the launcher ends as usual" 0 "$E2E_RC"
}

# Every named control's rectangle (left top width height, relative to the
# client area) against the 96-dpi one times dpi / 96, within 3 pixels;
# prints the ones that are not. Labels take their size from their text in
# the layout (it gives them none), so only their places are compared: a
# font's pixels do not grow exactly in step with the resolution.
compare_dumps() { # base scaled dpi
    awk -F'\t' -v dpi="$3" '
        function r(v) { v = v * dpi / 96; return v < 0 ? -int(-v + 0.5) : int(v + 0.5) }
        FNR == NR { if ($1 != "-") base[$1] = $6; next }
        $1 == "-" || !($1 in base) { next }
        {
            seen[$1] = 1
            split(base[$1], b, " "); split($6, s, " ")
            for (i = 1; i <= ($2 == "Static" ? 2 : 4); i++) {
                d = s[i] - r(b[i]); if (d < 0) d = -d
                if (d > 3) { print $1 ": " $6 " for " base[$1] " (" r(b[1]) " " r(b[2]) " " r(b[3]) " " r(b[4]) ")"; break }
            }
        }
        END { for (n in base) if (!(n in seen)) print n ": missing" }' "$1" "$2"
}

# Numbers of one column of two files, the second against the first times the factor.
compare_numbers() { # base scaled dpi   (first field of each line; -1 stays -1)
    paste "$1" "$2" | awk -v dpi="$3" '{
        split($0, f, "\t"); a = f[1]; n = split($0, all, "\t"); s = all[int(n / 2) + 1]
        e = a == -1 ? -1 : int(a * dpi / 96 + 0.5); d = s - e; if (d < 0) d = -d
        if (d > 3) print a " -> " s " (expected " e ")" }'
}

check_scaled() { # dpi
    local dpi=$1 out=$E2E_WORK w h got bad
    read -r w h <<<"$(cut -f1 "$out/client-96")"
    got=$(cat "$out/client-$dpi")
    check_eq "at $dpi dpi the window knows its resolution" "$dpi" "${got#*$TAB}"
    read -r gw gh <<<"${got%$TAB*}"
    if [ $((gw - (w * dpi + 48) / 96)) -ge -3 ] && [ $((gw - (w * dpi + 48) / 96)) -le 3 ] &&
        [ $((gh - (h * dpi + 48) / 96)) -ge -3 ] && [ $((gh - (h * dpi + 48) / 96)) -le 3 ]; then
        e2e_pass "at $dpi dpi the client area is ${w}x$h scaled: ${gw}x$gh"
    else
        e2e_fail "at $dpi dpi the client area is ${w}x$h scaled" "got ${gw}x$gh"
    fi
    bad=$(compare_dumps "$out/dump-96" "$out/dump-$dpi" "$dpi")
    check_eq "at $dpi dpi every control of the main window is where it is at 96 dpi, scaled" "" "$bad"
    bad=$(compare_dumps "$out/about-dump-96" "$out/about-dump-$dpi" "$dpi")
    check_eq "at $dpi dpi every control of the About box is where it is at 96 dpi, scaled" "" "$bad"
    read -r w h <<<"$(cut -f1 "$out/about-client-96")"
    read -r gw gh <<<"$(cut -f1 "$out/about-client-$dpi")"
    check_eq "at $dpi dpi the About box's client area is scaled" \
        "$(((w * dpi + 48) / 96)) $(((h * dpi + 48) / 96))" "$gw $gh"
    bad=$(compare_numbers <(cut -f1 "$out/panels-96") <(cut -f1 "$out/panels-$dpi") "$dpi")
    check_eq "at $dpi dpi the status bar's panels are scaled" "" "$bad"
    bad=$(compare_numbers <(cut -f1 "$out/columns-96") <(cut -f1 "$out/columns-$dpi") "$dpi")
    check_eq "at $dpi dpi the list's columns are scaled" "" "$bad"
    bad=$(awk -F'\t' '$2 == "msctls_updown32" && $3 == 1' "$out/dump-$dpi")
    check_eq "at $dpi dpi the tabs fit without scroll arrows" "" "$bad"
    # A label sized by its text still ends before what follows it on its line.
    bad=$(awk -F'\t' '
        { split($6, r, " "); left[$1] = r[1]; right[$1] = r[1] + r[3] }
        END {
            n = split("Label6 Edit1 Label4 Edit4 Label2 Edit2 Label3 Edit3 Label17 Label18 Label15 Label16", p, " ")
            for (i = 1; i < n; i += 2) if (right[p[i]] > left[p[i + 1]]) print p[i] " runs into " p[i + 1]
        }' "$out/dump-$dpi")
    check_eq "at $dpi dpi no label runs into the control beside it" "" "$bad"
}

for dpi in 96 120 144 192; do
    echo "-- $dpi dpi"
    record_at "$dpi" || { qn_wine_stop; continue; }
    [ "$dpi" = 96 ] || check_scaled "$dpi"
done

# The two screenshots cut to the main window and put side by side.
side=$E2E_SHOTS/$E2E_NAME-96-and-144.png
crops=()
for dpi in 96 144; do
    shot=$E2E_SHOTS/$E2E_NAME-main-$dpi.png
    read -r l t w h <<<"$(cat "$E2E_WORK/rect-$dpi" 2>/dev/null)"
    [ -f "$shot" ] && [ -n "${h:-}" ] || continue
    convert "$shot" -crop "${w}x$h+$l+$t" +repage "$E2E_WORK/crop-$dpi.png" && crops+=("$E2E_WORK/crop-$dpi.png")
done
if [ "${#crops[@]}" -eq 2 ] && convert "${crops[@]}" -background white -gravity north +append +repage "$side"; then
    e2e_pass "screenshots at 96 and 144 dpi side by side: $side"
else
    e2e_fail "screenshots at 96 and 144 dpi side by side"
fi
