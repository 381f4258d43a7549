#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SIGTERM, SIGINT and SIGHUP end the real zanvo as "Exit" does, whatever is open:
# no question holds it up, it ends by that signal, and nothing of its own is left
# in its TMPDIR (it keeps a folder there while it runs).
# Usage: e2e_signals.sh path/to/zanvo
set -uo pipefail
ZANVO=$(realpath "$1")
. "$(dirname "$0")/lib.sh"
trap e2e_cleanup EXIT
# A script's background jobs would start with SIGINT ignored, and keep it so.
set -m

e2e_start_x
tmp="$E2E_TMP/tmp"
mkdir -p "$tmp" "$E2E_TMP/run"; chmod 700 "$E2E_TMP/run"

for sig in TERM INT HUP; do
    TMPDIR="$tmp" e2e_start_zanvo
    e2e_window "Zanvo"; main=$E2E_WIN
    e2e_wait 50 "no folder of zanvo's in TMPDIR" eval 'compgen -G "$tmp/zanvo-settings-*" >/dev/null'
    e2e_focus "$main"
    e2e_keys ctrl+e ctrl+r
    case $sig in
        TERM) e2e_keys alt+f s; e2e_window "Save file" ;;
        INT) e2e_keys ctrl+c; e2e_window "Select numbers to check" ;;
        HUP) e2e_keys ctrl+c; e2e_window "Select numbers to check"; e2e_focus "$E2E_WIN"
             e2e_keys alt+a; e2e_window "Adding" ;;
    esac
    kill -s "$sig" "$ZANVO_PID"
    e2e_wait 50 "zanvo still running after SIG$sig" eval '! kill -0 "$ZANVO_PID" 2>/dev/null'
    wait "$ZANVO_PID" 2>/dev/null; status=$?
    ZANVO_PID=""
    [ $status = $((128 + $(kill -l "$sig"))) ] || e2e_fail "SIG$sig: exit status $status"
    left=$(find "$tmp" -mindepth 1 | head -n 5)
    [ -z "$left" ] || e2e_fail "SIG$sig left behind: $left"
done
echo "1 passed, 0 failed"
