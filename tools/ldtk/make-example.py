#!/usr/bin/env python3
"""Writes data/ldtk/: level 1 of the default world as a project of the LDtk editor.

  world.ldtk   the project, laid out as LDtk 1.5 saves it: one level, "Level_1", with one Tiles
               layer "Tiles" on the game's 21-pixel grid (more, "Tiles 1", "Tiles 2", ...,
               where the level file's lines go up a row again: each run of lines going down
               the rows is a layer, the last one on top), and the level fields name, id,
               deathLevelInY, cameraLead, cameraBand, cameraEase and backdrop
  world.png    the tileset "World": tile id N is tile type N (custom data "tileType=N"), each
               sprite cut from the atlas and fitted into its 21 x 21 cell

`levelimport world.ldtk 1level1.json` gives back data/1level1.json byte for byte (a test checks
it). Run from the repository root after changing level 1, the tile types or the atlas:
python3 tools/ldtk/make-example.py (needs ImageMagick's convert).
"""
import glob
import json
import os
import re
import subprocess
import uuid

DATA = "data"
OUT = os.path.join(DATA, "ldtk")
LEVEL = os.path.join(DATA, "1level1.json")
ATLAS = os.path.join(DATA, "platformer-art-deluxe")
CELL = 21  # pixels of a grid cell: one game tile
COLUMNS = 10  # tiles in a row of the tileset picture
HEADROOM = 2  # empty rows above the highest tile, room to draw
JSON_VERSION = "1.5.3"
TILESET_UID, LAYER_UID, LEVEL_UID = 1, 2, 3
FIELD_UIDS = 10  # the level field definitions take uids from here


def iid(name):
    """A stable iid, so that running the script again changes nothing."""
    return str(uuid.uuid5(uuid.NAMESPACE_URL, "orka-ldtk-example/" + name))


def tile_types():
    types = {}
    for path in glob.glob(os.path.join(DATA, "tile*.json")):
        number = int(re.search(r"tile(\d+)\.json$", path).group(1))
        with open(path) as f:
            types[number] = json.load(f)
    return dict(sorted(types.items()))


