#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Without a display zanvo says so in one line and exits non-zero.
set -uo pipefail
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$1" 2>&1 >/dev/null); status=$?
[ $status -ne 0 ] || { echo "FAIL: exit status 0 without a display"; exit 1; }
lines=$(printf '%s\n' "$err" | wc -l)
[ "$lines" = 1 ] || { echo "FAIL: $lines lines on stderr:"; echo "$err"; exit 1; }
case "$err" in zanvo:*display*) ;; *) echo "FAIL: unclear message: $err"; exit 1 ;; esac
err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:4711 "$1" 2>&1 >/dev/null); status=$?
[ $status -ne 0 ] && [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || { echo "FAIL: unreachable display: $err"; exit 1; }
# A server reached only through its abstract socket, with no socket file to be
# seen (as in a container that shares the network but not /tmp), is a display.
# Without -noreset the server starts over when its last client leaves, so a trial
# connection closed before Qt connects would make Qt fail.
if command -v Xvfb >/dev/null; then
    fifo=$(mktemp -u); mkfifo "$fifo"; exec 7<>"$fifo"; rm -f "$fifo"
    Xvfb -displayfd 7 -nolisten tcp -nolisten unix -screen 0 640x480x24 >/dev/null 2>&1 & xvfb=$!
    read -r -t 10 n <&7 || { kill $xvfb; echo "FAIL: Xvfb did not start"; exit 1; }
    home=$(mktemp -d)
    err=$(env -u WAYLAND_DISPLAY HOME="$home" XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=xcb DISPLAY=":$n" \
        timeout 3 "$1" 2>&1 >/dev/null); status=$?
    kill $xvfb; wait $xvfb 2>/dev/null; rm -rf "$home"
    [ $status = 124 ] || { echo "FAIL: display :$n without a socket file refused ($status): $err"; exit 1; }
fi
echo "1 passed, 0 failed"
