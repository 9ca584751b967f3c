#!/usr/bin/env bash
# Writes the PNG fixtures of the texture tests into tests/data/png/: one file per PNG colour
# type and bit depth, an interlaced file, a 21 x 21 RGB file (rows of 63 bytes), two sizes for
# the power-of-two rules, and three broken files. Needs ImageMagick's `convert`.
#
# Pixel values follow formulas that tests/orka/TextureTest.cpp repeats; change both together.
# x counts columns from the left, y rows from the top of the image, both from 0.
#   colour(x, y)  = ((x * 40 + y * 10) % 256, (y * 50 + x * 3) % 256, (x * y * 9 + 17) % 256)
#   alpha(x, y)   = (x * 60 + y * 20 + 15) % 256
#   grey(x, y)    = (x * 37 + y * 71) % 256 for 8 and 16 bits; for 1, 2 and 4 bits the
#                   level (x + 2 * y) % levels, scaled to 0..255 (levels = 2, 4, 16)
# 16-bit files store value * 257, which reads back as the same 8-bit value.
# Every written file's IHDR (bit depth, colour type, interlace) is checked before it is kept.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/tests/data/png"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# enumerate WIDTH HEIGHT MAXVALUE KIND SCALE: an ImageMagick pixel enumeration (txt:) on stdout.
# KIND is rgb, rgba, grey, greyalpha or greylevelsN; SCALE multiplies every sample (257 for 16 bits).
enumerate() {
    local w=$1 h=$2 max=$3 kind=$4 scale=$5
    local space=srgb
    case $kind in rgba | greyalpha) space=srgba ;; esac
    echo "# ImageMagick pixel enumeration: $w,$h,$max,$space"
    awk -v w="$w" -v h="$h" -v kind="$kind" -v s="$scale" 'BEGIN {
        for (y = 0; y < h; y++) for (x = 0; x < w; x++) {
            r = (x * 40 + y * 10) % 256; g = (y * 50 + x * 3) % 256; b = (x * y * 9 + 17) % 256
            a = (x * 60 + y * 20 + 15) % 256
            v = (x * 37 + y * 71) % 256
            if (kind ~ /^greylevels/) {
                levels = substr(kind, 11) + 0
                v = ((x + 2 * y) % levels) * (255 / (levels - 1))
            }
            if (kind == "rgb") printf "%d,%d: (%d,%d,%d)\n", x, y, r * s, g * s, b * s
            else if (kind == "rgba") printf "%d,%d: (%d,%d,%d,%d)\n", x, y, r * s, g * s, b * s, a * s
            else if (kind == "greyalpha") printf "%d,%d: (%d,%d,%d,%d)\n", x, y, v * s, v * s, v * s, a * s
            else printf "%d,%d: (%d,%d,%d)\n", x, y, v * s, v * s, v * s
        }
    }'
}

# check FILE DEPTH COLOURTYPE INTERLACE: fails unless the IHDR says so.
check() {
    local file=$1 want="$2 $3 $4"
    local got
    got="$(od -An -tu1 -j24 -N5 "$file" | awk '{print $1, $2, $5}')"
    [ "$got" = "$want" ] || { echo "$file: IHDR depth/type/interlace is '$got', expected '$want'" >&2; exit 1; }
}

# make NAME W H KIND DEPTH COLOURTYPE [convert options...]
make() {
    local name=$1 w=$2 h=$3 kind=$4 depth=$5 type=$6
    shift 6
    local max=255 scale=1
    if [ "$depth" = 16 ]; then max=65535 scale=257; fi
    enumerate "$w" "$h" "$max" "$kind" "$scale" >"$tmp/$name.txt"
    convert "txt:$tmp/$name.txt" -strip -define png:color-type="$type" \
        -define png:bit-depth="$depth" "$@" "$out/$name.png"
    local interlace=0
    [[ " $* " == *" -interlace PNG "* ]] && interlace=1
    check "$out/$name.png" "$depth" "$type" "$interlace"
}

make grey1 7 3 greylevels2 1 0
make grey2 7 3 greylevels4 2 0
make grey4 7 3 greylevels16 4 0
make grey8 7 3 grey 8 0
make grey16 7 3 grey 16 0
make greyalpha8 5 4 greyalpha 8 4
make greyalpha16 5 4 greyalpha 16 4
make rgb8 6 5 rgb 8 2
make rgb16 6 5 rgb 16 2
make rgba8 3 7 rgba 8 6
make rgba16 3 7 rgba 16 6
make rgb8-interlaced 13 11 rgb 8 2 -interlace PNG
make rgba8-interlaced 13 11 rgba 8 6 -interlace PNG
make rgb8-21x21 21 21 rgb 8 2
make rgb8-100x64 100 64 rgb 8 2
make rgb8-64x64 64 64 rgb 8 2

# Paletted files: the colours come from a 4-colour strip so they fit a palette exactly.
#   palette(x, y) = red, green, blue, white for (x + y) % 4 = 0..3 ("none" instead of white
#   in the transparent file, which gives the palette a tRNS entry).
palette() {
    local name=$1 last=$2
    convert -size 1x1 xc:red xc:lime xc:blue "xc:$last" +append "$tmp/strip.png"
    # Tile the strip diagonally: row y starts at colour y % 4.
    local rows=()
    for y in 0 1 2; do
        rows+=("(" "$tmp/strip.png" "$tmp/strip.png" +append -crop "5x1+$y+0" +repage ")")
    done
    convert "${rows[@]}" -append -strip "PNG8:$out/$name.png"
    check "$out/$name.png" 8 3 0 2>/dev/null || check "$out/$name.png" 2 3 0
}
palette palette 'white'
palette palette-trns 'none'
grep -q tRNS "$out/palette-trns.png" || { echo "palette-trns.png has no tRNS chunk" >&2; exit 1; }
if grep -q tRNS "$out/palette.png"; then echo "palette.png has a tRNS chunk" >&2; exit 1; fi

# Broken files: empty, a valid file cut in the middle of its image data, and text.
: >"$out/empty.png"
head -c 60 "$out/rgb8-21x21.png" >"$out/truncated.png"
echo "This is not an image." >"$out/not-an-image.png"
echo "Wrote $(ls "$out" | wc -l) fixtures to $out"
