#!/usr/bin/env bash
# Harbor's plain pages on a virtual X display: a content folder that cannot be used shows its
# problem on a page (not a blank window) and exits 2 once the page is clicked; harbor's own page
# viewer shows a parents' page, scrolls it, and ends on Escape, and draws a page's pictures.
#   plain_page_test.sh HARBOR MODULE CONTENT
# Exit 0 when everything held, 1 when something did not, 77 when Xvfb or xdotool is missing.
set -uo pipefail
harbor=$1 module=$2 content=$3
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
xvfb_pid="" pid=""
cleanup() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid"; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL $*"; tail -5 "$work/err" 2>/dev/null; exit 1; }
within() {  # SECONDS COMMAND...: polls until the command succeeds
  local tries=$(($1 * 10)); shift
  until "$@"; do tries=$((tries - 1)); [ "$tries" -gt 0 ] || return 1; sleep 0.1; done
}
exited() { ! kill -0 "$pid" 2>/dev/null; }

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
within 20 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")" SDL_AUDIODRIVER=dummy SDL_RENDER_DRIVER=software TMPDIR="$work"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
# These runs end from inside the toolkit (exit 2 from the error page): X, D-Bus and Pango keep
# their caches to the end, which a sanitizer build's leak check would report as ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

# picture NAME MIN_INK [MIN_ART]: writes the window's picture and checks how much of it is
# text-dark ink on the page's cream paper (a blank window has none), and how much is green, which
# only the art's drawn hills bring (the page's own colours are cream, red, blue and dark). A window
# just mapped on a busy machine may not have painted yet, so a bare picture is taken again.
picture() {
  local try
  for try in 1 2 3 4 5; do
    kill -USR1 "$pid"
    within 20 grep -q "window picture written" "$work/err" || fail "no picture of $1"
    if python3 - "$work/harbor-window-$pid.png" "$2" "$1" "${3:-0}" <<'PY'; then break; fi
import os, sys
sys.path.insert(0, os.environ["HERE"])
from window_check import read_png
width, height, rows = read_png(sys.argv[1])
ink = sum(1 for row in rows for (r, g, b) in row if r + g + b < 300)
art = sum(1 for row in rows for (r, g, b) in row if g > r + 40 and g > b + 40)
paper = rows[height // 2][width - 3]
print(f"{sys.argv[3]}: {ink} ink pixels, {art} art pixels, paper {paper}")
sys.exit(0 if ink >= int(sys.argv[2]) and art >= int(sys.argv[4]) and paper[0] > 240 and paper[2] < 230 else 1)
PY
    [ "$try" -lt 5 ] || fail "the picture of $1 is not a page"
    : >"$work/err"; sleep 1
  done
  if [ -n "${PAGE_TEST_KEEP:-}" ]; then cp "$work/harbor-window-$pid.png" "$PAGE_TEST_KEEP/$pid.png"; fi
  rm -f "$work/harbor-window-$pid.png"; : >"$work/err"
}
export HERE="$here"

"$harbor" --module "$module" --content "$work/nonexistent" --data "$work/data" >"$work/out" 2>"$work/err" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Wrenmail cannot start$' | head -n1) || fail "no error page"
grep -q "the content folder $work/nonexistent does not exist" "$work/err" || fail "the problem is not on standard error"
picture "the error page" 500
xdotool mousemove --window "$window" 320 240 click 1
within 20 exited || fail "the error page did not close on a click"
wait "$pid"; status=$?; pid=""
[ "$status" -eq 2 ] || fail "harbor exited $status, expected 2"
[ ! -e "$work/data" ] || fail "the data folder was made"
echo "ok   an unusable content folder shows its problem on a page and exits 2"

"$harbor" page "$content/pages/parents.html" >"$work/out" 2>"$work/err" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^For parents$' | head -n1) || fail "no page window"
picture "the parents' page" 3000
xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key Next
xdotool key Escape
within 20 exited || fail "the page viewer did not end on Escape"
wait "$pid"; status=$?; pid=""
[ "$status" -eq 0 ] || fail "the page viewer exited $status"
echo "ok   harbor's page viewer shows the parents' page and ends on Escape"

"$harbor" page "$content/pages/signup.html" >"$work/out" 2>"$work/err" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Getting a kite ID$' | head -n1) || fail "no page window"
picture "the sign-up page with its pictures" 3000 2000
xdotool windowfocus --sync "$window" 2>/dev/null; xdotool key Escape
within 20 exited || fail "the page viewer did not end on Escape"
wait "$pid"; pid=""
echo "ok   harbor's page viewer draws the pictures of the sign-up page"
