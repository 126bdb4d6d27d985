#!/usr/bin/env python3
"""Draws Sorvinta's application icon and writes it as a Windows .ico file.

The emblem is a blue speech bubble with a white "S". Every image is drawn
from the same vector description with 4x4 supersampling, so the small
sizes stay legible. Images (what the resource script expects):
  16x16 at 4 bpp (the 16 standard colours) and 8 bpp,
  24x24, 32x32 and 48x48 at 8 bpp and 32 bpp (alpha).
Pure Python, no imaging library.
    python3 tools/make_icon.py [resources/sorvinta.ico]
"""
import math
import os
import struct
import sys

SUPERSAMPLE = 4

BUBBLE_TOP = (88, 156, 232)
BUBBLE_BOTTOM = (22, 76, 160)
OUTLINE = (12, 40, 96)
LETTER = (255, 255, 255)

# Bubble body (rounded rectangle) and tail, in units of the icon's side.
BODY = (0.04, 0.06, 0.96, 0.76)
BODY_RADIUS = 0.20
TAIL = ((0.20, 0.66), (0.46, 0.70), (0.12, 0.97))
OUTLINE_WIDTH = 0.055

# The "S": two arcs, in units of the icon's side.
S_CENTRE_X = 0.50
S_TOP_Y = 0.17
S_RADIUS = 0.118
S_STROKE = 0.11


def inside_round_rect(x, y, rect, radius):
    left, top, right, bottom = rect
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_triangle(x, y, tri):
    (ax, ay), (bx, by), (cx, cy) = tri

    def side(px, py, qx, qy):
        return (qx - px) * (y - py) - (qy - py) * (x - px)

    d1 = side(ax, ay, bx, by)
    d2 = side(bx, by, cx, cy)
    d3 = side(cx, cy, ax, ay)
    has_neg = d1 < 0 or d2 < 0 or d3 < 0
    has_pos = d1 > 0 or d2 > 0 or d3 > 0
    return not (has_neg and has_pos)


def shrink_triangle(tri, amount):
    gx = sum(p[0] for p in tri) / 3
    gy = sum(p[1] for p in tri) / 3
    out = []
    for px, py in tri:
        dx, dy = px - gx, py - gy
        length = math.hypot(dx, dy)
        scale = max(length - amount * 2.2, 0) / length
        out.append((gx + dx * scale, gy + dy * scale))
    return out


def inside_bubble(x, y, inset):
    left, top, right, bottom = BODY
    body = (left + inset, top + inset, right - inset, bottom - inset)
    if inside_round_rect(x, y, body, max(BODY_RADIUS - inset, 0.01)):
        return True
    tri = shrink_triangle(TAIL, inset) if inset else TAIL
    return inside_triangle(x, y, tri)


def arc_distance(x, y, cx, cy, radius, start, end):
    """Distance from (x, y) to the arc of the circle running from angle start
    to angle end (degrees, y axis down, start < end)."""
    angle = math.degrees(math.atan2(y - cy, x - cx))
    while angle < start:
        angle += 360
    if angle <= end:
        return abs(math.hypot(x - cx, y - cy) - radius)
    best = float("inf")
    for a in (start, end):
        px = cx + radius * math.cos(math.radians(a))
        py = cy + radius * math.sin(math.radians(a))
        best = min(best, math.hypot(x - px, y - py))
    return best


def inside_letter(x, y):
    # Upper bowl: from the right-hand terminal over the top, round the left
    # and down to the middle; lower bowl: from the middle round the right
    # and down to the left-hand terminal.
    upper = arc_distance(x, y, S_CENTRE_X, S_TOP_Y + S_RADIUS, S_RADIUS, 90, 335)
    lower = arc_distance(x, y, S_CENTRE_X, S_TOP_Y + 3 * S_RADIUS, S_RADIUS, -90, 155)
    return min(upper, lower) <= S_STROKE / 2


def shade(x, y, flat):
    """Colour (r, g, b) and coverage (0 or 1) of one sample point; flat gives
    the plain colours of the 16-colour image."""
    if not inside_bubble(x, y, 0):
        return (0, 0, 0), 0
    if inside_letter(x, y):
        return LETTER, 1
    if not inside_bubble(x, y, OUTLINE_WIDTH):
        return (0, 0, 128) if flat else OUTLINE, 1
    if flat:
        return (0, 0, 255), 1
    t = min(max((y - BODY[1]) / (BODY[3] - BODY[1]), 0), 1)
    colour = tuple(round(a + (b - a) * t) for a, b in zip(BUBBLE_TOP, BUBBLE_BOTTOM))
    return colour, 1


