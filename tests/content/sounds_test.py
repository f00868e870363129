#!/usr/bin/env python3
"""make_sounds.py: speaks the `say` texts of a scene folder into WAV files and speaks again only
what changed. Exits 77 (skipped) where espeak-ng is missing."""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SCRIPT = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(
    os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "make_sounds.py")
SKIPPED = 77


def sound_sprite(name, says):
    return {"name": name, "kind": "sound",
            "effects": {effect: ({"say": text} if text else {}) for effect, text in says.items()}}


class SoundsTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.scenes = os.path.join(self.tmp.name, "scenes")
        self.out = os.path.join(self.tmp.name, "sounds")
        os.mkdir(self.scenes)

    def tearDown(self):
        self.tmp.cleanup()

    def write_scene(self, fname, *sprites):
        with open(os.path.join(self.scenes, fname), "w", encoding="utf-8") as f:
            json.dump({"scene": fname[:-5], "eventPort": "P", "sprites": list(sprites)}, f)

    def run_script(self, *extra):
        return subprocess.run([sys.executable, SCRIPT, "--scenes", self.scenes, "--out", self.out,
                               *extra], capture_output=True, text=True)

    def stamps(self):
        """File name to (inode, modification time) of every WAV written."""
        return {f: (os.stat(os.path.join(self.out, f)).st_ino,
                    os.stat(os.path.join(self.out, f)).st_mtime_ns)
                for f in os.listdir(self.out) if f.endswith(".wav")}

    def assert_wav(self, name):
        with open(os.path.join(self.out, name), "rb") as f:
            data = f.read()
        self.assertEqual(data[:4], b"RIFF")
        self.assertEqual(data[8:12], b"WAVE")
        self.assertGreater(len(data), 44 + 1000, "no sound after the header")

    def test_speaks_each_say_text_of_sound_sprites_only(self):
        self.write_scene("ScCsA.json",
                         sound_sprite("SndCsHelp", {"Play1": "Click Sign In.", "Play2": "", "Play3": "Hello!"}),
                         {"name": "BtnCsGo", "kind": "button", "effects": {"Up": {"say": "not a sound"}}})
        done = self.run_script()
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(sorted(self.stamps()), ["SndCsHelp-Play1.wav", "SndCsHelp-Play3.wav"])
        self.assert_wav("SndCsHelp-Play1.wav")
        self.assert_wav("SndCsHelp-Play3.wav")

    def test_speaks_again_only_what_changed_and_drops_what_left(self):
        self.write_scene("ScCsA.json", sound_sprite("SndCsHelp", {"Play1": "One.", "Play2": "Two."}))
        self.write_scene("ScWnB.json", sound_sprite("SndWnHelp", {"Play1": "Three."}))
        self.assertEqual(self.run_script().returncode, 0)
        before = self.stamps()
        self.assertEqual(self.run_script().returncode, 0)
        self.assertEqual(self.stamps(), before)

        self.write_scene("ScCsA.json", sound_sprite("SndCsHelp", {"Play1": "One.", "Play2": "Two again."}))
        os.remove(os.path.join(self.scenes, "ScWnB.json"))
        self.assertEqual(self.run_script().returncode, 0)
        after = self.stamps()
        self.assertEqual(sorted(after), ["SndCsHelp-Play1.wav", "SndCsHelp-Play2.wav"])
        self.assertEqual(after["SndCsHelp-Play1.wav"], before["SndCsHelp-Play1.wav"])
        self.assertNotEqual(after["SndCsHelp-Play2.wav"], before["SndCsHelp-Play2.wav"])
        self.assert_wav("SndCsHelp-Play2.wav")

    def test_a_deleted_sound_file_is_spoken_again(self):
        self.write_scene("ScCsA.json", sound_sprite("SndCsHelp", {"Play1": "One."}))
        self.assertEqual(self.run_script().returncode, 0)
        os.remove(os.path.join(self.out, "SndCsHelp-Play1.wav"))
        self.assertEqual(self.run_script().returncode, 0)
        self.assert_wav("SndCsHelp-Play1.wav")

    def test_fails_clearly_without_writing_half_files(self):
        self.write_scene("ScCsA.json", sound_sprite("SndCsHelp", {"Play1": "One."}))
        done = self.run_script("--espeak", os.path.join(self.tmp.name, "no-such-speaker"))
        self.assertEqual(done.returncode, 1)
        self.assertIn("no-such-speaker", done.stderr)
        self.assertEqual(os.listdir(self.out), [])

        self.write_scene("ScWnB.json", sound_sprite("SndCsHelp", {"Play1": "Not one."}))
        done = self.run_script()
        self.assertEqual(done.returncode, 1)
        self.assertIn("different texts", done.stderr)

        with open(os.path.join(self.scenes, "ScWnB.json"), "w") as f:
            f.write("{ broken")
        done = self.run_script()
        self.assertEqual(done.returncode, 1)
        self.assertIn("ScWnB.json", done.stderr)


if __name__ == "__main__":
    if shutil.which("espeak-ng") is None:
        print("espeak-ng is missing: the sounds are not tested (scripts/install-deps.sh installs it)")
        sys.exit(SKIPPED)
    unittest.main()
