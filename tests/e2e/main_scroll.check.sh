# The arrows change the rows shown and bring them back, the thumb dragged down shows rows further
# on, and keys past the last visible row scroll too.
set -eu
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture  # the window test's PNG reader

folder = Path(sys.argv[1])
shots = {n: Picture(folder / f"{n}.png") for n in ("top", "arrowed", "back", "dragged", "keyed")}


def texts(shot):
    # The Subject column's ink, row by row: what the list shows, whatever is selected.
    return [tuple(sum(shot.at(x, y)) < 300 for x in range(256, 400, 2)) for y in range(181, 374)]


assert texts(shots["top"]) != texts(shots["arrowed"]), "the down arrow did not scroll the list"
assert texts(shots["top"]) == texts(shots["back"]), "the up arrow did not scroll back"
assert texts(shots["dragged"]) not in (texts(shots["top"]), texts(shots["arrowed"])), "dragging the thumb did not scroll"
assert texts(shots["top"]) != texts(shots["keyed"]), "the Down key did not scroll past the last row"
print("main scroll ok")
PY
