#!/usr/bin/python3
"""Draws orbelinchk's artwork: the application icon and the two button glyphs.

Run from anywhere with /usr/bin/python3; it writes resources/orbelinchk.ico,
resources/glyph_quit.bmp and resources/glyph_controle.bmp (or the same names
into --output-dir).  Everything is drawn from code, so the output is
byte-identical on every run.  --preview DIR also writes enlarged PNGs to
look at (that part needs PIL).
"""

import argparse
import math
import os
import struct
import sys
import zlib

ART_DIR = os.path.dirname(os.path.abspath(__file__))
RESOURCES_DIR = os.path.dirname(ART_DIR)
ICON_NAME = "orbelinchk.ico"
QUIT_GLYPH_NAME = "glyph_quit.bmp"
CONTROLE_GLYPH_NAME = "glyph_controle.bmp"

ICON_SIZES = (16, 24, 32, 48)
GLYPH_SIZE = 24

# The button control skips pixels of exactly the bottom-left pixel's colour.
QUIT_GROUND = (255, 255, 255)
CONTROLE_KEY = (255, 254, 255)

# 8x8 samples per pixel: enough for smooth curves, still quick in pure Python.
SUBSAMPLES = 8


# --------------------------------------------------------------------------
# Shapes.  Coordinates are in pixels, (0, 0) being the top-left corner of the
# top-left pixel, so a pixel's centre sits at (x + 0.5, y + 0.5).  Shapes put
# on whole pixel edges come out crisp; curves get anti-aliased edges.
# --------------------------------------------------------------------------

class Shape:
    def contains(self, x, y):
        raise NotImplementedError

    def bounds(self):
        """(x0, y0, x1, y1), not necessarily tight."""
        raise NotImplementedError

    def coverage(self, px, py):
        """Fraction of pixel (px, py) inside the shape."""
        step = 1.0 / SUBSAMPLES
        hits = 0
        for j in range(SUBSAMPLES):
            y = py + (j + 0.5) * step
            for i in range(SUBSAMPLES):
                if self.contains(px + (i + 0.5) * step, y):
                    hits += 1
        return hits / (SUBSAMPLES * SUBSAMPLES)

    def __and__(self, other):
        return Intersection(self, other)

    def __or__(self, other):
        return Union(self, other)


class Rect(Shape):
    def __init__(self, x0, y0, x1, y1):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1

    def contains(self, x, y):
        return self.x0 <= x < self.x1 and self.y0 <= y < self.y1

    def bounds(self):
        return (self.x0, self.y0, self.x1, self.y1)

    def coverage(self, px, py):
        # Exact area, so a rectangle on whole pixels never gets a soft edge.
        w = min(px + 1, self.x1) - max(px, self.x0)
        h = min(py + 1, self.y1) - max(py, self.y0)
        return w * h if w > 0 and h > 0 else 0.0

    def moved(self, dx, dy):
        return Rect(self.x0 + dx, self.y0 + dy, self.x1 + dx, self.y1 + dy)


