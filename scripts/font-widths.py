#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the advance widths of DejaVu Sans and DejaVu Sans Bold, the faces the pictures' text
is set in, as a C++ table for measuring text where no font library is at hand (the browser
edition). Reads the fonts' own tables (head, hhea, hmtx, cmap format 4), so that no font tool is
needed:

    scripts/font-widths.py > src/drawing/dejavu_advances.inc

The characters: printable ASCII, Latin-1 and the signs the reports use."""

import struct
import sys

FONTS = ["/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
         "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"]
CHARACTERS = (list(range(0x20, 0x7F)) + list(range(0xA0, 0x100)) +
              [0x2013, 0x2014, 0x2022, 0x2026, 0x2192, 0x2212, 0x25A1, 0x25B2, 0x25BC, 0x25CF,
               0x2715])


def tables(data):
    count = struct.unpack_from(">H", data, 4)[0]
    out = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack_from(">4sIII", data, 12 + 16 * i)
        out[tag.decode("ascii")] = (offset, length)
    return out


def glyph_map(data, cmap):
    """Code point -> glyph index from the Unicode BMP subtable (format 4)."""
    count = struct.unpack_from(">H", data, cmap + 2)[0]
    for i in range(count):
        platform, encoding, offset = struct.unpack_from(">HHI", data, cmap + 4 + 8 * i)
        sub = cmap + offset
        if (platform, encoding) in ((3, 1), (0, 3)) and struct.unpack_from(">H", data, sub)[0] == 4:
            break
    else:
        sys.exit("font-widths: no Unicode BMP character map")
    segments = struct.unpack_from(">H", data, sub + 6)[0] // 2
    ends = sub + 14
    starts = ends + 2 * segments + 2
    deltas = starts + 2 * segments
    ranges = deltas + 2 * segments
    mapping = {}
    for s in range(segments):
        end, start = struct.unpack_from(">HH", data, ends + 2 * s)[0], \
            struct.unpack_from(">H", data, starts + 2 * s)[0]
        delta = struct.unpack_from(">h", data, deltas + 2 * s)[0]
        range_offset = struct.unpack_from(">H", data, ranges + 2 * s)[0]
        for c in range(start, end + 1):
            if range_offset == 0:
                glyph = (c + delta) & 0xFFFF
            else:
                at = ranges + 2 * s + range_offset + 2 * (c - start)
                glyph = struct.unpack_from(">H", data, at)[0]
                glyph = (glyph + delta) & 0xFFFF if glyph else 0
            mapping[c] = glyph
    return mapping


def advances(path):
    data = open(path, "rb").read()
    t = tables(data)
    units = struct.unpack_from(">H", data, t["head"][0] + 18)[0]
    metrics = struct.unpack_from(">H", data, t["hhea"][0] + 34)[0]
    hmtx = t["hmtx"][0]
    mapping = glyph_map(data, t["cmap"][0])

    def advance(glyph):
        return struct.unpack_from(">H", data, hmtx + 4 * min(glyph, metrics - 1))[0]

    out = {}
    for c in CHARACTERS:
        if mapping.get(c, 0) == 0:
            sys.exit(f"font-widths: {path} has no glyph for U+{c:04X}")
        out[c] = advance(mapping[c])
    return units, out


def main():
    faces = [advances(path) for path in FONTS]
    units = {u for u, _ in faces}
    if len(units) != 1:
        sys.exit("font-widths: the faces differ in units per em")
    print("// Written by scripts/font-widths.py from DejaVu Sans and DejaVu Sans Bold")
    print("// (fonts-dejavu-core); do not edit.")
    print(f"constexpr int kUnitsPerEm = {units.pop()};")
    print("// Code point, advance of the regular face, advance of the bold face; by code point.")
    print("constexpr Advance kAdvances[] = {")
    for c in CHARACTERS:
        print(f"    {{0x{c:04X}, {faces[0][1][c]}, {faces[1][1][c]}}},")
    print("};")


if __name__ == "__main__":
    main()
