#!/usr/bin/env bash
# Builds the launcher and starts it on the demo data under Wine, in its own
# prefix (build/wine/demo-prefix) with the registry the installer would have
# written. On the user's display when $DISPLAY answers; otherwise on Xvfb,
# where it saves a screenshot of the main window, closes it and prints the
# exit code.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

bash scripts/build.sh || { echo "demo: build failed" >&2; exit 1; }

find_built() {
    find build/win32 -name "$1" -type f -not -path '*/CMakeFiles/*' 2>/dev/null | sort | head -n 1
}

exe=$(find_built qnlaunch.exe)
[ -n "$exe" ] || { echo "demo: qnlaunch.exe was not built" >&2; exit 1; }

# The program directory: the launcher beside its data files, as installed.
app_dir=$root/build/demo/qnlaunch
emu_dir=$app_dir/emu
rm -rf "$app_dir"
mkdir -p "$app_dir"
cp "$exe" "$app_dir/"
if [ -d demo ] && [ -n "$(ls -A demo)" ]; then
    cp -r demo/. "$app_dir/"
else
    echo "demo: no demo data in demo/; starting the launcher without it" >&2
fi
mkdir -p "$emu_dir"
quon=$(find_built quon.exe)
if [ -n "$quon" ] && [ ! -f "$emu_dir/quon.exe" ]; then cp "$quon" "$emu_dir/"; fi
# The unzip stand-in beside the launcher, for choosing it under "Use
# compressed ROMs" with the demo's zips\ directory.
unzip_tool=$(find_built pkunzip.exe)
if [ -n "$unzip_tool" ]; then cp "$unzip_tool" "$app_dir/"; fi

# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh "$root/build/wine/demo-prefix"
qn_wine_prefix_ensure || exit 1

if qn_display_works; then
    mode=host
else
    mode=xvfb
    qn_xvfb_start force || exit 1
fi
trap 'qn_wine_stop; qn_xvfb_stop' EXIT
# A Wine session still running from an earlier start keeps its own display.
qn_wine_stop

# REGEDIT4 strings double their backslashes.
reg_string() {
    local s=${1//\\/\\\\}
    printf '"%s"' "${s//\"/\\\"}"
}
winpath_dir() {
    local p
    p=$(winepath -w "$1" 2>/dev/null | tr -d '\r')
    printf '%s\\' "${p%\\}"
}
# A window manager decorates windows on the user's display; on Xvfb there is
# none, and unmanaged windows avoid Wine's 2 s wait on every hide.
managed=N
[ "$mode" = host ] && managed=Y
reg_file=$root/build/demo/settings.reg
{
    printf 'REGEDIT4\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Tolvane\\Tolvane Quon FrontEnd v2.09]\r\n'
    printf '"Main Program Path"=%s\r\n' "$(reg_string "$(winpath_dir "$app_dir")")"
    printf '"Quon Path"=%s\r\n' "$(reg_string "$(winpath_dir "$emu_dir")")"
    printf '"Interface"="Common"\r\n\r\n'
    printf '[HKEY_CURRENT_CONFIG\\Display\\Settings]\r\n"Resolution"="1024,768"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="%s"\r\n\r\n' "$managed"
} >"$reg_file"
wine regedit /s "$(winepath -w "$reg_file" | tr -d '\r')" || { echo "demo: registry import failed" >&2; exit 1; }

cd "$app_dir" || exit 1
if [ "$mode" = host ]; then
    echo "demo: starting qnlaunch.exe on $DISPLAY"
    wine qnlaunch.exe
    echo "demo: qnlaunch.exe exited with code $?"
    exit 0
fi

driver=$(cd "$root" && find_built qndriver.exe)
[ -n "$driver" ] || { echo "demo: qndriver.exe was not built" >&2; exit 1; }
driver=$root/$driver
shot=$root/build/demo/screenshot.png
rc_file=$root/build/demo/exit-code
rm -f "$rc_file" "$shot"
(
    wine qnlaunch.exe >"$root/build/demo/qnlaunch.log" 2>&1
    echo $? >"$rc_file"
) &

ok=1
if caption=$(wine "$driver" wait Form1 30000); then
    echo "demo: main window up: $caption"
    sleep 1 # let the pictures draw
else
    echo "demo: the main window did not appear" >&2
    ok=0
fi
import -window root "$shot" && echo "demo: screenshot saved to $shot"
[ "$ok" = 1 ] && wine "$driver" close Form1

for _ in $(seq 100); do
    [ -s "$rc_file" ] && break
    sleep 0.1
done
if [ -s "$rc_file" ]; then
    echo "demo: qnlaunch.exe exited with code $(cat "$rc_file")"
else
    echo "demo: qnlaunch.exe did not exit; ending it" >&2
    wine "$driver" msgbox 100 2>/dev/null | sed 's/^/demo: open message box: /'
    ok=0
fi
[ "$ok" = 1 ]
