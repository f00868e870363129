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
# The list was empty while the mail was fetched and shows one line once it is in.
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture  # the window test's PNG reader

folder = Path(sys.argv[1])


def text_rows(shot):
    # Rows of the list's Date column (right of the notice card) with dark text in them.
    return {y for y in range(181, 374) for x in range(484, 543) if sum(shot.at(x, y)[:3]) < 200}


before, after = Picture(folder / "before.png"), Picture(folder / "after.png")
assert not text_rows(before), "the list is not empty before the fetch"
rows = text_rows(after)
assert rows and max(rows) < 181 + 40, f"expected one listed line after the fetch, text rows {sorted(rows)[:3]}.."
PY
