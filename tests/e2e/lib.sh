# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the end-to-end test and the screenshot script: a private X server,
# the real zanvo binary in it, and xdotool helpers. Source it; set ZANVO first.

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/zanvo-e2e.XXXXXX")
XVFB_PID=""
ZANVO_PID=""
BUS_PID=""

e2e_cleanup() {
    if [ -n "$ZANVO_PID" ]; then
        kill "$ZANVO_PID" 2>/dev/null
        # A program whose event loop no longer runs cannot take the hint.
        for _ in $(seq 30); do kill -0 "$ZANVO_PID" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$ZANVO_PID" 2>/dev/null
    fi
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    [ -n "$BUS_PID" ] && kill "$BUS_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$E2E_TMP"
}

# On failure: a picture of the X screen for diagnosis, then everything we started ends.
e2e_fail() {
    echo "FAIL: $*" >&2

    if [ -n "${DISPLAY:-}" ] && command -v import >/dev/null; then
        local shot="${E2E_SHOT_DIR:-${TMPDIR:-/tmp}}/zanvo-e2e-failure-$$.png"
        import -display "$DISPLAY" -window root "$shot" 2>/dev/null && echo "screen: $shot" >&2
    fi
    exit 1
}

# Starts Xvfb on a display number it picks itself.
e2e_start_x() {
    exec 9> "$E2E_TMP/display"
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$E2E_TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    e2e_wait 100 "Xvfb did not start" test -s "$E2E_TMP/display"
    exec 9>&-
    export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    e2e_start_bus
}

# Where no session bus runs, Qt's D-Bus library has one started for the program
# (by dbus-launch, where installed), which writes under HOME and outlives the test.
# The programs get a private bus instead, whose socket lies in the test's folder.
e2e_start_bus() {
    local out
    out=$(dbus-daemon --session --fork --address="unix:dir=$E2E_TMP" --print-address=1 --print-pid=1) \
        || e2e_fail "no session bus"
    BUS_PID=$(sed -n 2p <<<"$out")
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$out")
}

e2e_start_zanvo() {
    HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/config" XDG_RUNTIME_DIR="$E2E_TMP/run" \
        "$ZANVO" >"$E2E_TMP/zanvo.log" 2>&1 &
    ZANVO_PID=$!
}

# Runs "${@:3}" every 0.1 s until it succeeds; fails with message $2 after $1 tries.
e2e_wait() {
    local tries=$1 message=$2 n=0
    shift 2
    until "$@"; do
        n=$((n + 1)); [ $n -gt "$tries" ] && e2e_fail "$message"
        sleep 0.1
    done
}

# Sets E2E_WIN to a visible window titled exactly $1, other than window $2 if given.
e2e_find_window() {
    E2E_WIN=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${2:-}" | tail -n1)
    [ -n "$E2E_WIN" ]
}

# Window id of the visible window titled exactly $1 in E2E_WIN; waits up to 10 s.
e2e_window() {
    e2e_wait 100 "no window '$1'" e2e_find_window "$1"
}

# Waits until no visible window is titled $1.
e2e_window_gone() {
    local n=0
    while xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; do
        n=$((n + 1)); [ $n -gt 100 ] && e2e_fail "window '$1' stayed"
        sleep 0.1
    done
}

# Ends zanvo through File > Exit of its window $1: it must be gone within 5 s,
# with status 0.
e2e_exit_zanvo() {
    e2e_focus "$1"
    e2e_keys alt+f e
    local status
    e2e_wait 50 "zanvo still running after Exit" eval '! kill -0 "$ZANVO_PID" 2>/dev/null'
    wait "$ZANVO_PID"; status=$?
    ZANVO_PID=""
    [ $status = 0 ] || e2e_fail "zanvo exited with status $status"
}

# Without a window manager nobody hands out the focus: give it to the window.
e2e_focus() {
    timeout 5 xdotool windowfocus --sync "$1" || e2e_fail "cannot focus window $1"
    sleep 0.2
}

e2e_keys() {
    timeout 10 xdotool key --clearmodifiers --delay 60 "$@" || e2e_fail "xdotool key $*"
    sleep 0.3
}

e2e_type() {
    timeout 10 xdotool type --clearmodifiers --delay 40 "$1" || e2e_fail "xdotool type $1"
    sleep 0.2
}

# Clicks at x,y inside window $1.
e2e_click() {
    timeout 5 xdotool mousemove --window "$1" "$2" "$3" click 1 || e2e_fail "xdotool click"
    sleep 0.3
}

# Answers a file dialog titled $1 with the path $2.
e2e_file_dialog() {
    e2e_window "$1"
    e2e_focus "$E2E_WIN"
    e2e_keys ctrl+a
    e2e_type "$2"
    e2e_keys Return
    e2e_window_gone "$1"
}

# Adds one drawn number through the input box of the check dialog $1.
e2e_add_drawn() {
    e2e_focus "$1"
    e2e_keys alt+a
    e2e_window "Adding"
    e2e_focus "$E2E_WIN"
    e2e_type "$2"
    e2e_keys Return
    e2e_window_gone "Adding"
}
