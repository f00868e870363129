# Graphic mode: the text around the stamp, the stamp drawn as a picture (not as its name); text
# mode: the name "cat" in the text, in blue.
set -eu
first="$1/Printed/2026-12-05-Stamp_letter.pdf"
second="$1/Printed/2026-12-05-Stamp_letter-2.pdf"
graphic=$(pdftotext "$first" - | tr -s ' \n' ' ')
text=$(pdftotext "$second" - | tr -s ' \n' ' ')
case "$graphic" in *"Look at my here!"*) ;; *) echo "graphic mode printed: $graphic" >&2; exit 1 ;; esac
case "$text" in *"Look at my cat here!"*) ;; *) echo "text mode printed: $text" >&2; exit 1 ;; esac
# The name is blue: some pixels of the text-mode page are blue, none of the graphic page's text.
python3 - "$first" "$second" <<'PY'
import subprocess
import sys


def blue_pixels(pdf):
    ppm = subprocess.run(["pdftoppm", "-r", "50", "-f", "1", "-l", "1", pdf], capture_output=True, check=True).stdout
    # P6 header: magic, width height, maxval, then RGB bytes
    parts = ppm.split(b"\n", 3)
    data = parts[3]
    return sum(1 for i in range(0, len(data) - 2, 3) if data[i + 2] > 150 and data[i] < 90 and data[i + 1] < 90)


graphic, text = blue_pixels(sys.argv[1]), blue_pixels(sys.argv[2])
assert text > graphic + 5, f"no blue name in text mode: {text} blue pixels against {graphic}"
PY
