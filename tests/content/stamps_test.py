#!/usr/bin/env python3
"""The stamp categories of the write scene: four dictionaries DctWrIcons1 to DctWrIcons4, each a
category name and records of (image, text); every stamp picture of content/art/stamps/ in exactly
one category through a common stamp sprite, at least ten a category, each with a short caption."""
import json
import os
import sys
import unittest

CONTENT = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "content")
# A caption sits in a row 80 pixels wide under its stamp.
MAX_CAPTION = 12


def scene(name):
    with open(os.path.join(CONTENT, "scenes", name + ".json"), encoding="utf-8") as f:
        return {s["name"]: s for s in json.load(f)["sprites"]}


class StampCategories(unittest.TestCase):
    def setUp(self):
        self.write = scene("ScWrWrite")
        self.common = scene("ScCoCommon")

    def categories(self):
        for n in range(1, 5):
            data = self.write[f"DctWrIcons{n}"]["data"]
            self.assertEqual(data["TEMPLATE"], ["@image", "@text"])
            forms = data["FORMS"]
            self.assertEqual(len(forms) % 2, 0)
            yield n, data["Category"], list(zip(forms[0::2], forms[1::2]))

    def test_every_stamp_picture_is_in_exactly_one_category(self):
        pictures = []
        for n, category, stamps in self.categories():
            self.assertGreaterEqual(len(stamps), 10, category)
            for image, caption in stamps:
                self.assertTrue(image.startswith("@SptCo"), image)
                sprite = self.common.get(image[1:])
                self.assertIsNotNone(sprite, f"{image} is no common sprite")
                pictures.append(sprite["effects"]["Still"]["image"])
                self.assertTrue(0 < len(caption) <= MAX_CAPTION, caption)
        on_disk = sorted("stamps/" + f for f in os.listdir(os.path.join(CONTENT, "art", "stamps")))
        self.assertEqual(sorted(pictures), on_disk)

    def test_each_category_has_its_button_and_page(self):
        for n, category, _ in self.categories():
            self.assertEqual(self.write[f"BtnWrCategory{n}"]["text"], category)
            self.assertIn(f"AniWrPanel{n}", self.write)
        looks = self.write["AniWrHilite"]["effects"]
        for letter in "ABCDEFGH":
            self.assertEqual(looks[f"Box{letter}"]["rect"], self.write[f"SptWrIcon{letter}"]["rect"])


if __name__ == "__main__":
    unittest.main()
