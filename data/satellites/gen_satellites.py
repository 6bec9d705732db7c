#!/usr/bin/env python3
"""Turns the satellite theory tables (galilean.txt, saturn.txt, uranus.txt)
into one C++ source file defining the tables declared in
src/astro/SatelliteTerms.h.

usage: gen_satellites.py DATA_DIR OUTPUT.cpp
"""
import math
import re
import sys

GALILEAN_SATS = ["IO", "EUROPA", "GANYMEDE", "CALLISTO"]
GALILEAN_SERIES = {"SIGMA": ("gsSigma", "sin"), "RHO": ("gsRho", "cos"), "B": ("gsB", "sin")}
# (SIGMA, RHO, B) terms per satellite, as published.
GALILEAN_COUNTS = {"IO": (8, 1, 2), "EUROPA": (15, 3, 3), "GANYMEDE": (17, 4, 4),
                   "CALLISTO": (22, 6, 4)}
GALILEAN_ANGLES = 17

SATURN_SATS = {"RHEA": "RheaTable", "TITAN": "TitanTable", "HYPERION": "HyperionTable",
               "IAPETUS": "IapetusTable"}
# Quantities the theories derive from the angles before the periodic terms
# are summed; they follow the angles in each satellite's argument list.
SATURN_DERIVED = {"RHEA": [], "TITAN": ["Ls", "Psi", "g"], "HYPERION": [],
                  "IAPETUS": ["l", "ls", "lT", "g", "gs", "gT", "g1"]}
MAX_SATURN_TIMES, MAX_SATURN_POLYS, MAX_SATURN_ARGS = 4, 4, 16
DEG_PER_RAD = 180.0 / math.pi

URANUS_SATS = ["MIRANDA", "ARIEL", "UMBRIEL", "TITANIA", "OBERON"]
# The mean-motion series (N) is not used: the semi-major axis comes from the
# period, and the Kepler step is always evaluated at its own epoch.
GUST_SERIES = {"L": "usL", "KH": "usKH", "QP": "usQP"}
GUST_ARGS = 15


def fail(where, msg):
    sys.exit(f"{where}: {msg}")


def ld(x):
    """A long double literal."""
    return repr(float(x)) + "L"


def data_lines(path, inline_comments=False):
    with open(path, encoding="utf-8") as f:
        for n, line in enumerate(f, 1):
            if inline_comments:
                line = line.split("#", 1)[0]
            elif line.lstrip().startswith("#"):
                continue
            fields = line.split()
            if fields:
                yield f"{path}:{n}", fields


def galilean(path):
    terms = {s: [] for s in GALILEAN_SATS}
    for where, f in data_lines(path):
        if len(f) != 4 + GALILEAN_ANGLES + 2:
            fail(where, f"expected {4 + GALILEAN_ANGLES + 2} fields, found {len(f)}")
        sat, series, coef, fn = f[0], f[1], int(f[2]), f[3]
        if sat not in terms or series not in GALILEAN_SERIES:
            fail(where, f"unknown satellite or series {sat} {series}")
        if GALILEAN_SERIES[series][1] != fn:
            fail(where, f"{series} terms are {GALILEAN_SERIES[series][1]} terms")
        mult = [int(x) for x in f[4:4 + GALILEAN_ANGLES]]
        phase = float(f[4 + GALILEAN_ANGLES])
        nu = int(f[5 + GALILEAN_ANGLES])
        terms[sat].append((GALILEAN_SERIES[series][0], coef, mult, phase, nu))
    for s in GALILEAN_SATS:
        counts = tuple(sum(1 for t in terms[s] if t[0] == k) for k in ("gsSigma", "gsRho", "gsB"))
        if counts != GALILEAN_COUNTS[s]:
            fail(path, f"{s}: expected {GALILEAN_COUNTS[s]} terms, found {counts}")
    out = ["const TGalileanTerm GalileanTerms[] = {"]
    ranges, first = [], 0
    for s in GALILEAN_SATS:
        out.append(f"  // {s.capitalize()}")
        for series, coef, mult, phase, nu in terms[s]:
            out.append("  {%s, %d, {%s}, %s, %s}," % (
                series, coef, ", ".join(map(str, mult)), ld(phase), "true" if nu else "false"))
        ranges.append((first, len(terms[s])))
        first += len(terms[s])
    out.append("};")
    out.append("const TTermRange GalileanRanges[4] = {%s};" %
               ", ".join("{%d, %d}" % r for r in ranges))
    return out


