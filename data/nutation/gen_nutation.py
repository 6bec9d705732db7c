#!/usr/bin/env python3
"""Turns the IAU 1980 nutation table (iau1980.txt) into a C++ source file.

usage: gen_nutation.py iau1980.txt OUTPUT.cpp
"""
import sys

ROWS = 105


def main():
    src, out = sys.argv[1], sys.argv[2]
    rows = []
    with open(src, encoding="ascii") as f:
        for n, line in enumerate(f, 1):
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            fields = line.split()
            if len(fields) != 9:
                sys.exit(f"{src}:{n}: expected 9 integers, found {len(fields)}")
            row = [int(x) for x in fields]
            if not any(row[:5]):
                sys.exit(f"{src}:{n}: all multipliers are zero")
            rows.append(row)
    if len(rows) != ROWS:
        sys.exit(f"{src}: expected {ROWS} rows, found {len(rows)}")
    with open(out, "w", encoding="ascii") as f:
        f.write("// Generated from data/nutation/iau1980.txt by gen_nutation.py. Do not edit.\n")
        f.write('#include "astro/NutationSeries.h"\n\n')
        f.write("const TNutationTerm NutationTerms[NutationTermCount] = {\n")
        for r in rows:
            f.write("  {{%s}, %d, %d, %d, %d},\n" % (", ".join(map(str, r[:5])), *r[5:]))
        f.write("};\n\n")
        for k in range(5):
            most = max(abs(r[k]) for r in rows)
            f.write(f"static_assert(NutationMaxMultiple[{k}] >= {most});\n")


if __name__ == "__main__":
    main()
