#!/usr/bin/env python3
"""Turns the lunar theory's tables (data/moon/*.txt) into a C++ source file.

usage: gen_moon.py DATA_DIR OUTPUT.cpp
"""
import decimal
import os
import sys
from decimal import Decimal

# file, C++ array, C++ row type, expected rows, integers per row
SERIES = [
    ("main-lon-dist.txt", "MoonMainLonDist", "TMoonLonDistRow", 118, 8),
    ("main-lat.txt", "MoonMainLat", "TMoonLatRow", 77, 6),
    ("t1-lon-dist.txt", "MoonT1LonDist", "TMoonLonDistRow", 38, 8),
    ("t1-lat.txt", "MoonT1Lat", "TMoonLatTRow", 16, 5),
    ("t2-lon-dist.txt", "MoonT2LonDist", "TMoonLonDistT2Row", 25, 6),
    ("t2-lat.txt", "MoonT2Lat", "TMoonLatTRow", 12, 5),
]
EXPLICIT_ROWS = 95
ACCUMULATORS = {"l": "maL", "l1": "maL1", "l2": "maL2", "l3": "maL3", "B": "maB",
                "lat": "maLat", "dist": "maDist"}


def read_rows(path):
    rows = []
    with open(path, encoding="ascii") as f:
        for n, line in enumerate(f, 1):
            text = line.strip()
            if text and not text.startswith("#"):
                rows.append((n, text.split()))
    return rows


decimal.getcontext().prec = 40
PI = Decimal("3.14159265358979323846264338327950288419716939937510582097494")


def sin_cos_arcsec(text):
    """Sine and cosine of an angle in arc seconds, to 40 digits."""
    x = Decimal(text) * PI / 648000
    x = x - 2 * PI * int(x / (2 * PI))
    s, c = Decimal(0), Decimal(0)
    term, n = Decimal(1), 0  # x^n / n!
    while abs(term) > Decimal("1e-45") or n < 3:
        if n % 4 == 0:
            c += term
        elif n % 4 == 1:
            s += term
        elif n % 4 == 2:
            c -= term
        else:
            s -= term
        n += 1
        term = term * x / n
    return "%.24eL" % s, "%.24eL" % c


def real(text):
    float(text)  # validates
    if not any(ch in text for ch in ".eE"):
        text += ".0"
    return text + "L"


def main():
    data, out = sys.argv[1], sys.argv[2]
    lines = ["// Generated from data/moon by gen_moon.py. Do not edit.",
             '#include "astro/MoonSeries.h"', ""]
    series_most = [0] * 4
    for name, array, rowtype, count, width in SERIES:
        path = os.path.join(data, name)
        rows = read_rows(path)
        if len(rows) != count:
            sys.exit(f"{path}: expected {count} rows, found {len(rows)}")
        lines.append(f"const {rowtype} {array}[{count}] = {{")
        for n, fields in rows:
            if len(fields) != width:
                sys.exit(f"{path}:{n}: expected {width} integers, found {len(fields)}")
            v = [int(x) for x in fields]
            if not any(v[:4]):
                sys.exit(f"{path}:{n}: all multipliers are zero")
            series_most = [max(m, abs(x)) for m, x in zip(series_most, v[:4])]
            lines.append("  {{%s}, %s}," % (", ".join(map(str, v[:4])), ", ".join(map(str, v[4:]))))
        lines.append("};")
        lines.append("")

    path = os.path.join(data, "explicit-terms.txt")
    rows = read_rows(path)
    if len(rows) != EXPLICIT_ROWS:
        sys.exit(f"{path}: expected {EXPLICIT_ROWS} rows, found {len(rows)}")
    lines.append(f"const TMoonExplicitTerm MoonExplicitTerms[{EXPLICIT_ROWS}] = {{")
    most = [0] * 10
    for n, f in rows:
        if len(f) != 19:
            sys.exit(f"{path}:{n}: expected 19 fields, found {len(f)}")
        if f[2] not in ACCUMULATORS:
            sys.exit(f"{path}:{n}: unknown accumulator '{f[2]}'")
        ident, stage = int(f[0]), int(f[1])
        if stage not in (0, 1, 2):
            sys.exit(f"{path}:{n}: unknown stage {stage}")
        mult = [int(x) for x in f[3:13]]
        most = [max(m, abs(v)) for m, v in zip(most, mult)]
        zs, zc, xt = int(f[16]), int(f[17]), int(f[18])
        for z in (zs, zc):
            if not -1 <= z <= 24:
                sys.exit(f"{path}:{n}: secular table index {z} out of range")
        sp, cp = sin_cos_arcsec(f[13])
        used = [(k, m) for k, m in enumerate(mult) if m != 0]
        if len(used) > 5:
            sys.exit(f"{path}:{n}: more than five arguments")
        used += [(0, 0)] * (5 - len(used))
        lines.append("  {%d, %d, %s, {%s}, %d, {%s}, {%s}, %s, %s, %s, %s, %s, %d, %d, %d}," % (
            ident, stage, ACCUMULATORS[f[2]], ", ".join(map(str, mult)),
            sum(1 for _, m in used if m), ", ".join(str(k) for k, _ in used),
            ", ".join(str(m) for _, m in used),
            real(f[13]), sp, cp, real(f[14]), real(f[15]), zs, zc, xt))
    lines.append("};")
    lines.append("")
    # The multiple-angle tables of the theory must reach every multiplier.
    for k, m in enumerate(most):
        lines.append(f"static_assert(MoonExplicitMaxMultiple[{k}] >= {m});")
    for k, m in enumerate(series_most):
        lines.append(f"static_assert(MoonSeriesMaxMultiple[{k}] >= {m});")
    with open(out, "w", encoding="ascii") as fo:
        fo.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
