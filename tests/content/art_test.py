#!/usr/bin/env python3
"""The pictures of the content: every SVG a look names is there, well formed and self-contained,
shaped like the box it fills, small, and every SVG in content/art/ is used."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

SVG_NS = "{http://www.w3.org/2000/svg}"
XLINK_HREF = "{http://www.w3.org/1999/xlink}href"
STAGE = (0, 0, 640, 480)
MAX_BYTES = 8 * 1024
ASPECT_SLACK = 0.02
CONTENT = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "content")
ART = os.path.join(CONTENT, "art")


def looks_with_images():
    """(scene, where, image, box) for every look that names a picture."""
    found = []
    scene_dir = os.path.join(CONTENT, "scenes")
    for fname in sorted(f for f in os.listdir(scene_dir) if f.endswith(".json")):
        with open(os.path.join(scene_dir, fname), encoding="utf-8") as f:
            doc = json.load(f)
        background = doc.get("background", {})
        if "image" in background:
            found.append((fname, "background", background["image"], STAGE))
        for sprite in doc.get("sprites", []):
            for effect, look in sprite.get("effects", {}).items():
                if "image" in look:
                    box = look.get("rect", sprite.get("rect"))
                    found.append((fname, f"{sprite['name']}.{effect}", look["image"], box))
    return found


def view_box(root):
    return [float(v) for v in root.get("viewBox", "").replace(",", " ").split()]


class ArtTest(unittest.TestCase):
    def setUp(self):
        self.looks = looks_with_images()

    def test_every_named_picture_is_a_small_svg_shaped_like_its_box(self):
        self.assertGreater(len(self.looks), 0)
        for fname, where, image, box in self.looks:
            with self.subTest(f"{fname}: {where}: {image}"):
                path = os.path.join(ART, image)
                self.assertTrue(os.path.isfile(path), "missing")
                self.assertLessEqual(os.path.getsize(path), MAX_BYTES)
                root = ET.parse(path).getroot()
                self.assertEqual(root.tag, SVG_NS + "svg")
                vb = view_box(root)
                self.assertEqual(len(vb), 4, "needs a viewBox")
                self.assertTrue(vb[2] > 0 and vb[3] > 0, "empty viewBox")
                self.assertAlmostEqual(vb[2] / vb[3], box[2] / box[3], delta=ASPECT_SLACK * vb[2] / vb[3],
                                       msg=f"viewBox {vb} is not shaped like the box {box}")

    def test_pictures_refer_only_inside_themselves(self):
        # The painter loads each file alone: a link to another file or the network would fail.
        for path in self.all_svgs():
            for node in ET.parse(path).getroot().iter():
                for key in ("href", XLINK_HREF):
                    ref = node.get(key)
                    if ref is not None:
                        with self.subTest(f"{os.path.relpath(path, ART)}: {ref}"):
                            self.assertTrue(ref.startswith("#"))

    def test_every_picture_in_the_art_folder_is_used(self):
        used = {os.path.normpath(os.path.join(ART, image)) for _, _, image, _ in self.looks}
        unused = [os.path.relpath(p, ART) for p in self.all_svgs() if os.path.normpath(p) not in used]
        self.assertEqual(unused, [])

    @unittest.skipUnless(shutil.which("rsvg-convert"), "rsvg-convert (librsvg2-bin) is missing")
    def test_librsvg_draws_every_picture(self):
        with tempfile.TemporaryDirectory() as out:
            for path in self.all_svgs():
                with self.subTest(os.path.relpath(path, ART)):
                    png = os.path.join(out, "picture.png")
                    done = subprocess.run(["rsvg-convert", "-w", "64", path, "-o", png],
                                          capture_output=True, text=True)
                    self.assertEqual(done.returncode, 0, done.stderr)
                    with open(png, "rb") as f:
                        self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    @staticmethod
    def all_svgs():
        return sorted(os.path.join(d, f) for d, _, files in os.walk(ART) for f in files
                      if f.endswith(".svg"))


if __name__ == "__main__":
    unittest.main()
