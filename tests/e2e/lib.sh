# shellcheck shell=bash
# End-to-end test harness; a test script sources it first:
#
#   . "$(dirname "$0")/lib.sh"
#   e2e_start "$(e2e_exe qnlaunch.exe)"
#   check_eq "caption" "Quon FrontEnd" "$(drv wait Form1)"
#   drv close Form1
#   e2e_wait_exit 10
#   check_eq "exit code" 0 "$E2E_RC"
#
# Programs run in the shared prefix (build/wine/prefix) on the display the
# caller gives, or on an Xvfb started here. Each test script gets an empty
# work directory (E2E_WORK) and a registry without the launcher's keys.
# The script's checks are counted; when it ends a summary line is printed
# ("e2e: N passed, N failed" when run alone) and the exit code is 1 if any
# check failed.

set -u

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/wine-env.sh
. "$E2E_LIB_DIR/../../scripts/wine-env.sh" ""

E2E_NAME=$(basename "$0" .sh)
E2E_OUT=$QN_ROOT/build/e2e
E2E_SHOTS=$E2E_OUT/shots
E2E_WORK=$E2E_OUT/runs/$E2E_NAME
E2E_WIN32=${QN_WIN32_BUILD:-$QN_ROOT/build/win32}
E2E_PASS=0
E2E_FAIL=0
E2E_FINISHED=0
E2E_PROG_PID=""
E2E_RC=""

# Registry keys a test run starts without. Tests may add to the list before
# calling e2e_reset_registry again.
E2E_RESET_KEYS=(
    'HKEY_LOCAL_MACHINE\Software\Tolvane'
    'HKEY_CURRENT_USER\Software\Tolvane'
    'HKEY_CURRENT_CONFIG\Display\Settings'
)

# ---- checks ----------------------------------------------------------------

e2e_pass() {
    E2E_PASS=$((E2E_PASS + 1))
    echo "  ok    $1"
}

e2e_fail() {
    E2E_FAIL=$((E2E_FAIL + 1))
    echo "  FAIL  [$E2E_NAME] $1"
    shift
    local line
    for line in "$@"; do printf '        %s\n' "$line"; done
}

