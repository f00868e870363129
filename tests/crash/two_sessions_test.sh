#!/usr/bin/env bash
# Two harbor sessions started together on one data root lose nothing: ann_01 and cat_03 send 8
# letters each to bob_02 at the same moment. The second waits for the first (one harbor per data
# root) or is refused with status 3 and keeps its letters; bob_02 then fetches. Every letter is in
# bob_02's InBox once, or still in its sender's OutBox when that session was refused.
#   two_sessions_test.sh HARBOR MODULE CONTENT WORK
set -u
harbor=$1 module=$2 content=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
put_message="$here/../e2e/put_message.py"
data="$work/root"
rm -rf "$work"
mkdir -p "$data"
export HARBOR_PASSWORD_COST=fast
for account in ann_01:apple cat_03:plum bob_02:pear; do
  printf '%s\n' "${account#*:}" | "$harbor" account add "${account%%:*}" --data "$data" >/dev/null || exit 1
done
for sender in ann_01 cat_03; do
  for n in $(seq 1 8); do
    printf 'From: %s@wrenmail.local\nTo: bob_02@wrenmail.local\nSubject: twotest-%s-%s\n\nhello\n' "$sender" "$sender" "$n" |
      python3 "$put_message" "$data" kite "$sender" OutBox "$n"
  done
done
session() {  # KITE PASSWORD PLAYER
  printf 'start player=%s kite=%s password=%s\nclick BtnCsEnter\nwait 4000\nstop\n' "$3" "$1" "$2" >"$work/$1.harbor"
  "$harbor" --headless --script "$work/$1.harbor" --module "$module" --content "$content" --data "$data" \
    >"$work/$1.out" 2>"$work/$1.err"
}
session ann_01 apple p7 & ann=$!
session cat_03 plum p9 & cat=$!
wait $ann; ann_status=$?
wait $cat; cat_status=$?
for status in $ann_status $cat_status; do
  if [ "$status" != 0 ] && [ "$status" != 3 ]; then
    echo "a session ended with status $status:" >&2
    cat "$work"/*.err >&2
    exit 1
  fi
done
if [ "$ann_status" = 3 ] && [ "$cat_status" = 3 ]; then
  echo "both sessions were refused" >&2
  exit 1
fi
session bob_02 pear p8 || { cat "$work/bob_02.err" >&2; exit 1; }

tags() { find "$@" -name 'WN*.wnl' -exec grep -aoh -m1 -E 'twotest-[a-z]+_[0-9]+-[0-9]+' {} + 2>/dev/null; }
inbox="$data/MailBoxes/kiteAccounts/bob_02/InBox"
left=""
[ "$ann_status" = 3 ] && left="$left $data/MailBoxes/kiteAccounts/ann_01/OutBox"
[ "$cat_status" = 3 ] && left="$left $data/MailBoxes/kiteAccounts/cat_03/OutBox"
# shellcheck disable=SC2086 # the folders are words on purpose
all=$(tags "$inbox" $left | sort)
found=$(printf '%s\n' "$all" | grep -c . || true)
distinct=$(printf '%s\n' "$all" | sort -u | grep -c . || true)
if [ "$distinct" != 16 ] || [ "$found" != 16 ]; then
  echo "expected the 16 letters once each, found $found ($distinct different); statuses $ann_status $cat_status" >&2
  exit 1
fi
if [ "$ann_status" = 3 ] || [ "$cat_status" = 3 ]; then
  grep -h "in use by another harbor (pid" "$work"/*.err >/dev/null || { echo "the refusal names no pid" >&2; exit 1; }
fi
echo "16 letters, none lost (session statuses $ann_status and $cat_status)"
