# bob_02's InBox holds the message ann_01 sent; nothing waits for him any more.
set -eu
inbox="$1/MailBoxes/kiteAccounts/bob_02/InBox"
found=$(ls "$inbox" | grep -c '\.wnl$' || true)
if [ "$found" != 1 ]; then
  echo "expected one message in bob_02's InBox, found $found" >&2
  exit 1
fi
"$2" dict-dump "$inbox"/*.wnl | grep -q 'Kites on Sunday' || { echo "the stored message is not ann_01's" >&2; exit 1; }
if ls "$1/.postoffice/waiting/bob_02" 2>/dev/null | grep -q .; then
  echo "mail still waits for bob_02" >&2
  exit 1
fi
