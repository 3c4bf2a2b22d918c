"""Writes the points of every glyph's outline as fontTools reads them.

Usage: glyph_points.py FONT OUT [GLYPH INDEX ...]

OUT has one line per glyph in glyph order (or per glyph index given): the
glyph index, the number of contours, then
for each contour its number of points followed by x, y and the on-curve
flag (1 or 0) of each point. Composite glyphs are given composed, their
coordinates rounded to whole font units. A glyph is placed as rasterizers
place it: moved right by its hmtx left side bearing minus its glyf xMin
(the two differ in a few glyphs of some fonts).
"""
import sys

from fontTools.ttLib import TTFont


def main():
    path, out = sys.argv[1:3]
    font = TTFont(path)
    glyf = font["glyf"]
    order = font.getGlyphOrder()
    indices = [int(i) for i in sys.argv[3:]] or range(len(order))
    with open(out, "w") as f:
        for index in indices:
            name = order[index]
            coordinates, ends, flags = glyf[name].getCoordinates(glyf)
            shift = font["hmtx"].metrics[name][1] - getattr(glyf[name], "xMin", 0) if ends else 0
            fields = [str(index), str(len(ends))]
            start = 0
            for end in ends:
                fields.append(str(end - start + 1))
                for i in range(start, end + 1):
                    x, y = coordinates[i]
                    fields += [str(round(x) + shift), str(round(y)), str(flags[i] & 1)]
                start = end + 1
            f.write(" ".join(fields) + "\n")


if __name__ == "__main__":
    main()
