# The answer is to ann_01 with both re:s, the new line first, then the quote header and her letter.
set -eu
outbox="$1/MailBoxes/kiteAccounts/bob_02/OutBox"
"$2" dict-dump "$outbox"/*.wnl > "$1/answer.txt"
python3 "$(dirname "$0")/letter_check.py" "$1/answer.txt" ann_01 "re: re: Kites" \
  "Great!|-------------------|Sunday is fine" SptCoStampCat:cat
python3 - "$1/answer.txt" <<'PY'
import re
import sys

text = open(sys.argv[1], encoding="utf-8").read()
quote = r"Great!(\\r)?\\n-------------------(\\r)?\\nOn [^\\]+ ann_01\S* wrote:(\\r)?\\nSunday is fine <ID="
assert re.search(quote, text), "the quote is not the header then her letter:\n" + text
PY
