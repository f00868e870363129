# The three printed letters: the short one on one page with its header, body and page number; the
# long one over several pages numbered 1, 2, 3... with every body line once and in order; the one
# without body on one page with its header only; every character of a long word of accents.
set -eu
printed="$1/Printed"
python3 - "$printed" <<'PY'
import re
import subprocess
import sys
from pathlib import Path

folder = Path(sys.argv[1])


def pages(name):
    pdf = folder / name
    assert pdf.exists(), f"{pdf} was not printed; found {sorted(p.name for p in folder.iterdir())}"
    info = subprocess.run(["pdfinfo", str(pdf)], capture_output=True, text=True, check=True).stdout
    count = int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))
    return [subprocess.run(["pdftotext", "-layout", "-f", str(n), "-l", str(n), str(pdf), "-"],
                           capture_output=True, text=True, check=True).stdout for n in range(1, count + 1)]


def lines(text):
    return [line.strip() for line in text.splitlines() if line.strip()]


short = pages("2026-12-05-Short_letter.pdf")
assert len(short) == 1, f"the short letter took {len(short)} pages"
for expected in ("To: p7", "From: granny_05", "Subject: Short letter", "Dear p7,", "the cat says hello."):
    assert expected in lines(short[0]), f"{expected!r} missing from the short letter: {lines(short[0])}"
assert lines(short[0])[-1] == "1", f"the short letter's page number: {lines(short[0])[-1]!r}"

long = pages("2026-12-05-Long_letter.pdf")
assert len(long) >= 3, f"the long letter took only {len(long)} pages"
body = []
for number, text in enumerate(long, start=1):
    assert lines(text)[-1] == str(number), f"page {number} is numbered {lines(text)[-1]!r}"
    body += [line for line in lines(text) if line.startswith("Line ")]
    assert ("Subject: Long letter" in lines(text)) == (number == 1), f"the header on page {number}"
expected = [f"Line {n:02d} of the long letter" for n in range(1, 41)]
assert body == expected, f"the body lines across the pages: {body}"

empty = pages("2026-12-05-No_body.pdf")
assert len(empty) == 1, f"the letter without body took {len(empty)} pages"
assert "Subject: No body" in lines(empty[0]) and lines(empty[0])[-1] == "1", lines(empty[0])
# Every character of the cut word is printed, though the pieces split some of them.
accents = "".join(pages("2026-12-05-Accents.pdf"))
assert accents.count("\u00e9") == 300, f"{accents.count(chr(0xe9))} of the 300 accented letters printed"
assert len(list(folder.iterdir())) == 4, f"left in Printed/: {sorted(p.name for p in folder.iterdir())}"
PY
