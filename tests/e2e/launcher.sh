# shellcheck shell=bash
# Helpers for the launcher's end-to-end tests; sourced after lib.sh.
#
# A program directory like an installed one: the launcher, the demo data and
# the emulator stand-in, in $E2E_WORK/app (emulator directory app/emu).

E2E_APP=$E2E_WORK/app
E2E_KEY='HKEY_LOCAL_MACHINE\Software\Tolvane\Tolvane Quon FrontEnd v2.09'
TAB=$'\t'

install_demo() {
    rm -rf "$E2E_APP"
    mkdir -p "$E2E_APP"
    cp -r "$QN_ROOT/demo/." "$E2E_APP/"
    cp "$(e2e_exe qnlaunch.exe)" "$E2E_APP/" || return 1
    local tool
    for tool in quon.exe pkunzip.exe; do
        if e2e_exe "$tool" >/dev/null 2>&1; then
            case $tool in
            quon.exe) cp "$(e2e_exe "$tool")" "$E2E_APP/emu/" ;;
            *) cp "$(e2e_exe "$tool")" "$E2E_APP/" ;;
            esac
        fi
    done
}

# The Linux process of a program (the launcher by default) started from the
# work directory in this prefix with this test's QUON_LOG, or nothing.
launcher_pid() { # [program]
    local p cmd
    for p in /proc/[0-9]*; do
        { cmd=$(tr '\0' ' ' <"$p/cmdline"); } 2>/dev/null || continue
        [[ "$cmd" == *"${1:-qnlaunch.exe}"* ]] || continue
        { tr '\0' '\n' <"$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX"; } 2>/dev/null || continue
        { tr '\0' '\n' <"$p/environ" | grep -qxF "QUON_LOG=$QUON_LOG"; } 2>/dev/null || continue
        echo "${p#/proc/}"
        return 0
    done
}

# Waits for a run begun by a double click in the background ($RUN_PID) to
# end: the emulator stand-in's record in $LOG after `from` lines, or a
# message box, whose caption and text it prints after answering it.
run_or_message() { # from
    local end=$((SECONDS + 30)) box
    while [ "$SECONDS" -lt "$end" ]; do
        tail -n +"$(($1 + 1))" "$LOG" 2>/dev/null | grep -qx end && break
        if box=$(drv msgbox 300 2>/dev/null); then
            drv answer OK 5000 >/dev/null
            printf '%s\n' "$box"
            break
        fi
    done
    [ -n "${RUN_PID:-}" ] && wait "$RUN_PID" 2>/dev/null
    RUN_PID=""
}

# The Windows path of a directory under the work directory, with its backslash.
win_dir() {
    local p
    p=$(qn_winpath "$1")
    printf '%s\\' "${p%\\}"
}

# Settings as an installed launcher has them: program and emulator directory.
settings_for_demo() {
    reg_add "$E2E_KEY" "Main Program Path" "$(win_dir "$E2E_APP")"
    reg_add "$E2E_KEY" "Quon Path" "$(win_dir "$E2E_APP/emu")"
    reg_add 'HKEY_CURRENT_CONFIG\Display\Settings' Resolution "1024,768"
}

# Starts the launcher from its program directory.
start_launcher() {
    (cd "$E2E_APP" && e2e_start "$E2E_APP/qnlaunch.exe")
}

# The answer to a message box: its caption and text as the driver reads
# them, then OK (or the given button).
read_and_answer() { # [button]
    local box
    box=$(drv msgbox 10000) || return 1
    drv answer "${1:-OK}" 5000 >/dev/null || return 1
    printf '%s\n' "$box"
}

# The screen point at a control's centre; X root coordinates are the
# screen's, so xdotool takes it as it is.
control_centre() { # window control
    local l t w h
    read -r l t w h <<<"$(drv rect "$1" "$2")"
    [ -n "$h" ] || return 1
    printf '%s %s\n' $((l + w / 2)) $((t + h / 2))
}

# Moves the real pointer. A move to where the pointer already is reaches no
# program, nor do two quick moves that Wine merges into one ending there: from
# the point itself the pointer first steps beside it and pauses.
pointer_to() { # x y
    local X Y
    eval "$(xdotool getmouselocation --shell 2>/dev/null | grep -E '^[XY]=[0-9]+$')"
    if [ "${X:-}" = "$1" ] && [ "${Y:-}" = "$2" ]; then
        xdotool mousemove "$(($1 - 1))" "$2" sleep 0.15
    fi
    xdotool mousemove "$1" "$2"
}

# "enabled" or "disabled": whether the main window takes a user's clicks (a
# modal window disables it). The probe clicks the tab already shown, which
# changes nothing.
main_input() {
    local page err
    page=$(drv tab Form1 PageControl1 | grep -n '^\*' | cut -d: -f1)
    [ -n "$page" ] || { echo "unknown: no page shown"; return 1; }
    if err=$(drv tab-select Form1 PageControl1 "$((page - 1))" 2>&1 >/dev/null); then
        echo enabled
    elif [[ "$err" == *"window is disabled"* ]]; then
        echo disabled
    else
        echo "unknown: $err"
    fi
}

