#!/usr/bin/env python3
"""Checks the scene files in content/scenes/ against docs/scene-format.md.

    python3 scripts/check_scenes.py [SCENE_DIR]

Prints one line per problem ("file: sprite: what is wrong") and exits 1 when there is any,
0 otherwise. Pictures that looks name must be in content/art/.
"""
import json
import os
import re
import sys

STAGE = (640, 480)
COMMON = "ScCoCommon"
REQUIRED_LIST = "required-sprites.txt"

KINDS = {"button", "edit", "text", "sound", "animation", "sprite", "datadict", "richtext",
         "template"}
# Name prefix of each kind; a template takes the prefix of the kind it makes.
PREFIX = {"button": "Btn", "edit": "Edt", "text": "Txt", "sound": "Snd", "animation": "Ani",
          "sprite": "Spt", "datadict": "Dct", "richtext": "Pvt"}
NAME_RE = re.compile(r"^(Btn|Edt|Snd|Ani|Txt|Spt|Dct|Pvt)(Co|Cs|Wn|Wr|Rd|Ab|Pr)[A-Z][A-Za-z0-9]*$")
SCENE_RE = re.compile(r"^Sc(Co|Cs|Wn|Wr|Rd|Ab|Pr)[A-Z][A-Za-z0-9]*$")

SCENE_FIELDS = {"scene", "eventPort", "size", "background", "sprites", "overlay"}
SPRITE_FIELDS = {"name", "kind", "rect", "origin", "z", "visible", "interactive", "effect",
                 "effects", "text", "font", "edit", "duration", "data", "of"}
# Kinds that are drawn and so need a real rectangle on the stage.
VISUAL = {"button", "edit", "text", "animation", "sprite", "richtext", "template"}
BUTTON_EFFECTS = ("Up", "Roll", "Down", "Disabled")
SHAPES = {"rect", "roundrect", "ellipse"}
ALIGNS = {"left", "center", "right"}
COLOUR_RE = re.compile(r"^#[0-9a-fA-F]{6}([0-9a-fA-F]{2})?$")

# Layers: the dialog's text and buttons at 1, its backdrop at 2, the cover at 3; everything else
# of a scene at 5 or more (4 is left to the controls the module paints in front of content).
RESERVED_LAYERS = {"TxtCoDialog": 1, "BtnCoYes": 1, "BtnCoNo": 1, "BtnCoOk": 1,
                   "BtnCoCancel": 1, "AniCoDialog": 2, "SptCoCover": 3}
MIN_CONTENT_Z = 5
MAX_Z = 1000

# Layer of the instances the module makes from stamps and caption templates.
INSTANCE_Z = 10
RICH_TEXT_MARGIN = 3
RICH_TEXT_LINE = 40

# Fields whose text the module copies into 32-byte buffers, and the 128-byte ones.
EDIT_LIMITS = {"EdtCsName": 31, "EdtCsPassword": 31, "EdtAbName": 31, "EdtAbEmail": 31,
               "EdtWrTo": 127, "EdtWrSubject": 127}
PASSWORD_FIELDS = {"EdtCsPassword"}

# The look of the address list, read by the module from DctAbAddressList.
LIST_LOOK = "DctAbAddressList"
LIST_LOOK_NUMBERS = ("X", "Y", "Width", "Height", "ScrollBarWidth", "FontSize")
LIST_LOOK_COLOURS = ("BGColor", "ListSelectColor")

# Controls the module paints at run time: (scene, what, rect or the data dictionary that holds
# it, the farthest layer they use, whether it pops up over content). Authored sprites that overlap
# must lie behind them; under a control that stays up, only backdrops may.
RUNTIME_REGIONS = [
    ("ScWnMain", "mailbox list", (155, 180, 405, 195), 11, False),
    ("ScWrWrite", "address picker", (137, 100, 90, 150), 6, True),
    ("ScAbAddress", "address list", LIST_LOOK, 11, False),
]
BACKDROP_KINDS = {"sprite", "animation"}

