#!/usr/bin/env bash
# Without a display zanvo says so in one line and exits non-zero.
set -uo pipefail
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1 >/dev/null); status=$?
[ $status -ne 0 ] || { echo "FAIL: exit status 0 without a display"; exit 1; }
lines=$(printf '%s\n' "$err" | wc -l)
[ "$lines" = 1 ] || { echo "FAIL: $lines lines on stderr:"; echo "$err"; exit 1; }
case "$err" in zanvo:*display*) ;; *) echo "FAIL: unclear message: $err"; exit 1 ;; esac
err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711 "$1" 2>&1 >/dev/null); status=$?
[ $status -ne 0 ] && [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || { echo "FAIL: unreachable display: $err"; exit 1; }
echo "1 passed, 0 failed"
