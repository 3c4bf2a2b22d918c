"""Writes the advance of each code of a range as fontTools reads a font.

Usage: code_advances.py FONT FIRST LAST OUT

OUT holds the font's unitsPerEm on the first line, then one line per code
from FIRST to LAST (decimal): the hmtx advance of the code's glyph in the
font's best Unicode cmap, or -1 when the code has no glyph.
"""
import sys

from fontTools.ttLib import TTFont


def main():
    path, first, last, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    font = TTFont(path)
    cmap = font.getBestCmap()
    metrics = font["hmtx"].metrics
    with open(out, "w") as f:
        f.write("%d\n" % font["head"].unitsPerEm)
        for code in range(first, last + 1):
            name = cmap.get(code)
            f.write("%d\n" % (metrics[name][0] if name is not None and name != ".notdef" else -1))


if __name__ == "__main__":
    main()