ARG_TERM = re.compile(r"([+-]?)(?:(\d+)\*)?([A-Za-z]\w*)")


def parse_argument(where, text, args):
    mult = [0] * len(args)
    pos = 0
    while pos < len(text):
        m = ARG_TERM.match(text, pos)
        if not m or (pos > 0 and not m.group(1)):
            fail(where, f"cannot read the argument {text!r}")
        name = m.group(3)
        if name not in args:
            fail(where, f"unknown angle {name}")
        k = int(m.group(2) or 1)
        mult[args.index(name)] += -k if m.group(1) == "-" else k
        pos = m.end()
    return mult


def saturn(path):
    equator = None
    sats, cur = {}, None
    for where, f in data_lines(path, inline_comments=True):
        kind = f[0]
        if kind == "EQUATOR1950":
            equator = (float(f[1]), float(f[2]))
        elif kind == "SAT":
            if f[1] not in SATURN_SATS:
                fail(where, f"unknown satellite {f[1]}")
            cur = sats[f[1]] = {"TIME": [], "CONST": [], "POLY": [], "ANGLE": [], "TERM": []}
        elif kind == "END":
            cur = None
        elif cur is None:
            fail(where, f"{kind} outside a SAT block")
        elif kind == "TIME":
            cur["TIME"].append((f[1], float(f[2]), float(f[3]), float(f[4]) if len(f) > 4 else 0.0))
        elif kind == "CONST":
            cur["CONST"].append((f[1], float(f[2])))
        elif kind == "POLY":
            cur["POLY"].append((f[1], f[2], [float(x) for x in f[3:7]], f[7]))
        elif kind == "ANGLE":
            cur["ANGLE"].append((f[1], float(f[2]), float(f[3]), f[4]))
        elif kind == "TERM":
            if len(f) != 6 or f[4] not in ("sin", "cos"):
                fail(where, "expected TERM target unit coef sin|cos argument")
            cur["TERM"].append((where, f[1], f[2], float(f[3]), f[4], f[5]))
        else:
            fail(where, f"unknown line type {kind}")
    if equator is None:
        fail(path, "no EQUATOR1950 line")
    if set(sats) != set(SATURN_SATS):
        fail(path, f"expected the satellites {sorted(SATURN_SATS)}")

    out = [f"const long double SaturnEquatorIncl1950 = {ld(equator[0])};",
           f"const long double SaturnEquatorNode1950 = {ld(equator[1])};", ""]
    for name, ns in SATURN_SATS.items():
        s = sats[name]
        times = [t[0] for t in s["TIME"]]
        angles = [a[0] for a in s["ANGLE"]]
        args = angles + SATURN_DERIVED[name]
        if len(args) > MAX_SATURN_ARGS or len(times) > MAX_SATURN_TIMES or \
                len(s["POLY"]) > MAX_SATURN_POLYS:
            fail(path, f"{name}: more time variables, polynomials or arguments than the tables hold")
        targets = []
        for t in s["TERM"]:
            if t[1] not in targets:
                targets.append(t[1])

        def time_index(v, where=path):
            if v not in times:
                fail(where, f"{name}: unknown time variable {v}")
            return times.index(v)

        out.append(f"// {name.capitalize()}")
        out.append(f"namespace {ns} {{")
        checks = [f"{t} == {k}" for k, t in enumerate(times)]
        checks += [f"{c[0]} == {k}" for k, c in enumerate(s["CONST"])]
        checks += [f"{p[0]} == {k}" for k, p in enumerate(s["POLY"])]
        checks += [f"{a} == {k}" for k, a in enumerate(args)]
        checks += [f"{t} == {k}" for k, t in enumerate(targets)]
        checks.append(f"TargetCount == {len(targets)}")
        for c in checks:
            out.append(f"static_assert({c}, \"SatelliteTerms.h does not follow saturn.txt\");")
        out.append("static const TSaturnTime times[] = {%s};" % ", ".join(
            "{%s, %s, %s}" % (ld(t[1]), ld(t[2]), ld(t[3])) for t in s["TIME"]))
        out.append("static const long double consts[] = {%s};" % ", ".join(
            ld(c[1]) for c in s["CONST"]))
        out.append("static const TSaturnAngle angles[] = {%s};" % ", ".join(
            "{%s, %s, %d}" % (ld(a[1]), ld(a[2]), time_index(a[3])) for a in s["ANGLE"]))
        if s["POLY"]:
            out.append("static const TSaturnPoly polys[] = {%s};" % ", ".join(
                "{%d, {%s}}" % (time_index(p[1]), ", ".join(ld(c) for c in p[2]))
                for p in s["POLY"]))
        out.append("static const TSaturnTerm terms[] = {")
        for where, target, unit, coef, fn, arg in s["TERM"]:
            if unit == "rad":
                coef *= DEG_PER_RAD
            elif unit not in ("deg", "1", "AU"):
                fail(where, f"unknown unit {unit}")
            mult = parse_argument(where, arg, args) + [0] * (MAX_SATURN_ARGS - len(args))
            out.append("  {%s, %s, %s, {%s}},  // %s %s" % (
                target, ld(coef), "true" if fn == "cos" else "false",
                ", ".join(map(str, mult)), fn, arg))
        out.append("};")
        out.append("const TSaturnTable Table = {times, %d, consts, angles, %d, %s, %d, terms, %d};" % (
            len(times), len(angles), "polys" if s["POLY"] else "nullptr", len(s["POLY"]),
            len(s["TERM"])))
        out.append(f"}}  // namespace {ns}")
        out.append("")
    return out


