#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real zanvo binary in a real X window with xdotool only: add boards,
# type numbers, check a draw, save, clear, open, save again, exit.
# Usage: e2e_zanvo.sh path/to/zanvo
set -uo pipefail
ZANVO=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
trap e2e_cleanup EXIT

started=$(date +%s)
e2e_start_x
e2e_start_zanvo
e2e_window "Zanvo"; main=$E2E_WIN
e2e_focus "$main"

# 1. Two empty boards and a random one, then numbers typed into board 1.
e2e_keys ctrl+e ctrl+e ctrl+r
# Cell 0 of board 1 lies 26..54 px right and 58..86 px below the menu bar.
e2e_click "$main" 40 96
e2e_keys ctrl+a
e2e_type "7"
e2e_keys Tab
e2e_type "12"
e2e_keys Tab
e2e_type "33"
e2e_keys Tab
e2e_type "12"

# 2. Ctrl+C with the focus still in a cell opens the check dialog.
e2e_keys ctrl+c
e2e_window "Select numbers to check"; check=$E2E_WIN
e2e_add_drawn "$check" 12
e2e_add_drawn "$check" 33
e2e_add_drawn "$check" 0
# The same number again: the "Collision" box, answered with Enter.
e2e_focus "$check"
e2e_keys alt+a
e2e_window "Adding"; box=$E2E_WIN
e2e_focus "$box"
e2e_type "12"
e2e_keys Return
e2e_window "Collision"; collision=$E2E_WIN
e2e_focus "$collision"
e2e_keys Return
e2e_window_gone "Collision"
e2e_focus "$check"
e2e_keys alt+c
e2e_window_gone "Select numbers to check"

# 3. Save with the menu's access keys.
first="$E2E_TMP/first.dat"
e2e_focus "$main"
e2e_keys alt+f s
e2e_file_dialog "Save file" "$first"
e2e_wait 50 "nothing saved" test -s "$first"

# 4. Read the file with a reader of its own: little-endian 32-bit values.
mapfile -t v < <(od -An -v -t d4 "$first" | tr -s ' \n' '\n' | sed '/^$/d')
[ "${v[0]}" = 3 ] || e2e_fail "board count ${v[0]}, expected 3"
drawn=(12 33 0)
pos=1
for board in 1 2 3; do
    last=${v[$pos]}
    [ "$last" = 24 ] || e2e_fail "board $board has NumberCount $last"
    nums=(); cols=()
    for ((i = 0; i <= last; i++)); do
        nums+=("${v[$((pos + 1 + 2 * i))]}")
        cols+=("${v[$((pos + 2 + 2 * i))]}")
    done
    pos=$((pos + 1 + 2 * (last + 1)))
    case $board in
        1) expected="7 12 33 12 $(printf '0 %.0s' {1..21})" ;;
        2) expected="$(printf '0 %.0s' {1..25})" ;;
        3) expected="" ;;
    esac
    if [ -n "$expected" ]; then
        [ "${nums[*]} " = "$expected" ] || e2e_fail "board $board holds ${nums[*]}"
    else
        distinct=$(printf '%s\n' "${nums[@]}" | sort -u | wc -l)
        [ "$distinct" = 25 ] || e2e_fail "random board has $distinct distinct numbers"
        for x in "${nums[@]}"; do
            [ "$x" -ge 0 ] && [ "$x" -le 99 ] || e2e_fail "random number $x out of 0..99"
        done
    fi
    # Green exactly on the first cell holding each drawn number, white elsewhere.
    for ((i = 0; i <= last; i++)); do
        want=16777215
        for d in "${drawn[@]}"; do
            for ((j = 0; j <= last; j++)); do
                if [ "${nums[$j]}" = "$d" ]; then
                    [ $j = $i ] && want=65280
                    break
                fi
            done
        done
        [ "${cols[$i]}" = "$want" ] || e2e_fail "board $board cell $i colour ${cols[$i]}, expected $want"
    done
done

# 5. Clear all, open the file again and save it under a second name.
e2e_focus "$main"
e2e_keys alt+b Up Return
e2e_keys alt+f o
e2e_file_dialog "Open file" "$first"
second="$E2E_TMP/second.dat"
e2e_focus "$main"
e2e_keys alt+f s
e2e_file_dialog "Save file" "$second"
e2e_wait 50 "second save missing" test -s "$second"
cmp "$first" "$second" || e2e_fail "the file saved after opening differs"

# 6. Exit through the menu; the process ends with status 0.
e2e_exit_zanvo "$main"
echo "end-to-end: passed in $(( $(date +%s) - started )) s"
echo "1 passed, 0 failed"
