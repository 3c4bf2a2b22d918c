#!/usr/bin/env python3
"""Writes font_catalogues.inc: mass-storage font catalogues for the
catalogue reader's tests and the seeds of its fuzz target, laid out with
Python's struct module independently of the reader.

A catalogue (all numbers little-endian):
  header   0 u32 carried over         12 u16 DIMM name length + 1
           4 u32 header length H2     14 u32 DIMM name offset H
           8 u32 catalogue count      18 u16 creator length + 1
                                      20 u32 creator offset
          24 u32 format version       28 u32 number of fonts n
          32 u32 x n  file offset of each font block
  at H (max(36, 32 + 4n)) the DIMM name and the creator, NUL-terminated;
  from H2 the font blocks, then the bytes "QVD".
A font block: the record
   0 u32 record length R = 26 + 2k   16 u16 weight
   4 u16 name block length           18 u16 italic
   6 u32 name block offset           20 u8  pitch and family
  10 u16 device-name block length    21 u8  hidden bit 7, format code
  12 u32 device-name block offset    22 u16 height
                                     24 u16 k, then k u16 symbol-set codes
followed by the name and the device name (offsets from the block's start).

Run from this directory:  python3 make_font_catalogues.py > font_catalogues.inc
"""

import struct


def text(s):
    return s.encode("ascii") + b"\0"


def font(name, device, weight=400, italic=0, pitch_family=0x00, format_code=2, height=0, codes=(5,),
         name_block=None, device_block=None):
    """One font block. name_block and device_block replace the NUL-terminated
    texts by given bytes (a block without a NUL, or with bytes after it)."""
    name_bytes = text(name) if name_block is None else name_block
    device_bytes = text(device) if device_block is None else device_block
    record_length = 26 + 2 * len(codes)
    record = struct.pack("<IHIHIHHBBhH", record_length, len(name_bytes), record_length, len(device_bytes),
                         record_length + len(name_bytes), weight, italic, pitch_family, format_code, height,
                         len(codes))
    record += struct.pack("<%dH" % len(codes), *codes)
    return record + name_bytes + device_bytes


def catalogue(blocks, count=None, order=None, header_length=None, record_count=None):
    """A whole catalogue of the font blocks. count is the catalogue count
    (the number of blocks by default); order lays the blocks out in the file
    in another order than the header lists them; header_length and
    record_count override those header fields."""
    n = len(blocks)
    dimm, creator = text("Test DIMM"), text("catalogue fixtures")
    h = max(36, 32 + 4 * n)
    h2 = h + len(dimm) + len(creator)
    order = list(range(n)) if order is None else order
    offsets = [0] * n
    position = h2
    for index in order:
        offsets[index] = position
        position += len(blocks[index])
    header = struct.pack("<IIIHIHIII", 0, h2 if header_length is None else header_length,
                         n if count is None else count, len(dimm), h, len(creator), h + len(dimm), 0x00010000,
                         n if record_count is None else record_count)
    header += struct.pack("<%dI" % n, *offsets)
    header += b"\0" * (h - len(header))
    return header + dimm + creator + b"".join(blocks[i] for i in order) + b"QVD"


def several_fonts():
    """Five fonts listed in one order and laid out in the reverse one."""
    blocks = [
        # Scalable, bold italic, family 32 with the pitch and DIMM bits.
        font("Marlow", "Marlow,MarlowPS,", weight=700, italic=1, pitch_family=0x25, format_code=3, codes=(101, 55)),
        # A bitmap font of one height, pitch bit clear.
        font("LinePrinter", "LinePrinter,", pitch_family=0x30, format_code=1, height=16, codes=(207,)),
        # Hidden: left out of lists, still handed to callbacks.
        font("Hidden", "Hidden,", weight=699, pitch_family=0x10, format_code=0x83, codes=(5, 5)),
        # Family nibble 6 is no family; the default symbol set is listed.
        font("Glyphs", "Glyphs,", pitch_family=0x65, format_code=4, codes=(101, 207, 104)),
        # A name block without its NUL and a device name with bytes after it.
        font("", "", format_code=2, codes=(104,), name_block=b"Tern", device_block=b"Tern,\0junk"),
    ]
    return catalogue(blocks, count=7, order=[4, 3, 2, 1, 0])


def three_fonts(middle_codes):
    return [
        font("First", "First,", codes=(5,)),
        font("Second", "Second,", codes=middle_codes),
        font("Third", "Third,", codes=(6, 7)),
    ]


def offset_past_file():
    """Three fonts, the second listed at an offset past the end."""
    data = bytearray(catalogue(three_fonts((5,))))
    struct.pack_into("<I", data, 36, 0xFFFFFF00)
    return bytes(data)


def catalogues():
    return [
        ("several_fonts", "five fonts, the catalogue count 7, laid out in reverse order", several_fonts()),
        ("no_fonts", "a 36-byte header listing no fonts, catalogue count 3", catalogue([], count=3)),
        ("seventeen_codes", "three fonts, the middle one with 17 symbol-set codes",
         catalogue(three_fonts(tuple(range(101, 118))))),
        ("sixteen_codes", "three fonts, the middle one with 16 symbol-set codes",
         catalogue(three_fonts(tuple(range(101, 117))))),
        ("no_codes", "three fonts, the middle one with no symbol-set code", catalogue(three_fonts(()))),
        ("header_too_short", "a header that says it is 32 bytes long",
         catalogue([], header_length=32)),
        ("table_past_header", "a 36-byte header listing two record offsets",
         catalogue([], header_length=36, record_count=2)),
        ("header_past_file", "a header longer than the file", catalogue(three_fonts((5,)), header_length=4096)),
        ("thirty_five_bytes", "the first 35 bytes of a catalogue", catalogue([])[:35]),
        ("truncated", "three fonts, cut inside the third one's device name", catalogue(three_fonts((5,)))[:-6]),
        ("offset_past_file", "three fonts, the second listed at an offset past the end", offset_past_file()),
    ]


def literal(data):
    lines = []
    for start in range(0, len(data), 16):
        lines.append('"' + "".join("\\x%02x" % b for b in data[start:start + 16]) + '"')
    return "\n    ".join(lines) if lines else '""'


def main():
    print("// Made by make_font_catalogues.py; do not edit. In this directory:")
    print("//   python3 make_font_catalogues.py > font_catalogues.inc")
    print("// clang-format off")
    for name, meaning, data in catalogues():
        print("// %s (%d bytes)" % (meaning, len(data)))
        print("{\"%s\",\n    %ssv}," % (name, literal(data)))


main()
