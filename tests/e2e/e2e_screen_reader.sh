#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The board view as a screen reader meets it, over AT-SPI on a private session bus:
# each board a group named by its caption holding its cells (editable text with the
# number as text) and "X"; the focus moving from cell to cell is announced. Every
# text field answers what a screen reader asks on Ctrl+Right, and the program goes on.
# Usage: e2e_screen_reader.sh path/to/zanvo   (on the private session bus of lib.sh)
set -uo pipefail
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is not installed: skipped"; exit 77; }
ZANVO=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
trap e2e_cleanup EXIT
reader() { timeout 30 /usr/bin/python3 "$here/screen_reader.py" "$@"; }

e2e_start_x
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_start_zanvo
e2e_window "Zanvo"; main=$E2E_WIN
e2e_focus "$main"
e2e_keys ctrl+e ctrl+e

tree=$(reader walk) || e2e_fail "no board on the accessibility bus: $tree"
grep -qx "group [a-z]* Brett 1 26" <<<"$tree" || e2e_fail "no group named Brett 1 with 26 children: $tree"
grep -qx "child text Brett 1, number 7 of 25 | 00" <<<"$tree" || e2e_fail "cell 7 not readable: $tree"
[ "$(grep -c '^child text Brett 1, number' <<<"$tree")" = 25 ] || e2e_fail "not 25 cells: $tree"
grep -qx "child push button Delete Brett 1 | " <<<"$tree" || e2e_fail "no X: $tree"

# Typing into a cell, then Tab: the reader follows the focus and reads the numbers.
e2e_click "$main" 34 86
e2e_keys ctrl+a
e2e_type "42"
got=$(reader focused)
grep -qx "focused text Brett 1, number 1 of 25 | 42" <<<"$got" || e2e_fail "focus on cell 1 not seen: $got"
e2e_keys Tab
got=$(reader focused)
grep -qx "focused text Brett 1, number 2 of 25 | 00" <<<"$got" || e2e_fail "focus on cell 2 not seen: $got"
# The piece of text at, before and after each offset: a painted cell, the cell being
# edited, the Add box and Save as's name field answer every such question within a second.
questions() { echo "answered $((3 * 7 * (${#1} + 1))) questions about $1"; }
got=$(reader ask 6) || e2e_fail "a painted cell does not answer: $got"
grep -qx "$(questions 00)" <<<"$got" || e2e_fail "a painted cell: $got"
got=$(reader ask) || e2e_fail "the cell being edited does not answer: $got"
grep -qx "$(questions 00)" <<<"$got" || e2e_fail "the cell being edited: $got"
# Every move is a focus event for an object of the new cell's own, a child of its
# board's group, with no text or selection events for text nobody typed.
got=$(reader moves Tab Down ctrl+End ctrl+Home) || e2e_fail "moves: $got"
for line in "Tab -> Brett 1, number 3 of 25 | 00 | in Brett 1 | text events: 0" \
            "Down -> Brett 1, number 8 of 25 | 00 | in Brett 1 | text events: 0" \
            "ctrl+End -> Brett 2, number 1 of 25 | 00 | in Brett 2 | text events: 0" \
            "ctrl+Home -> Brett 1, number 1 of 25 | 42 | in Brett 1 | text events: 0"; do
    grep -qxF "$line" <<<"$got" || e2e_fail "not heard: $line, but: $got"
done
e2e_keys ctrl+c
e2e_window "Select numbers to check"; check=$E2E_WIN
e2e_focus "$check"
e2e_keys alt+a
e2e_window "Adding"; e2e_focus "$E2E_WIN"
e2e_type "27"
got=$(reader ask) || e2e_fail "the Add box does not answer: $got"
grep -qx "$(questions 27)" <<<"$got" || e2e_fail "the Add box: $got"
e2e_keys Return
e2e_window_gone "Adding"
e2e_focus "$check"
e2e_keys alt+c
e2e_window_gone "Select numbers to check"

# After the questions the program still adds a board and saves.
e2e_focus "$main"
e2e_keys ctrl+e alt+f s
e2e_window "Save file"; e2e_focus "$E2E_WIN"
saved="$E2E_TMP/boards27"
e2e_keys ctrl+a
e2e_type "$saved"
got=$(reader ask) || e2e_fail "Save as's name field does not answer: $got"
grep -qx "$(questions "$saved")" <<<"$got" || e2e_fail "Save as's name field: $got"
e2e_keys Return
e2e_window_gone "Save file"
e2e_wait 50 "nothing saved" test -s "$saved"
# Three boards: a count, then per board its last index and 25 number and colour pairs.
[ "$(stat -c %s "$saved")" = $((4 + 3 * (4 + 25 * 8))) ] || e2e_fail "saved $(stat -c %s "$saved") bytes"
[ "$(od -An -t d4 -N 4 "$saved" | tr -d ' ')" = 3 ] || e2e_fail "not three boards saved"
e2e_exit_zanvo "$main"
echo "screen reader: boards, cells, the focus and every text field read as expected"
