#!/usr/bin/env python3
"""Writes data/tiled/: the six levels of the default world as maps of the Tiled editor.

  level<N>.tmx     level N (1 to 6) in Tiled's XML; each imports to data/1level<N>.json byte for
                   byte: map properties id, name, deathLevelInY, cameraLead, cameraBand,
                   cameraEase; the backdrop as image layers under the tiles (parallaxx the
                   layer's parallax); the tiles on one tile layer ("Tiles"), more only where
                   the level file's rows need them
  level1.tmj, level6.tmj   the same maps in Tiled's JSON
  world.tsx, world.tsj     the tileset, a collection of images: tile id N is tile type N
                           ("tileType" N)
  tiles/N.png      the sprite of tile type N, cut from the atlas
  backdrop/S.png   atlas sprite S, for the backdrop's image layers (the file name names it)

Files are written as Debian's Tiled 1.8.2 saves them, so opening one in Tiled and saving it
changes nothing: `tiled --export-map tmx level1.tmx out.tmx` gives the same bytes. Run from the
repository root after changing a level, the tile types or the atlas:
python3 tools/tiled/make-example.py (needs ImageMagick's convert).
"""
import glob
import json
import os
import re
import subprocess
import sys
from xml.sax.saxutils import quoteattr

DATA = "data"
OUT = os.path.join(DATA, "tiled")
LEVELS = [1, 2, 3, 4, 5, 6]  # level N of the default world becomes data/tiled/level<N>.tmx
JSON_LEVELS = [1, 6]  # ... and data/tiled/level<N>.tmj
ATLAS = os.path.join(DATA, "platformer-art-deluxe")
TILED_VERSION = "1.8.2"
FORMAT_VERSION = "1.8"
CELL = 21  # game units per grid cell
HEADROOM = 2  # empty rows above the highest tile, room to draw
FIRST_GID = 1
CAMERA_PROPERTIES = {"lead": "cameraLead", "band": "cameraBand", "ease": "cameraEase"}
KNOWN_LEVEL_KEYS = {"id", "name", "deathLevelInY", "backdrop", "camera", "arrayOfTiles"}


def tiled_json(value, depth=0, in_array=False):
    """JSON as Tiled writes it: sorted keys, "key":value, objects in arrays indented by 8."""
    if isinstance(value, dict):
        if depth == 0:
            members = [" " + json.dumps(k) + ":" + tiled_json(v, 1) for k, v in sorted(value.items())]
            return "{" + ",\n".join(members) + "\n}"
        # An object in an array stands at 8 per level; one that is a member's value at 4 less.
        close = " " * (8 * depth if in_array else 8 * depth - 4)
        members = [close + " " + json.dumps(k) + ":" + tiled_json(v, depth + 1)
                   for k, v in sorted(value.items())]
        opening = "{\n" if in_array else "\n" + close + "{\n"
        return opening + ",\n".join(members) + "\n" + close + "}"
    if isinstance(value, list):
        if value and isinstance(value[0], dict):
            items = [" " * (8 * depth) + tiled_json(v, depth, True) for v in value]
            return "[\n" + ", \n".join(items) + "]"
        return "[" + ", ".join(tiled_json(v) for v in value) + "]"
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, str):
        return json.dumps(value).replace("/", "\\/")
    return json.dumps(value)


def number_text(value):
    """A number as Tiled writes a property or factor: 70, 0.25, -63."""
    return str(int(value)) if float(value).is_integer() else repr(float(value))


def tile_types():
    types = {}
    for path in glob.glob(os.path.join(DATA, "tile*.json")):
        number = int(re.search(r"tile(\d+)\.json$", path).group(1))
        with open(path) as f:
            types[number] = json.load(f)
    return dict(sorted(types.items()))


def atlas_frames():
    with open(ATLAS + ".json") as f:
        return {frame["filename"]: frame["frame"] for frame in json.load(f)["frames"]}


