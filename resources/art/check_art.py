#!/usr/bin/python3
"""Checks orbelinchk's generated icon and button glyphs.

Reads resources/orbelinchk.ico, glyph_quit.bmp and glyph_controle.bmp with
nothing but the standard library, so a broken file is caught before the
resource compiler or Windows trips over it, and runs draw_art.py twice
into scratch folders to make sure it still gives the very same bytes as
the files in the tree.  Exits non-zero if anything is wrong.
"""

import os
import struct
import subprocess
import sys
import tempfile
import zlib

ART_DIR = os.path.dirname(os.path.abspath(__file__))
RESOURCES_DIR = os.path.dirname(ART_DIR)
GENERATOR = os.path.join(ART_DIR, "draw_art.py")
ICON_NAME = "orbelinchk.ico"
QUIT_GLYPH_NAME = "glyph_quit.bmp"
CONTROLE_GLYPH_NAME = "glyph_controle.bmp"
ALL_NAMES = (ICON_NAME, QUIT_GLYPH_NAME, CONTROLE_GLYPH_NAME)

EXPECTED_ENTRIES = [(size, bits) for size in (16, 24, 32, 48) for bits in (8, 32)]
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
WHITE = (255, 255, 255)
CONTROLE_KEY = (255, 254, 255)


class CheckFailed(Exception):
    pass


def require(condition, message):
    if not condition:
        raise CheckFailed(message)


def read(name):
    with open(os.path.join(RESOURCES_DIR, name), "rb") as f:
        return f.read()


