#!/usr/bin/env python3
"""Checks that the module's folders, and Harbor's, include only the folders below them.

Each tree is built in layers, lowest first; a file may include headers of its own folder and of
any lower layer, never of a higher one nor of a sibling on its own level. The module never
includes Harbor. Files at the top of a tree (Harbor's main.cpp) are its root and may include all.

  check_layers.py [--tree NAME] [ROOT]        check ROOT/NAME (default: wrenmail in the
                                              repository of this script)
  check_layers.py [--tree NAME] --self-test   plant an upward include in a scratch copy and
                                              expect a failure
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
# Harbor: base/ holds the leaf headers (atoms, the trace log, the identity, the data folder)
# that every other folder may use; runtime/ assembles the services into a session.
HARBOR_LAYERS = [
    ["base"],
    ["datadict"],
    ["scene"],
    ["render", "fileio", "services"],
    ["canvas", "mail"],
    ["print", "runtime"],
    ["window", "driver"],
]
# Per tree: its layers, a folder its files may never include, and the include planted by the
# self-test (lowest folder, file, line).
TREES = {
    "wrenmail": (LAYERS, "harbor", ("messaging", "planted.h", '#include "screens/screen_base.h"')),
    "harbor": (HARBOR_LAYERS, None, ("base", "planted.h", '#include "runtime/session.h"')),
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def problems(module: pathlib.Path, layers=LAYERS, forbidden="harbor"):
    level_of = {folder: level for level, folders in enumerate(layers) for folder in folders}
    found = []
    for path in sorted(module.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".def"):
            continue
        folder = path.relative_to(module).parts[0]
        if folder not in level_of:
            if path.parent != module:
                found.append(f"{path}: folder '{folder}' is in no layer")
            continue
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = match.group(1).split("/")[0]
            where = f"{path.relative_to(module.parent)}:{number}"
            if target == forbidden:
                found.append(f"{where}: {module.name} includes {forbidden}/ ({match.group(1)})")
            elif target in level_of and target != folder and level_of[target] >= level_of[folder]:
                kind = "a sibling" if level_of[target] == level_of[folder] else "a higher layer"
                found.append(f"{where}: {folder}/ includes {kind}: {match.group(1)}")
    return found


def self_test(root: pathlib.Path, tree: str) -> int:
    layers, forbidden, (folder, name, line) = TREES[tree]
    with tempfile.TemporaryDirectory() as scratch:
        copy = pathlib.Path(scratch) / tree
        shutil.copytree(root / tree, copy)
        if problems(copy, layers, forbidden):
            print("self-test: the tree already has problems", file=sys.stderr)
            return 1
        (copy / folder / name).write_text(line + "\n")
        found = problems(copy, layers, forbidden)
        if len(found) != 1 or f"{folder}/ includes a higher layer" not in found[0]:
            print(f"self-test: the planted include was not reported: {found}", file=sys.stderr)
            return 1
    print("self-test: an upward include is reported")
    return 0


def main(argv):
    if argv[1:2] in (["-h"], ["--help"]):
        print(__doc__.strip())
        return 0
    here = pathlib.Path(__file__).resolve().parent.parent
    args = argv[1:]
    tree = "wrenmail"
    if args[:1] == ["--tree"]:
        if len(args) < 2 or args[1] not in TREES:
            print(f"--tree takes one of: {', '.join(TREES)}", file=sys.stderr)
            return 2
        tree, args = args[1], args[2:]
    if args[:1] == ["--self-test"]:
        return self_test(here, tree)
    root = pathlib.Path(args[0]) if args else here
    layers, forbidden, _ = TREES[tree]
    found = problems(root / tree, layers, forbidden)
    for line in found:
        print(line, file=sys.stderr)
    if found:
        print(f"{len(found)} include(s) break the layers", file=sys.stderr)
        return 1
    print(f"{tree} layers: every include points down")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