def cut_sprite(frames, sprite, image):
    """Writes atlas sprite `sprite` as the PNG `image` (relative to OUT); gives its size."""
    frame = frames["%d.png" % sprite]
    os.makedirs(os.path.dirname(os.path.join(OUT, image)), exist_ok=True)
    subprocess.run(["convert", ATLAS + ".png", "-crop",
                    "%dx%d+%d+%d" % (frame["w"], frame["h"], frame["x"], frame["y"]),
                    "+repage", "-strip", "PNG32:" + os.path.join(OUT, image)], check=True)
    return frame["w"], frame["h"]


def tileset_tiles(types, frames):
    tiles = []
    for number, tile in types.items():
        image = "tiles/%d.png" % number
        width, height = cut_sprite(frames, tile["sprite"], image)
        tiles.append({"id": number, "image": image, "imagewidth": width, "imageheight": height,
                      "properties": [{"name": "tileType", "type": "int", "value": number}]})
    return tiles


def write_tileset(tiles):
    width = max(t["imagewidth"] for t in tiles)
    height = max(t["imageheight"] for t in tiles)
    tileset = {"columns": 0, "grid": {"height": 1, "orientation": "orthogonal", "width": 1},
               "margin": 0, "name": "world", "spacing": 0, "tilecount": len(tiles),
               "tiledversion": TILED_VERSION, "tileheight": height, "tiles": tiles,
               "tilewidth": width, "type": "tileset", "version": FORMAT_VERSION}
    with open(os.path.join(OUT, "world.tsj"), "w") as f:
        f.write(tiled_json(tileset))  # Tiled ends its JSON without a newline
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<tileset version="%s" tiledversion="%s" name="world" tilewidth="%d" '
             'tileheight="%d" tilecount="%d" columns="0">'
             % (FORMAT_VERSION, TILED_VERSION, width, height, len(tiles)),
             ' <grid orientation="orthogonal" width="1" height="1"/>']
    for tile in tiles:
        lines += [' <tile id="%d">' % tile["id"], "  <properties>",
                  '   <property name="tileType" type="int" value="%d"/>' % tile["id"],
                  "  </properties>",
                  '  <image width="%d" height="%d" source=%s/>'
                  % (tile["imagewidth"], tile["imageheight"], quoteattr(tile["image"])),
                  " </tile>"]
    lines.append("</tileset>")
    with open(os.path.join(OUT, "world.tsx"), "w") as f:
        f.write("\n".join(lines) + "\n")


def tile_layers(level, width, height):
    """The tile layers that import to the level's "arrayOfTiles" line for line: the importer
    writes a layer's tiles top row first, one line per row, so each run of lines going down
    the rows is one layer."""
    layers = []
    last_row = None
    for line in level["arrayOfTiles"]:
        rows = {entry[2] for entry in line}
        columns = [entry[1] for entry in line]
        if len(rows) != 1 or columns != sorted(set(columns)):
            sys.exit("%s: a line of \"arrayOfTiles\" is not one row left to right" % level["name"])
        row = rows.pop()
        if last_row is None or row >= last_row:
            layers.append([0] * (width * height))
        last_row = row
        for tile_type, column, _ in (entry[:3] for entry in line):
            layers[-1][(height - 1 - row) * width + column] = FIRST_GID + tile_type
    return layers


def layer_name(index, count):
    return "Tiles" if count == 1 else "Tiles %d" % (index + 1)


def map_properties(level):
    properties = [("deathLevelInY", "float", level["deathLevelInY"]), ("id", "int", level["id"]),
                  ("name", "string", level["name"])]
    for key, value in level.get("camera", {}).items():
        properties.append((CAMERA_PROPERTIES[key], "float", value))
    return sorted(properties)


def backdrop_layers(level, frames):
    layers = []
    for index, layer in enumerate(level.get("backdrop", [])):
        image = "backdrop/%d.png" % layer["sprite"]
        width, height = cut_sprite(frames, layer["sprite"], image)
        layers.append({"name": "Backdrop %d" % (index + 1), "image": image, "width": width,
                       "height": height, "parallax": layer["parallax"]})
    return layers


