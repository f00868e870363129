# Accounts, a message in ann_01's OutBox as the store writes one (the write screen is not there
# yet), and ann_01's Get/Send session, which must empty her OutBox.
set -eu
here=$(dirname "$0")
. "$here/accounts.sh"
printf 'From: ann_01@wrenmail.local\nTo: bob_02@wrenmail.local\nSubject: Kites on Sunday\n\nShall we fly kites?\n' |
  python3 "$here/put_message.py" "$1" kite ann_01 OutBox 1
"$2" --headless --script "$here/mail_sent_by_ann.session" --module "$HARBOR_MODULE" --content "$HARBOR_CONTENT" --data "$1"
if ls "$1/MailBoxes/kiteAccounts/ann_01/OutBox" | grep -q .; then
  echo "ann_01's OutBox is not empty after Get/Send" >&2
  exit 1
fi
