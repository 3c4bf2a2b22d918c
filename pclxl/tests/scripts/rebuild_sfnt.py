"""Rebuilds a TrueType font from what a PCL XL stream downloaded of it and
compares it with the font file it came from.

Arguments: the source font file, the font header bytes (the data of every
ReadFontHeader of one font, in order) and the character records (each a
big-endian 16-bit code, a 32-bit length and the record's bytes, in the order
sent). The global TrueType segment gives the tables the printer keeps; the
class-1 character records give glyf, loca and hmtx. Exits with 1 and names
every difference found.
"""
import io
import struct
import sys

from fontTools.ttLib import TTFont, newTable
from fontTools.ttLib.tables._g_l_y_f import Glyph

NO_CHARACTER = 0xFFFF


def segments(header):
    fmt, orientation, symbol_set, technology, variety, characters = struct.unpack(">BBHBBH", header[:8])
    assert technology == 1, "not a TrueType header"
    found = {}
    pos = 8
    while True:
        ident = header[pos:pos + 2]
        (length,) = struct.unpack(">I", header[pos + 2:pos + 6])
        pos += 6
        if ident == b"\xff\xff":
            assert length == 0 and pos == len(header), "bytes after the null segment"
            return found
        found[ident.decode("ascii")] = header[pos:pos + length]
        pos += length


def global_tables(data):
    version, count, search_range, selector, shift = struct.unpack(">IHHHH", data[:12])
    assert version == 0x00010000
    assert search_range == 16 * 2 ** selector and 2 ** selector <= count < 2 ** (selector + 1)
    assert shift == 16 * count - search_range
    tables = {}
    end = 12 + 16 * count
    for i in range(count):
        tag, checksum, offset, length = struct.unpack(">4sIII", data[12 + 16 * i:28 + 16 * i])
        assert offset == end and length % 4 == 0, "tables not in order or not padded"
        tables[tag.decode("latin-1")] = data[offset:offset + length]
        end += length
    assert end == len(data), "the segment is not the directory and its tables"
    return tables


def character_records(data):
    records = []
    pos = 0
    while pos < len(data):
        code, length = struct.unpack(">HI", data[pos:pos + 6])
        records.append((code, data[pos + 6:pos + 6 + length]))
        pos += 6 + length
    return records


def main(font_path, header_path, characters_path):
    source = TTFont(font_path)
    order = source.getGlyphOrder()
    problems = []
    with open(header_path, "rb") as f:
        tables = global_tables(segments(f.read())["GT"])
    if set(tables) - {"cvt ", "fpgm", "gdir", "head", "maxp", "prep"}:
        problems.append("unexpected tables %s" % sorted(tables))
    for tag, data in tables.items():
        original = source.reader[tag] if tag in source.reader else b""
        padded = original + b"\0" * (-len(original) % 4)
        if data != padded:
            problems.append("table %r differs from the font's" % tag)

    rebuilt = TTFont()
    rebuilt.setGlyphOrder(order)
    # The directory keeps lengths padded; head has a fixed size.
    for tag in ("head", "maxp", "cvt ", "fpgm", "prep"):
        if tag in tables:
            size = 54 if tag == "head" else len(source.reader[tag])
            table = newTable(tag)
            table.decompile(tables[tag][:size], rebuilt)
            rebuilt[tag] = table
    # The format sends no hhea: the printer makes its own. The rebuilt font
    # takes a copy of the font's, whose glyph counts compiling sets anew.
    hhea = newTable("hhea")
    hhea.decompile(source.reader["hhea"], rebuilt)
    rebuilt["hhea"] = hhea
    glyf = newTable("glyf")
    glyf.glyphOrder = order
    glyf.glyphs = {name: Glyph() for name in order}
    hmtx = newTable("hmtx")
    hmtx.metrics = {name: (0, 0) for name in order}
    cmap = source.getBestCmap()
    sent = []
    sent_indexes = []
    with open(characters_path, "rb") as f:
        records = character_records(f.read())
    for code, record in records:
        fmt, glyph_class, size, lsb, advance, glyph = struct.unpack(">BBHhHH", record[:10])
        if (fmt, glyph_class) != (1, 1) or size != len(record) - 2:
            problems.append("record of code %d is not a class-1 record of its size" % code)
            continue
        name = order[glyph]
        if code != NO_CHARACTER and cmap.get(code) != name:
            problems.append("code %d went out as glyph %s, the font maps it to %s" % (code, name, cmap.get(code)))
        outline = Glyph(record[10:])
        outline.expand(glyf)
        for component in getattr(outline, "components", []):
            if component.glyphName not in sent:
                problems.append("%s went out before its component %s" % (name, component.glyphName))
        glyf.glyphs[name] = outline
        hmtx.metrics[name] = (advance, lsb)
        sent.append(name)
        sent_indexes.append(glyph)
    rebuilt["glyf"] = glyf
    rebuilt["loca"] = newTable("loca")
    rebuilt["hmtx"] = hmtx
    saved = io.BytesIO()
    rebuilt.save(saved)
    saved.seek(0)
    reread = TTFont(saved)

    # Without a post table the rebuilt font names its glyphs by index.
    reread_order = reread.getGlyphOrder()
    for glyph, name in zip(sent_indexes, sent):
        mine = reread["glyf"][reread_order[glyph]]
        theirs = source["glyf"][name]
        if mine.getCoordinates(reread["glyf"]) != theirs.getCoordinates(source["glyf"]):
            problems.append("outline of %s differs" % name)
        if getattr(mine, "program", None) and mine.program.getBytecode() != theirs.program.getBytecode():
            problems.append("instructions of %s differ" % name)
        if reread["hmtx"][reread_order[glyph]] != source["hmtx"][name]:
            problems.append("hmtx of %s: %s, the font has %s" %
                            (name, reread["hmtx"][reread_order[glyph]], source["hmtx"][name]))
    if not sent:
        problems.append("no glyph was sent")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
