# bob_02's InBox holds ann_01's letter whole: both parts, both lines, the three stamps as tags.
set -eu
inbox="$1/MailBoxes/kiteAccounts/bob_02/InBox"
found=$(ls "$inbox" | grep -c '\.wnl$' || true)
[ "$found" = 1 ] || { echo "expected one letter in bob_02's InBox, found $found" >&2; exit 1; }
"$2" dict-dump "$inbox"/*.wnl > "$1/received.txt"
python3 "$(dirname "$0")/letter_check.py" "$1/received.txt" bob_02 Kites \
  "Shall we fly kites?|See you on Sunday" SptCoStampCat:cat SptCoStampHappy:happy SptCoStampSilly:silly
