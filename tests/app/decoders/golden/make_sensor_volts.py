#!/usr/bin/env python3
"""Writes sensor_volts.txt: the volts of every sensor field 00..FF against the
5 V and the 3.3 V reference, computed as the program does in single
precision (reference * field, then / 255, each rounded to the nearest float),
shown with two decimals and with the float's nine significant digits.

Single precision is emulated exactly with rationals. The script also checks
that each two-decimal text equals the exact decimal result rounded half up,
so the table can be trusted to the shown digit."""
from fractions import Fraction
import math


def to_f32(x: Fraction) -> Fraction:
    if x == 0:
        return Fraction(0)
    e = math.floor(math.log2(x)) - 23
    # correct a floating log2 off by one at powers of two
    while x / Fraction(2) ** e >= 2 ** 24:
        e += 1
    while x / Fraction(2) ** e < 2 ** 23:
        e -= 1
    m = x / Fraction(2) ** e
    q, r = divmod(m.numerator, m.denominator)
    frac = Fraction(r, m.denominator)
    if frac > Fraction(1, 2) or (frac == Fraction(1, 2) and q % 2 == 1):
        q += 1
    return Fraction(q) * Fraction(2) ** e


def two_decimals_half_up(x: Fraction) -> str:
    cents = math.floor(x * 100 + Fraction(1, 2))
    return "%d.%02d" % (cents // 100, cents % 100)


def volts(ref: Fraction, field: int) -> Fraction:
    r = to_f32(ref)
    return to_f32(to_f32(r * field) / 255)


lines = ["# field  5V  5V-float  3.3V  3.3V-float"]
for field in range(256):
    row = ["%02X" % field]
    for ref in (Fraction(5), Fraction(33, 10)):
        v = volts(ref, field)
        shown = "%.2f" % float(v)
        assert shown == two_decimals_half_up(ref * field / 255), (field, ref)
        row += [shown, "%.9g" % float(v)]
    lines.append(" ".join(row))
with open("sensor_volts.txt", "w") as f:
    f.write("\n".join(lines) + "\n")
