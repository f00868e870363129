#!/bin/sh
# ann_01 writes a letter with three stamps on the write screen and sends it with Get/Send through
# the loopback servers; Python's imaplib then reads it from bob_02's INBOX as any mail program
# would (wrenmail_letter_check.py).
#   letter_through_servers.sh HARBOR MODULE CONTENT WORK
set -eu
harbor=$1 module=$2 content=$3 work=$4
here=$(cd "$(dirname "$0")" && pwd)
e2e="$here/../e2e"
rm -rf "$work"
mkdir -p "$work"
MAILSERVERS_USERS='ann_01:apple
bob_02:pear'
export MAILSERVERS_USERS
. "$here/servers.sh"
start_servers "$work"
remote_root "$work/data" "$harbor"
python3 "$e2e/put_address_book.py" "$work/data" ann_01 grandma=nana_07 Bob=bob_02 anna=anna_03
# The session takes snapshots: they go to the work folder, not beside the script.
export HARBOR_SNAPSHOT_DIR="$work/snapshots"
mkdir -p "$HARBOR_SNAPSHOT_DIR"
run() { "$harbor" --headless --script "$1" --module "$module" --content "$content" --data "$work/data" >/dev/null; }
run "$e2e/write_letter.harbor"
run "$e2e/mail_sent_by_ann.session"
if ls "$work/data/.remote/spool" | grep -q .; then
  echo "the letter is still in the spool after Get/Send" >&2
  exit 1
fi
python3 "$here/wrenmail_letter_check.py" "$IMAP_PORT" bob_02 pear Kites "Shall we fly kites?|See you on Sunday" \
  SptCoStampCat:cat SptCoStampHappy:happy SptCoStampSilly:silly