key_exists() { wine reg query "$E2E_KEY" >/dev/null 2>&1; }

# The short form of an existing file or directory, given by its Windows path,
# as GetShortPathName makes it: a component that has a short name is replaced
# by it, the others keep their spelling. Wine's hashed short names cannot be
# worked out here, and its cmd gives no %~s for a quoted path, so each
# component is looked up in its parent's `dir /x` listing (one wine call).
# shellcheck disable=SC1003,SC2141  # the separator is the backslash itself
win_short_path() { # windows-path
    local parts i parent bat=$E2E_WORK/.short-path.bat out line name rest short result
    IFS='\' read -ra parts <<<"${1%\\}"
    {
        for ((i = 1; i < ${#parts[@]}; i++)); do
            parent=$(IFS='\'; printf '%s' "${parts[*]:0:i}")
            printf '@echo ::%s\r\n@dir /x /a "%s\\"\r\n' "${parts[i]}" "$parent"
        done
    } >"$bat"
    out=$(wine cmd /c "$(qn_winpath "$bat")" 2>/dev/null) || return 1
    result=${parts[0]}
    name=""
    short=""
    while IFS= read -r line; do
        line=${line%$'\r'}
        if [[ "$line" == ::* ]]; then
            [ -n "$name" ] && result+="\\${short:-$name}"
            name=${line#::}
            short=""
        elif [ -n "$name" ] && [[ "${line,,}" == *" ${name,,}" ]]; then
            rest=${line:0:${#line}-${#name}-1}
            rest=${rest%"${rest##*[! ]}"}
            rest=${rest##* }
            # Hashed short names always carry a tilde; otherwise the last
            # column before the name is the size or <DIR>: no short name.
            [[ "$rest" == *"~"* ]] && short=$rest
        fi
    done <<<"$out"
    [ -n "$name" ] && result+="\\${short:-$name}"
    printf '%s\n' "$result"
}

# ---- the directory trees of the picker and the installer -------------------
# A script sets DIR_FORM to the window whose DirectoryOutline1 it works with.
DIR_FORM=${DIR_FORM:-Form3}

# The driver shows a backslash in an item as two.
shown() { printf '%s\n' "${1//\\/\\\\}"; }
# The tree's shown entries: "*" or "-" (selected), a tab, the name indented
# two spaces per level.
entries() { drv tree "$DIR_FORM" DirectoryOutline1 | cut -f1,3; }
current_entry() { entries | grep '^\*' | cut -f2-; }
# The names shown one level below the current entry: its subdirectories, once open.
children_of_current() {
    entries | awk -F'\t' '
        found { match($2, /^ */); if (RLENGTH <= depth) exit
                if (RLENGTH == depth + 2) { sub(/^ */, "", $2); print $2 }; next }
        $1 == "*" { found = 1; match($2, /^ */); depth = RLENGTH }'
}

# A directory's entry in the tree: indented two spaces per level below the root.
entry_of() { # unix directory
    local win parts
    win=$(qn_winpath "$1")
    IFS='\' read -ra parts <<<"${win:3}"
    printf '%*s%s\n' $((${#parts[@]} * 2)) '' "${parts[${#parts[@]} - 1]}"
}

# The entries from the root down to a directory, as the tree shows them.
way_down() { # unix directory
    local win parts i
    win=$(qn_winpath "$1")
    shown "${win:0:3}"
    IFS='\' read -ra parts <<<"${win:3}"
    for ((i = 0; i < ${#parts[@]}; i++)); do printf '%*s%s\n' $(((i + 1) * 2)) '' "${parts[i]}"; done
}
# Those of the tree's entries that lie on the way down to a directory, in
# the tree's order.
on_the_way() { # unix directory
    entries | cut -f2- | grep -x -F -f <(way_down "$1")
}

# "closed" once the window has gone, within 5 s; "open" if it stays.
closes() { # window
    local end=$((SECONDS + 5))
    while drv wait "$1" 200 >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$end" ] || { echo open; return; }
        sleep 0.1
    done
    echo closed
}

# Waits until the tree's current entry is `text`.
wait_current() { # text timeout_s
    local end=$((SECONDS + $2))
    while [ "$(current_entry)" != "$1" ]; do
        [ "$SECONDS" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# Chooses an entry as the keyboard does: the selection moved onto it, then
# Enter, which opens it.
choose_entry() { # text as the driver shows it
    local idx
    idx=$(entries | cut -f2- | grep -n -x -F -- "$1" | head -n 1 | cut -d: -f1)
    if [ -z "$idx" ]; then
        echo "e2e: no entry '$1' in $DIR_FORM's directory tree" >&2
        return 1
    fi
    drv tree-select "$DIR_FORM" DirectoryOutline1 $((idx - 1)) >/dev/null || return 1
    drv key "$DIR_FORM" DirectoryOutline1 Return >/dev/null || return 1
    wait_current "$1" 5 || { echo "e2e: '$1' did not become current" >&2; return 1; }
}
