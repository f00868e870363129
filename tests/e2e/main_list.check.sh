# The pictures show the list's tinted rows; turning the order round changes the rows' texts, and
# turning it back gives the first picture again. Nothing left the InBox.
set -eu
left=$(ls "$1/MailBoxes/Players/p7/InBox" | grep -c '\.wnl$' || true)
[ "$left" = 50 ] || { echo "expected 50 messages in p7's InBox, found $left" >&2; exit 1; }
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture  # the window test's PNG reader

folder = Path(sys.argv[1])
EVEN, ODD = (240, 246, 244), (255, 251, 240)
shots = {n: Picture(folder / f"{n}.png") for n in ("list", "oldest", "newest")}


def rows(shot):
    # The list's rows, left of its scroll bar.
    return [tuple(shot.at(x, y)[:3]) for y in range(181, 374) for x in range(156, 543, 3)]


for name, shot in shots.items():
    colours = set(rows(shot))
    assert EVEN in colours and ODD in colours, f"{name}: the rows are not tinted"
    assert any(sum(c) < 200 for c in colours), f"{name}: no text in the rows"
assert rows(shots["list"]) != rows(shots["oldest"]), "the Date button did not change the order"
assert rows(shots["list"]) == rows(shots["newest"]), "a second Date click did not restore the order"
print("main list ok")
PY
