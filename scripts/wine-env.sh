# shellcheck shell=bash
# Wine environment for the build, the tests and the demo. Source it:
#
#   . scripts/wine-env.sh [prefix-dir]
#
# The prefix is the argument, else $QN_WINEPREFIX, else build/wine/prefix.
# It sets, in the calling shell, everything every wine command needs, and
# defines:
#   qn_wine_prefix_ensure   create the prefix once (fonts, unmanaged windows)
#   qn_wine_stop            end every program of the prefix and its server
#   qn_xvfb_start [force]   start Xvfb on a free display unless DISPLAY works
#   qn_xvfb_stop            stop the Xvfb that qn_xvfb_start started
#   qn_winpath <path>       the Windows view of a Unix path (Z: is /)
#
# Set the display before the first wine command of a session: a session
# (wineserver) started without one keeps a desktop no later program of it
# can show windows on, until the server exits (qn_wine_stop).

QN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

QN_WINEPREFIX=${1:-${QN_WINEPREFIX:-$QN_ROOT/build/wine/prefix}}
mkdir -p "$QN_WINEPREFIX"
QN_WINEPREFIX=$(cd "$QN_WINEPREFIX" && pwd)

# A bare wine without these makes ~/.wine, asks to install Mono and Gecko and
# fills the log; HOME matters because the prefix links Desktop and Documents
# to it.
export WINEPREFIX=$QN_WINEPREFIX
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
: "${QN_ORIG_HOME:=$HOME}"
export QN_ORIG_HOME
export HOME=$QN_ROOT/build/wine/home
mkdir -p "$HOME"

# Fonts the launcher's layout names: MS Sans Serif and Tahoma from Wine's own
# set, Arial and Verdana resolve to Liberation Sans.
QN_FONT_DIRS=(/usr/share/wine/fonts /usr/share/fonts/truetype/liberation)

qn_wine_prefix_ensure() {
    local marker=$WINEPREFIX/.qn-ready
    (
        # Two scripts may ask for the same prefix at once: one builds it.
        exec 9>"$WINEPREFIX.lock"
        flock 9
        [ -f "$marker" ] && exit 0
        local t0=$SECONDS
        echo "wine-env: creating prefix $WINEPREFIX" >&2
        # 9>&-: the wineserver these start outlives them and must not hold the lock.
        wineboot -i >/dev/null 2>&1 9>&- || { echo "wine-env: wineboot failed" >&2; exit 1; }
        wineserver -w 9>&-
        # Without a window manager Wine waits 2 s whenever a window hides;
        # unmanaged windows avoid it.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 9>&- ||
            { echo "wine-env: cannot set Managed=N" >&2; exit 1; }
        local fonts=$WINEPREFIX/drive_c/windows/Fonts d
        mkdir -p "$fonts"
        for d in "${QN_FONT_DIRS[@]}"; do
            [ -d "$d" ] && cp -f "$d"/*.tt[fc] "$d"/*.fon "$fonts"/ 2>/dev/null
        done
        # The session these started has a desktop bound to whatever display
        # was set (maybe none); windows of programs started while it lingers
        # would land there, unseen. Let it end before anyone uses the prefix.
        wineserver -w 9>&-
        touch "$marker"
        echo "wine-env: prefix ready in $((SECONDS - t0)) s" >&2
    )
}

qn_wine_stop() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

qn_winpath() {
    local p
    p=$(realpath -m -- "$1")
    printf 'Z:%s\n' "${p//\//\\}"
}

qn_display_works() {
    [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1
}

# Starts Xvfb on a display it picks itself (-displayfd), unless DISPLAY already
# works and "force" is not given. Exports DISPLAY; QN_XVFB_PID is set when
# this shell started one.
qn_xvfb_start() {
    if [ "${1:-}" != force ] && qn_display_works; then
        return 0
    fi
    local fifo_dir num
    fifo_dir=$(mktemp -d)
    mkfifo "$fifo_dir/fd"
    Xvfb -displayfd 3 -screen 0 "${QN_XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
        3>"$fifo_dir/fd" >/dev/null 2>&1 &
    QN_XVFB_PID=$!
    num=""
    read -r -t 10 num <"$fifo_dir/fd" || true
    rm -rf "$fifo_dir"
    if [ -z "$num" ]; then
        echo "wine-env: Xvfb did not start" >&2
        kill "$QN_XVFB_PID" 2>/dev/null
        unset QN_XVFB_PID
        return 1
    fi
    export DISPLAY=:$num
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "wine-env: Xvfb on $DISPLAY does not answer" >&2
    return 1
}

qn_xvfb_stop() {
    if [ -n "${QN_XVFB_PID:-}" ]; then
        kill "$QN_XVFB_PID" 2>/dev/null
        wait "$QN_XVFB_PID" 2>/dev/null
        unset QN_XVFB_PID
    fi
}