def uranus(path):
    scalars, args, sats, cur = {}, [], {}, None
    for where, f in data_lines(path):
        kind = f[0]
        if kind == "SAT":
            if f[1] not in URANUS_SATS:
                fail(where, f"unknown satellite {f[1]}")
            cur = sats[f[1]] = {"terms": []}
        elif kind == "END":
            cur = None
        elif kind == "ARG":
            args.append((f[1], float(f[2]), float(f[3])))
        elif cur is None:
            scalars[kind] = float(f[1])
        elif kind in ("N0", "LAMBDA0", "LAMBDA_RATE", "GM"):
            cur[kind] = float(f[1])
        elif kind in GUST_SERIES or kind == "N":
            if len(f) != 4 + GUST_ARGS:
                fail(where, f"expected {4 + GUST_ARGS} fields, found {len(f)}")
            amp, phase, freq = float(f[1]), float(f[2]), float(f[3])
            mult = [int(x) for x in f[4:]]
            # The phase and frequency must be the stated combination of the
            # fundamental arguments.
            p = sum(m * a[1] for m, a in zip(mult, args))
            r = sum(m * a[2] for m, a in zip(mult, args))
            dp = math.remainder(phase - p, 2 * math.pi)
            if abs(dp) > 1e-6 or abs(freq - r) > 1e-8 * max(1.0, abs(r)):
                fail(where, "phase or frequency does not match the multipliers")
            if kind != "N":
                cur["terms"].append((GUST_SERIES[kind], amp, phase, freq))
        else:
            fail(where, f"unknown line type {kind}")
    if len(args) != GUST_ARGS:
        fail(path, f"expected {GUST_ARGS} ARG lines")
    for k in ("ORIGIN_JD", "POLE_RA_B1950", "POLE_DEC_B1950"):
        if k not in scalars:
            fail(path, f"no {k} line")
    out = [f"const long double GustOriginJD = {ld(scalars['ORIGIN_JD'])};",
           f"const long double GustPoleRA1950 = {ld(scalars['POLE_RA_B1950'])};",
           f"const long double GustPoleDec1950 = {ld(scalars['POLE_DEC_B1950'])};",
           "", "const TGustTerm GustTerms[] = {"]
    first, sat_rows = 0, []
    for s in URANUS_SATS:
        if s not in sats:
            fail(path, f"no satellite {s}")
        d = sats[s]
        out.append(f"  // {s.capitalize()}")
        for series, amp, phase, freq in d["terms"]:
            out.append("  {%s, %s, %s, %s}," % (series, ld(amp), ld(phase), ld(freq)))
        sat_rows.append("  {%s, %s, %s, {%d, %d}},  // %s" % (
            ld(d["N0"]), ld(d["LAMBDA0"]), ld(d["LAMBDA_RATE"]), first, len(d["terms"]),
            s.capitalize()))
        first += len(d["terms"])
    out.append("};")
    out.append("const TGustSatellite GustSatellites[5] = {")
    out += sat_rows
    out.append("};")
    return out


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    src, dst = sys.argv[1], sys.argv[2]
    lines = ["// Generated from data/satellites/ by gen_satellites.py. Do not edit.",
             '#include "astro/SatelliteTerms.h"', ""]
    lines += galilean(f"{src}/galilean.txt") + [""]
    lines += saturn(f"{src}/saturn.txt")
    lines += uranus(f"{src}/uranus.txt")
    with open(dst, "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
