"""Prints a font's vertical glyph substitutions as "glyph substitute" lines
of glyph IDs, read with fontTools.

  vertical_pairs.py gsub FONT  the single substitutions of the lookups of
                               GSUB's first 'vert' feature, in lookup order
                               (the first substitute of a glyph holds)
  vertical_pairs.py mort FONT  the (glyph, substitute) entries of the mort
                               table's single lookup table, whose unit size
                               and count are at bytes 66 and 68 and whose
                               entries begin at byte 76
"""
import struct
import sys

from fontTools.ttLib import TTFont


def gsub_pairs(font):
    table = font["GSUB"].table
    features = table.FeatureList.FeatureRecord
    vert = next(r.Feature for r in features if r.FeatureTag == "vert")
    pairs = {}
    for index in vert.LookupListIndex:
        lookup = table.LookupList.Lookup[index]
        if lookup.LookupType != 1:
            break
        for subtable in lookup.SubTable:
            for glyph, substitute in subtable.mapping.items():
                pairs.setdefault(font.getGlyphID(glyph), font.getGlyphID(substitute))
    return pairs


def mort_pairs(font):
    data = font.getTableData("mort")
    unit_size, count = struct.unpack_from(">HH", data, 66)
    assert unit_size == 4
    pairs = {}
    for i in range(count):
        glyph, substitute = struct.unpack_from(">HH", data, 76 + 4 * i)
        pairs.setdefault(glyph, substitute)
    return pairs


def main():
    kind, path = sys.argv[1:3]
    font = TTFont(path)
    pairs = gsub_pairs(font) if kind == "gsub" else mort_pairs(font)
    for glyph in sorted(pairs):
        print(glyph, pairs[glyph])


main()
