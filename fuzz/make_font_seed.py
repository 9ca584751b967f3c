#!/usr/bin/env python3
"""Writes the font fuzzer's seed: a small TrueType font cut from the bundled DejaVu Sans.

Keeps the glyphs of a few characters (simple outlines only), their metrics, a format-4 cmap,
the hinting programs and the kerning pairs among them, so the seed is a few kilobytes yet
loads, measures and rasterises like the whole font.

    python3 fuzz/make_font_seed.py data/fonts/DejaVuSans.ttf fuzz/corpus/font/dejavu-subset.ttf
"""
import struct
import sys

CHARACTERS = "Score 0123456789|xy=AVTo.:\ufffd"


def tables_of(font):
    count = struct.unpack(">H", font[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", font[12 + 16 * i:28 + 16 * i])
        tables[tag.decode()] = font[offset:offset + length]
    return tables


def cmap_format4(cmap):
    """Code point -> glyph of the Windows Unicode BMP subtable."""
    count = struct.unpack(">H", cmap[2:4])[0]
    for i in range(count):
        platform, encoding, offset = struct.unpack(">HHI", cmap[4 + 8 * i:12 + 8 * i])
        if (platform, encoding) != (3, 1):
            continue
        table = cmap[offset:]
        segments = struct.unpack(">H", table[6:8])[0] // 2
        field = lambda start, i: struct.unpack(">H", table[start + 2 * i:start + 2 * i + 2])[0]
        ends, starts = 14, 16 + 2 * segments
        deltas, ranges = starts + 2 * segments, starts + 4 * segments
        mapping = {}
        for s in range(segments):
            for code in range(field(starts, s), field(ends, s) + 1):
                offset_in_range = field(ranges, s)
                if offset_in_range == 0:
                    glyph = (code + field(deltas, s)) & 0xFFFF
                else:
                    at = ranges + 2 * s + offset_in_range + 2 * (code - field(starts, s))
                    glyph = struct.unpack(">H", table[at:at + 2])[0]
                    if glyph:
                        glyph = (glyph + field(deltas, s)) & 0xFFFF
                mapping[code] = glyph
        return mapping
    raise SystemExit("no Windows Unicode cmap")


def cmap_for(codes_to_glyphs):
    codes = sorted(codes_to_glyphs) + [0xFFFF]
    segments = len(codes)
    ends = b"".join(struct.pack(">H", c) for c in codes)
    starts = ends
    deltas = b"".join(struct.pack(">H", (codes_to_glyphs.get(c, 1) - c) & 0xFFFF)
                      for c in codes[:-1]) + struct.pack(">H", 1)
    ranges = b"\0\0" * segments
    body = struct.pack(">HHHH", segments * 2, 0, 0, 0) + ends + b"\0\0" + starts + deltas + ranges
    subtable = struct.pack(">HHH", 4, 6 + len(body), 0) + body
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + subtable


def main(source, target):
    font = open(source, "rb").read()
    t = tables_of(font)
    long_loca = struct.unpack(">h", t["head"][50:52])[0] == 1
    glyph_count = struct.unpack(">H", t["maxp"][4:6])[0]
    if long_loca:
        loca = struct.unpack(">%dI" % (glyph_count + 1), t["loca"])
    else:
        loca = [2 * x for x in struct.unpack(">%dH" % (glyph_count + 1), t["loca"])]
    metrics_count = struct.unpack(">H", t["hhea"][34:36])[0]

    def glyph_data(g):
        return t["glyf"][loca[g]:loca[g + 1]]

    def metrics(g):
        m = min(g, metrics_count - 1)
        advance = struct.unpack(">H", t["hmtx"][4 * m:4 * m + 2])[0]
        lsb_at = 4 * g + 2 if g < metrics_count else 4 * metrics_count + 2 * (g - metrics_count)
        return advance, struct.unpack(">h", t["hmtx"][lsb_at:lsb_at + 2])[0]

    mapping = cmap_format4(t["cmap"])
    old_glyphs, codes = [0], {}
    for ch in CHARACTERS:
        g = mapping.get(ord(ch), 0)
        data = glyph_data(g)
        if len(data) >= 2 and struct.unpack(">h", data[:2])[0] < 0:
            continue  # composite: its parts would come along
        if g not in old_glyphs:
            old_glyphs.append(g)
        codes[ord(ch)] = old_glyphs.index(g)

    glyf, new_loca, hmtx = b"", [], b""
    for g in old_glyphs:
        new_loca.append(len(glyf))
        data = glyph_data(g)
        glyf += data + b"\0" * (-len(data) % 4)
        hmtx += struct.pack(">Hh", *metrics(g))
    new_loca.append(len(glyf))

    pairs = []
    kern = t["kern"]
    at = 4
    for _ in range(struct.unpack(">H", kern[2:4])[0]):
        length, coverage = struct.unpack(">HH", kern[at + 2:at + 6])
        if coverage >> 8 == 0:
            count = struct.unpack(">H", kern[at + 6:at + 8])[0]
            for i in range(count):
                left, right, value = struct.unpack(">HHh", kern[at + 14 + 6 * i:at + 20 + 6 * i])
                if left in old_glyphs and right in old_glyphs:
                    pairs.append((old_glyphs.index(left), old_glyphs.index(right), value))
        at += length
    pairs.sort()
    kern_body = struct.pack(">HHHH", len(pairs), 6, 0, 0) + b"".join(
        struct.pack(">HHh", *p) for p in pairs)
    new_kern = struct.pack(">HH", 0, 1) + struct.pack(">HHH", 0, 6 + len(kern_body), 1) + kern_body

    head = bytearray(t["head"])
    head[8:12] = b"\0\0\0\0"
    head[50:52] = struct.pack(">h", 1)
    hhea = bytearray(t["hhea"])
    hhea[34:36] = struct.pack(">H", len(old_glyphs))
    maxp = bytearray(t["maxp"])
    maxp[4:6] = struct.pack(">H", len(old_glyphs))
    post = struct.pack(">I", 0x00030000) + t["post"][4:32]
    tables = {
        "OS/2": t["OS/2"], "cmap": cmap_for(codes), "cvt ": t["cvt "], "fpgm": t["fpgm"],
        "glyf": glyf, "head": bytes(head), "hhea": bytes(hhea), "hmtx": hmtx, "kern": new_kern,
        "loca": struct.pack(">%dI" % len(new_loca), *new_loca), "maxp": bytes(maxp),
        "name": struct.pack(">HHH", 0, 0, 6), "post": post, "prep": t["prep"],
    }
    tags = sorted(tables)
    out = struct.pack(">IHHHH", 0x00010000, len(tags), 0, 0, 0)
    offset = 12 + 16 * len(tags)
    directory, data = b"", b""
    for tag in tags:
        body = tables[tag]
        directory += struct.pack(">4sIII", tag.encode(), 0, offset + len(data), len(body))
        data += body + b"\0" * (-len(body) % 4)
    open(target, "wb").write(out + directory + data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