def row_stride(width, bits):
    return ((width * bits + 31) // 32) * 4


# --------------------------------------------------------------------------
# Parsing
# --------------------------------------------------------------------------

def parse_ico(data):
    require(len(data) >= 6, "icon file shorter than its header")
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    require(reserved == 0 and kind == 1, "not an icon file (reserved=%d type=%d)" % (reserved, kind))
    entries = []
    for i in range(count):
        fields = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        names = ("width", "height", "colour_count", "reserved", "planes", "bits",
                 "bytes", "offset")
        entry = dict(zip(names, fields))
        entry["dib"] = data[entry["offset"]:entry["offset"] + entry["bytes"]]
        entries.append(entry)
    return count, entries


def parse_dib(dib):
    require(len(dib) >= 40, "image shorter than BITMAPINFOHEADER")
    names = ("header_size", "width", "height", "planes", "bits", "compression",
             "image_size", "x_ppm", "y_ppm", "colours_used", "colours_important")
    info = dict(zip(names, struct.unpack_from("<IiiHHIIiiII", dib, 0)))
    return info


def png_chunks(data):
    """[(kind, payload)] of a PNG, checking the signature, lengths and CRCs."""
    require(data[:8] == PNG_SIGNATURE, "not a PNG")
    chunks, offset = [], 8
    while offset < len(data):
        require(offset + 12 <= len(data), "PNG chunk header past the end")
        length, kind = struct.unpack_from(">I4s", data, offset)
        payload = data[offset + 8:offset + 8 + length]
        require(len(payload) == length, "PNG %s chunk past the end" % kind)
        crc, = struct.unpack_from(">I", data, offset + 8 + length)
        require(crc == zlib.crc32(kind + payload), "PNG %s chunk has a bad CRC" % kind)
        chunks.append((kind, payload))
        offset += 12 + length
    return chunks


def png_header(data):
    """IHDR as (width, height, depth, colour type, compression, filter, interlace)."""
    chunks = png_chunks(data)
    require(chunks and chunks[0][0] == b"IHDR", "PNG does not start with IHDR")
    return struct.unpack(">IIBBBBB", chunks[0][1])


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def decode_png_rgba(data):
    """Rows top-down of (r, g, b, a) from a non-interlaced 8-bit RGBA PNG."""
    chunks = png_chunks(data)
    width, height, depth, colour_type, _, _, interlace = png_header(data)
    require((depth, colour_type, interlace) == (8, 6, 0), "PNG is not 8-bit RGBA without interlace")
    raw = zlib.decompress(b"".join(payload for kind, payload in chunks if kind == b"IDAT"))
    stride = 4 * width
    require(len(raw) == (stride + 1) * height, "PNG pixel data is %d bytes, expected %d"
            % (len(raw), (stride + 1) * height))
    rows, previous = [], bytes(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        require(kind <= 4, "PNG row %d has filter %d" % (y, kind))
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = previous[i]
            c = previous[i - 4] if i >= 4 else 0
            predictor = (0, a, b, (a + b) // 2, paeth(a, b, c))[kind]
            line[i] = (line[i] + predictor) & 0xFF
        rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(width)])
        previous = line
    return rows


def decode_icon_image(entry):
    """Returns (info, rgba rows top-down, mask rows top-down, indices or None, palette).

    A PNG image has no header of the DIB kind and no AND mask: info and mask are None.
    """
    dib = entry["dib"]
    if dib[:8] == PNG_SIGNATURE:
        return None, decode_png_rgba(dib), None, None, []
    info = parse_dib(dib)
    size, bits = info["width"], info["bits"]
    palette_count = 0
    if bits == 8:
        palette_count = info["colours_used"] or 256
    palette_offset = info["header_size"]
    palette = [tuple(dib[palette_offset + 4 * i:palette_offset + 4 * i + 4])
               for i in range(palette_count)]
    xor_offset = palette_offset + 4 * palette_count
    xor_stride = row_stride(size, bits)
    and_offset = xor_offset + xor_stride * size
    and_stride = row_stride(size, 1)
    expected_length = and_offset + and_stride * size
    require(len(dib) == expected_length,
            "%dx%d %d-bit image is %d bytes, its header implies %d"
            % (size, size, bits, len(dib), expected_length))

    rgba, indices, mask = [], [], []
    for y in range(size):
        stored_row = size - 1 - y  # bottom-up
        xor_row = dib[xor_offset + stored_row * xor_stride:][:xor_stride]
        and_row = dib[and_offset + stored_row * and_stride:][:and_stride]
        mask.append([bool(and_row[x // 8] & (0x80 >> (x % 8))) for x in range(size)])
        if bits == 32:
            rgba.append([(xor_row[4 * x + 2], xor_row[4 * x + 1], xor_row[4 * x],
                          xor_row[4 * x + 3]) for x in range(size)])
        else:
            indices.append(list(xor_row[:size]))
    return info, rgba, mask, (indices if bits == 8 else None), palette


def parse_bmp24(data):
    require(data[:2] == b"BM", "not a BMP file")
    file_size, _, _, pixel_offset = struct.unpack_from("<IHHI", data, 2)
    require(file_size == len(data), "BMP file size field %d, file is %d bytes"
            % (file_size, len(data)))
    info = parse_dib(data[14:])
    require(info["header_size"] == 40, "BMP header is not a BITMAPINFOHEADER")
    width, height, bits = info["width"], info["height"], info["bits"]
    require((width, height, bits) == (24, 24, 24),
            "BMP is %dx%dx%d, expected 24x24x24 (bottom-up)" % (width, height, bits))
    require(info["planes"] == 1 and info["compression"] == 0,
            "BMP must have 1 plane and no compression")
    stride = row_stride(width, bits)
    require(pixel_offset + stride * height == len(data), "BMP pixel data size is wrong")
    rows = []
    for y in range(height):
        start = pixel_offset + (height - 1 - y) * stride
        rows.append([tuple(reversed(data[start + 3 * x:start + 3 * x + 3]))
                     for x in range(width)])
    return rows


# --------------------------------------------------------------------------
# Checks: each returns nothing and raises CheckFailed with a reason.
# --------------------------------------------------------------------------

def check_icon_directory():
    data = read(ICON_NAME)
    count, entries = parse_ico(data)
    require(count == 8, "icon holds %d images, expected 8" % count)
    found = [(e["width"], e["bits"]) for e in entries]
    require(found == EXPECTED_ENTRIES, "entries are %s, expected %s" % (found, EXPECTED_ENTRIES))
    for e in entries:
        label = "%dx%d %d-bit entry" % (e["width"], e["height"], e["bits"])
        require(e["width"] == e["height"], label + ": not square")
        require(e["colour_count"] == 0, label + ": bColorCount must be 0")
        require(e["reserved"] == 0, label + ": bReserved must be 0")
        require(e["planes"] == 1, label + ": wPlanes must be 1")


def check_icon_offsets():
    data = read(ICON_NAME)
    count, entries = parse_ico(data)
    expected_offset = 6 + 16 * count
    for e in entries:
        require(e["offset"] == expected_offset,
                "%d-px %d-bit image at offset %d, expected %d"
                % (e["width"], e["bits"], e["offset"], expected_offset))
        expected_offset += e["bytes"]
    require(expected_offset == len(data),
            "images end at %d but the file is %d bytes" % (expected_offset, len(data)))


def check_icon_image_headers():
    _, entries = parse_ico(read(ICON_NAME))
    for e in entries:
        label = "%d-px %d-bit image" % (e["width"], e["bits"])
        is_png = e["dib"][:8] == PNG_SIGNATURE
        require(is_png == (e["bits"] == 32), label + ": 32-bit images must be PNG, the others DIBs")
        if is_png:
            check_png_image(e, label)
            continue
        info, _, _, _, palette = decode_icon_image(e)
        require(info["header_size"] == 40, label + ": header is not a BITMAPINFOHEADER")
        require(info["width"] == e["width"], label + ": biWidth disagrees with the directory")
        require(info["height"] == 2 * e["width"], label + ": biHeight must be twice the size")
        require(info["planes"] == 1, label + ": biPlanes must be 1")
        require(info["bits"] == e["bits"], label + ": biBitCount disagrees with the directory")
        require(info["compression"] == 0, label + ": must be uncompressed (BI_RGB)")
        pixel_bytes = (row_stride(e["width"], e["bits"]) + row_stride(e["width"], 1)) * e["width"]
        require(info["image_size"] in (0, pixel_bytes),
                label + ": biSizeImage %d, expected %d" % (info["image_size"], pixel_bytes))
        if e["bits"] == 8:
            require(len(palette) == 256, label + ": palette has %d colours" % len(palette))
            require(all(entry[3] == 0 for entry in palette),
                    label + ": palette reserved bytes must be 0")


def check_png_image(entry, label):
    size = entry["width"]
    require(png_header(entry["dib"]) == (size, size, 8, 6, 0, 0, 0),
            label + ": PNG must be %dx%d, 8-bit RGBA, not interlaced" % (size, size))
    # Nothing but the pixels: an optional chunk (time, text, gamma) would make the bytes vary or
    # change how the colours come out.
    kinds = [kind for kind, _ in png_chunks(entry["dib"])]
    require(kinds[-1] == b"IEND" and set(kinds[1:-1]) == {b"IDAT"},
            label + ": PNG chunks are %s, expected IHDR, IDAT, IEND" % kinds)


def check_32bit_alpha():
    _, entries = parse_ico(read(ICON_NAME))
    for e in entries:
        if e["bits"] != 32:
            continue
        _, rgba, mask, _, _ = decode_icon_image(e)
        size = e["width"]
        alphas = [p[3] for row in rgba for p in row]
        label = "%d-px 32-bit image" % size
        require(0 in alphas, label + ": no fully transparent pixel")
        require(255 in alphas, label + ": no fully opaque pixel")
        for x, y in ((0, 0), (size - 1, 0), (0, size - 1), (size - 1, size - 1)):
            require(rgba[y][x][3] == 0, label + ": corner (%d, %d) is not transparent" % (x, y))
        if mask is None:
            continue
        for y in range(size):
            for x in range(size):
                require(mask[y][x] == (rgba[y][x][3] < 128),
                        label + ": AND mask disagrees with alpha at (%d, %d)" % (x, y))


def images_by_size():
    _, entries = parse_ico(read(ICON_NAME))
    by_size = {}
    for e in entries:
        by_size.setdefault(e["width"], {})[e["bits"]] = decode_icon_image(e)
    return by_size


def check_8bit_mask_matches_alpha():
    for size, images in sorted(images_by_size().items()):
        _, rgba, _, _, _ = images[32]
        _, _, mask, indices, palette = images[8]
        for y in range(size):
            for x in range(size):
                masked = rgba[y][x][3] < 128
                require(mask[y][x] == masked,
                        "%d-px 8-bit AND mask wrong at (%d, %d): alpha %d"
                        % (size, x, y, rgba[y][x][3]))
                if masked:
                    colour = palette[indices[y][x]][:3]
                    require(colour == (0, 0, 0),
                            "%d-px 8-bit image: masked pixel (%d, %d) is not black" % (size, x, y))


def check_8bit_colours_follow_32bit():
    for size, images in sorted(images_by_size().items()):
        _, rgba, _, _, _ = images[32]
        _, _, mask, indices, palette = images[8]
        for y in range(size):
            for x in range(size):
                if mask[y][x]:
                    continue
                b, g, r, _ = palette[indices[y][x]]
                distance = max(abs(a - c) for a, c in zip((r, g, b), rgba[y][x][:3]))
                require(distance <= 24, "%d-px 8-bit colour at (%d, %d) is %d away from the 32-bit one"
                        % (size, x, y, distance))


def check_quit_glyph():
    rows = parse_bmp24(read(QUIT_GLYPH_NAME))
    require(rows[23][0] == WHITE, "quit glyph's bottom-left pixel is %s, expected %s"
            % (rows[23][0], WHITE))
    pixels = [p for row in rows for p in row]
    drawn = [p for p in pixels if p != WHITE]
    require(len(drawn) > 100, "quit glyph draws only %d pixels" % len(drawn))
    require(any(g > r + 60 and g > b + 60 for r, g, b in drawn), "quit glyph has no green arrow")


def check_controle_glyph():
    rows = parse_bmp24(read(CONTROLE_GLYPH_NAME))
    require(rows[23][0] == CONTROLE_KEY, "controle glyph's bottom-left pixel is %s, expected %s"
            % (rows[23][0], CONTROLE_KEY))
    pixels = [p for row in rows for p in row]
    near_white = [p for p in pixels if p != CONTROLE_KEY and min(p) >= 235]
    require(near_white, "controle glyph has no near-white pixel besides the transparent key")
    require(pixels.count(CONTROLE_KEY) > len(pixels) // 2,
            "controle glyph's ground is not mostly the transparent key")
    require(any(b > r + 80 for r, g, b in pixels), "controle glyph has no blue arrows")


def generate_into(directory):
    subprocess.run([sys.executable, GENERATOR, "--output-dir", directory], check=True)
    contents = {}
    for name in ALL_NAMES:
        with open(os.path.join(directory, name), "rb") as f:
            contents[name] = f.read()
    return contents


def check_generator_is_deterministic():
    with tempfile.TemporaryDirectory() as first, tempfile.TemporaryDirectory() as second:
        run_one, run_two = generate_into(first), generate_into(second)
    for name in ALL_NAMES:
        require(run_one[name] == run_two[name], "draw_art.py gave two different %s" % name)
        require(run_one[name] == read(name),
                "%s in the tree differs from what draw_art.py draws now: rerun it" % name)


CHECKS = [
    check_icon_directory,
    check_icon_offsets,
    check_icon_image_headers,
    check_32bit_alpha,
    check_8bit_mask_matches_alpha,
    check_8bit_colours_follow_32bit,
    check_quit_glyph,
    check_controle_glyph,
    check_generator_is_deterministic,
]


def main():
    passed, failed = 0, 0
    for check in CHECKS:
        try:
            check()
        except CheckFailed as problem:
            failed += 1
            print("FAIL %s: %s" % (check.__name__, problem))
        except Exception as problem:  # a file too broken to parse is a failure too
            failed += 1
            print("FAIL %s: %s: %s" % (check.__name__, type(problem).__name__, problem))
        else:
            passed += 1
            print("ok   %s" % check.__name__)
        sys.stdout.flush()
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
