# Done saved the book as the session left it (Bob's new kite ID, Carla added and deleted), the
# number that is not an address kept.
set -eu
book="$1/MailBoxes/kiteAccounts/ann_01/AddBook.wdb"
found=$("$2" dict-dump "$book" | tail -n +2)
expected='# address book of ann_01: 3 names
Name   Kite ID
alfie  alf_3
Bob    bobby_9
zed    zed_1
# other entries, kept as they are: 1
"Version" Long 2'
[ "$found" = "$expected" ] || { printf 'the saved book is\n%s\nexpected\n%s\n' "$found" "$expected" >&2; exit 1; }
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture  # the window test's PNG reader

folder = Path(sys.argv[1])
alone, covered = Picture(folder / "mailbox.png"), Picture(folder / "book.png")
# The floor below the mailbox buttons, outside the book's panel: darker under the cover.
before, after = alone.at(300, 470)[:3], covered.at(300, 470)[:3]
assert sum(after) < sum(before) - 60, f"the mailbox is not covered: {before} then {after}"
print("address book ok")
PY
