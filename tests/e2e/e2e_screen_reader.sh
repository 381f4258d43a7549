#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The board view as a screen reader meets it, over AT-SPI on a private session bus:
# each board a group named by its caption holding its cells (editable text with the
# number as text) and "X"; the focus moving from cell to cell is announced.
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
e2e_exit_zanvo "$main"
echo "screen reader: boards, cells and the focus read as expected"
