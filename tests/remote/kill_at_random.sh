#!/bin/bash
# Harbor, run headless on the real module against the loopback servers, is killed (SIGKILL, its
# own child, by pid) at a random moment while it fetches FETCH letters, and again while it sends
# SEND letters from an OutBox; a second run finishes the work. Then every letter must be stored
# (fetch) or delivered (send) exactly once. Prints one line per trial and the totals; exit 1 when
# a letter was lost or came twice.
#   kill_at_random.sh HARBOR MODULE CONTENT WORK [TRIALS [FETCH [SEND]]]
set -eu
harbor=$1 module=$2 content=$3 work=$4 trials=${5:-20} fetch=${6:-200} send=${7:-50}
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work/bin"
# Copies, so that a rebuild during a long run does not pull the program away under it.
cp "$harbor" "$work/bin/harbor"
cp "$module" "$work/bin/$(basename "$module")"
harbor="$work/bin/harbor" module="$work/bin/$(basename "$module")"
MAILSERVERS_USERS=$(for t in $(seq 0 "$trials"); do printf 'kid_%s:kite\nsnd_%s:kite\nrcv_%s:kite\n' "$t" "$t" "$t"; done)
export MAILSERVERS_USERS
. "$here/servers.sh"
start_servers "$work"

# Letters straight into a server mailbox, as files Dovecot numbers at its next scan.
load_mailbox() {  # USER COUNT TAG
  local box="$MAIL_DIR/mail/$1/Maildir" owner i
  owner=$(stat -c %u:%g "$MAIL_DIR/mail")
  mkdir -p "$box/new" "$box/cur" "$box/tmp"
  for i in $(seq "$2"); do
    printf 'From: rose@example.org\nTo: %s@example.test\nSubject: %s %s\nDate: Sat, 05 Dec 2026 10:00:00 +0000\nMessage-ID: <%s-%s@example.test>\n\nletter %s\n' \
      "$1" "$3" "$i" "$3" "$i" "$i" >"$box/new/17000$i.$3"
  done
  chown -R "$owner" "$MAIL_DIR/mail/$1"
}

session() {  # DATA KITE -> a session that signs in, lets Get/Send run, and stops
  printf 'start player=p7 kite=%s password=kite\nclick BtnCsEnter\nwait 600\nstop\n' "$2" >"$1/session.harbor"
}

run() {  # DATA [KILL_AFTER_SECONDS]
  "$harbor" --trace --headless --script "$1/session.harbor" --module "$module" --content "$content" --data "$1" \
    >"$1/trace.log" 2>&1 &
  local pid=$!
  if [ -n "${2:-}" ]; then
    sleep "$2"
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
  grep -a ' note \|problem' "$1/trace.log" >>"$1/harbor.log" || true  # the services' notes
  rm -f "$1/trace.log"
}

# Subjects of the letters the module stored in a kite account's InBox, one a line.
stored_subjects() {  # DATA KITE
  local f
  for f in "$1/MailBoxes/kiteAccounts/$2/InBox"/*.wnl; do
    [ -e "$f" ] || continue
    "$harbor" dict-dump "$f"
  done | python3 -c '
import email, json, sys
for line in sys.stdin:
    if line.startswith("\"Message\" Text "):
        print(email.message_from_string(json.loads(line[len("\"Message\" Text "):]))["Subject"])'
}

# "lost N twice M" for the subjects TAG 1..COUNT in the list on stdin.
tally() {  # TAG COUNT
  sort | uniq -c | awk -v tag="$1" -v n="$2" '
    { c = $1; $1 = ""; sub(/^ /, ""); seen[$0] = c }
    END { lost = 0; twice = 0
          for (i = 1; i <= n; i++) { k = tag " " i; if (!(k in seen)) lost++; else if (seen[k] > 1) twice++ }
          print "lost " lost " twice " twice }'
}

# How long an undisturbed run takes, so that kills land inside the work.
load_mailbox kid_0 "$fetch" probe
probe="$work/probe"
remote_root "$probe" "$harbor"
session "$probe" kid_0
start=$(date +%s%N)
run "$probe"
span=$(( ($(date +%s%N) - start) / 1000000 ))
echo "an undisturbed fetch of $fetch: $span ms"

bad=0 total_fetch_twice=0 total_send_twice=0
for t in $(seq "$trials"); do
  kill_at=$(python3 -c "import random; print(round(random.uniform(0.05, $span / 1000.0), 3))")
  # fetch
  load_mailbox "kid_$t" "$fetch" "fetch$t"
  data="$work/fetch$t"
  remote_root "$data" "$harbor"
  session "$data" "kid_$t"
  run "$data" "$kill_at"
  before=$(stored_subjects "$data" "kid_$t" | wc -l)
  run "$data"
  run "$data"
  fetched=$(stored_subjects "$data" "kid_$t" | tally "fetch$t" "$fetch")
  # send
  data="$work/send$t"
  remote_root "$data" "$harbor"
  for i in $(seq "$send"); do
    printf 'From: snd_%s@example.test\nTo: rcv_%s@example.test\nSubject: send%s %s\n\nletter %s\n' "$t" "$t" "$t" "$i" "$i" |
      python3 "$here/../e2e/put_message.py" "$data" kite "snd_$t" OutBox "$i"
  done
  session "$data" "snd_$t"
  run "$data" "$kill_at"
  spooled=$(ls "$data/.remote/spool" 2>/dev/null | wc -l)
  run "$data"
  # A letter whose sending failed for now waits for its retry or the next sign-in: one more run.
  [ -z "$(ls "$data/.remote/spool")" ] || run "$data"
  left=$(ls "$data/.remote/spool" | wc -l)
  # The server may hold a letter twice (taken by it just before the kill, sent again after);
  # the receiving child's Wrenmail must store it once.
  on_server=$(cat "$MAIL_DIR/mail/rcv_$t/Maildir/new"/* "$MAIL_DIR/mail/rcv_$t/Maildir/cur"/* 2>/dev/null |
    sed -n 's/^Subject: //p' | tally "send$t" "$send")
  data="$work/receive$t"
  remote_root "$data" "$harbor"
  session "$data" "rcv_$t"
  run "$data"
  sent=$(stored_subjects "$data" "rcv_$t" | tally "send$t" "$send")
  echo "trial $t: killed after ${kill_at}s; fetch: $before stored before the kill, $fetched;" \
    "send: $spooled spooled at the kill, $left left, on the server $on_server, stored by the receiver $sent"
  case "$fetched $sent $left" in
    "lost 0 twice 0 lost 0 twice 0 0") ;;
    *) bad=$((bad + 1)) ;;
  esac
done
echo "$trials trials, $bad with a letter lost or twice"
[ "$bad" = 0 ]