# Places where the module shows sprites itself; the authored rectangle must agree.
FIXED_PLACES = {"ScAbAddress": {"BtnAbAdd": (200, 68), "BtnAbDelete": (200, 117),
                                "BtnAbHelp": (200, 166), "BtnAbDone": (200, 215)}}

# The dialog: shown at (0, 0) by default; the address book moves the backdrop and the buttons to
# DIALOG_SHIFT and the text to DIALOG_TEXT_IN_BOOK.
DIALOG_SHOWN_AT = (0, 0)
DIALOG_SHIFT = (-115, -75)
DIALOG_TEXT_IN_BOOK = (75, 59)

# Stamp panel: slot centres A to H; captions are made from the template at (x - 40, y + 16).
STAMP_SLOTS = [(191, 57), (300, 57), (398, 57), (501, 57), (191, 111), (300, 111), (398, 111),
               (501, 111)]
CAPTION_OFFSET = (-40, 16)
STAMP_PAGE_COLUMNS = ("image", "text")

INT32_MIN, UINT32_MAX = -(2 ** 31), 2 ** 32 - 1
MAX_DATA_DEPTH = 64
MAX_DATA_ELEMENTS = 0xFFFF
MAX_DATA_PAIRS = 0xFFFF - 4
MAX_DATA_NAMES = 4096


class Report:
    def __init__(self):
        self.errors = []

    def error(self, where, message):
        self.errors.append(f"{where}: {message}")


def is_int(v):
    return isinstance(v, int) and not isinstance(v, bool)


def one_of(v, choices):
    """Membership that also answers for values JSON may put there by mistake (lists, objects)."""
    return isinstance(v, str) and v in choices


# Accessors for the checks across sprites and scenes: they answer None or {} for fields that are
# malformed (already reported by check_sprite), so those checks never trip over them.
def valid_rect(r):
    return isinstance(r, list) and len(r) == 4 and all(map(is_int, r))


def rect_of(sprite):
    r = sprite.get("rect", [0, 0, 0, 0])
    return tuple(r) if valid_rect(r) else None


def z_of(sprite):
    z = sprite.get("z", 10)
    return z if is_int(z) else None


def effects_of(sprite):
    effects = sprite.get("effects", {})
    return effects if isinstance(effects, dict) else {}


def position_of(sprite):
    """Where show and move requests put the sprite: its origin, else its rect's corner."""
    o = sprite.get("origin")
    if isinstance(o, list) and len(o) == 2 and all(map(is_int, o)):
        return tuple(o)
    r = rect_of(sprite)
    return r[:2] if r else None


