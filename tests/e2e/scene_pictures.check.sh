# Reads back the pictures the session wrote: each is a 640 by 480 PNG, and a few pixels show what
# a person would see (the cover dims the refused sign-in, the dialog card is light).
set -eu
python3 - "$1/snapshots" "$(dirname "$0")/../window" <<'PY'
import sys
from pathlib import Path

sys.path.insert(0, sys.argv[2])
from window_check import Picture, lum  # the window test's PNG reader

folder = Path(sys.argv[1])
shots = {name: Picture(folder / f"{name}.png") for name in
         ("opening", "splash", "signin-refused", "signin", "main", "write")}
for name, shot in shots.items():
    assert (shot.width, shot.height) == (640, 480), f"{name}: {shot.width}x{shot.height}"
refused, plain = shots["signin-refused"], shots["signin"]
# The cover dims the corner of the refused sign-in against the same corner without the dialog.
assert lum(refused.at(20, 460)) < 0.85 * lum(plain.at(20, 460)), (refused.at(20, 460), plain.at(20, 460))
# The dialog card is light, with dark text on it.
assert lum(refused.at(200, 270)) > 180, refused.at(200, 270)
assert refused.dark((190, 150, 260, 100)), "no text on the dialog card"
assert shots["main"].at(40, 160) != shots["write"].at(40, 160)
print("scene pictures ok:", ", ".join(sorted(shots)))
PY
