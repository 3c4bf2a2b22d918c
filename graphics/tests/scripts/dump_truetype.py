"""Writes what fontTools reads from a TrueType font, for the font tests.

Usage: dump_truetype.py FONT OUTDIR

For every table of the font: OUTDIR/table_<tag as 8 hex digits>.bin with the
table's raw bytes. OUTDIR/glyphs.bin: for every glyph in order, its glyf
slice (the bytes between its loca offset and the next) as a 32-bit
big-endian length followed by the bytes. OUTDIR/metrics.bin: for every
glyph in order, its hmtx advance and left side bearing and, when the font
has vmtx, its vmtx advance and top side bearing, each a 16-bit big-endian
value.
"""
import os
import struct
import sys

from fontTools.ttLib import TTFont


def main():
    path, out = sys.argv[1:3]
    os.makedirs(out, exist_ok=True)
    font = TTFont(path, lazy=True)
    reader = font.reader
    for tag in reader.keys():
        code = struct.unpack(">I", tag.encode("latin-1"))[0]
        with open(os.path.join(out, "table_%08x.bin" % code), "wb") as f:
            f.write(reader[tag])
    glyf = reader["glyf"]
    offsets = font["loca"].locations
    with open(os.path.join(out, "glyphs.bin"), "wb") as f:
        for start, end in zip(offsets, offsets[1:]):
            piece = glyf[start:end] if end > start else b""
            f.write(struct.pack(">I", len(piece)))
            f.write(piece)

    order = font.getGlyphOrder()
    vertical = "vmtx" in reader
    with open(os.path.join(out, "metrics.bin"), "wb") as f:
        for name in order:
            f.write(struct.pack(">Hh", *font["hmtx"].metrics[name]))
            if vertical:
                f.write(struct.pack(">Hh", *font["vmtx"].metrics[name]))


if __name__ == "__main__":
    main()
