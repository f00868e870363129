# The pictures of the letter body: wrapped text on the paper with the cursor beside it, and the
# stamp's picture in the text.
set -eu
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture  # the window test's PNG reader

folder = Path(sys.argv[1])
PAPER, CURSOR = (255, 251, 240), (31, 42, 68)
BODY = (20, 168, 500, 230)  # inside the rich text sprite, clear of the frame


def pixels(shot, box):
    x0, y0, w, h = box
    return [tuple(shot.at(x, y)[:3]) for y in range(y0, y0 + h) for x in range(x0, x0 + w)]


def line_has_text(shot, n):
    # Line n (from 0) of the body: 40 pixels high from 3 below the sprite's top.
    return any(sum(c) < 150 for c in pixels(shot, (20, 167 + 40 * n + 4, 500, 30)))


wrapped = Picture(folder / "wrapped.png")
assert PAPER in set(pixels(wrapped, BODY)), "the body is not painted on the paper colour"
assert all(line_has_text(wrapped, n) for n in range(4)), "four lines of text expected: two, and one wrapped"
assert not line_has_text(wrapped, 5), "nothing below the wrapped line"
cursor = [p for p in pixels(wrapped, BODY) if p == CURSOR]
assert len(cursor) >= 60, f"no cursor bar in the body ({len(cursor)} cursor pixels)"

# Text is black on the paper; only the stamp brings colour into the body.
stamp = Picture(folder / "stamp.png")
coloured = [p for p in pixels(stamp, BODY) if max(p) - min(p) > 80]
assert len(coloured) >= 50, f"no stamp picture in the body ({len(coloured)} coloured pixels)"
assert not [p for p in pixels(wrapped, BODY) if max(p) - min(p) > 80], "colour in a body without stamps"
print("write body ok")
PY
