#!/usr/bin/env bash
# Without a display harbor says so in one line, points at --headless and exits 2.
#   no_display_test.sh HARBOR MODULE CONTENT
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "$1" --module "$2" --content "$3" --data "$work/data" \
  >"$work/out" 2>"$work/err"
status=$?
expected="harbor: no display found (DISPLAY is not set); run with --headless for the demo or --script FILE"
if [ "$status" -ne 2 ]; then echo "FAIL exit status $status, expected 2"; cat "$work/err"; exit 1; fi
if [ "$(cat "$work/err")" != "$expected" ]; then echo "FAIL standard error was:"; cat "$work/err"; exit 1; fi
if [ -s "$work/out" ]; then echo "FAIL standard output was not empty:"; cat "$work/out"; exit 1; fi
echo "ok   $expected"
