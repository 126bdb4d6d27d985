#!/usr/bin/env python3
"""Writes the copy of Tahoma that tools/wine-run.sh installs in its prefix.

Wine's own tahoma.ttf (Debian's fonts-wine) carries embedded bitmaps for 8 to
16 pixels and no hinting program. Wine draws unsmoothed text from those
bitmaps but measures it from the outlines, which FreeType's autohinter fits
one way for measuring and another for drawing, and the bitmaps' own spacing
is uneven ("тп" touch, a gap after "к"). Edit fields, centred labels and
Uniscribe place glyphs by the measured widths, so words showed gaps inside.

The copy drops the bitmaps and gets a one-instruction 'prep' program: FreeType
then runs its TrueType interpreter instead of the autohinter, and with no
glyph instructions every glyph's width is its outline width rounded, the same
for measuring and for drawing, as with the device's hinted face.

Wine's tahomabd.ttf has regular-weight outlines (its bold lives only in the
bitmaps), so the bold face is made here from the regular one: every outline
grown by a fourteenth of the em across and half that upwards (the baseline
stays), every advance widened as much, with the names of tahomabd.ttf.
    python3 tools/device-font.py REGULAR.ttf TARGET.ttf
    python3 tools/device-font.py --bold REGULAR.ttf BOLD-NAMES.ttf TARGET.ttf
"""
import math
import os
import struct
import sys

DROPPED = (b'EBDT', b'EBLC', b'EBSC')
# Dropout control at every size, so that thin strokes (the breve of "й")
# stay in unsmoothed text: PUSHW[0] 511, SCANCTRL, PUSHB[0] 5, SCANTYPE.
PREP = b'\xb8\x01\xff\x85\xb0\x05\x8d'


