#!/usr/bin/env python3
"""Draws QUELM's two pictures as pixel art and writes them as Windows icons.

    app/quelm.ico     the program icon: a grey open-end spanner lying
                      diagonally, 32 x 32 and 16 x 16, 16 colours each
    app/tip_bulb.ico  the picture of the tip window: a yellow light bulb
                      with an exclamation mark, standing on a diamond
                      outlined in cyan, 32 x 32, 16 colours

Both are drawn from simple geometry (octagons, slots, a band, a disc, a
rhombus) or, for the small spanner, from a character grid, and then
outlined and shaded pixel by pixel. Only the standard library is used and
the output is the same on every run.

Usage:
    python3 tools/draw_art.py [--preview DIR]

--preview also writes enlarged PNG pictures of every image to DIR, drawn
over a chequered background so that transparent pixels can be seen.
"""

import argparse
import pathlib
import struct
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent

# The classic 16-colour VGA palette; index 0 (black) doubles as the colour
# under transparent pixels, which the AND mask hides.
PALETTE = [
    (0x00, 0x00, 0x00),  # 0 black
    (0x80, 0x00, 0x00),  # 1 dark red
    (0x00, 0x80, 0x00),  # 2 dark green
    (0x80, 0x80, 0x00),  # 3 olive
    (0x00, 0x00, 0x80),  # 4 navy
    (0x80, 0x00, 0x80),  # 5 purple
    (0x00, 0x80, 0x80),  # 6 teal
    (0xC0, 0xC0, 0xC0),  # 7 silver
    (0x80, 0x80, 0x80),  # 8 grey
    (0xFF, 0x00, 0x00),  # 9 red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, OLIVE, TEAL, SILVER, GREY, YELLOW, CYAN, WHITE = 0, 3, 6, 7, 8, 11, 14, 15
CLEAR = None  # a transparent pixel


# ---------------------------------------------------------------------------
# A tiny raster


class Canvas:
    """A square grid of palette indexes; CLEAR marks transparent pixels."""

    def __init__(self, size):
        self.size = size
        self.px = [[CLEAR] * size for _ in range(size)]

    def inside(self, x, y):
        return 0 <= x < self.size and 0 <= y < self.size

    def get(self, x, y):
        return self.px[y][x] if self.inside(x, y) else CLEAR

    def set(self, x, y, colour):
        if self.inside(x, y):
            self.px[y][x] = colour

    def cells(self):
        for y in range(self.size):
            for x in range(self.size):
                yield x, y


def coverage(shape, size, samples=4):
    """Returns the set of pixels whose area is at least half inside `shape`.

    `shape(x, y)` takes a point in pixel units, (0, 0) being the top-left
    corner of the picture, and says whether the point is inside.
    """
    inside = set()
    step = 1.0 / samples
    for y in range(size):
        for x in range(size):
            hits = sum(
                shape(x + (i + 0.5) * step, y + (j + 0.5) * step)
                for i in range(samples)
                for j in range(samples)
            )
            if hits * 2 >= samples * samples:
                inside.add((x, y))
    return inside


def in_disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


NEIGHBOURS4 = ((1, 0), (-1, 0), (0, 1), (0, -1))


def edge_of(region):
    """The pixels of `region` that touch a pixel outside it (4-neighbours)."""
    return {
        (x, y)
        for (x, y) in region
        if any((x + dx, y + dy) not in region for dx, dy in NEIGHBOURS4)
    }


# ---------------------------------------------------------------------------
# The spanner
#
# The spanner lies along the diagonal from the bottom-left corner to the
# top-right one. Its edges run horizontally, vertically or at 45 degrees, so
# that they come out as clean pixel stairs. In pixel coordinates (x, y):
#   along  = x - y   grows towards the top-right corner,
#   across = x + y   grows towards the bottom-right corner; the middle line of
#                    the spanner is across == size - 1.


def shade_metal(region, size):
    """Paints a region as polished steel lit from the top left: a black
    outline, white on the inner edge that faces the light, grey on the inner
    edge in shadow, silver on the flat."""
    canvas = Canvas(size)
    outline = edge_of(region)
    for x, y in region:
        if (x, y) in outline:
            canvas.set(x, y, BLACK)
            continue
        lit = (x - 1, y) in outline or (x, y - 1) in outline
        shaded = (x + 1, y) in outline or (x, y + 1) in outline
        if lit and not shaded:
            canvas.set(x, y, WHITE)
        elif shaded and not lit:
            canvas.set(x, y, GREY)
        else:
            canvas.set(x, y, SILVER)
    return canvas


def spanner_head(cx, cy, radius, corner, jaw, depth, outwards):
    """An open jaw: a rounded head (an octagon around (cx, cy)) with a slot
    cut along the spanner, opening towards the top right when `outwards` is
    +1 and towards the bottom left when it is -1.

    radius  half the octagon's width and height
    corner  limit of |along| and |across| from the centre: cuts the corners
    jaw     half the slot's width, measured in across units
    depth   how far (in along units) the slot's floor lies behind the centre
    """

    def shape(x, y):
        dx, dy = x - cx, y - cy
        if max(abs(dx), abs(dy)) > radius or max(abs(dx - dy), abs(dx + dy)) > corner:
            return False
        in_slot = abs(dx + dy) <= jaw and outwards * (dx - dy) >= -depth
        return not in_slot

    return shape


def draw_spanner32():
    """A double open-end spanner: the larger jaw at the top right, the
    smaller at the bottom left, both opening away from the handle."""
    middle = 31  # across value of the middle line
    big = spanner_head(22, 9, radius=7, corner=9, jaw=2, depth=1, outwards=+1)
    small = spanner_head(8, 23, radius=6, corner=8, jaw=2, depth=0, outwards=-1)

    def handle(x, y):
        return abs(x + y - middle) <= 3 and abs(x - y) <= 12

    region = {
        (x, y)
        for y in range(32)
        for x in range(32)
        if handle(x, y) or big(x, y) or small(x, y)
    }
    return shade_metal(region, 32)


# At 16 x 16 the small jaw would be lost, so the small size shows one jaw and
# a rounded end. '#' is metal; shading and outline are added as for 32 x 32.
SPANNER16 = """
.........####...
........#####...
.......#####....
.......####...##
.......####..###
.......#########
.......#########
......#########.
.....#########..
....#####.......
..######........
.######.........
.#####..........
.#####..........
..###...........
................
"""


def draw_spanner16():
    rows = SPANNER16.split()
    region = {(x, y) for y, row in enumerate(rows) for x, ch in enumerate(row) if ch == "#"}
    return shade_metal(region, 16)


# ---------------------------------------------------------------------------
# The bulb on its diamond


def draw_bulb():
    """A yellow light bulb with a black exclamation mark on its glass, its
    screw base standing on the middle of a flat diamond outlined in cyan."""
    size = 32
    canvas = Canvas(size)

    # The diamond: a flat rhombus across the bottom (two steps across for
    # every step down), a cyan rim round a teal face.
    cx, cy, half_width, half_height = 16, 25.5, 12, 6
    diamond = {
        (x, y)
        for (x, y) in canvas.cells()
        if abs(x + 0.5 - cx) / half_width + abs(y + 0.5 - cy) / half_height <= 1
    }
    rim = edge_of(diamond)
    for x, y in diamond:
        canvas.set(x, y, CYAN if (x, y) in rim else TEAL)

    # The screw base: a black-edged cylinder of silver and grey threads, and
    # a black contact at its foot, which rests on the diamond's centre.
    base_top, base_bottom = 19, 25  # rows of the threads: base_top .. base_bottom - 1
    for y in range(base_top, base_bottom):
        for x in range(13, 19):
            if x in (13, 18):
                colour = BLACK
            elif x == 17:
                colour = GREY
            else:
                colour = SILVER if (y - base_top) % 2 == 0 else GREY
            canvas.set(x, y, colour)
    for x in range(14, 18):
        canvas.set(x, base_bottom, BLACK)
    for x in range(15, 17):
        canvas.set(x, base_bottom + 1, BLACK)

    # The glass: a round globe that narrows into a neck above the base.
    gx, gy, gr = 16.0, 10.0, 8.6

    def glass_shape(x, y):
        neck = gy <= y <= base_top and abs(x - gx) <= 3.2 + 0.45 * (base_top - y)
        return in_disc(gx, gy, gr)(x, y) or neck

    glass = {(x, y) for (x, y) in coverage(glass_shape, size) if y < base_top}
    rim = edge_of(glass)
    for x, y in glass:
        if (x, y) in rim:
            colour = BLACK
        elif not in_disc(gx - 2, gy - 2, gr)(x + 0.5, y + 0.5):
            colour = OLIVE  # the shadowed rim, away from the light
        else:
            colour = YELLOW
        canvas.set(x, y, colour)
    for x, y in ((11, 5), (10, 6), (10, 7), (12, 4), (13, 4)):
        canvas.set(x, y, WHITE)  # a glint on the glass

    # The exclamation mark, on the middle of the globe: a bar and a dot.
    for y in range(4, 13):
        for x in (15, 16):
            canvas.set(x, y, BLACK)
    for y in (14, 15):
        for x in (15, 16):
            canvas.set(x, y, BLACK)
    return canvas


# ---------------------------------------------------------------------------
# Writing icons


def icon_image(canvas):
    """One icon image: BITMAPINFOHEADER, palette, 4-bit XOR bitmap, AND mask."""
    n = canvas.size
    xor_stride = ((n * 4 + 31) // 32) * 4
    and_stride = ((n + 31) // 32) * 4
    xor_rows, and_rows = [], []
    for y in reversed(range(n)):  # bitmaps are stored bottom row first
        xor = bytearray(xor_stride)
        mask = bytearray(and_stride)
        for x in range(n):
            index = canvas.get(x, y)
            if index is CLEAR:
                index = BLACK
                mask[x // 8] |= 0x80 >> (x % 8)
            xor[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor_rows.append(bytes(xor))
        and_rows.append(bytes(mask))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,  # biSize
        n,  # biWidth
        n * 2,  # biHeight: XOR bitmap and AND mask together
        1,  # biPlanes
        4,  # biBitCount
        0,  # biCompression: BI_RGB
        len(pixels),  # biSizeImage
        0,
        0,
        0,  # biClrUsed: 0 means all 16
        0,
    )
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + pixels


def write_icon(path, canvases):
    """Writes an .ico file that holds one image per canvas."""
    images = [icon_image(c) for c in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))  # ICONDIR
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        n = canvas.size
        out += struct.pack(
            "<BBBBHHII",
            n % 256,  # width (0 would mean 256)
            n % 256,  # height
            16,  # colours in the palette
            0,
            1,  # planes
            4,  # bits per pixel
            len(image),
            offset,
        )
        offset += len(image)
    for image in images:
        out += image
    path.write_bytes(bytes(out))


# ---------------------------------------------------------------------------
# Previews


def write_preview(path, canvas, scale=12):
    """An enlarged RGB PNG of a canvas over a chequered background."""
    n = canvas.size * scale
    rows = []
    for y in range(n):
        row = bytearray([0])  # filter type: none
        for x in range(n):
            index = canvas.get(x // scale, y // scale)
            if index is CLEAR:
                light = ((x // 6) + (y // 6)) % 2 == 0
                row += bytes((236, 236, 236) if light else (214, 214, 214))
            else:
                row += bytes(PALETTE[index])
        rows.append(bytes(row))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9))
    png += chunk(b"IEND", b"")
    path.write_bytes(png)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write enlarged PNGs here")
    args = parser.parse_args()

    spanner32 = draw_spanner32()
    spanner16 = draw_spanner16()
    bulb = draw_bulb()
    write_icon(ROOT / "app" / "quelm.ico", [spanner32, spanner16])
    write_icon(ROOT / "app" / "tip_bulb.ico", [bulb])

    if args.preview:
        out = pathlib.Path(args.preview)
        out.mkdir(parents=True, exist_ok=True)
        write_preview(out / "spanner32.png", spanner32)
        write_preview(out / "spanner16.png", spanner16, scale=24)
        write_preview(out / "bulb32.png", bulb)


if __name__ == "__main__":
    main()
