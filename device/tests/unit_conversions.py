#!/usr/bin/env python3
"""Writes unit_conversion_table.inc: paper sizes converted between the four
length units and into device dots with exact rational arithmetic, as the
custom-size tests expect them.

Units: 0 hundredths of an inch, 1 millimetres, 2 ten-thousandths of an
inch, 3 micrometres; an inch is exactly 25.4 mm. A conversion rounds the
exact value to nearest with halves up. A size in dots is the size rounded to
ten-thousandths of an inch, times the resolution over 10000, truncated.

Run from this directory:  python3 unit_conversions.py > unit_conversion_table.inc
"""

from fractions import Fraction
from math import floor

MM_PER_INCH = Fraction(254, 10)
# The length of one step of each unit, in millimetres.
UNIT_MM = [MM_PER_INCH / 100, Fraction(1), MM_PER_INCH / 10000, Fraction(1, 1000)]
UNIT_NAMES = ["hundredths", "mm", "tenthousandths", "um"]
RESOLUTIONS = [300, 600, 1200]
LARGEST = 2**32 - 1


def round_half_up(x):
    return floor(x + Fraction(1, 2))


def iso_sizes():
    """ISO 216 A and B series in mm: each size halves the longer side of the
    one before (rounded down), from A0 841 x 1189 and B0 1000 x 1414."""
    sizes = []
    for series, (w, h) in (("A", (841, 1189)), ("B", (1000, 1414))):
        for n in range(11):
            sizes.append((f"{series}{n}", Fraction(w), Fraction(h)))
            w, h = h // 2, w
    return sizes


def ansi_sizes():
    """ANSI A to E, in inches, taken to mm."""
    inches = [("ANSI_A", 8.5, 11), ("ANSI_B", 11, 17), ("ANSI_C", 17, 22), ("ANSI_D", 22, 34), ("ANSI_E", 34, 44)]
    return [(name, Fraction(w) * MM_PER_INCH, Fraction(h) * MM_PER_INCH) for name, w, h in inches]


def converted(value, unit, to):
    """The value in unit, converted to the unit to; None when it does not
    fit 32 bits."""
    result = value if unit == to else round_half_up(value * UNIT_MM[unit] / UNIT_MM[to])
    return result if result <= LARGEST else None


def dots(value, unit, dpi):
    tenthousandths = value if unit == 2 else round_half_up(value * UNIT_MM[unit] / UNIT_MM[2])
    result = floor(Fraction(tenthousandths * dpi, 10000))
    return result if result <= LARGEST else None


def cell(value):
    return "kDoesNotFit" if value is None else str(value)


def row(name, unit, width, height):
    units = ", ".join(f"{{{cell(converted(width, unit, to))}, {cell(converted(height, unit, to))}}}" for to in range(4))
    at = ", ".join(f"{{{cell(dots(width, unit, dpi))}, {cell(dots(height, unit, dpi))}}}" for dpi in RESOLUTIONS)
    return f'{{"{name}", {unit}, {width}, {height}, {{{units}}}, {{{at}}}}},'


def main():
    print("// Made by unit_conversions.py; do not edit.")
    print("// clang-format off")
    for name, width_mm, height_mm in iso_sizes() + ansi_sizes():
        for unit in range(4):
            # The size as it is given in the unit: its nearest whole value.
            width = round_half_up(width_mm / UNIT_MM[unit])
            height = round_half_up(height_mm / UNIT_MM[unit])
            print(row(f"{name}_{UNIT_NAMES[unit]}", unit, width, height))
    # The largest values of each unit, where a product overflows 32 bits.
    for unit in range(4):
        print(row(f"largest_{UNIT_NAMES[unit]}", unit, LARGEST, LARGEST // 1000))
    print("// clang-format on")


if __name__ == "__main__":
    main()
