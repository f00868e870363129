# One letter waits in ann_01's OutBox: to bob_02 (not "Bob"), the plain part first, then the
# tagged part with the three stamps as tags after the two lines.
set -eu
outbox="$1/MailBoxes/kiteAccounts/ann_01/OutBox"
found=$(ls "$outbox" | grep -c '\.wnl$' || true)
[ "$found" = 1 ] || { echo "expected one letter in ann_01's OutBox, found $found" >&2; exit 1; }
"$2" dict-dump "$outbox"/*.wnl > "$1/letter.txt"
python3 "$(dirname "$0")/letter_check.py" "$1/letter.txt" bob_02 Kites \
  "Shall we fly kites?|See you on Sunday" SptCoStampCat:cat SptCoStampHappy:happy SptCoStampSilly:silly
