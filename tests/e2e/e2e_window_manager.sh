#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real zanvo under a window manager (openbox), as on a desktop: the check
# dialog offers its close box only and "Check" brings it back active; message
# boxes stand over the window they concern; a run that opens and cancels every
# dialog leaves nothing under HOME.
# Usage: e2e_window_manager.sh path/to/zanvo
set -uo pipefail
ZANVO=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
WM_PID=""
trap '[ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null; e2e_cleanup' EXIT
command -v openbox >/dev/null || { echo "openbox is not installed: skipped"; exit 77; }

e2e_start_x
openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
WM_PID=$!
e2e_wait 100 "openbox did not start" eval "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'"

# A home of its own and no XDG folders, as in a user's session.
home="$E2E_TMP/home"; tmp="$E2E_TMP/tmp"
mkdir -p "$home" "$tmp" "$E2E_TMP/run"; chmod 700 "$E2E_TMP/run"
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME \
    HOME="$home" TMPDIR="$tmp" XDG_RUNTIME_DIR="$E2E_TMP/run" "$ZANVO" >"$E2E_TMP/zanvo.log" 2>&1 &
ZANVO_PID=$!

# Centre of window $1 as "x y".
centre() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + WIDTH / 2)) $((Y + HEIGHT / 2))"
}
# Fails unless the centres of windows $1 and $2 lie within 40 px of each other
# (the frame's title bar shifts them a little).
same_centre() {
    local ax ay bx by
    read -r ax ay <<<"$(centre "$1")"; read -r bx by <<<"$(centre "$2")"
    local dx=$((ax - bx)) dy=$((ay - by))
    [ ${dx#-} -le 40 ] && [ ${dy#-} -le 40 ] || e2e_fail "$3: centre $ax,$ay, its window's $bx,$by"
}
# Presses Return in the box titled $1 (not window $2) once it stands over window $3;
# $4 names the box.
answer_box() {
    e2e_wait 100 "no second window '$1'" e2e_find_window "$1" "$2"
    same_centre "$E2E_WIN" "$3" "$4"
    e2e_focus "$E2E_WIN"
    e2e_keys Return
}
active_is() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

e2e_window "Zanvo"; main=$E2E_WIN
xdotool windowmove --sync "$main" 0 0 || e2e_fail "cannot move the main window"
e2e_focus "$main"

# 1. The check dialog: close box only, no minimise or maximise.
e2e_keys ctrl+c
e2e_window "Select numbers to check"; check=$E2E_WIN
actions=$(xprop -id "$check" _NET_WM_ALLOWED_ACTIONS)
case "$actions" in *ACTION_CLOSE*) ;; *) e2e_fail "no close box: $actions" ;; esac
case "$actions" in *MINIMIZE* | *MAXIMIZE*) e2e_fail "minimise or maximise offered: $actions" ;; esac
xdotool windowminimize "$check"; sleep 0.5
xprop -id "$check" WM_STATE | grep -q 'Normal' || e2e_fail "the check dialog was minimised"

# 2. Behind the main window, "Check" brings it back, active.
xdotool windowactivate --sync "$main" 2>/dev/null || e2e_focus "$main"
e2e_keys ctrl+c
e2e_wait 50 "the check dialog did not come back active" active_is "$check"

# 3. An answer outside 32 bits: a message over the dialog, nothing added.
e2e_keys alt+a
e2e_window "Adding"; input=$E2E_WIN
e2e_focus "$input"
e2e_type "99999999999"
e2e_keys Return
answer_box "Adding" "$input" "$check" "the range message"
e2e_window_gone "Adding"
e2e_wait 50 "the keys did not go back to the check dialog after Add" active_is "$check"

# 4. A missing file: the message stands over the main window in its corner.
e2e_focus "$main"
e2e_keys alt+f o
e2e_file_dialog "Open file" "$E2E_TMP/missing.dat"
answer_box "Zanvo" "$main" "$main" "the error message"

# 5. Every other dialog opened and cancelled.
for key_title in "o:Open file" "s:Save file"; do
    e2e_focus "$main"
    e2e_keys alt+f "${key_title%%:*}"
    e2e_window "${key_title#*:}"
    e2e_focus "$E2E_WIN"
    e2e_keys Escape
    e2e_window_gone "${key_title#*:}"
done
e2e_focus "$main"
e2e_keys alt+a
answer_box "Zanvo" "$main" "$main" "the About box"

# 6. Keyboard only through a list of 20 boards, three a row: the ends of the list,
# arrows across boards and a page keep the focus in cells, and typing lands there.
e2e_focus "$main"
for _ in $(seq 20); do e2e_keys ctrl+e; done
e2e_keys Tab ctrl+End
e2e_type "77"                 # Brett 20, number 1
e2e_keys Up
e2e_type "5"                  # Brett 17, number 21: the board above, same column
e2e_keys ctrl+Home
e2e_type "11"                 # Brett 1, number 1
e2e_keys Right
e2e_type "22"                 # Brett 1, number 2
e2e_keys Next
e2e_type "33"                 # two whole rows on: Brett 7, number 2
e2e_keys alt+f s
e2e_file_dialog "Save file" "$E2E_TMP/keys.dat"
# The number of cell $2 of board $1 in the saved file.
number() { od -An -t d4 -j $((4 + ($1 - 1) * 204 + 4 + $2 * 8)) -N 4 "$E2E_TMP/keys.dat" | tr -d ' '; }
e2e_wait 50 "the list was not saved" test -s "$E2E_TMP/keys.dat"
got="$(number 20 0) $(number 17 20) $(number 1 0) $(number 1 1) $(number 7 1)"
[ "$got" = "77 5 11 22 33" ] || e2e_fail "keyboard pass stored $got"

# 7. Exit; nothing under HOME, no settings left in the temporary folder.
e2e_exit_zanvo "$main"
left=$(find "$home" "$tmp" -mindepth 1 | head -n 5)
[ -z "$left" ] || e2e_fail "left behind: $left"
echo "1 passed, 0 failed"