# Shows a value on one line, with line breaks and tabs made visible.
e2e_show() {
    local s=${1//$'\t'/\\t}
    printf '%s' "${s//$'\n'/\\n}"
}

check_eq() { # description expected actual
    if [ "$2" == "$3" ]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "expected: '$(e2e_show "$2")'" "actual:   '$(e2e_show "$3")'"
    fi
}

check_contains() { # description haystack needle
    if [[ "$2" == *"$3"* ]]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "expected to contain: '$(e2e_show "$3")'" "actual: '$(e2e_show "$2")'"
    fi
}

check_not_contains() { # description haystack needle
    if [[ "$2" != *"$3"* ]]; then
        e2e_pass "$1"
    else
        e2e_fail "$1" "expected not to contain: '$(e2e_show "$3")'" "actual: '$(e2e_show "$2")'"
    fi
}

check_file() { # description path   (a regular file exists)
    if [ -f "$2" ]; then e2e_pass "$1"; else e2e_fail "$1" "missing file: $2"; fi
}

check_no_file() { # description path
    if [ ! -e "$2" ]; then e2e_pass "$1"; else e2e_fail "$1" "file should not exist: $2"; fi
}

# Reruns a command until its output contains needle; prints the last output.
# For state that changes after the driver returns (a program started, a file
# written). Returns 1 when the time runs out.
poll_contains() { # timeout_s needle command...
    local limit=$1 needle=$2 out
    shift 2
    local end=$((SECONDS + limit))
    while :; do
        out=$("$@" 2>/dev/null)
        if [[ "$out" == *"$needle"* ]] || [ "$SECONDS" -ge "$end" ]; then break; fi
        sleep 0.1
    done
    printf '%s\n' "$out"
    [[ "$out" == *"$needle"* ]]
}

# A check of state that follows input given to another program: the command
# is rerun until its output is the expected one, or for 10 s.
check_soon() { # description expected command...
    local what=$1 want=$2 out end=$((SECONDS + 10))
    shift 2
    while out=$("$@" 2>/dev/null); [ "$out" != "$want" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.1; done
    check_eq "$what" "$want" "$out"
}

# ---- programs --------------------------------------------------------------

# Path of a program built in the Windows tree, wherever the build put it.
e2e_exe() {
    local found
    found=$(find "$E2E_WIN32" -name "$1" -type f -not -path '*/CMakeFiles/*' 2>/dev/null | sort | head -n 1)
    if [ -z "$found" ]; then
        echo "e2e: $1 not built under $E2E_WIN32" >&2
        return 1
    fi
    printf '%s\n' "$found"
}

# Runs a command, ending every program of the prefix if it outlives the limit
# (a hung Wine program does not die with its Unix parent).
e2e_guard() { # seconds command...
    local limit=$1 rc
    shift
    timeout --kill-after=5 "$limit" "$@"
    rc=$?
    if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
        echo "e2e: timed out after ${limit}s: $*" >&2
        qn_wine_stop
    fi
    return "$rc"
}

QNDRIVER=""
# The UI driver; stdout is what it read, stderr its one-line reason on failure.
drv() {
    if [ -z "$QNDRIVER" ]; then
        QNDRIVER=$(e2e_exe qndriver.exe) || return 2
    fi
    e2e_guard 60 wine "$QNDRIVER" "$@"
}

# Starts a Windows program in the background from the current directory;
# its output goes to $E2E_WORK/program.log. One program at a time.
e2e_start() { # program.exe [args...]
    if [ -n "$E2E_PROG_PID" ] && kill -0 "$E2E_PROG_PID" 2>/dev/null; then
        echo "e2e: e2e_start while another program runs" >&2
        return 1
    fi
    E2E_RC=""
    rm -f "$E2E_WORK/.rc"
    (
        wine "$@" >>"$E2E_WORK/program.log" 2>&1
        echo $? >"$E2E_WORK/.rc"
    ) &
    E2E_PROG_PID=$!
}

# Waits for the program of e2e_start to end and sets E2E_RC to its Windows
# exit code. On timeout ends it, sets E2E_RC=timeout, returns 1. Call it
# directly, not in $(...): it must update this shell's state.
e2e_wait_exit() { # [timeout_s]
    local end=$((SECONDS + ${1:-10}))
    while [ ! -s "$E2E_WORK/.rc" ] && [ "$SECONDS" -lt "$end" ]; do sleep 0.05; done
    if [ -s "$E2E_WORK/.rc" ]; then
        wait "$E2E_PROG_PID" 2>/dev/null
        E2E_RC=$(cat "$E2E_WORK/.rc")
    else
        echo "e2e: program still running after ${1:-10}s; ending it" >&2
        qn_wine_stop
        wait "$E2E_PROG_PID" 2>/dev/null
        E2E_RC=timeout
    fi
    E2E_PROG_PID=""
    [ "$E2E_RC" != timeout ]
}

# ---- registry --------------------------------------------------------------

reg_add() { # key name data [type]   (name "" is the key's default value)
    local v=(/v "$2")
    [ -z "$2" ] && v=(/ve)
    wine reg add "$1" "${v[@]}" /t "${4:-REG_SZ}" /d "$3" /f >/dev/null 2>&1 ||
        { echo "e2e: reg add '$1' '$2' failed" >&2; return 1; }
}

# Prints a value's data as text (DWORDs as 0x..); returns 1 when missing.
# `wine reg query` prints "    <name>    <type>    <data>" lines with CRs.
reg_query() { # key name
    local out line lead v=(/v "$2") name=${2:-(Default)}
    [ -z "$2" ] && v=(/ve)
    out=$(wine reg query "$1" "${v[@]}" 2>/dev/null) || return 1
    lead="    $name    "
    while IFS= read -r line; do
        line=${line%$'\r'}
        if [[ "$line" == "$lead"REG_* ]]; then
            line=${line#"$lead"}
            printf '%s\n' "${line#*    }"
            return 0
        fi
    done <<<"$out"
    return 1
}

reg_delete() { # key [name]   (without a name: the whole key)
    if [ $# -ge 2 ]; then
        wine reg delete "$1" /v "$2" /f >/dev/null 2>&1
    else
        wine reg delete "$1" /f >/dev/null 2>&1
    fi
}

# Deletes whole keys in one wine call (a .reg file with [-KEY] entries).
e2e_reset_registry() { # [key...]   default: E2E_RESET_KEYS
    local keys=("$@") file=$E2E_WORK/.reset.reg k
    [ $# -eq 0 ] && keys=("${E2E_RESET_KEYS[@]}")
    [ "${#keys[@]}" -eq 0 ] && return 0
    {
        printf 'REGEDIT4\r\n\r\n'
        for k in "${keys[@]}"; do printf '[-%s]\r\n\r\n' "$k"; done
    } >"$file"
    wine regedit /s "$(qn_winpath "$file")" >/dev/null 2>&1
}

# ---- screenshots -----------------------------------------------------------

# Saves the whole screen as build/e2e/shots/<test>-<name>.png; prints the path.
e2e_shot() { # name
    local file=$E2E_SHOTS/$E2E_NAME-$1.png
    mkdir -p "$E2E_SHOTS"
    if import -window root "$file" 2>/dev/null; then
        printf '%s\n' "$file"
    else
        echo "e2e: screenshot $1 failed" >&2
        return 1
    fi
}

# ---- start and end ---------------------------------------------------------

e2e_finish() {
    [ "$E2E_FINISHED" = 1 ] && return
    E2E_FINISHED=1
    if [ -n "${E2E_TALLY:-}" ]; then
        echo "$E2E_PASS $E2E_FAIL $E2E_NAME" >>"$E2E_TALLY"
        echo "$E2E_NAME: $E2E_PASS passed, $E2E_FAIL failed"
    else
        echo "e2e: $E2E_PASS passed, $E2E_FAIL failed"
    fi
}

e2e_on_exit() {
    local status=$1
    # A script that stops early (set -u, a missing program) must not look clean.
    if [ "$E2E_FINISHED" = 0 ] && [ "$status" -ne 0 ]; then
        e2e_fail "script ended early with status $status"
    fi
    [ -n "$E2E_PROG_PID" ] && kill "$E2E_PROG_PID" 2>/dev/null
    qn_wine_stop
    e2e_finish
    qn_xvfb_stop
    [ "$E2E_FAIL" -eq 0 ] || exit 1
    exit "$status"
}

e2e_setup() {
    qn_wine_prefix_ensure || return 1
    qn_xvfb_start || return 1
    # Whatever an earlier run left running goes first.
    qn_wine_stop
    rm -rf "$E2E_WORK"
    mkdir -p "$E2E_WORK" "$E2E_SHOTS"
    e2e_reset_registry "${E2E_RESET_KEYS[@]}"
}

trap 'e2e_on_exit $?' EXIT
e2e_setup || { echo "e2e: setup failed" >&2; exit 1; }
