#!/usr/bin/env python3
"""Writes data/tiled/: levels 1 and 6 of the default world as maps of the Tiled editor.

  level1.tmj   level 1, the plain kind: ground, decorations, the player and the goal
  level6.tmj   level 6, with every tile behaviour: spikes, checkpoints, coins, a wooden bridge
               and a lift
               each map: properties id, name, deathLevelInY; layers Decoration, Ground, Actors
  world.tsj    the tileset, a collection of images: tile id N is tile type N ("tileType" N)
  tiles/N.png  sprite N cut from the atlas (data/platformer-art-deluxe.png and .json)

The JSON files are laid out as Tiled 1.10 saves them, so a world builder starts from what the
editor would show. Run from the repository root after changing level 1 or 6, the tile types or
the atlas: python3 tools/tiled/make-example.py (needs ImageMagick's convert).
"""
import glob
import json
import os
import re
import subprocess

DATA = "data"
OUT = os.path.join(DATA, "tiled")
LEVELS = [1, 6]  # level N of the default world becomes data/tiled/level<N>.tmj
ATLAS = os.path.join(DATA, "platformer-art-deluxe")
TILED_VERSION = "1.10.2"
FORMAT_VERSION = "1.10"
CELL = 21  # game units per grid cell
HEADROOM = 2  # empty rows above the highest tile, room to draw
FIRST_GID = 1


ACTOR_KEYS = ("characterController", "leveloverbox", "checkpoint", "collectible")


def layer_of(tile_file):
    """Which layer a tile type is drawn on: the player, goals, checkpoints and coins; everything
    else with a body (ground, spikes, bridges, lifts); or decoration."""
    if any(key in tile_file for key in ACTOR_KEYS):
        return "Actors"
    return "Ground" if "physics" in tile_file else "Decoration"


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


def tile_types():
    types = {}
    for path in glob.glob(os.path.join(DATA, "tile*.json")):
        number = int(re.search(r"tile(\d+)\.json$", path).group(1))
        with open(path) as f:
            types[number] = json.load(f)
    return dict(sorted(types.items()))


def cut_sprites(types):
    with open(ATLAS + ".json") as f:
        frames = {frame["filename"]: frame["frame"] for frame in json.load(f)["frames"]}
    os.makedirs(os.path.join(OUT, "tiles"), exist_ok=True)
    tiles = []
    for number, tile in types.items():
        frame = frames["%d.png" % tile["sprite"]]
        image = "tiles/%d.png" % number
        subprocess.run(["convert", ATLAS + ".png", "-crop",
                        "%dx%d+%d+%d" % (frame["w"], frame["h"], frame["x"], frame["y"]),
                        "+repage", "-strip", "PNG32:" + os.path.join(OUT, image)], check=True)
        tiles.append({"id": number, "image": image, "imagewidth": frame["w"],
                      "imageheight": frame["h"],
                      "properties": [{"name": "tileType", "type": "int", "value": number}]})
    return tiles


def write_tileset(types):
    tiles = cut_sprites(types)
    tileset = {"columns": 0, "grid": {"height": 1, "orientation": "orthogonal", "width": 1},
               "margin": 0, "name": "world", "spacing": 0, "tilecount": len(tiles),
               "tiledversion": TILED_VERSION, "tileheight": max(t["imageheight"] for t in tiles),
               "tiles": tiles, "tilewidth": max(t["imagewidth"] for t in tiles),
               "type": "tileset", "version": FORMAT_VERSION}
    with open(os.path.join(OUT, "world.tsj"), "w") as f:
        f.write(tiled_json(tileset) + "\n")


def write_map(types, number):
    with open(os.path.join(DATA, "1level%d.json" % number)) as f:
        level = json.load(f)
    entries = [entry for row in level["arrayOfTiles"] for entry in row]
    width = max(e[1] for e in entries) + 1
    height = max(e[2] for e in entries) + 1 + HEADROOM
    names = ["Decoration", "Ground", "Actors"]
    data = {name: [0] * (width * height) for name in names}
    for tile_type, column, row in entries:
        cell = (height - 1 - row) * width + column
        data[layer_of(types[tile_type])][cell] = FIRST_GID + tile_type
    layers = [{"data": data[name], "height": height, "id": i + 1, "name": name, "opacity": 1,
               "type": "tilelayer", "visible": True, "width": width, "x": 0, "y": 0}
              for i, name in enumerate(names)]
    properties = [{"name": "deathLevelInY", "type": "float", "value": level["deathLevelInY"]},
                  {"name": "id", "type": "int", "value": level["id"]},
                  {"name": "name", "type": "string", "value": level["name"]}]
    tiled_map = {"compressionlevel": -1, "height": height, "infinite": False, "layers": layers,
                 "nextlayerid": len(layers) + 1, "nextobjectid": 1, "orientation": "orthogonal",
                 "properties": properties, "renderorder": "right-down",
                 "tiledversion": TILED_VERSION, "tileheight": CELL,
                 "tilesets": [{"firstgid": FIRST_GID, "source": "world.tsj"}],
                 "tilewidth": CELL, "type": "map", "version": FORMAT_VERSION, "width": width}
    with open(os.path.join(OUT, "level%d.tmj" % number), "w") as f:
        f.write(tiled_json(tiled_map) + "\n")


def main():
    types = tile_types()
    write_tileset(types)
    for number in LEVELS:
        write_map(types, number)


if __name__ == "__main__":
    main()
