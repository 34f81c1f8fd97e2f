#!/usr/bin/env python3
"""Draws the saver's icon: a small ribbon that runs from green to red on a black rounded square.

    make-icon.py OUTPUT.ico [--preview OUTPUT.png]

The icon file holds two images, 32 by 32 and 16 by 16 pixels, each with 16 colours (4 bits per
pixel). The ribbon echoes the saver's figure: one S-shaped curve drawn twice, the copies displaced
along the diagonal and joined by rungs, its colour running from green at one end to red at the
other. Only the standard library is used, so the build needs nothing but python3. --preview also
writes both images, enlarged, as a PNG for looking at.
"""
import math
import struct
import sys
import zlib

# The palette: black, then five hues from green through yellow to red, each at three brightness
# levels, so that the ribbon's edges can be softened within 16 colours.
HUES = [(0, 255, 0), (128, 255, 0), (255, 255, 0), (255, 128, 0), (255, 0, 0)]
LEVELS = [1.0, 0.62, 0.32]
PALETTE = [(0, 0, 0)] + [tuple(round(c * level) for c in hue) for level in LEVELS for hue in HUES]
assert len(PALETTE) == 16

SUBSAMPLES = 6  # per pixel and axis
TURN_DEGREES = 45.0
# Per image size: swing of the S (part of its half length), distance of the two copies and margin
# (parts of the image size), number of rungs.
SHAPES = {32: dict(amplitude=0.25, drift=0.2, margin=0.09, rungs=8),
          16: dict(amplitude=0.25, drift=0.2, margin=0.09, rungs=3)}


def curve_points(count, amplitude):
    """The unscaled figure: one smooth S, the lengthwise coordinate running from -1 to 1 and the
    crosswise one swinging to either side, as a path of (crosswise, lengthwise, position along the
    path in [0, 1])."""
    points = []
    for i in range(count + 1):
        u = -1.0 + 2.0 * i / count
        points.append((amplitude * math.sin(math.pi * u), u, i / count))
    return points


def ribbon_strokes(size):
    """Line segments in pixel coordinates, each (x0, y0, x1, y1, position along the ribbon)."""
    # The figure is turned so that it runs from lower left to upper right, across the diagonal
    # along which its two copies lie apart and its rungs run (upper left to lower right, as in the
    # saver).
    turn = math.radians(TURN_DEGREES)
    cos_t, sin_t = math.cos(turn), math.sin(turn)
    shape = SHAPES[size]
    figure = curve_points(80, shape["amplitude"])
    turned = [(x * cos_t - y * sin_t, x * sin_t + y * cos_t, s) for x, y, s in figure]
    drift = shape["drift"] * size
    margin = shape["margin"] * size
    extent = max(max(abs(x), abs(y)) for x, y, _ in turned)
    scale = (size / 2.0 - margin - drift / 2.0) / extent
    centre = size / 2.0
    path = [(centre + x * scale, centre + y * scale, s) for x, y, s in turned]
    strokes = []
    for sign in (-1.0, 1.0):
        offset = sign * drift / 2.0
        for (x0, y0, s0), (x1, y1, s1) in zip(path, path[1:]):
            strokes.append((x0 + offset, y0 + offset, x1 + offset, y1 + offset, (s0 + s1) / 2.0))
    rung_count = shape["rungs"]
    for k in range(rung_count):
        x, y, s = path[round((k + 0.5) * (len(path) - 1) / rung_count)]
        strokes.append((x - drift / 2.0, y - drift / 2.0, x + drift / 2.0, y + drift / 2.0, s))
    return strokes


def distance_to_segment(px, py, x0, y0, x1, y1):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    u = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - x0) * dx + (py - y0) * dy) / length2))
    ex, ey = x0 + u * dx - px, y0 + u * dy - py
    return math.sqrt(ex * ex + ey * ey)


def inside_rounded_square(px, py, size):
    radius = size * 0.2
    cx = min(max(px, radius), size - radius)
    cy = min(max(py, radius), size - radius)
    return (px - cx) ** 2 + (py - cy) ** 2 <= radius * radius


def render(size):
    """Returns rows (top first) of (palette index, opaque) pairs."""
    strokes = ribbon_strokes(size)
    half_width = 0.55 if size >= 32 else 0.5
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            covered = 0
            opaque = 0
            position_sum = 0.0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = px + (sx + 0.5) / SUBSAMPLES
                    y = py + (sy + 0.5) / SUBSAMPLES
                    opaque += inside_rounded_square(x, y, size)
                    best = None
                    for x0, y0, x1, y1, s in strokes:
                        d = distance_to_segment(x, y, x0, y0, x1, y1)
                        if d <= half_width and (best is None or d < best[0]):
                            best = (d, s)
                    if best is not None:
                        covered += 1
                        position_sum += best[1]
            samples = SUBSAMPLES * SUBSAMPLES
            level = 3 - min(3, round(3.0 * covered / samples * 1.25))  # 0 brightest, 3 black
            if covered == 0 or level == 3:
                index = 0
            else:
                hue = round(4.0 * position_sum / covered)
                index = 1 + level * len(HUES) + hue
            row.append((index, opaque * 2 > samples))
        rows.append(row)
    return rows


def icon_image(rows):
    """The image as it is stored in an icon file: header, palette, colour bits, mask (bottom up)."""
    size = len(rows)
    colour_stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(colour_stride)
        bits = bytearray(mask_stride)
        for x, (index, opaque) in enumerate(row):
            if not opaque:
                index = 0
                bits[x // 8] |= 0x80 >> (x % 8)
            line[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colour += line
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(colour) + len(mask),
                         0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colour) + bytes(mask)


def icon_file(images):
    """An .ico file holding the given (size, image bytes) pairs."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def png_file(pictures, zoom):
    """A PNG showing the pictures (rows of (index, opaque)) side by side, enlarged."""
    height = max(len(p) for p in pictures) * zoom
    width = sum(len(p) * zoom + zoom for p in pictures)
    grey = (96, 96, 96)
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for picture in pictures:
            for x in range(len(picture) * zoom + zoom):
                py, px = y // zoom, x // zoom
                if py < len(picture) and px < len(picture):
                    index, opaque = picture[py][px]
                    raw += bytes(PALETTE[index] if opaque else grey)
                else:
                    raw += bytes(grey)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw)))
            + chunk(b"IEND", b""))


def main(arguments):
    if len(arguments) not in (1, 3) or (len(arguments) == 3 and arguments[1] != "--preview"):
        sys.stderr.write(__doc__)
        return 2
    pictures = [render(32), render(16)]
    with open(arguments[0], "wb") as out:
        out.write(icon_file([(len(p), icon_image(p)) for p in pictures]))
    if len(arguments) == 3:
        with open(arguments[2], "wb") as out:
            out.write(png_file(pictures, 12))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