def write_picture(types):
    """world.png: each tile type's sprite fitted into cell N of a COLUMNS-wide grid."""
    with open(ATLAS + ".json") as f:
        frames = {frame["filename"]: frame["frame"] for frame in json.load(f)["frames"]}
    rows = max(types) // COLUMNS + 1
    command = ["convert", "-size", "%dx%d" % (COLUMNS * CELL, rows * CELL), "xc:none"]
    for number, tile in types.items():
        if "sprite" not in tile:
            continue
        frame = frames["%d.png" % tile["sprite"]]
        command += ["(", ATLAS + ".png", "-crop",
                    "%dx%d+%d+%d" % (frame["w"], frame["h"], frame["x"], frame["y"]), "+repage",
                    "-resize", "%dx%d>" % (CELL, CELL), "-background", "none", "-gravity",
                    "center", "-extent", "%dx%d" % (CELL, CELL), ")", "-gravity", "northwest",
                    "-geometry", "+%d+%d" % (number % COLUMNS * CELL, number // COLUMNS * CELL),
                    "-composite"]
    command += ["-strip", "PNG32:" + os.path.join(OUT, "world.png")]
    subprocess.run(command, check=True)
    return COLUMNS * CELL, rows * CELL


def field_def(uid, identifier, kind):
    return {"identifier": identifier, "doc": None, "__type": kind, "uid": uid,
            "type": "F_" + kind, "isArray": False, "canBeNull": True, "arrayMinLength": None,
            "arrayMaxLength": None, "editorDisplayMode": "Hidden", "editorDisplayScale": 1,
            "editorDisplayPos": "Above", "editorLinkStyle": "StraightArrow",
            "editorDisplayColor": None, "editorAlwaysShow": False, "editorShowInWorld": True,
            "editorCutLongValues": True, "editorTextSuffix": None, "editorTextPrefix": None,
            "useForSmartColor": False, "exportToToc": False, "searchable": False, "min": None,
            "max": None, "regex": None, "acceptFileTypes": None, "defaultOverride": None,
            "textLanguageMode": None, "symmetricalRef": False, "autoChainRef": True,
            "allowOutOfLevelRef": True, "allowedRefs": "Any", "allowedRefsEntityUid": None,
            "allowedRefTags": [], "tilesetUid": None}


def level_fields(level):
    """The level keys as (identifier, LDtk type, value), those the level file has."""
    camera = level.get("camera", {})
    fields = [("name", "String", level["name"]), ("id", "Int", level["id"])]
    if "deathLevelInY" in level:
        fields.append(("deathLevelInY", "Float", level["deathLevelInY"]))
    for key, name in (("lead", "cameraLead"), ("band", "cameraBand"), ("ease", "cameraEase")):
        if key in camera:
            fields.append((name, "Float", camera[key]))
    if "backdrop" in level:
        # The level file's own spelling of the array, which the importer writes as it is.
        fields.append(("backdrop", "String", json.dumps(level["backdrop"], separators=(", ", ": "))))
    return fields


def field_instance(uid, identifier, kind, value):
    editor = {"String": "V_String", "Int": "V_Int", "Float": "V_Float"}[kind]
    return {"__identifier": identifier, "__type": kind, "__value": value, "__tile": None,
            "defUid": uid, "realEditorValues": [{"id": editor, "params": [value]}]}


def tile_runs(level):
    """The level's lines in runs going down the rows: the importer writes a layer's tiles top
    row first, one line per row, so each run is one layer (as in tools/tiled)."""
    runs = []
    last_row = None
    for line in level["arrayOfTiles"]:
        row = line[0][2]
        if last_row is None or row >= last_row:
            runs.append([])
        last_row = row
        runs[-1].extend(line)
    return runs


def tile_layer(entries, name, uid, width, height):
    tiles = []
    for tile_type, column, row in entries:
        x, y = column * CELL, (height - 1 - row) * CELL
        tiles.append({"px": [x, y],
                      "src": [tile_type % COLUMNS * CELL, tile_type // COLUMNS * CELL],
                      "f": 0, "t": tile_type, "d": [(height - 1 - row) * width + column], "a": 1})
    return {"__identifier": name, "__type": "Tiles", "__cWid": width, "__cHei": height,
            "__gridSize": CELL, "__opacity": 1, "__pxTotalOffsetX": 0, "__pxTotalOffsetY": 0,
            "__tilesetDefUid": TILESET_UID, "__tilesetRelPath": "world.png",
            "iid": iid("layer" if uid == LAYER_UID else "layer%d" % uid),
            "levelId": LEVEL_UID, "layerDefUid": uid,
            "pxOffsetX": 0, "pxOffsetY": 0, "visible": True, "optionalRules": [],
            "intGridCsv": [], "autoLayerTiles": [], "seed": 1, "overrideTilesetUid": None,
            "gridTiles": tiles, "entityInstances": []}


def tile_layer_def(name, uid):
    return {"__type": "Tiles", "identifier": name, "type": "Tiles", "uid": uid,
            "doc": None, "uiColor": None, "gridSize": CELL, "guideGridWid": 0,
            "guideGridHei": 0, "displayOpacity": 1, "inactiveOpacity": 1,
            "hideInList": False, "hideFieldsWhenInactive": False,
            "canSelectWhenInactive": True, "renderInWorldView": True, "pxOffsetX": 0,
            "pxOffsetY": 0, "parallaxFactorX": 0, "parallaxFactorY": 0,
            "parallaxScaling": True, "requiredTags": [], "excludedTags": [],
            "autoTilesKilledByOtherLayerUid": None, "uiFilterTags": [],
            "useAsyncRender": False, "intGridValues": [], "intGridValuesGroups": [],
            "autoRuleGroups": [], "autoSourceLayerDefUid": None,
            "tilesetDefUid": TILESET_UID, "tilePivotX": 0, "tilePivotY": 0,
            "biomeFieldUid": None}


def project(level, picture):
    entries = [entry for row in level["arrayOfTiles"] for entry in row]
    width = max(e[1] for e in entries) + 1
    height = max(e[2] for e in entries) + 1 + HEADROOM
    fields = level_fields(level)
    runs = tile_runs(level)
    uids = [LAYER_UID] + [FIELD_UIDS + len(fields) + i for i in range(len(runs) - 1)]
    names = ["Tiles"] if len(runs) == 1 else ["Tiles %d" % (i + 1) for i in range(len(runs))]
    # LDtk lists the top layer first; the last run of lines is drawn over the others.
    layers = [tile_layer(run, names[i], uids[i], width, height) for i, run in enumerate(runs)]
    layer_defs = [tile_layer_def(names[i], uids[i]) for i in range(len(runs))]
    layers.reverse()
    layer_defs.reverse()
    field_defs = [field_def(FIELD_UIDS + i, name, kind) for i, (name, kind, _) in enumerate(fields)]
    instances = [field_instance(FIELD_UIDS + i, name, kind, value)
                 for i, (name, kind, value) in enumerate(fields)]
    ldtk_level = {"identifier": "Level_1", "iid": iid("level"), "uid": LEVEL_UID, "worldX": 0,
                  "worldY": 0, "worldDepth": 0, "pxWid": width * CELL, "pxHei": height * CELL,
                  "__bgColor": "#40465B", "bgColor": None, "useAutoIdentifier": False,
                  "bgRelPath": None, "bgPos": None, "bgPivotX": 0.5, "bgPivotY": 0.5,
                  "__smartColor": "#ADADB5", "__bgPos": None, "externalRelPath": None,
                  "fieldInstances": instances, "layerInstances": layers, "__neighbours": []}
    types = sorted({e[0] for e in entries} | set(tile_types()))
    tileset = {"__cWid": picture[0] // CELL, "__cHei": picture[1] // CELL, "identifier": "World",
               "uid": TILESET_UID, "relPath": "world.png", "embedAtlas": None,
               "pxWid": picture[0], "pxHei": picture[1], "tileGridSize": CELL, "spacing": 0,
               "padding": 0, "tags": [], "tagsSourceEnumUid": None, "enumTags": [],
               "customData": [{"tileId": n, "data": "tileType=%d" % n} for n in types],
               "savedSelections": [], "cachedPixelData": None}
    return {"__header__": {"fileType": "LDtk Project JSON", "app": "LDtk",
                           "doc": "https://ldtk.io/json", "schema": "https://ldtk.io/files/JSON_SCHEMA.json",
                           "appAuthor": "Sebastien 'deepnight' Benard", "appVersion": JSON_VERSION,
                           "url": "https://ldtk.io"},
            "iid": iid("project"), "jsonVersion": JSON_VERSION, "appBuildId": 473703,
            "nextUid": FIELD_UIDS + len(fields) + len(runs) - 1, "identifierStyle": "Capitalize", "toc": [],
            "worldLayout": "Free", "worldGridWidth": 256, "worldGridHeight": 256,
            "defaultLevelWidth": width * CELL, "defaultLevelHeight": height * CELL,
            "defaultPivotX": 0, "defaultPivotY": 0, "defaultGridSize": CELL,
            "defaultEntityWidth": CELL, "defaultEntityHeight": CELL, "bgColor": "#40465B",
            "defaultLevelBgColor": "#696A79", "minifyJson": False, "externalLevels": False,
            "exportTiled": False, "simplifiedExport": False, "imageExportMode": "None",
            "exportLevelBg": True, "pngFilePattern": None, "backupOnSave": False,
            "backupLimit": 10, "backupRelPath": None, "levelNamePattern": "Level_%idx",
            "tutorialDesc": None, "customCommands": [], "flags": [],
            "defs": {"layers": layer_defs, "entities": [], "tilesets": [tileset], "enums": [],
                     "externalEnums": [], "levelFields": field_defs},
            "levels": [ldtk_level], "worlds": [], "dummyWorldIid": iid("world")}


def pretty(value, depth=0):
    """JSON as LDtk writes it: tabs, and short arrays and objects kept on one line."""
    flat = json.dumps(value, ensure_ascii=False)
    if not isinstance(value, (dict, list)) or len(flat) <= 100:
        return json.dumps(value, ensure_ascii=False, separators=(",", ":")) if isinstance(value, (dict, list)) else flat
    inner = "\t" * (depth + 1)
    if isinstance(value, dict):
        members = [inner + json.dumps(k) + ": " + pretty(v, depth + 1) for k, v in value.items()]
        return "{\n" + ",\n".join(members) + "\n" + "\t" * depth + "}"
    items = [inner + pretty(v, depth + 1) for v in value]
    return "[\n" + ",\n".join(items) + "\n" + "\t" * depth + "]"


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(LEVEL) as f:
        level = json.load(f)
    picture = write_picture(tile_types())
    with open(os.path.join(OUT, "world.ldtk"), "w") as f:
        f.write(pretty(project(level, picture)) + "\n")


if __name__ == "__main__":
    main()
