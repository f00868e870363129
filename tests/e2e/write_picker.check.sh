# The picked name, typed on, was saved as written: "annax" is no name of the book.
set -eu
outbox="$1/MailBoxes/kiteAccounts/ann_01/OutBox"
"$2" dict-dump "$outbox"/*.wnl | grep -q 'To: annax@' || { echo "the letter is not to annax" >&2; exit 1; }
