#!/usr/bin/env bash
# The board view under a window manager with real X input: a wheel turned over a
# focused cell must not leave the caret in another board, and Ctrl+End from a cell
# reaches the last board. Checked through the saved file.
# Usage: e2e_board_view.sh path/to/zanvo
set -uo pipefail
ZANVO=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
trap e2e_cleanup EXIT

command -v openbox >/dev/null || { echo "SKIP: openbox missing"; exit 0; }
e2e_start_x
openbox >/dev/null 2>&1 &
sleep 1
e2e_start_zanvo
e2e_window "Zanvo"; main=$E2E_WIN
e2e_focus "$main"

# Twelve empty boards: nine in view. A click in cell 0 of Brett 2, then the wheel:
# Brett 2 leaves the view, and what is typed next must go nowhere.
for _ in 1 2 3 4 5 6 7 8 9 10 11 12; do e2e_keys ctrl+e; done
e2e_click "$main" 217 96
timeout 5 xdotool click 5 || e2e_fail "wheel"
sleep 0.5
e2e_type "9"
# Ctrl+End from the view, Tab to the first cell shown, PageUp from there, and
# back down: the first cell of the last row's first board takes "7".
e2e_keys ctrl+End
e2e_keys Tab
e2e_keys Page_Up ctrl+End
e2e_type "7"

out="$E2E_TMP/view.dat"
e2e_keys alt+f s
e2e_file_dialog "Save file" "$out"
n=0; while [ ! -s "$out" ]; do n=$((n + 1)); [ $n -gt 50 ] && e2e_fail "nothing saved"; sleep 0.1; done
mapfile -t v < <(od -An -v -t d4 "$out" | tr -s ' \n' '\n' | sed '/^$/d')
[ "${v[0]}" = 12 ] || e2e_fail "board count ${v[0]}, expected 12"
# Each board: NumberCount 24, then 25 (number, colour) pairs.
for board in $(seq 1 12); do
    first=${v[$((1 + (board - 1) * 51 + 1))]}
    want=0
    [ "$board" = 4 ] && want=7 # the last position shows boards 4..12
    [ "$first" = "$want" ] || e2e_fail "board $board starts with $first, expected $want"
    for ((k = 1; k < 25; k++)); do
        x=${v[$((1 + (board - 1) * 51 + 1 + 2 * k))]}
        [ "$x" = 0 ] || e2e_fail "board $board number $k is $x"
    done
done
echo "end-to-end board view: passed"
echo "1 passed, 0 failed"
