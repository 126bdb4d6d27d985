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
    python3 tools/device-font.py SOURCE.ttf TARGET.ttf
"""
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


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: device-font.py SOURCE.ttf TARGET.ttf')
    with open(sys.argv[1], 'rb') as source:
        font = source.read()
    tables = read_tables(font)
    if b'glyf' not in tables or b'head' not in tables:
        sys.exit('device-font.py: %s is not a TrueType font' % sys.argv[1])
    if b'fpgm' in tables or tables.get(b'prep'):
        sys.exit('device-font.py: %s has a hinting program of its own; install it as it is' % sys.argv[1])
    for tag in DROPPED:
        tables.pop(tag, None)
    tables[b'prep'] = PREP
    with open(sys.argv[2], 'wb') as target:
        target.write(write_font(font[:4], tables))


if __name__ == '__main__':
    main()
