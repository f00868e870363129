# Pictures and names: the stamp shows as a picture, then as its name in blue; switching back and
# opening the letter again give the first picture again. Reading moved no letter.
set -eu
left=$(ls "$1/MailBoxes/kiteAccounts/ann_01/InBox" | grep -c '\.wnl$' || true)
[ "$left" = 2 ] || { echo "expected 2 letters in ann_01's InBox, found $left" >&2; exit 1; }
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture  # the window test's PNG reader

folder = Path(sys.argv[1])
shots = {n: Picture(folder / f"{n}.png") for n in ("pictures", "names", "pictures_again", "reopened")}


def body(shot):
    # The body view's first line, where the stamp stands.
    return [tuple(shot.at(x, y)[:3]) for y in range(152, 190) for x in range(16, 300)]


def blue(pixels):
    return sum(1 for r, g, b in pixels if b > 150 and r < 100 and g < 100)


assert body(shots["pictures"]) != body(shots["names"]), "Pictures did not change the body"
assert blue(body(shots["names"])) > 20, "the stamp's name is not written in blue"
assert blue(body(shots["pictures"])) < blue(body(shots["names"])), "blue text in graphic mode"
assert body(shots["pictures_again"]) == body(shots["pictures"]), "switching back changed the body"
assert body(shots["reopened"]) == body(shots["pictures"]), "the letter opened again looks different"
print("read letters ok")
PY