def checksum(data):
    data += b'\0' * (-len(data) % 4)
    return sum(struct.unpack('>%dI' % (len(data) // 4), data)) & 0xFFFFFFFF


def read_tables(font):
    count = struct.unpack('>H', font[4:6])[0]
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack('>4sIII', font[12 + 16 * i:28 + 16 * i])
        tables[tag] = font[offset:offset + length]
    return tables


def write_font(version, tables):
    tags = sorted(tables)
    count = len(tags)
    power = 1
    while power * 2 <= count:
        power *= 2
    header = version + struct.pack('>HHHH', count, power * 16, power.bit_length() - 1, count * 16 - power * 16)
    offset = 12 + 16 * count
    directory = b''
    body = b''
    head_offset = 0
    for tag in tags:
        data = tables[tag]
        if tag == b'head':
            data = data[:8] + b'\0\0\0\0' + data[12:]  # checkSumAdjustment, set below
            head_offset = offset + len(body)
        directory += struct.pack('>4sIII', tag, checksum(data), offset + len(body), len(data))
        body += data + b'\0' * (-len(data) % 4)
    font = bytearray(header + directory + body)
    font[head_offset + 8:head_offset + 12] = struct.pack('>I', (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def embolden_contour(points, clockwise, xs, ys):
    """FreeType's emboldening of one closed contour: each point moves out along
    the bisector of its two edges, by xs across and ys upwards; the left and
    bottom edges stay where they were."""
    count = len(points)
    moved = []
    for i in range(count):
        px, py = points[i - 1]
        cx, cy = points[i]
        nx, ny = points[(i + 1) % count]
        lin = math.hypot(cx - px, cy - py)
        lout = math.hypot(nx - cx, ny - cy)
        shiftx = shifty = 0.0
        if lin > 0 and lout > 0:
            inx, iny = (cx - px) / lin, (cy - py) / lin
            outx, outy = (nx - cx) / lout, (ny - cy) / lout
            d = inx * outx + iny * outy
            if d > -0.9375:
                d += 1
                shiftx, shifty = iny + outy, inx + outx
                q = outx * iny - outy * inx
                if clockwise:
                    shiftx, q = -shiftx, -q
                else:
                    shifty = -shifty
                near = min(lin, lout)
                shiftx = shiftx * xs / d if xs * q <= near * d else shiftx * near / q
                shifty = shifty * ys / d if ys * q <= near * d else shifty * near / q
        moved.append((cx + xs + shiftx, cy + ys + shifty))
    return moved


def read_simple_glyph(data, contours):
    ends = struct.unpack('>%dH' % contours, data[10:10 + 2 * contours])
    at = 10 + 2 * contours
    length = struct.unpack('>H', data[at:at + 2])[0]
    instructions = data[at + 2:at + 2 + length]
    at += 2 + length
    total = ends[-1] + 1
    flags = []
    while len(flags) < total:
        flag = data[at]
        at += 1
        flags.append(flag)
        if flag & 8:
            flags.extend([flag] * data[at])
            at += 1
    coordinates = []
    for short, same in ((2, 16), (4, 32)):
        value = 0
        values = []
        for flag in flags:
            if flag & short:
                delta = data[at]
                at += 1
                value += delta if flag & same else -delta
            elif not flag & same:
                value += struct.unpack('>h', data[at:at + 2])[0]
                at += 2
            values.append(value)
        coordinates.append(values)
    return ends, instructions, [flag & 1 for flag in flags], list(zip(*coordinates))


def write_simple_glyph(ends, instructions, on_curve, points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    header = struct.pack('>hhhhh', len(ends), min(xs), min(ys), max(xs), max(ys))
    flags = b''
    xdata = b''
    ydata = b''
    last = (0, 0)
    for on, point in zip(on_curve, points):
        flag = on
        for axis, short, same in ((0, 2, 16), (1, 4, 32)):
            delta = point[axis] - last[axis]
            if delta == 0:
                flag |= same
                continue
            if -255 <= delta <= 255:
                flag |= short | (same if delta > 0 else 0)
                encoded = struct.pack('>B', abs(delta))
            else:
                encoded = struct.pack('>h', delta)
            if axis == 0:
                xdata += encoded
            else:
                ydata += encoded
        flags += struct.pack('>B', flag)
        last = point
    return (header + struct.pack('>%dH' % len(ends), *ends) + struct.pack('>H', len(instructions))
            + instructions + flags + xdata + ydata)


def embolden(tables, names):
    """The bold face: tables of the regular one, outlines and widths grown."""
    head = bytearray(tables[b'head'])
    em = struct.unpack('>H', head[18:20])[0]
    grow = em // 14
    long_loca = struct.unpack('>h', head[50:52])[0]
    loca = tables[b'loca']
    count = struct.unpack('>H', tables[b'maxp'][4:6])[0]
    offsets = (struct.unpack('>%dI' % (count + 1), loca[:4 * (count + 1)]) if long_loca
               else [2 * o for o in struct.unpack('>%dH' % (count + 1), loca[:2 * (count + 1)])])
    glyf = tables[b'glyf']
    out = b''
    new_offsets = []
    for g in range(count):
        new_offsets.append(len(out))
        data = glyf[offsets[g]:offsets[g + 1]]
        if len(data) >= 10:
            contours = struct.unpack('>h', data[:2])[0]
            if contours > 0:
                ends, instructions, on_curve, points = read_simple_glyph(data, contours)
                shapes = []
                start = 0
                for end in ends:
                    shapes.append(points[start:end + 1])
                    start = end + 1
                # The glyph's orientation, from the sign of its area.
                area = sum(x0 * y1 - x1 * y0 for shape in shapes
                           for (x0, y0), (x1, y1) in zip(shape, shape[1:] + shape[:1]))
                moved = []
                for shape in shapes:
                    moved += embolden_contour(shape, area < 0, grow / 2, grow / 4)
                data = write_simple_glyph(ends, instructions, on_curve,
                                          [(int(round(x)), int(round(y))) for x, y in moved])
            else:
                # Made of other glyphs, which grow themselves: only the box.
                x_min, y_min, x_max, y_max = struct.unpack('>hhhh', data[2:10])
                data = data[:2] + struct.pack('>hhhh', x_min, y_min, x_max + grow, y_max + grow // 2) + data[10:]
        out += data + b'\0' * (-len(data) % 4)
    new_offsets.append(len(out))
    tables[b'glyf'] = out
    tables[b'loca'] = struct.pack('>%dI' % (count + 1), *new_offsets)
    head[50:52] = struct.pack('>h', 1)
    x_min, y_min, x_max, y_max = struct.unpack('>hhhh', head[36:44])
    head[36:44] = struct.pack('>hhhh', x_min, y_min, x_max + grow, y_max + grow // 2)
    head[44:46] = struct.pack('>H', struct.unpack('>H', head[44:46])[0] | 1)  # macStyle bold
    tables[b'head'] = bytes(head)

    hhea = bytearray(tables[b'hhea'])
    metrics = struct.unpack('>H', hhea[34:36])[0]
    hhea[10:12] = struct.pack('>H', struct.unpack('>H', hhea[10:12])[0] + grow)
    tables[b'hhea'] = bytes(hhea)
    hmtx = bytearray(tables[b'hmtx'])
    for i in range(metrics):
        advance = struct.unpack('>H', hmtx[4 * i:4 * i + 2])[0]
        if advance:
            hmtx[4 * i:4 * i + 2] = struct.pack('>H', advance + grow)
    tables[b'hmtx'] = bytes(hmtx)

    os2 = bytearray(tables[b'OS/2'])
    os2[2:4] = struct.pack('>h', struct.unpack('>h', os2[2:4])[0] + grow)  # xAvgCharWidth
    os2[4:6] = struct.pack('>H', 700)
    selection = struct.unpack('>H', os2[62:64])[0]
    os2[62:64] = struct.pack('>H', (selection | 0x20) & ~0x40)
    tables[b'OS/2'] = bytes(os2)
    tables[b'name'] = names[b'name']


def load(path):
    with open(path, 'rb') as source:
        font = source.read()
    tables = read_tables(font)
    if b'glyf' not in tables or b'head' not in tables:
        sys.exit('device-font.py: %s is not a TrueType font' % path)
    return font[:4], tables


def main():
    args = sys.argv[1:]
    bold = args[:1] == ['--bold']
    if bold:
        args = args[1:]
    if len(args) != (3 if bold else 2):
        sys.exit('usage: device-font.py [--bold] REGULAR.ttf [BOLD-NAMES.ttf] TARGET.ttf')
    version, tables = load(args[0])
    if b'fpgm' in tables or tables.get(b'prep'):
        sys.exit('device-font.py: %s has a hinting program of its own; install it as it is' % args[0])
    for tag in DROPPED:
        tables.pop(tag, None)
    tables[b'prep'] = PREP
    if bold:
        embolden(tables, load(args[1])[1])
    # Whole or not at all: a program may be reading the font this replaces.
    with open(args[-1] + '.new', 'wb') as target:
        target.write(write_font(version, tables))
    os.replace(args[-1] + '.new', args[-1])


if __name__ == '__main__':
    main()
