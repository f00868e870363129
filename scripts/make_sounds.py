#!/usr/bin/env python3
"""Speaks the help texts of the scene files into WAV files.

    python3 scripts/make_sounds.py --out DIR [--scenes DIR] [--espeak PROGRAM]

Every effect of a sound sprite that has a `say` text becomes DIR/<Sprite>-<Effect>.wav, spoken by
espeak-ng. DIR/sounds.json remembers what each file says, so a build only speaks the texts that
changed; files of sounds that left the scenes are removed. Exits 1 with a message on any problem.
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile

MANIFEST = "sounds.json"
# Part of the manifest: files spoken with another voice or speed are spoken again.
VOICE = {"voice": "en-us", "speed": 150}


class SoundError(Exception):
    pass


def read_texts(scene_dir):
    """Maps each WAV file name to its text, from every sound sprite of every scene file."""
    texts = {}
    files = sorted(f for f in os.listdir(scene_dir) if f.endswith(".json"))
    for fname in files:
        path = os.path.join(scene_dir, fname)
        try:
            with open(path, encoding="utf-8") as f:
                doc = json.load(f)
        except (OSError, ValueError) as e:
            raise SoundError(f"{path}: {e}") from e
        for sprite in doc.get("sprites", []) if isinstance(doc, dict) else []:
            collect_sprite(texts, fname, sprite)
    return texts


def collect_sprite(texts, fname, sprite):
    if not isinstance(sprite, dict) or sprite.get("kind") != "sound":
        return
    effects = sprite.get("effects", {})
    for effect, look in effects.items() if isinstance(effects, dict) else []:
        say = look.get("say") if isinstance(look, dict) else None
        if not isinstance(say, str) or not say.strip():
            continue
        name = f"{sprite.get('name')}-{effect}.wav"
        if os.sep in name or name.startswith("."):
            raise SoundError(f"{fname}: {name!r} is not a file name")
        if texts.get(name, say) != say:
            raise SoundError(f"{fname}: {name} is said twice with different texts")
        texts[name] = say


def read_manifest(out_dir):
    try:
        with open(os.path.join(out_dir, MANIFEST), encoding="utf-8") as f:
            manifest = json.load(f)
    except (OSError, ValueError):
        return {}
    return manifest if isinstance(manifest, dict) else {}


def speak(espeak, text, target):
    """Writes the WAV next to its target and renames it, so a failed run leaves no half file."""
    fd, temp = tempfile.mkstemp(suffix=".wav", dir=os.path.dirname(target))
    os.close(fd)
    try:
        command = [espeak, "-v", VOICE["voice"], "-s", str(VOICE["speed"]), "-w", temp, "--stdin"]
        try:
            done = subprocess.run(command, input=text.encode("utf-8"), capture_output=True)
        except OSError as e:
            raise SoundError(f"cannot run {espeak}: {e}") from e
        if done.returncode != 0 or os.path.getsize(temp) == 0:
            message = done.stderr.decode("utf-8", "replace").strip() or "no sound written"
            raise SoundError(f"{espeak} failed on {os.path.basename(target)}: {message}")
        os.chmod(temp, 0o644)  # mkstemp makes it private; the sounds are for every user
        os.replace(temp, target)
    finally:
        if os.path.exists(temp):
            os.remove(temp)


def make_sounds(scene_dir, out_dir, espeak):
    """Brings out_dir in line with the scenes; answers the names of the files spoken anew."""
    texts = read_texts(scene_dir)
    os.makedirs(out_dir, exist_ok=True)
    old = read_manifest(out_dir)
    spoken = []
    for name, text in sorted(texts.items()):
        entry = {"say": text, **VOICE}
        target = os.path.join(out_dir, name)
        if old.get(name) == entry and os.path.isfile(target):
            continue
        speak(espeak, text, target)
        spoken.append(name)
    for name in old.keys() - texts.keys():
        if name.endswith(".wav") and os.sep not in name and os.path.isfile(os.path.join(out_dir, name)):
            os.remove(os.path.join(out_dir, name))
    # Written every run: the build tool compares its time with the scene files'.
    manifest = {name: {"say": text, **VOICE} for name, text in sorted(texts.items())}
    with open(os.path.join(out_dir, MANIFEST), "w", encoding="utf-8") as f:
        json.dump(manifest, f, indent=1, ensure_ascii=False)
        f.write("\n")
    return spoken, len(texts)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True, help="folder of the WAV files")
    parser.add_argument("--scenes", default=os.path.join(here, "..", "content", "scenes"))
    parser.add_argument("--espeak", default="espeak-ng", help="the espeak-ng program")
    args = parser.parse_args(argv[1:])
    try:
        spoken, total = make_sounds(args.scenes, args.out, args.espeak)
    except SoundError as e:
        print(f"make_sounds: {e}", file=sys.stderr)
        return 1
    print(f"make_sounds: {total} sound(s), {len(spoken)} spoken anew")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
