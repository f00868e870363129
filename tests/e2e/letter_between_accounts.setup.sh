# ann_01 writes her letter to "Bob" (the write_letter session, its OutBox checked as there), then
# her next sign-in's Get/Send sends it, which must empty her OutBox.
set -eu
here=$(dirname "$0")
sh "$here/write_letter.setup.sh" "$1" "$2"
"$2" --headless --script "$here/write_letter.harbor" --module "$HARBOR_MODULE" --content "$HARBOR_CONTENT" --data "$1"
sh "$here/write_letter.check.sh" "$1" "$2"
"$2" --headless --script "$here/mail_sent_by_ann.session" --module "$HARBOR_MODULE" --content "$HARBOR_CONTENT" --data "$1"
if ls "$1/MailBoxes/kiteAccounts/ann_01/OutBox" | grep -q '\.wnl$'; then
  echo "ann_01's OutBox is not empty after Get/Send" >&2
  exit 1
fi