def xml_map(level, width, height, backdrop, tiles):
    layer_count = len(backdrop) + len(tiles)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<map version="%s" tiledversion="%s" orientation="orthogonal" renderorder="right-down" '
             'width="%d" height="%d" tilewidth="%d" tileheight="%d" infinite="0" nextlayerid="%d" '
             'nextobjectid="1">' % (FORMAT_VERSION, TILED_VERSION, width, height, CELL, CELL,
                                    layer_count + 1),
             " <properties>"]
    for name, kind, value in map_properties(level):
        text = value if kind == "string" else number_text(value)
        kind_text = "" if kind == "string" else ' type="%s"' % kind
        lines.append('  <property name="%s"%s value=%s/>' % (name, kind_text, quoteattr(text)))
    lines += [" </properties>", ' <tileset firstgid="%d" source="world.tsx"/>' % FIRST_GID]
    for index, layer in enumerate(backdrop):
        parallax = "" if layer["parallax"] == 1 else ' parallaxx="%s"' % number_text(layer["parallax"])
        lines += [' <imagelayer id="%d" name=%s%s>' % (index + 1, quoteattr(layer["name"]), parallax),
                  '  <image source=%s width="%d" height="%d"/>'
                  % (quoteattr(layer["image"]), layer["width"], layer["height"]),
                  " </imagelayer>"]
    for index, data in enumerate(tiles):
        rows = [",".join(str(gid) for gid in data[r * width:(r + 1) * width]) for r in range(height)]
        lines += [' <layer id="%d" name="%s" width="%d" height="%d">'
                  % (len(backdrop) + index + 1, layer_name(index, len(tiles)), width, height),
                  '  <data encoding="csv">', ",\n".join(rows), "</data>", " </layer>"]
    lines.append("</map>")
    return "\n".join(lines) + "\n"


def json_map(level, width, height, backdrop, tiles):
    layers = []
    for index, layer in enumerate(backdrop):
        image_layer = {"id": index + 1, "image": layer["image"], "name": layer["name"],
                       "opacity": 1, "type": "imagelayer", "visible": True, "x": 0, "y": 0}
        if layer["parallax"] != 1:
            image_layer["parallaxx"] = layer["parallax"]
        layers.append(image_layer)
    for index, data in enumerate(tiles):
        layers.append({"data": data, "height": height, "id": len(backdrop) + index + 1,
                       "name": layer_name(index, len(tiles)), "opacity": 1, "type": "tilelayer",
                       "visible": True, "width": width, "x": 0, "y": 0})
    properties = [{"name": name, "type": kind, "value": value}
                  for name, kind, value in map_properties(level)]
    tiled_map = {"compressionlevel": -1, "height": height, "infinite": False, "layers": layers,
                 "nextlayerid": len(layers) + 1, "nextobjectid": 1, "orientation": "orthogonal",
                 "properties": properties, "renderorder": "right-down",
                 "tiledversion": TILED_VERSION, "tileheight": CELL,
                 "tilesets": [{"firstgid": FIRST_GID, "source": "world.tsj"}],
                 "tilewidth": CELL, "type": "map", "version": FORMAT_VERSION, "width": width}
    return tiled_json(tiled_map)


def write_map(number, frames):
    with open(os.path.join(DATA, "1level%d.json" % number)) as f:
        level = json.load(f)
    unknown = set(level) - KNOWN_LEVEL_KEYS
    if unknown:
        sys.exit("1level%d.json: no map property stands for %s" % (number, ", ".join(sorted(unknown))))
    entries = [entry for row in level["arrayOfTiles"] for entry in row]
    width = max(e[1] for e in entries) + 1
    height = max(e[2] for e in entries) + 1 + HEADROOM
    backdrop = backdrop_layers(level, frames)
    tiles = tile_layers(level, width, height)
    with open(os.path.join(OUT, "level%d.tmx" % number), "w") as f:
        f.write(xml_map(level, width, height, backdrop, tiles))
    if number in JSON_LEVELS:
        with open(os.path.join(OUT, "level%d.tmj" % number), "w") as f:
            f.write(json_map(level, width, height, backdrop, tiles))


def main():
    frames = atlas_frames()
    write_tileset(tileset_tiles(tile_types(), frames))
    for number in LEVELS:
        write_map(number, frames)


if __name__ == "__main__":
    main()
