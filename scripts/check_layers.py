#!/usr/bin/env python3
"""Checks that the module's folders include only the folders below them.

The module is built in layers, lowest first; a file may include headers of its own folder and of
any lower layer, never of a higher one nor of a sibling on its own level, and never Harbor's.

  check_layers.py [ROOT]        check ROOT/wrenmail (default: the repository of this script)
  check_layers.py --self-test   plant an upward include in a scratch copy and expect a failure
"""
import pathlib
import re
import shutil
import sys
import tempfile

# Lowest first; folders on one line share a level and may not include each other.
LAYERS = [
    ["messaging"],
    ["clients"],
    ["state"],
    ["store", "richtext"],
    ["transport"],
    ["controls"],
    ["screens"],
    ["app"],
]
LEVEL = {folder: level for level, folders in enumerate(LAYERS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def problems(module: pathlib.Path):
    found = []
    for path in sorted(module.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".def"):
            continue
        folder = path.relative_to(module).parts[0]
        if folder not in LEVEL:
            if path.parent != module:
                found.append(f"{path}: folder '{folder}' is in no layer")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = match.group(1).split("/")[0]
            where = f"{path.relative_to(module.parent)}:{number}"
            if target == "harbor":
                found.append(f"{where}: the module includes Harbor ({match.group(1)})")
            elif target in LEVEL and target != folder and LEVEL[target] >= LEVEL[folder]:
                kind = "a sibling" if LEVEL[target] == LEVEL[folder] else "a higher layer"
                found.append(f"{where}: {folder}/ includes {kind}: {match.group(1)}")
    return found


def self_test(root: pathlib.Path) -> int:
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch) / "wrenmail"
        shutil.copytree(root / "wrenmail", copy)
        if problems(copy):
            print("self-test: the tree already has problems", file=sys.stderr)
            return 1
        planted = copy / "messaging" / "planted.h"
        planted.write_text('#include "screens/screen_base.h"\n')
        found = problems(copy)
        if len(found) != 1 or "messaging/ includes a higher layer" not in found[0]:
            print(f"self-test: the planted include was not reported: {found}", file=sys.stderr)
            return 1
    print("self-test: an upward include is reported")
    return 0


def main(argv):
    if argv[1:2] in (["-h"], ["--help"]):
        print(__doc__.strip())
        return 0
    here = pathlib.Path(__file__).resolve().parent.parent
    if argv[1:2] == ["--self-test"]:
        return self_test(here)
    root = pathlib.Path(argv[1]) if len(argv) > 1 else here
    found = problems(root / "wrenmail")
    for line in found:
        print(line, file=sys.stderr)
    if found:
        print(f"{len(found)} include(s) break the layers", file=sys.stderr)
        return 1
    print("layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