def overlaps(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def contains(r, point):
    return r[0] <= point[0] < r[0] + r[2] and r[1] <= point[1] < r[1] + r[3]


def within(inner, outer):
    return (outer[0] <= inner[0] and outer[1] <= inner[1]
            and inner[0] + inner[2] <= outer[0] + outer[2]
            and inner[1] + inner[3] <= outer[1] + outer[3])


def on_stage(r):
    return r[0] >= 0 and r[1] >= 0 and r[0] + r[2] <= STAGE[0] and r[1] + r[3] <= STAGE[1]


def check_rect(report, where, r, need_area):
    if not (isinstance(r, list) and len(r) == 4 and all(map(is_int, r))):
        report.error(where, f"rect must be [x, y, width, height] of integers, not {r!r}")
        return False
    if r[2] < 0 or r[3] < 0:
        report.error(where, f"rect {r} has a negative size")
        return False
    if need_area and (r[2] == 0 or r[3] == 0):
        report.error(where, f"rect {r} has no area")
        return False
    if need_area and not on_stage(r):
        report.error(where, f"rect {r} leaves the {STAGE[0]}x{STAGE[1]} stage")
        return False
    return True


def check_colour(report, where, v):
    if not (isinstance(v, str) and COLOUR_RE.match(v)):
        report.error(where, f"colour must be #rrggbb or #rrggbbaa, not {v!r}")


def check_look(report, where, look, art_dir):
    if not isinstance(look, dict):
        report.error(where, "a look must be an object")
        return
    for key in ("fill", "stroke", "textColor"):
        if key in look:
            check_colour(report, f"{where}.{key}", look[key])
    if "shape" in look and not one_of(look["shape"], SHAPES):
        report.error(where, f"shape {look['shape']!r} is not one of {sorted(SHAPES)}")
    if "rect" in look:
        check_rect(report, f"{where}.rect", look["rect"], True)
    if "say" in look and not (isinstance(look["say"], str) and look["say"].strip()):
        report.error(where, "say must be a non-empty text")
    if "image" in look:
        image = look["image"]
        if not isinstance(image, str) or not image.endswith(".svg") or image.startswith("/") \
                or ".." in image.split("/"):
            report.error(where, f"image must be an SVG path inside content/art/, not {image!r}")
        elif not os.path.isfile(os.path.join(art_dir, image)):
            report.error(where, f"picture {image} is not in content/art/")


def check_font(report, where, font):
    if not isinstance(font, dict):
        report.error(where, "font must be an object")
        return
    if not (isinstance(font.get("family"), str) and font["family"]):
        report.error(where, "font.family is required")
    size = font.get("size")
    if not (is_int(size) and 6 <= size <= 200):
        report.error(where, f"font.size must be a pixel size from 6 to 200, not {size!r}")
    if "color" in font:
        check_colour(report, f"{where}.color", font["color"])
    if "align" in font and not one_of(font["align"], ALIGNS):
        report.error(where, f"font.align must be one of {sorted(ALIGNS)}")
    if "wrap" in font and not isinstance(font["wrap"], bool):
        report.error(where, "font.wrap must be true or false")


def check_data_value(report, where, v, depth, names):
    """The data dictionary text form (docs/data-dictionary-format.md) as far as JSON shows it:
    objects with name keys, texts, "@" names, integers, booleans, arrays, {"@ref": value}."""
    if depth > MAX_DATA_DEPTH:
        report.error(where, f"data nests more than {MAX_DATA_DEPTH} deep")
        return
    if isinstance(v, dict):
        if "@ref" in v and len(v) > 1:
            report.error(where, "@ref must be an object's only key")
        if len(v) > MAX_DATA_PAIRS:
            report.error(where, f"object has more than {MAX_DATA_PAIRS} keys")
        for k, x in v.items():
            if not k or "\0" in k:
                report.error(where, f"data key {k!r} is not a name")
            elif k != "@ref":
                names.add(k)
            check_data_value(report, f"{where}.{k}", x, depth + 1, names)
    elif isinstance(v, list):
        if len(v) > MAX_DATA_ELEMENTS:
            report.error(where, f"array has more than {MAX_DATA_ELEMENTS} elements")
        for i, x in enumerate(v):
            check_data_value(report, f"{where}[{i}]", x, depth + 1, names)
    elif isinstance(v, str):
        if v == "@":
            report.error(where, 'the name "@" is empty (write "@@" for a literal "@")')
        if "\0" in v:
            report.error(where, "texts and names cannot hold NUL")
        if v.startswith("@") and not v.startswith("@@"):
            names.add(v[1:])
    elif isinstance(v, bool):
        pass
    elif is_int(v):
        if not INT32_MIN <= v <= UINT32_MAX:
            report.error(where, f"integer {v} does not fit 32 bits")
    else:
        report.error(where, f"{json.dumps(v)} has no data dictionary form (integers, texts, "
                            "names, arrays and objects only)")


def check_name(report, where, name, kind, of):
    if not isinstance(name, str) or not NAME_RE.match(name):
        report.error(where, "name must be kind, screen code and a capitalised name "
                            "(BtnWnUpdate)")
        return
    made = of if kind == "template" else kind
    if made in PREFIX and not name.startswith(PREFIX[made]):
        report.error(where, f"a {kind} sprite's name must start with {PREFIX[made]}")


def check_sprite(report, where, s, art_dir):
    for key in s:
        if key not in SPRITE_FIELDS:
            report.error(where, f"unknown field {key!r}")
    kind = s.get("kind")
    if not one_of(kind, KINDS):
        report.error(where, f"kind {kind!r} is not one of {sorted(KINDS)}")
        return
    of = s.get("of")
    if kind == "template":
        if not one_of(of, KINDS - {"template", "sound", "datadict"}):
            report.error(where, f"a template needs \"of\" naming a drawn kind, not {of!r}")
    elif of is not None:
        report.error(where, "only templates take \"of\"")
    check_name(report, where, s.get("name"), kind, of)
    check_placement(report, where, s, kind)
    check_effects(report, where, s, kind, art_dir)
    check_label(report, where, s, of if kind == "template" else kind)
    check_kind_fields(report, where, s, kind)


def check_placement(report, where, s, kind):
    if kind in VISUAL:
        if "rect" not in s:
            report.error(where, "rect is required")
        else:
            check_rect(report, where, s["rect"], True)
    elif "rect" in s:
        check_rect(report, where, s["rect"], False)
    if "origin" in s:
        o = s["origin"]
        if not (isinstance(o, list) and len(o) == 2 and all(map(is_int, o))):
            report.error(where, f"origin must be [x, y] of integers, not {o!r}")
    z = s.get("z", 10)
    if not (is_int(z) and 1 <= z <= MAX_Z):
        report.error(where, f"z must be an integer from 1 to {MAX_Z}, not {z!r}")
    for key in ("visible", "interactive"):
        if key in s and not isinstance(s[key], bool):
            report.error(where, f"{key} must be true or false")


def check_effects(report, where, s, kind, art_dir):
    effects = s.get("effects", {})
    if not isinstance(effects, dict):
        report.error(where, "effects must be an object")
        effects = {}
    for name, look in effects.items():
        check_look(report, f"{where}.{name}", look, art_dir)
    effect = s.get("effect", "Up" if kind == "button" else None)
    if effect is not None and not one_of(effect, effects):
        report.error(where, f"current effect {effect!r} is not among its effects")
    if kind == "button":
        for name in BUTTON_EFFECTS:
            if name not in effects:
                report.error(where, f"a button needs the effect {name}")
    if kind == "sound":
        if not effects:
            report.error(where, "a sound needs at least one effect")
        for name, look in effects.items():
            if isinstance(look, dict) and "say" not in look:
                report.error(where, f"sound effect {name} has nothing to say")


def check_label(report, where, s, made):
    if "text" in s and not isinstance(s["text"], str):
        report.error(where, "text must be a text")
    if made in ("text", "edit") and "font" not in s:
        report.error(where, f"a {made} sprite needs a font")
    if "text" in s and s["text"] and "font" not in s:
        report.error(where, "a label needs a font")
    if "font" in s:
        check_font(report, where, s["font"])


def check_kind_fields(report, where, s, kind):
    if kind == "edit":
        check_edit(report, where, s)
    elif "edit" in s:
        report.error(where, "only edit fields take \"edit\"")
    if "duration" in s:
        if kind != "animation":
            report.error(where, "only animations take a duration")
        elif not (is_int(s["duration"]) and s["duration"] >= 0):
            report.error(where, "duration must be a whole number of milliseconds")
    if kind == "datadict":
        if not isinstance(s.get("data"), dict):
            report.error(where, "a data dictionary sprite needs \"data\" holding an object")
        else:
            names = set()
            check_data_value(report, f"{where}.data", s["data"], 0, names)
            if len(names) > MAX_DATA_NAMES:
                report.error(where, f"data uses more than {MAX_DATA_NAMES} distinct names")
    elif "data" in s:
        report.error(where, "only data dictionary sprites take \"data\"")


def check_edit(report, where, s):
    edit = s.get("edit")
    if not isinstance(edit, dict):
        report.error(where, "an edit field needs \"edit\" with maxLength")
        return
    name = s.get("name") if isinstance(s.get("name"), str) else ""
    limit = EDIT_LIMITS.get(name, 127)
    n = edit.get("maxLength")
    if not (is_int(n) and 1 <= n <= limit):
        report.error(where, f"edit.maxLength must be from 1 to {limit}, not {n!r}")
    password = edit.get("password", False)
    if not isinstance(password, bool):
        report.error(where, "edit.password must be true or false")
    elif password != (name in PASSWORD_FIELDS):
        report.error(where, f"edit.password should be {not password}")


def load_scene(report, path):
    where = os.path.basename(path)

    def no_twice(pairs):
        seen = {}
        for k, v in pairs:
            if k in seen:
                report.error(where, f"key {k!r} given twice in one object")
            seen[k] = v
        return seen

    def no_fractions(text):
        raise ValueError(f"number {text} is not an integer")

    try:
        with open(path, encoding="utf-8") as f:
            return json.load(f, object_pairs_hook=no_twice, parse_float=no_fractions,
                             parse_constant=no_fractions)
    except (OSError, ValueError) as e:
        report.error(where, f"cannot read: {e}")
        return None


def check_scene(report, fname, doc, art_dir):
    where = fname
    if not isinstance(doc, dict):
        report.error(where, "a scene file holds one object")
        return {}
    for key in doc:
        if key not in SCENE_FIELDS:
            report.error(where, f"unknown scene field {key!r}")
    scene = doc.get("scene")
    if not (isinstance(scene, str) and SCENE_RE.match(scene)):
        report.error(where, f"scene name {scene!r} must look like ScWnMain")
    elif fname != scene + ".json":
        report.error(where, f"file must be named {scene}.json")
    if scene == COMMON:
        if "eventPort" in doc:
            report.error(where, "the common scene has no event port of its own")
    elif not (isinstance(doc.get("eventPort"), str) and doc["eventPort"].endswith("Port")):
        report.error(where, "eventPort must name a port (ending in Port)")
    if doc.get("size") != list(STAGE):
        report.error(where, f"size must be {list(STAGE)}")
    if not isinstance(doc.get("background"), dict):
        report.error(where, "background must be an object (a look)")
    else:
        check_look(report, f"{where}: background", doc["background"], art_dir)
    if "overlay" in doc and not isinstance(doc["overlay"], bool):
        report.error(where, "overlay must be true or false")
    sprites = doc.get("sprites")
    if not isinstance(sprites, list):
        report.error(where, "sprites must be an array")
        return {}
    by_name = {}
    for i, s in enumerate(sprites):
        if not isinstance(s, dict):
            report.error(f"{where}: sprite {i}", "a sprite is an object")
            continue
        name = s.get("name")
        label = f"{where}: {name if isinstance(name, str) else 'sprite ' + str(i)}"
        check_sprite(report, label, s, art_dir)
        if isinstance(name, str):
            if name in by_name:
                report.error(label, "name used twice in the scene")
            by_name[name] = s
    return by_name


def check_layers(report, fname, by_name, is_common):
    for name, s in by_name.items():
        z = s.get("z", 10)
        if not is_int(z):
            continue
        where = f"{fname}: {name}"
        if name in RESERVED_LAYERS:
            if not is_common:
                report.error(where, "dialog and cover sprites belong to the common scene")
            elif z != RESERVED_LAYERS[name]:
                report.error(where, f"must lie at z {RESERVED_LAYERS[name]}")
        elif z < MIN_CONTENT_Z:
            report.error(where, f"z {z} is reserved for the dialog and the cover "
                                f"(content lies at {MIN_CONTENT_Z} or more)")


def check_common(report, fname, by_name):
    cover = by_name.get("SptCoCover")
    if cover and rect_of(cover) != (0, 0) + STAGE:
        report.error(f"{fname}: SptCoCover", "must cover the whole stage")
    if cover and cover.get("interactive") is not True:
        report.error(f"{fname}: SptCoCover", "must take the clicks meant for what it covers")
    backdrop = by_name.get("AniCoDialog")
    text = by_name.get("TxtCoDialog")
    if not (backdrop and text and rect_of(backdrop) and rect_of(text)):
        return
    shifted = []
    for name in ("AniCoDialog", "BtnCoYes", "BtnCoNo", "BtnCoOk"):
        s = by_name.get(name)
        if not s or not rect_of(s):
            continue
        origin = s.get("origin")
        if origin != list(DIALOG_SHOWN_AT):
            report.error(f"{fname}: {name}", f"origin must be {list(DIALOG_SHOWN_AT)}: the "
                                             "module shows and moves it by that point")
            continue
        r = rect_of(s)
        moved = (r[0] + DIALOG_SHIFT[0], r[1] + DIALOG_SHIFT[1], r[2], r[3])
        if not on_stage(moved):
            report.error(f"{fname}: {name}", f"moved by {DIALOG_SHIFT} in the address book it "
                                             f"leaves the stage ({list(moved)})")
        if name != "AniCoDialog" and not within(r, rect_of(backdrop)):
            report.error(f"{fname}: {name}", "must lie inside the dialog backdrop")
        shifted.append(name)
    t = rect_of(text)
    if not within(t, rect_of(backdrop)):
        report.error(f"{fname}: TxtCoDialog", "must lie inside the dialog backdrop")
    origin = text.get("origin", [t[0], t[1]])
    expected = [DIALOG_TEXT_IN_BOOK[0] - DIALOG_SHIFT[0], DIALOG_TEXT_IN_BOOK[1] - DIALOG_SHIFT[1]]
    if "AniCoDialog" in shifted and origin != expected:
        report.error(f"{fname}: TxtCoDialog", f"must be placed at {expected}, so that the "
                                              f"address book's move to {list(DIALOG_TEXT_IN_BOOK)} "
                                              "keeps it on the moved backdrop")


def check_runtime_regions(report, scenes):
    for scene, what, region, farthest, popup in RUNTIME_REGIONS:
        by_name = scenes.get(scene)
        if by_name is None:
            continue
        if isinstance(region, str):
            data = by_name.get(region, {}).get("data", {})
            try:
                region = tuple(data[k] for k in ("X", "Y", "Width", "Height"))
            except (KeyError, TypeError):
                continue
            if not (all(map(is_int, region)) and on_stage(region)):
                report.error(f"{scene}.json: {LIST_LOOK}", f"the {what} {list(region)} must "
                                                           "lie on the stage")
                continue
        for name, s in by_name.items():
            r = rect_of(s)
            if not one_of(s.get("kind"), VISUAL) or not r or not overlaps(r, region):
                continue
            where = f"{scene}.json: {name}"
            if not popup and (not one_of(s["kind"], BACKDROP_KINDS) or s.get("text")):
                report.error(where, f"overlaps the {what} at {list(region)}: leave it room")
            elif z_of(s) is not None and z_of(s) <= farthest:
                report.error(where, f"overlaps the {what} at {list(region)} but is not behind "
                                    f"it (z > {farthest})")


def check_fixed_places(report, scenes):
    for scene, places in FIXED_PLACES.items():
        for name, (x, y) in places.items():
            s = scenes.get(scene, {}).get(name)
            if s and position_of(s) not in (None, (x, y)):
                report.error(f"{scene}.json: {name}", f"the module shows it at ({x}, {y}); its "
                                                      "rect must start there")


def check_rich_text(report, scenes):
    for scene, by_name in scenes.items():
        views = {n: s for n, s in by_name.items() if s.get("kind") == "richtext"}
        for name, s in views.items():
            r, z = rect_of(s), z_of(s)
            if r and r[3] < RICH_TEXT_MARGIN + RICH_TEXT_LINE:
                report.error(f"{scene}.json: {name}", "too low for one line of text")
            if z is not None and z <= INSTANCE_Z:
                report.error(f"{scene}.json: {name}", f"must lie behind the stamps placed on it "
                                                      f"(z > {INSTANCE_Z})")
        cursor = by_name.get("AniWrCursor")
        if views and cursor is None:
            report.error(f"{scene}.json", "rich text views need the cursor sprite AniWrCursor")
        if cursor and z_of(cursor) is not None:
            for name, s in views.items():
                if z_of(s) is not None and z_of(cursor) >= z_of(s):
                    report.error(f"{scene}.json: AniWrCursor", f"must lie in front of {name}")


def check_stamp_panel(report, scenes, common):
    by_name = scenes.get("ScWrWrite")
    if not by_name:
        return
    fname = "ScWrWrite.json"
    pages = [s for n, s in by_name.items() if re.fullmatch(r"AniWrPanel\d", n)]
    hilite = by_name.get("AniWrHilite")
    for k, point in enumerate(STAMP_SLOTS):
        letter = chr(ord("A") + k)
        target = by_name.get("SptWrIcon" + letter)
        if target and rect_of(target) and not contains(rect_of(target), point):
            report.error(f"{fname}: SptWrIcon{letter}", f"must cover its slot at {point}")
        if target and target.get("interactive") is not True:
            report.error(f"{fname}: SptWrIcon{letter}", "must take clicks")
        box = hilite and effects_of(hilite).get("Box" + letter)
        if isinstance(box, dict):
            r = box.get("rect")
            if not (valid_rect(r) and contains(r, point)):
                report.error(f"{fname}: AniWrHilite.Box{letter}",
                             f"needs a rect around its slot at {point}")
    template = by_name.get("TxtWrIconText")
    if template and rect_of(template):
        w, h = rect_of(template)[2:]
        for point in STAMP_SLOTS:
            caption = (point[0] + CAPTION_OFFSET[0], point[1] + CAPTION_OFFSET[1], w, h)
            if not on_stage(caption):
                report.error(f"{fname}: TxtWrIconText", f"a caption at {list(caption)} "
                                                        "leaves the stage")
    for page in pages:
        z = z_of(page)
        if z is not None and z <= INSTANCE_Z:
            report.error(f"{fname}: {page['name']}", f"must lie behind the stamps and captions "
                                                     f"shown on it (z > {INSTANCE_Z})")
        if hilite and z_of(hilite) is not None and z is not None \
                and not INSTANCE_Z < z_of(hilite) < z:
            report.error(f"{fname}: AniWrHilite", f"must lie between the stamps and "
                                                  f"{page['name']}")
    for name, s in by_name.items():
        if re.fullmatch(r"DctWrIcons\d", name) and isinstance(s.get("data"), dict):
            check_stamp_page(report, f"{fname}: {name}", s["data"], by_name, common)


def check_stamp_page(report, where, data, by_name, common):
    if not isinstance(data.get("Category"), str) or not data["Category"]:
        report.error(where, "needs a Category text")
    template = data.get("TEMPLATE")
    forms = data.get("FORMS")
    want = ["@" + c for c in STAMP_PAGE_COLUMNS]
    if not (isinstance(template, list) and all(c in template for c in want)):
        report.error(where, f"TEMPLATE must name the columns {want}")
        return
    if not isinstance(forms, list) or len(forms) % len(template):
        report.error(where, "FORMS must hold whole records of the TEMPLATE's columns")
        return
    image_at, text_at = (len(template) - 1 - template[::-1].index(c) for c in want)
    for i in range(0, len(forms), len(template)):
        image, caption = forms[i + image_at], forms[i + text_at]
        record = f"{where}: record {i // len(template)}"
        if not (isinstance(image, str) and image.startswith("@") and not image.startswith("@@")):
            report.error(record, f"image must be a sprite name (\"@Name\"), not {image!r}")
            continue
        stamp = by_name.get(image[1:]) or common.get(image[1:])
        if stamp is None:
            report.error(record, f"stamp sprite {image[1:]} is in neither the scene nor "
                                 "the common sprites")
        else:
            if "Still" not in effects_of(stamp):
                report.error(record, f"{image[1:]} needs the effect Still")
            if stamp.get("interactive") is not False:
                report.error(record, f"{image[1:]} must not take clicks (the slot does)")
            r = rect_of(stamp)
            if r and position_of(stamp) != (r[0] + r[2] // 2, r[1] + r[3] // 2):
                report.error(record, f"{image[1:]} must have its centre as origin: pictures "
                                     "are placed by their centre")
        if not (isinstance(caption, str) and caption and '"' not in caption):
            report.error(record, f"caption must be a non-empty text without '\"', not "
                                 f"{caption!r}")


def check_list_look(report, scenes):
    for scene, by_name in scenes.items():
        s = by_name.get(LIST_LOOK)
        if not s or not isinstance(s.get("data"), dict):
            continue
        where, data = f"{scene}.json: {LIST_LOOK}", s["data"]
        for key in LIST_LOOK_NUMBERS:
            if not (is_int(data.get(key)) and data[key] >= 0):
                report.error(where, f"{key} must be a whole number")
        if not (isinstance(data.get("Font"), str) and data["Font"]):
            report.error(where, "Font must name a font")
        for key in LIST_LOOK_COLOURS:
            c = data.get(key)
            if not (isinstance(c, list) and len(c) == 3
                    and all(is_int(v) and 0 <= v <= 255 for v in c)):
                report.error(where, f"{key} must be [red, green, blue] from 0 to 255")
        width, bar = data.get("Width"), data.get("ScrollBarWidth")
        if is_int(width) and is_int(bar) and bar >= width:
            report.error(where, "the scroll bar leaves no room for the rows")


def read_required(report, path):
    required = {}
    try:
        with open(path, encoding="utf-8") as f:
            lines = f.readlines()
    except OSError as e:
        report.error(REQUIRED_LIST, f"cannot read: {e}")
        return required
    for n, line in enumerate(lines, 1):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        scene, sep, names = line.partition(":")
        scene = scene.strip()
        if not sep or not SCENE_RE.match(scene):
            report.error(f"{REQUIRED_LIST}:{n}", "expected 'Scene: Name Name ...'")
            continue
        if scene in required:
            report.error(f"{REQUIRED_LIST}:{n}", f"{scene} is listed twice")
        required[scene] = names.split()
    return required


def check_required(report, scenes, required):
    for scene, names in required.items():
        by_name = scenes.get(scene)
        if by_name is None:
            report.error(REQUIRED_LIST, f"scene {scene} has no file {scene}.json")
            continue
        for entry in names:
            name, _, effect = entry.partition(".")
            s = by_name.get(name)
            if s is None:
                report.error(f"{scene}.json", f"required sprite {name} is missing")
            elif effect and effect not in effects_of(s):
                report.error(f"{scene}.json: {name}", f"required effect {effect} is missing")
    for scene in scenes:
        if scene not in required:
            report.error(REQUIRED_LIST, f"scene {scene} has no line")


def check_all(scene_dir):
    report = Report()
    art_dir = os.path.join(os.path.dirname(os.path.abspath(scene_dir)), "art")
    scenes = {}
    ports = {}
    files = sorted(f for f in os.listdir(scene_dir) if f.endswith(".json"))
    if not files:
        report.error(scene_dir, "no scene files")
    for fname in files:
        doc = load_scene(report, os.path.join(scene_dir, fname))
        if doc is None:
            continue
        by_name = check_scene(report, fname, doc, art_dir)
        scene = fname[:-len(".json")]
        scenes[scene] = by_name
        check_layers(report, fname, by_name, scene == COMMON)
        port = doc.get("eventPort") if isinstance(doc, dict) else None
        if isinstance(port, str):
            if port in ports:
                report.error(fname, f"event port {port} is also {ports[port]}'s")
            ports[port] = scene
    common = scenes.get(COMMON)
    if common is None:
        report.error(scene_dir, f"{COMMON}.json is missing")
        common = {}
    else:
        check_common(report, f"{COMMON}.json", common)
    for scene, by_name in scenes.items():
        if scene != COMMON:
            for name in by_name.keys() & common.keys():
                report.error(f"{scene}.json: {name}", "clashes with the common sprite of "
                                                      "that name")
    check_runtime_regions(report, scenes)
    check_fixed_places(report, scenes)
    check_list_look(report, scenes)
    check_rich_text(report, {s: {**common, **b} for s, b in scenes.items() if s != COMMON})
    check_stamp_panel(report, scenes, common)
    check_required(report, scenes, read_required(report, os.path.join(scene_dir, REQUIRED_LIST)))
    return report, scenes


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    scene_dir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "content", "scenes")
    report, scenes = check_all(scene_dir)
    for e in report.errors:
        print(f"error: {e}")
    if report.errors:
        print(f"{len(report.errors)} error(s) in {scene_dir}")
        return 1
    counts = ", ".join(f"{s} {len(b)}" for s, b in sorted(scenes.items()))
    print(f"scenes ok: {counts}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
