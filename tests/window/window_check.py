#!/usr/bin/env python3
"""Helpers of the window test: where sprites are on screen, and what the window's pictures show.

  window_check.py point CONTENT SCENE SPRITE WIDTH HEIGHT   the window pixel at the sprite's centre
  window_check.py signin PNG CONTENT                          the sign-in fields hold typed text
  window_check.py dialog PNG BEFORE_PNG CONTENT               the dialog is up, its text centred
  window_check.py mailbox PNG CONTENT                         the main scene's buttons are up

Pictures are the window's stage as harbor writes it on SIGUSR1 (PNG, any scale of 640x480).
Only the standard library is used.
"""
import json
import struct
import sys
import zlib
from pathlib import Path

STAGE_W, STAGE_H = 640, 480


def sprite_rect(content, scene, name):
    for file in (scene, "ScCoCommon"):
        data = json.loads((Path(content) / "scenes" / f"{file}.json").read_text())
        for sprite in data["sprites"]:
            if sprite["name"] == name:
                return sprite["rect"]
    raise SystemExit(f"no sprite {name} in {scene}")


def letterbox(width, height):
    """The stage's place in a window, as harbor fits it: (x, y, w, h)."""
    scale = min(width / STAGE_W, height / STAGE_H)
    w = max(1, min(round(STAGE_W * scale), width))
    h = max(1, min(round(STAGE_H * scale), height))
    return (width - w) // 2, (height - h) // 2, w, h


def read_png(path):
    """(width, height, rows of (r, g, b) tuples) of an 8-bit RGB or RGBA PNG."""
    data = Path(path).read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace:
        raise SystemExit(f"{path}: unexpected PNG layout {header}")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                pred = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                line[i] = (line[i] + pred) & 255
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


class Picture:
    def __init__(self, path):
        self.width, self.height, self.rows = read_png(path)
        self.scale = self.width / STAGE_W

    def at(self, x, y):
        """The colour at a stage point."""
        px = min(self.width - 1, int((x + 0.5) * self.scale))
        py = min(self.height - 1, int((y + 0.5) * self.scale))
        return self.rows[py][px]

    def dark(self, rect, inset=0):
        """Stage points inside rect (less an inset) whose colour is text-dark."""
        x, y, w, h = rect
        found = []
        for sy in range(y + inset, y + h - inset):
            for sx in range(x + inset, x + w - inset):
                r, g, b = self.at(sx, sy)
                if 0.3 * r + 0.59 * g + 0.11 * b < 90:
                    found.append((sx, sy))
        return found


def hex_colour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def near(a, b, tolerance):
    return all(abs(p - q) <= tolerance for p, q in zip(a, b))


def lum(c):
    return 0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2]


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    return condition


def point(content, scene, sprite, width, height):
    x, y, w, h = sprite_rect(content, scene, sprite)
    bx, by, bw, bh = letterbox(int(width), int(height))
    print(int(bx + (x + w / 2) * bw / STAGE_W), int(by + (y + h / 2) * bh / STAGE_H))
    return True


def signin(png, content):
    pic = Picture(png)
    name = pic.dark(sprite_rect(content, "ScCsSignIn", "EdtCsName"), inset=4)
    password = pic.dark(sprite_rect(content, "ScCsSignIn", "EdtCsPassword"), inset=4)
    ok = check(len(name) >= 20, f"typed kite ID shows in EdtCsName ({len(name)} dark points)")
    return check(len(password) >= 10, f"masked password shows in EdtCsPassword ({len(password)} dark points)") and ok


def dialog(png, before_png, content):
    pic, before = Picture(png), Picture(before_png)
    box = sprite_rect(content, "ScCsSignIn", "AniCoDialog")
    text = sprite_rect(content, "ScCsSignIn", "TxtCoDialog")
    data = json.loads((Path(content) / "scenes" / "ScCoCommon.json").read_text())
    look = next(s for s in data["sprites"] if s["name"] == "AniCoDialog")["effects"]["Still"]
    # Between the text and the dialog's lower edge only the backdrop shows, beside the button.
    bx, by, bw, bh = box
    ox, oy, ow, oh = sprite_rect(content, "ScCsSignIn", "BtnCoOk")
    patch = [pic.at(x, y) for x in range(bx + 30, bx + bw - 30, 9) for y in range(text[1] + text[3] + 4, by + bh - 12, 5)
             if not (ox - 6 <= x < ox + ow + 6 and oy - 6 <= y < oy + oh + 6)]
    fill = hex_colour(look["fill"])
    matching = sum(1 for c in patch if near(c, fill, 24))
    ok = check(patch and matching >= 0.8 * len(patch),
               f"dialog backdrop {look['fill']} under the text ({matching} of {len(patch)} points)")
    # Outside the dialog the cover dims the scene.
    dimmed = [(x, y) for x, y in ((20, 300), (600, 300), (320, 20), (40, 60)) if lum(pic.at(x, y)) < lum(before.at(x, y)) - 15]
    ok = check(len(dimmed) == 4, f"the cover dims the scene around the dialog ({len(dimmed)} of 4 points)") and ok
    dark = pic.dark(text)
    ok = check(len(dark) >= 60, f"dark text in TxtCoDialog ({len(dark)} points)") and ok
    if dark:
        left, right = min(x for x, _ in dark), max(x for x, _ in dark)
        top, bottom = min(y for _, y in dark), max(y for _, y in dark)
        centre = text[0] + text[2] / 2
        ok = check(abs((left + right) / 2 - centre) <= 12,
                   f"the text is centred in TxtCoDialog (from x {left} to {right}, centre {centre})") and ok
        ok = check(right - left >= 120 and bottom - top >= 10,
                   f"the text spans the dialog's width ({right - left}x{bottom - top})") and ok
    return ok


def mailbox(png, content):
    """The main scene is shown: its buttons in their Up looks (sampled left of their labels)."""
    pic = Picture(png)
    data = json.loads((Path(content) / "scenes" / "ScWnMain.json").read_text())
    ok = True
    for sprite in data["sprites"]:
        if sprite["name"] not in ("BtnWnRead", "BtnWnDelete"):
            continue
        x, y, w, h = sprite["rect"]
        fill = hex_colour(sprite["effects"]["Up"]["fill"])
        found = pic.at(x + 10, y + h // 2)
        ok = check(near(found, fill, 24), f"{sprite['name']} shows its Up look {fill} (found {found})") and ok
    return ok


def main(argv):
    commands = {"point": (point, 5), "signin": (signin, 2), "dialog": (dialog, 3), "mailbox": (mailbox, 2)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) - 2 != commands[argv[1]][1]:
        print(__doc__, file=sys.stderr)
        return 2
    function, _ = commands[argv[1]]
    return 0 if function(*argv[2:]) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
