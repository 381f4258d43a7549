#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real zanvo binary as a native Wayland client of a real compositor: sway
# without a screen, keys from wtype's virtual keyboard, clicks and window checks
# through sway's own control socket. Boards are typed, the check dialog is used,
# brought back with Ctrl+C after a click into the main window, the list is saved,
# opened and saved again, the program exits, and the file is read back.
# Usage: e2e_wayland.sh path/to/zanvo
set -uo pipefail
ZANVO=$(realpath "$1")
. "$(dirname "$0")/lib.sh"

for tool in sway swaymsg wtype python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool not installed"; exit 77; }
done

SWAY_PID="" HOLD_PID=""
trap 'kill $HOLD_PID $SWAY_PID 2>/dev/null; e2e_cleanup' EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    if command -v grim >/dev/null && [ -n "${WAYLAND_DISPLAY:-}" ]; then
        local shot="${E2E_SHOT_DIR:-${TMPDIR:-/tmp}}/zanvo-wayland-failure-$$.png"
        grim "$shot" 2>/dev/null && echo "screen: $shot" >&2
    fi
    echo "the keyboard is with: '$(focused 2>/dev/null)'" >&2
    tail -n 20 "$E2E_TMP/sway.log" >&2
    exit 1
}

# sway refuses to run as root; then it runs as nobody, in a runtime folder of its own.
start_sway() {
    local run="$E2E_TMP/sway" as=()
    mkdir -p "$run"
    printf '%s\n' 'output HEADLESS-1 resolution 1280x1024' 'xwayland disable' \
        >"$E2E_TMP/sway.conf"
    if [ "$(id -u)" = 0 ]; then
        chmod 711 "$E2E_TMP"
        chmod 644 "$E2E_TMP/sway.conf"
        chown nobody "$run"
        as=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
    fi
    chmod 700 "$run"
    "${as[@]}" env -i PATH="$PATH" HOME="$run" XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless WLR_RENDERER=pixman \
        sway -c "$E2E_TMP/sway.conf" >"$E2E_TMP/sway.log" 2>&1 &
    SWAY_PID=$!
    e2e_wait 100 "sway did not start" eval 'compgen -G "$run/sway-ipc.*" >/dev/null && test -S "$run/wayland-1"'
    export WAYLAND_DISPLAY="$run/wayland-1" SWAYSOCK
    SWAYSOCK=$(compgen -G "$run/sway-ipc.*")
    unset DISPLAY
    # A single wtype run adds its keyboard, types and removes it again, and Qt drops
    # keys of a keyboard that is gone; this one keeps the seat's keyboard in place.
    wtype -s 3000000 &
    HOLD_PID=$!
}

# Title of the window that has the keyboard.
focused() {
    swaymsg -t get_tree -r | python3 -c '
import json, sys
def walk(n):
    if n.get("focused") and n.get("type") in ("con", "floating_con"):
        print(n.get("name") or "")
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        walk(c)
walk(json.load(sys.stdin))'
}

is_focused() { [ "$(focused)" = "$1" ]; }

# Waits up to 10 s until the window titled $1 has the keyboard.
wait_focus() {
    e2e_wait 100 "'$1' does not get the keyboard" is_focused "$1"
}

keys() {
    local k
    for k in "$@"; do
        case $k in
            ctrl+* | alt+*) timeout 5 wtype -M "${k%%+*}" "${k#*+}" -m "${k%%+*}" || e2e_fail "wtype $k" ;;
            *) timeout 5 wtype -k "$k" || e2e_fail "wtype $k" ;;
        esac
        sleep 0.1
    done
    sleep 0.2
}

type_text() {
    timeout 10 wtype -d 20 "$1" || e2e_fail "wtype $1"
    sleep 0.2
}

click() {
    swaymsg -q seat - cursor set "$1" "$2" && swaymsg -q seat - cursor press button1 &&
        swaymsg -q seat - cursor release button1 || e2e_fail "click at $1,$2"
    sleep 0.2
}

