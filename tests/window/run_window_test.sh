#!/usr/bin/env bash
# The window on a virtual X display, driven by real X input events, on the embedded post office
# with one account: skip the opening and the splash, type the kite ID and a wrong password, read
# the refusal off the screen, correct the password, sign in and reach the mailbox, then close the
# window with Alt+F4 and check harbor ends cleanly. Pictures of the window are checked on the way.
#
#   run_window_test.sh HARBOR MODULE CONTENT
#
# Exit 0 when everything held, 1 when something did not, 77 (skipped) when Xvfb or xdotool is
# missing. The window is resized first, so every click goes through the letterbox. Set
# WINDOW_TEST_KEEP=DIR to keep the pictures and harbor's output.
set -euo pipefail

harbor=$1
module=$2
content=$3
here=$(cd "$(dirname "$0")" && pwd)
check="$here/window_check.py"

for tool in Xvfb xdotool; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=""
harbor_pid=""
cleanup() {
  # WINDOW_TEST_KEEP=DIR keeps the pictures and harbor's output for a look afterwards.
  if [ -n "${WINDOW_TEST_KEEP:-}" ]; then mkdir -p "$WINDOW_TEST_KEEP" && cp "$work"/*.png "$work"/harbor.* "$WINDOW_TEST_KEEP"/ 2>/dev/null || true; fi
  if [ -n "$harbor_pid" ] && kill -0 "$harbor_pid" 2>/dev/null; then kill -KILL "$harbor_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL $*"
  echo "--- harbor's standard error (last 40 lines) ---"
  grep -av 'TimerPort' "$work/harbor.err" 2>/dev/null | tail -40 || true
  exit 1
}

# Polls until a command succeeds, for at most $1 seconds.
within() {
  local seconds=$1
  shift
  local tries=$((seconds * 10))
  until "$@"; do
    tries=$((tries - 1))
    [ "$tries" -gt 0 ] || return 1
    sleep 0.1
  done
}

traced() { grep -aqF -- "$1" "$work/harbor.err"; }
traced_times() { [ "$(grep -acF -- "$1" "$work/harbor.err")" -ge "$2" ]; }
await() { within 20 traced "$1" || fail "harbor never traced: $1"; }

# Xvfb picks a free display itself and names it on the descriptor given.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
xvfb_pid=$!
within 20 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.err")"
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy
# Xvfb has no GPU: SDL's OpenGL renderer would run on Mesa's software rasteriser, whose JIT is
# slow to start and whose driver, unloaded at exit, leaves allocations behind that LeakSanitizer
# cannot attribute. SDL's own software renderer blits the same texture the same way.
export SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0
echo "display $DISPLAY"

printf 'secret\n' | "$harbor" account add ann_01 --data "$work/data" >/dev/null || fail "cannot add the account"

started=$(date +%s)
TMPDIR="$work" "$harbor" --module "$module" --content "$content" --data "$work/data" --trace \
  >"$work/harbor.out" 2>"$work/harbor.err" &
harbor_pid=$!
snapshot="$work/harbor-window-$harbor_pid.png"

window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Wrenmail$' | head -n1) || fail "no window appeared"
[ -n "$window" ] || fail "no window appeared"
echo "window $window"

await "send    ScCsSignIn         30013 SPRITENAME=AniCsOpening"
# Wider than 4:3, so the stage sits between bars and every click is mapped back through them.
xdotool windowsize --sync "$window" 800 500
await "note    window             size 800x500"
read -r width height < <(xdotool getwindowgeometry --shell "$window" | awk -F= '/WIDTH|HEIGHT/ {print $2}' | paste -sd' ')
echo "window size ${width}x${height}"

click() {  # SPRITE: a real click at the sprite's centre
  local x y
  read -r x y < <(python3 "$check" point "$content" ScCsSignIn "$1" "$width" "$height")
  xdotool mousemove --window "$window" "$x" "$y" click 1
}

take_picture() {  # N: the Nth picture of this run, copied to $work/$2
  kill -USR1 "$harbor_pid"
  within 20 traced_times "window picture written to $snapshot" "$1" || fail "no picture written"
  cp "$snapshot" "$work/$2"
}

click AniCsOpening
await "send    ScCsSignIn         30013 SPRITENAME=AniCsSplash"
click AniCsSplash
await "send    ScCsSignIn         30013 SPRITENAME=EdtCsName"

click EdtCsName
await "deliver OrbitSignInPort    30036 NAME=EdtCsName"
xdotool windowfocus --sync "$window"
xdotool type --delay 30 "ann_01"
xdotool key Tab
await "deliver OrbitSignInPort    30033 NAME=EdtCsName KEY=TAB"
xdotool type --delay 30 "wrong"
take_picture 1 typed.png
python3 "$check" signin "$work/typed.png" "$content" || fail "the sign-in fields do not show what was typed"

xdotool key Return
await "deliver OrbitSignInPort    30033 NAME=EdtCsPassword KEY=ENTER"
await 'TxtCoDialog TEXT="Error validating account.'
await "send    ScCsSignIn         30013 SPRITENAME=BtnCoOk"
take_picture 2 refused.png
python3 "$check" dialog "$work/refused.png" "$work/typed.png" "$content" || fail "the refusal is not on screen as it should be"

click BtnCoOk
await "deliver OrbitSignInPort    30035 NAME=BtnCoOk"
click EdtCsPassword
await "deliver OrbitSignInPort    30036 NAME=EdtCsPassword"
xdotool key --delay 30 BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 30 "secret"
xdotool key Return
await "deliver AppPort            30013 NAME=ScWnMain"
# The mailbox's first start runs Get/Send; its notices are gone once the mail is in.
await "deliver WrenmailMainPort   aOnMailDownloaded"
take_picture 3 mailbox.png
python3 "$check" mailbox "$work/mailbox.png" "$content" || fail "the mailbox is not on screen as it should be"

# The pointer over a button, no button held: the module is told, and the button shows its hover look.
read -r x y < <(python3 "$check" point "$content" ScWnMain BtnWnHelp "$width" "$height")
xdotool mousemove --window "$window" "$x" "$y"
await "30044 NAME=BtnWnHelp FX=Roll"
echo "ok   the pointer over a button gives it its hover look"

xdotool key alt+F4
within 10 bash -c "! kill -0 $harbor_pid 2>/dev/null" || fail "harbor did not end within 10 s of Alt+F4"
status=0
wait "$harbor_pid" || status=$?
harbor_pid=""
[ "$status" -eq 0 ] || fail "harbor exited with status $status"
traced "the application ends: the module confirmed the close request" || fail "the module did not confirm the close request"
echo "ok   harbor closed with status 0 after the module confirmed ($(($(date +%s) - started)) s in all)"