class RoundRect(Shape):
    def __init__(self, x0, y0, x1, y1, radius):
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1
        self.radius = radius

    def contains(self, x, y):
        if not (self.x0 <= x < self.x1 and self.y0 <= y < self.y1):
            return False
        r = self.radius
        cx = min(max(x, self.x0 + r), self.x1 - r)
        cy = min(max(y, self.y0 + r), self.y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def bounds(self):
        return (self.x0, self.y0, self.x1, self.y1)

    def coverage(self, px, py):
        if self.radius <= 0:
            return Rect(self.x0, self.y0, self.x1, self.y1).coverage(px, py)
        return Shape.coverage(self, px, py)


class Polygon(Shape):
    def __init__(self, points):
        self.points = list(points)

    def contains(self, x, y):
        inside = False
        pts = self.points
        j = len(pts) - 1
        for i in range(len(pts)):
            xi, yi = pts[i]
            xj, yj = pts[j]
            if (yi > y) != (yj > y):
                if x < xi + (y - yi) * (xj - xi) / (yj - yi):
                    inside = not inside
            j = i
        return inside

    def bounds(self):
        xs = [p[0] for p in self.points]
        ys = [p[1] for p in self.points]
        return (min(xs), min(ys), max(xs), max(ys))


class Ring(Shape):
    """Annulus, optionally only the part swept clockwise from start to end.

    start and end are direction vectors; comparing cross products keeps the
    per-sample test free of atan2.
    """

    def __init__(self, cx, cy, r_inner, r_outer, start=None, end=None):
        self.cx, self.cy = cx, cy
        self.r_inner, self.r_outer = r_inner, r_outer
        self.start, self.end = start, end

    def contains(self, x, y):
        dx, dy = x - self.cx, y - self.cy
        d2 = dx * dx + dy * dy
        if not (self.r_inner ** 2 <= d2 <= self.r_outer ** 2):
            return False
        if self.start is None:
            return True
        return _in_clockwise_wedge(dx, dy, self.start, self.end)

    def bounds(self):
        r = self.r_outer
        return (self.cx - r, self.cy - r, self.cx + r, self.cy + r)


def _cross(a, b):
    return a[0] * b[1] - a[1] * b[0]


def _in_clockwise_wedge(dx, dy, start, end):
    # Screen y grows downwards, so "clockwise" means positive cross product.
    v = (dx, dy)
    if _cross(start, end) >= 0:  # wedge narrower than a half turn
        return _cross(start, v) >= 0 and _cross(v, end) >= 0
    return _cross(start, v) >= 0 or _cross(v, end) >= 0


class Intersection(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def contains(self, x, y):
        return self.a.contains(x, y) and self.b.contains(x, y)

    def bounds(self):
        a, b = self.a.bounds(), self.b.bounds()
        return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


class Union(Shape):
    def __init__(self, a, b):
        self.a, self.b = a, b

    def contains(self, x, y):
        return self.a.contains(x, y) or self.b.contains(x, y)

    def bounds(self):
        a, b = self.a.bounds(), self.b.bounds()
        return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


class Offset(Shape):
    """A shape moved by a whole-pixel offset (keeps Rect's exact coverage)."""

    def __init__(self, shape, dx, dy):
        self.shape, self.dx, self.dy = shape, dx, dy

    def contains(self, x, y):
        return self.shape.contains(x - self.dx, y - self.dy)

    def bounds(self):
        x0, y0, x1, y1 = self.shape.bounds()
        return (x0 + self.dx, y0 + self.dy, x1 + self.dx, y1 + self.dy)

    def coverage(self, px, py):
        return self.shape.coverage(px - self.dx, py - self.dy)


# --------------------------------------------------------------------------
# Canvas: straight (non-premultiplied) RGBA in floats, painted with "over".
# --------------------------------------------------------------------------

class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def paint(self, shape, colour, opacity=1.0):
        """colour: (r, g, b), or a function of (px, py) giving one."""
        colour_at = colour if callable(colour) else (lambda px, py: colour)
        x0, y0, x1, y1 = shape.bounds()
        for py in range(max(0, int(y0) - 1), min(self.height, int(y1) + 2)):
            for px in range(max(0, int(x0) - 1), min(self.width, int(x1) + 2)):
                cover = shape.coverage(px, py) * opacity
                if cover > 0:
                    self._blend(px, py, colour_at(px, py), cover)

    def _blend(self, px, py, colour, alpha):
        dst = self.pixels[py * self.width + px]
        out_alpha = alpha + dst[3] * (1.0 - alpha)
        for c in range(3):
            src = colour[c] / 255.0
            dst[c] = (src * alpha + dst[c] * dst[3] * (1.0 - alpha)) / out_alpha
        dst[3] = out_alpha

    def rgba_bytes(self):
        """Rows top to bottom of (r, g, b, a) tuples, 0..255."""
        rows = []
        for py in range(self.height):
            row = []
            for px in range(self.width):
                r, g, b, a = self.pixels[py * self.width + px]
                alpha = _to_byte(a)
                if alpha == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((_to_byte(r), _to_byte(g), _to_byte(b), alpha))
            rows.append(row)
        return rows

    def over_ground(self, ground):
        """Rows of (r, g, b) composited over an opaque ground colour."""
        rows = []
        for py in range(self.height):
            row = []
            for px in range(self.width):
                r, g, b, a = self.pixels[py * self.width + px]
                row.append(tuple(
                    _to_byte(v * a + (gc / 255.0) * (1.0 - a))
                    for v, gc in zip((r, g, b), ground)))
            rows.append(row)
        return rows


def _to_byte(v):
    return max(0, min(255, int(v * 255.0 + 0.5)))


# --------------------------------------------------------------------------
# The icon: two identity cards, one behind at the upper left, one in front
# at the lower right.
# --------------------------------------------------------------------------

CARD_OUTLINE = (40, 54, 92)
CARD_WHITE = (255, 255, 255)
BAND_BLUE = (30, 84, 178)
TEXT_GREY = (150, 156, 168)
TEXT_DARK = (104, 110, 124)
PHOTO_GROUND = (218, 228, 242)
SKIN = (241, 196, 158)
EYES = (70, 48, 40)
SHADOW = (0, 0, 0)

BACK_PERSON = {"hair": (46, 34, 28), "clothes": (40, 146, 66), "long_hair": False}
FRONT_PERSON = {"hair": (200, 104, 42), "clothes": (72, 140, 226), "long_hair": True}


class CardLayout:
    """Where things go on one card, in pixels relative to its top-left.

    Each icon size has its own layout: at 16 px a card has a 1-px band, a
    blocky portrait and two text lines; bigger sizes get more of everything.
    """

    def __init__(self, width, height, band, radius, edge_all_round,
                 photo, portrait, text_lines, shadow):
        self.width, self.height = width, height
        # (across the top, down the left side): the side band is kept
        # thinner on big cards so it does not crowd the portrait.
        self.band_top, self.band_left = band
        self.radius = radius
        # Small cards let the band itself be the top and left edge.
        self.edge_all_round = edge_all_round
        self.photo = photo            # (x0, y0, x1, y1) or None: no photo ground
        self.portrait = portrait      # function(person) -> [(shape, colour)]
        self.text_lines = text_lines  # [(x0, y, x1, thickness, colour)]
        self.shadow = shadow          # [(dx, dy, opacity)]


# Portraits are placed pixel by pixel, which stays sharper than any curve
# at these sizes: H hair, S skin, C clothes, E eyes; lower case is the same
# colour at half strength, to round a corner.  Rows run top to bottom.
SPRITES = {
    (16, False): (".HHH.",
                  ".SSS.",
                  ".SSS.",
                  ".CCC.",
                  "CCCCC",
                  "CCCCC"),
    (16, True): ("HHHHH",
                 "HSSSH",
                 "HSSSH",
                 ".CCC.",
                 "CCCCC",
                 "CCCCC"),
    (24, False): (".hHHHh.",
                  ".HSSSH.",
                  "..SSS..",
                  "..sSs..",
                  ".cCCCc.",
                  "CCCCCCC",
                  "CCCCCCC"),
    (24, True): (".hHHHh.",
                 ".HSSSH.",
                 ".HSSSH.",
                 ".hsSsh.",
                 ".cCCCc.",
                 "CCCCCCC",
                 "CCCCCCC"),
    (32, False): ("..hHHh..",
                  ".hHHHHh.",
                  ".HSSSSH.",
                  ".sSSSSs.",
                  "..sSSs..",
                  "...SS...",
                  ".cCCCCc.",
                  "CCCCCCCC"),
    (32, True): ("..hHHh..",
                 ".HHHHHH.",
                 ".HSSSSH.",
                 ".HSSSSH.",
                 ".HsSSsH.",
                 ".h.SS.h.",
                 ".cCCCCc.",
                 "CCCCCCCC"),
    (48, False): ("..........",
                  "...hHHh...",
                  "..HHHHHH..",
                  ".hHSSSSHh.",
                  ".HSSSSSSH.",
                  "..SESSES..",
                  "..sSSSSs..",
                  "...sSSs...",
                  "....SS....",
                  ".cCCSSCCc.",
                  "cCCCCCCCCc",
                  "CCCCCCCCCC"),
    (48, True): ("..........",
                 "...hHHh...",
                 "..HHHHHH..",
                 ".HHHHHHHH.",
                 ".HSSSSSSH.",
                 ".HSESSESH.",
                 ".HsSSSSsH.",
                 ".hHsSSsHh.",
                 "....SS....",
                 ".cCCSSCCc.",
                 "cCCCCCCCCc",
                 "CCCCCCCCCC"),
}


def sprite_portrait(size, origin):
    ox, oy = origin

    def parts(person):
        colours = {"h": person["hair"], "s": SKIN, "c": person["clothes"], "e": EYES}
        sprite = SPRITES[(size, person["long_hair"])]
        out = []
        for y, line in enumerate(sprite):
            for x, key in enumerate(line):
                if key == ".":
                    continue
                opacity = 1.0 if key.isupper() else 0.5
                out.append((Rect(ox + x, oy + y, ox + x + 1, oy + y + 1),
                            colours[key.lower()], opacity))
        return out
    return parts


def layout_for(size):
    if size == 16:
        return CardLayout(
            width=11, height=8, band=(1, 1), radius=0, edge_all_round=False,
            photo=None, portrait=sprite_portrait(16, (1, 1)),
            text_lines=[(6, 2, 10, 1, TEXT_DARK), (6, 4, 9, 1, TEXT_GREY)],
            shadow=[])
    if size == 24:
        return CardLayout(
            width=16, height=11, band=(2, 1), radius=0, edge_all_round=False,
            photo=(2, 3, 9, 10), portrait=sprite_portrait(24, (2, 3)),
            text_lines=[(9, 3, 15, 1, TEXT_DARK), (9, 5, 14, 1, TEXT_GREY),
                        (9, 7, 15, 1, TEXT_GREY)],
            shadow=[(1, 1, 0.30)])
    if size == 32:
        photo = (4, 5, 12, 13)
        return CardLayout(
            width=22, height=15, band=(3, 2), radius=1.5, edge_all_round=True,
            photo=photo, portrait=sprite_portrait(32, photo[:2]),
            text_lines=[(13, 5, 20, 1, TEXT_DARK), (13, 7, 19, 1, TEXT_GREY),
                        (13, 9, 20, 1, TEXT_GREY), (13, 11, 17, 1, TEXT_GREY)],
            shadow=[(1, 1, 0.30), (2, 2, 0.12)])
    if size == 48:
        photo = (6, 7, 16, 19)
        return CardLayout(
            width=33, height=22, band=(4, 3), radius=2.5, edge_all_round=True,
            photo=photo, portrait=sprite_portrait(48, photo[:2]),
            text_lines=[(18, 8, 30, 2, TEXT_DARK), (18, 12, 29, 1, TEXT_GREY),
                        (18, 15, 30, 1, TEXT_GREY), (18, 18, 25, 1, TEXT_GREY)],
            shadow=[(1, 1, 0.30), (2, 2, 0.16), (3, 3, 0.07)])
    raise ValueError("no icon layout for %d px" % size)


def card_origins(size):
    """Top-left corners of the back card and the front card."""
    return {16: ((0, 2), (5, 7)),
            24: ((0, 3), (7, 11)),
            32: ((1, 4), (9, 14)),
            48: ((1, 6), (13, 21))}[size]


def draw_card(canvas, layout, origin, person):
    ox, oy = origin
    w, h = layout.width, layout.height

    def put(shape, colour, opacity=1.0):
        canvas.paint(Offset(shape, ox, oy), colour, opacity)

    outline = RoundRect(0, 0, w, h, layout.radius)
    for dx, dy, opacity in layout.shadow:
        put(Offset(outline, dx, dy), SHADOW, opacity)
    put(outline, CARD_OUTLINE)
    inner_tl = 1 if layout.edge_all_round else 0
    inner = RoundRect(inner_tl, inner_tl, w - 1, h - 1, max(0, layout.radius - 1))
    band_bottom = oy + inner_tl + layout.band_top
    band_right = ox + inner_tl + layout.band_left

    def band_or_white(px, py):
        return BAND_BLUE if py < band_bottom or px < band_right else CARD_WHITE
    # One paint for band and body, so a rounded corner pixel is not left
    # half white under a half-covering band.
    put(inner, band_or_white)
    if layout.photo is not None:
        put(Rect(*layout.photo), PHOTO_GROUND)
    for shape, colour, opacity in layout.portrait(person):
        put(shape, colour, opacity)
    for x0, y, x1, thickness, colour in layout.text_lines:
        put(Rect(x0, y, x1, y + thickness), colour)


def draw_icon(size):
    canvas = Canvas(size, size)
    layout = layout_for(size)
    back_origin, front_origin = card_origins(size)
    draw_card(canvas, layout, back_origin, BACK_PERSON)
    draw_card(canvas, layout, front_origin, FRONT_PERSON)
    return canvas.rgba_bytes()


# --------------------------------------------------------------------------
# Palette for the 256-colour icon images.
# --------------------------------------------------------------------------

BLACK = (0, 0, 0)
OPAQUE_THRESHOLD = 128  # alpha at or above this is drawn by the AND mask


def is_shown(pixel):
    return pixel[3] >= OPAQUE_THRESHOLD


def build_palette(rows):
    """256 colours, black first so masked pixels can use index 0."""
    colours = sorted({p[:3] for row in rows for p in row if is_shown(p)})
    colours = [c for c in colours if c != BLACK]
    if len(colours) > 255:
        colours = median_cut(colours, 255)
    palette = [BLACK] + colours
    return palette + [BLACK] * (256 - len(palette))


def median_cut(colours, count):
    boxes = [sorted(colours)]
    while len(boxes) < count:
        splittable = [b for b in boxes if len(b) > 1]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (_box_extent(b)[0], len(b)))
        boxes.remove(box)
        channel = _box_extent(box)[1]
        box = sorted(box, key=lambda c: (c[channel], c))
        half = len(box) // 2
        boxes.extend([box[:half], box[half:]])
    return sorted(_box_average(b) for b in boxes)


def _box_extent(box):
    spans = [max(c[i] for c in box) - min(c[i] for c in box) for i in range(3)]
    widest = max(range(3), key=lambda i: spans[i])
    return spans[widest], widest


def _box_average(box):
    return tuple((sum(c[i] for c in box) + len(box) // 2) // len(box) for i in range(3))


def nearest_index(palette, colour, cache):
    if colour not in cache:
        best = min(range(len(palette)), key=lambda i: (
            sum((a - b) ** 2 for a, b in zip(palette[i], colour)), i))
        cache[colour] = best
    return cache[colour]


# --------------------------------------------------------------------------
# ICO container, written by hand.  A 256-colour entry is a DIB with a doubled
# height (XOR image bottom-up, then the 1-bit AND mask); a 32-bit entry is a
# PNG, which Windows Vista and later read at every size and which takes a
# tenth of the room (the manifest declares no older Windows).
# --------------------------------------------------------------------------

def padded_row_bytes(width, bits_per_pixel):
    return ((width * bits_per_pixel + 31) // 32) * 4


def bitmap_info_header(width, height, bits, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_bytes, 0, 0, 0, 0)


def and_mask_bytes(rows):
    """1 = transparent.  Rows bottom-up, each padded to 4 bytes."""
    size = len(rows[0])
    stride = padded_row_bytes(size, 1)
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if not is_shown(pixel):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


# Level and filter are fixed and no optional chunk is written (no time, no
# text), so the same pixels always give the same bytes.  Filter 0 on every
# row: with so few colours it compresses best here.
PNG_ZLIB_LEVEL = 9


def png_chunk(kind, data):
    return (struct.pack(">I", len(data)) + kind + data
            + struct.pack(">I", zlib.crc32(kind + data)))


def png_rgba(rows):
    """Straight (not premultiplied) RGBA, 8 bits a channel, as Windows wants."""
    height, width = len(rows), len(rows[0])
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(raw, PNG_ZLIB_LEVEL))
            + png_chunk(b"IEND", b""))


def dib_8bit(rows):
    size = len(rows)
    palette = build_palette(rows)
    cache = {}
    stride = padded_row_bytes(size, 8)
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            # Windows draws the XOR image through the mask: black under
            # transparent pixels leaves the background untouched.
            line[x] = nearest_index(palette, pixel[:3], cache) if is_shown(pixel) else 0
        xor += line
    mask = and_mask_bytes(rows)
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    header = bitmap_info_header(size, size * 2, 8, len(xor) + len(mask))
    return header + colour_table + bytes(xor) + mask


def quantised_rows(rows):
    """What the 8-bit image shows, as RGBA rows (for previews)."""
    palette = build_palette(rows)
    cache = {}
    return [[palette[nearest_index(palette, p[:3], cache)] + (255,) if is_shown(p)
             else (0, 0, 0, 0) for p in row] for row in rows]


def build_ico(images):
    """images: [(size, bits, image_bytes)] in directory order."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, blobs = b"", b""
    for size, bits, image in images:
        dimension = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, bits,
                               len(image), offset)
        blobs += image
        offset += len(image)
    return header + entries + blobs


def icon_images():
    """Per size: the 256-colour DIB first, then the 32-bit PNG."""
    images = []
    for size in ICON_SIZES:
        rows = draw_icon(size)
        images.append((size, 8, dib_8bit(rows)))
        images.append((size, 32, png_rgba(rows)))
    return images


# --------------------------------------------------------------------------
# Button glyphs, 24x24.
# --------------------------------------------------------------------------

DOOR_FRAME = (124, 80, 44)
DOOR_FRAME_DARK = (82, 50, 26)
DOORWAY = (44, 50, 70)
DOOR_LEAF = (196, 138, 80)
DOOR_LEAF_DARK = (128, 82, 42)
DOOR_PANEL = (172, 116, 62)
DOOR_KNOB = (240, 200, 56)
ARROW_GREEN = (44, 172, 70)
ARROW_GREEN_LIGHT = (104, 210, 110)
ARROW_GREEN_DARK = (16, 104, 36)

REFRESH_BLUE_LIGHT = (70, 146, 240)
REFRESH_BLUE_DARK = (22, 78, 180)


def draw_quit_glyph():
    canvas = Canvas(GLYPH_SIZE, GLYPH_SIZE)
    # Doorway seen from inside the room: a dark opening in a wooden frame.
    canvas.paint(Rect(6, 1, 18, 23), DOOR_FRAME_DARK)
    canvas.paint(Rect(7, 2, 17, 23), DOOR_FRAME)
    canvas.paint(Rect(8, 3, 16, 23), DOORWAY)
    # The leaf swung open towards us on its right-hand hinges: the far edge
    # is nearer, hence taller.
    canvas.paint(Polygon([(16, 3), (23, 0), (23, 24), (16, 23)]), DOOR_LEAF_DARK)
    canvas.paint(Polygon([(17, 3.6), (22, 1.4), (22, 23), (17, 22.2)]), DOOR_LEAF)
    canvas.paint(Polygon([(18, 5.2), (21, 4), (21, 10.6), (18, 11)]), DOOR_PANEL)
    canvas.paint(Polygon([(18, 13.4), (21, 13.4), (21, 20.6), (18, 20)]), DOOR_PANEL)
    canvas.paint(Rect(18, 12, 19, 13), DOOR_KNOB)
    # The arrow walks in from the left, its head inside the doorway.
    canvas.paint(Polygon([(0, 9), (6, 9), (6, 4), (14, 12), (6, 20), (6, 15), (0, 15)]),
                 ARROW_GREEN_DARK)
    canvas.paint(Polygon([(1, 10), (7, 10), (7, 6.4), (12.6, 12), (7, 17.6), (7, 14), (1, 14)]),
                 ARROW_GREEN)
    canvas.paint(Polygon([(1, 10), (7, 10), (7, 6.4), (9.6, 9), (8, 9), (8, 11), (1, 11)]),
                 ARROW_GREEN_LIGHT)
    return canvas


def direction(degrees):
    """Unit vector on screen (y down): 0 = right, 90 = down."""
    radians = math.radians(degrees)
    return (math.cos(radians), math.sin(radians))


def refresh_arrow(cx, cy, radius, width, start_deg, end_deg, head_half, head_length):
    """One arc going clockwise from start to end, with its head at end."""
    half = width / 2.0
    start, end = direction(start_deg), direction(end_deg)
    body = Ring(cx, cy, radius - half, radius + half, start, end)
    ex, ey = end
    tx, ty = -ey, ex  # clockwise tangent
    base_x, base_y = cx + ex * radius, cy + ey * radius
    head = Polygon([
        (base_x + ex * head_half, base_y + ey * head_half),
        (base_x + tx * head_length, base_y + ty * head_length),
        (base_x - ex * head_half, base_y - ey * head_half),
    ])
    return body | head


def vertical_blend(top_colour, bottom_colour, y0, y1):
    def colour_at(px, py):
        t = min(1.0, max(0.0, (py + 0.5 - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top_colour, bottom_colour))
    return colour_at


def draw_controle_glyph():
    canvas = Canvas(GLYPH_SIZE, GLYPH_SIZE)
    # Heads at three and nine o'clock keep their bases on pixel edges, and
    # the ring's 5..8 px radii land on whole pixels at top and bottom: crisp
    # where the eye looks first.
    shade = vertical_blend(REFRESH_BLUE_LIGHT, REFRESH_BLUE_DARK, 3.0, 21.0)
    for start_deg, end_deg in ((242, 360), (62, 180)):
        arrow = refresh_arrow(12.0, 12.0, 6.5, 3.0, start_deg, end_deg,
                              head_half=4.5, head_length=4.5)
        canvas.paint(arrow, shade)
    return canvas


def quit_glyph_rows():
    # Faint edge pixels that round to pure white simply join the ground.
    return draw_quit_glyph().over_ground(QUIT_GROUND)


def controle_glyph_rows():
    canvas = draw_controle_glyph()
    rows = canvas.over_ground((255, 255, 255))
    # The ground becomes the transparent key; drawn pixels that came out
    # pure white are invisible on the window anyway and get the key too.
    for py, row in enumerate(rows):
        for px, colour in enumerate(row):
            if canvas.pixels[py * GLYPH_SIZE + px][3] == 0.0 or colour == (255, 255, 255):
                row[px] = CONTROLE_KEY
    return rows


def bmp_24bit(rows):
    height, width = len(rows), len(rows[0])
    stride = padded_row_bytes(width, 24)
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    info = bitmap_info_header(width, height, 24, len(pixels))
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0,
                              14 + len(info))
    return file_header + info + bytes(pixels)


# --------------------------------------------------------------------------
# Previews.
# --------------------------------------------------------------------------

PREVIEW_SCALE = 8


def checkerboard(image_module, width, height, cell):
    board = image_module.new("RGBA", (width, height), (204, 204, 204, 255))
    pixels = board.load()
    for y in range(height):
        for x in range(width):
            if ((x // cell) + (y // cell)) % 2:
                pixels[x, y] = (156, 156, 156, 255)
    return board


def rgba_image(image_module, rows):
    image = image_module.new("RGBA", (len(rows[0]), len(rows)))
    image.putdata([p for row in rows for p in row])
    return image


def write_previews(directory):
    from PIL import Image

    os.makedirs(directory, exist_ok=True)
    strips = []
    for size in ICON_SIZES:
        rows = draw_icon(size)
        for depth, depth_rows in ((32, rows), (8, quantised_rows(rows))):
            image = rgba_image(Image, depth_rows)
            big = image.resize((size * PREVIEW_SCALE,) * 2, Image.NEAREST)
            for ground_name in ("checker", "white"):
                if ground_name == "checker":
                    ground = checkerboard(Image, big.width, big.height, PREVIEW_SCALE * 2)
                else:
                    ground = Image.new("RGBA", big.size, (255, 255, 255, 255))
                ground.alpha_composite(big)
                ground.convert("RGB").save(os.path.join(
                    directory, "icon_%d_%dbit_%s.png" % (size, depth, ground_name)))
            strips.append(image)
    for name, rows, key in (("quit", quit_glyph_rows(), QUIT_GROUND),
                            ("controle", controle_glyph_rows(), CONTROLE_KEY)):
        keyed = [[(0, 0, 0, 0) if p == key else p + (255,) for p in row] for row in rows]
        image = rgba_image(Image, keyed)
        for ground_name, ground_colour in (("white", (255, 255, 255, 255)),
                                           ("dark", (48, 48, 48, 255))):
            ground = Image.new("RGBA", image.size, ground_colour)
            ground.alpha_composite(image)
            ground.resize((GLYPH_SIZE * PREVIEW_SCALE,) * 2, Image.NEAREST).convert(
                "RGB").save(os.path.join(directory, "glyph_%s_%s.png" % (name, ground_name)))
        strips.append(image)
    write_actual_size_sheet(Image, directory, strips)


def write_actual_size_sheet(image_module, directory, images):
    """Every picture at 1x on white and on a dark ground, side by side."""
    gap = 6
    width = sum(i.width for i in images) + gap * (len(images) + 1)
    height = max(i.height for i in images) * 2 + gap * 3
    sheet = image_module.new("RGBA", (width, height), (255, 255, 255, 255))
    dark_top = gap * 2 + max(i.height for i in images) - gap // 2
    sheet.paste((40, 40, 46, 255), (0, dark_top, width, height))
    x = gap
    for image in images:
        sheet.alpha_composite(image, (x, gap))
        sheet.alpha_composite(image, (x, dark_top + gap // 2))
        x += image.width + gap
    sheet.convert("RGB").save(os.path.join(directory, "actual_size.png"))
    big = sheet.resize((sheet.width * 3, sheet.height * 3), image_module.NEAREST)
    big.convert("RGB").save(os.path.join(directory, "actual_size_x3.png"))


# --------------------------------------------------------------------------

def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output-dir", metavar="DIR", default=RESOURCES_DIR,
                        help="where to write the icon and glyphs (default: %(default)s)")
    parser.add_argument("--preview", metavar="DIR",
                        help="also write enlarged PNG renderings into DIR")
    args = parser.parse_args(argv)
    os.makedirs(args.output_dir, exist_ok=True)
    write_file(os.path.join(args.output_dir, ICON_NAME), build_ico(icon_images()))
    write_file(os.path.join(args.output_dir, QUIT_GLYPH_NAME), bmp_24bit(quit_glyph_rows()))
    write_file(os.path.join(args.output_dir, CONTROLE_GLYPH_NAME),
               bmp_24bit(controle_glyph_rows()))
    if args.preview:
        write_previews(args.preview)


if __name__ == "__main__":
    main(sys.argv[1:])