add_drawn() {
    keys alt+a
    wait_focus "Adding"
    type_text "$1"
    keys Return
    wait_focus "Select numbers to check"
}

file_dialog() {
    wait_focus "$1"
    keys ctrl+a
    type_text "$2"
    keys Return
    wait_focus "Zanvo"
}

started=$(date +%s)
start_sway
e2e_start_bus
export QT_QPA_PLATFORM=wayland
WAYLAND_DEBUG=1 e2e_start_zanvo # the protocol log tells a native client from an X one
wait_focus "Zanvo"
grep -q -- '-> xdg_wm_base@[0-9]*\.get_xdg_surface' "$E2E_TMP/zanvo.log" || e2e_fail "not a native Wayland client"

# 1. Two empty boards and a random one; numbers typed into board 1 from its first cell.
keys ctrl+e ctrl+e ctrl+r Tab
type_text 7; keys Tab
type_text 12; keys Tab
type_text 33; keys Tab
type_text 12

# 2. The check dialog takes the keyboard, and its Add box does too.
keys ctrl+c
wait_focus "Select numbers to check"
add_drawn 12
add_drawn 33
add_drawn 0

# 3. A click into the main window takes the keyboard there; Ctrl+C gives it back to
# the dialog, so Alt+A is the dialog's "&Add", not the main window's "&About".
click 640 700
wait_focus "Zanvo"
keys ctrl+c
wait_focus "Select numbers to check"
grep -q 'xdg_activation_token_v1@[0-9]*\.set_serial' "$E2E_TMP/zanvo.log" || e2e_fail "no activation token asked for"
add_drawn 7
keys alt+c
wait_focus "Zanvo"

# 4. Save, clear all, open, save under a second name, exit.
first="$E2E_TMP/first.dat" second="$E2E_TMP/second.dat"
keys alt+f s
file_dialog "Save file" "$first"
e2e_wait 50 "nothing saved" test -s "$first"
keys alt+b Up Return alt+f o
file_dialog "Open file" "$first"
keys alt+f s
file_dialog "Save file" "$second"
e2e_wait 50 "second save missing" test -s "$second"
cmp -s "$first" "$second" || e2e_fail "the file saved after opening differs"
keys alt+f e
e2e_wait 50 "zanvo still running after Exit" eval '! kill -0 "$ZANVO_PID" 2>/dev/null'
wait "$ZANVO_PID"; status=$?
ZANVO_PID=""
[ $status = 0 ] || e2e_fail "zanvo exited with status $status"

# 5. The file read back: 3 boards of 25; board 1 holds what was typed, green on the
# first cell of each drawn number (12, 33, 0, 7), board 2 green on its first 0.
mapfile -t v < <(od -An -v -t d4 "$first" | tr -s ' \n' '\n' | sed '/^$/d')
[ "${v[0]}" = 3 ] || e2e_fail "board count ${v[0]}, expected 3"
[ "${#v[@]}" = $((1 + 3 * 51)) ] || e2e_fail "file of ${#v[@]} values"
board() { # NumberCount, then number:colour of each cell of board $1
    local pos=$((1 + 51 * ($1 - 1))) i
    printf '%s ' "${v[$pos]}"
    for ((i = 0; i < 25; i++)); do printf '%s:%s ' "${v[$((pos + 1 + 2 * i))]}" "${v[$((pos + 2 + 2 * i))]}"; done
}
g=65280 w=16777215
expected="24 7:$g 12:$g 33:$g 12:$w 0:$g $(printf "0:$w %.0s" {1..20})"
[ "$(board 1)" = "$expected" ] || e2e_fail "board 1 holds $(board 1)"
expected="24 0:$g $(printf "0:$w %.0s" {1..24})"
[ "$(board 2)" = "$expected" ] || e2e_fail "board 2 holds $(board 2)"
[ "${v[103]}" = 24 ] || e2e_fail "board 3 has NumberCount ${v[103]}"

echo "end-to-end on Wayland: passed in $(( $(date +%s) - started )) s"
echo "1 passed, 0 failed"