def render(size, flat=False):
    """Rows top to bottom of (r, g, b, a) pixels (colour averaged over the
    covered samples, alpha from the coverage)."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = cover = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    colour, c = shade(x, y, flat)
                    if c:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        cover += 1
            if cover:
                row.append((r // cover, g // cover, b // cover, cover * 255 // (n * n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette_256():
    """The 6x6x6 colour cube and the emblem's own colours and blends."""
    colours = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                colours.append((r * 51, g * 51, b * 51))
    for t in range(8):
        colours.append(tuple(round(a + (b - a) * t / 7) for a, b in zip(BUBBLE_TOP, BUBBLE_BOTTOM)))
    colours.append(OUTLINE)
    # Anti-aliased edges of the letter and of the outline.
    for t in range(1, 8):
        for base in (BUBBLE_TOP, BUBBLE_BOTTOM):
            colours.append(tuple(round(a + (b - a) * t / 8) for a, b in zip(base, LETTER)))
            colours.append(tuple(round(a + (b - a) * t / 8) for a, b in zip(base, OUTLINE)))
    assert len(colours) <= 256
    while len(colours) < 256:
        colours.append((0, 0, 0))
    return colours


def nearest(palette, colour):
    best, best_d = 0, None
    for i, p in enumerate(palette):
        d = (p[0] - colour[0]) ** 2 + (p[1] - colour[1]) ** 2 + (p[2] - colour[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def row_bytes(bits):
    return (bits + 31) // 32 * 4


def and_mask(rows, size):
    """1 = transparent. Bottom-up rows, each padded to 32 bits."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(row_bytes(size))
        for x, px in enumerate(row):
            if px[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def dib_header(size, bpp, colours):
    # Height counts the colour image and the mask together.
    image_size = row_bytes(size * bpp) * size + row_bytes(size) * size
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, image_size, 0, 0, colours, 0)


def paletted_image(rows, size, bpp, palette):
    cache = {}
    header = dib_header(size, bpp, len(palette))
    pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    pixels = bytearray()
    for row in reversed(rows):
        indices = []
        for px in row:
            if px[3] < 128:
                indices.append(0)
                continue
            key = px[:3]
            if key not in cache:
                cache[key] = nearest(palette, key)
            indices.append(cache[key])
        line = bytearray(row_bytes(size * bpp))
        if bpp == 8:
            line[:size] = bytes(indices)
        else:
            for x, i in enumerate(indices):
                line[x // 2] |= i << (4 if x % 2 == 0 else 0)
        pixels += line
    return header + pal + bytes(pixels) + and_mask(rows, size)


def rgba_image(rows, size):
    header = dib_header(size, 32, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += struct.pack("<BBBB", b, g, r, a)
    return header + bytes(pixels) + and_mask(rows, size)


def build_icon():
    images = []  # (size, colour count, bpp, data)
    rendered = {}
    for size in (16, 24, 32, 48):
        rendered[size] = render(size)
    pal = palette_256()
    # 32x32 first: a control that shows the icon "at its own size" takes the
    # size of the first image.
    images.append((32, 0, 32, rgba_image(rendered[32], 32)))
    images.append((32, 0, 8, paletted_image(rendered[32], 32, 8, pal)))
    images.append((16, 16, 4, paletted_image(render(16, flat=True), 16, 4, VGA16)))
    images.append((16, 0, 8, paletted_image(rendered[16], 16, 8, pal)))
    for size in (24, 48):
        images.append((size, 0, 8, paletted_image(rendered[size], size, 8, pal)))
        images.append((size, 0, 32, rgba_image(rendered[size], size)))

    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, count, bpp, data in images:
        out += struct.pack("<BBBBHHII", size, size, count, 0, 1, bpp, len(data), offset)
        offset += len(data)
    for _, _, _, data in images:
        out += data
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "sorvinta.ico")
    with open(target, "wb") as f:
        f.write(build_icon())


if __name__ == "__main__":
    main()
