#!/usr/bin/env python3
"""Writes the document fixtures of the document tests, byte by byte.

One document of each generation the program reads (1.0 with its side file,
1.5, 1.6, 1.7), built here independently of the program's own writer so that
the readers are checked against the layouts rather than against themselves.
The values are chosen to be told apart in the tests, and the encodings vary
(integers in wider tags than needed, Floats stored as integers, 8-bit,
UTF-16 and UTF-8 strings) as files from other writers may have them.

Run it in this directory: python3 make_documents.py
"""
import math
import struct


# ---------------------------------------------------------------- values

def int8(v):
    return bytes([2]) + struct.pack('<b', v)


def int16(v):
    return bytes([3]) + struct.pack('<h', v)


def int32(v):
    return bytes([4]) + struct.pack('<i', v)


def integer(v):
    """The smallest integer tag, as the program writes them."""
    if -128 <= v <= 127:
        return int8(v)
    if -32768 <= v <= 32767:
        return int16(v)
    return int32(v)


def color(v):
    """Colours are 32-bit patterns; above 0x7FFFFFFF they are negative."""
    return integer(v - (1 << 32) if v >= 1 << 31 else v)


def extended(x):
    """Tag 5: 64-bit significand with explicit integer bit, then sign and
    exponent biased by 16383. Python floats are doubles, which extended
    precision holds exactly."""
    if x == 0:
        return bytes([5]) + bytes(10)
    sign = 0x8000 if x < 0 else 0
    m, e = math.frexp(abs(x))  # abs(x) = m * 2**e, 0.5 <= m < 1
    significand = int(m * 2**64)
    exponent = e - 1 + 16383
    return bytes([5]) + struct.pack('<QH', significand, sign | exponent)


def int64(v):
    return bytes([19]) + struct.pack('<q', v)


def boolean(b):
    return bytes([9 if b else 8])


def string(s):
    """Tag 6 with Windows-1252 text."""
    b = s.encode('cp1252')
    assert len(b) <= 255
    return bytes([6, len(b)]) + b


def long_string(s):
    b = s.encode('cp1252')
    return bytes([12]) + struct.pack('<i', len(b)) + b


def wide_string(s):
    b = s.encode('utf-16-le')
    return bytes([18]) + struct.pack('<i', len(b) // 2) + b


def utf8_string(s):
    b = s.encode('utf-8')
    return bytes([20]) + struct.pack('<i', len(b)) + b


# ---------------------------------------------------------------- records

def elements(el):
    return b''.join(extended(v) for v in el)


CERES = [2451400.5, 10.58, 80.49, 153.77, 2.7675, 0.21408, 0.0785, 123.25]
VESTA = [2451400.5, 7.13, 103.91, 253.26, 2.3617, 0.27154, 0.0898, 30.5]
HYGIEA = [2451200.5, 3.84, 283.4, 235.1, 3.1367, 0.17746, 0.1200, 10.0]

# Satellites per planet in the scene's order (the Moon; Io to Callisto;
# twelve of Saturn; five of Uranus).
SATELLITES = [1, 0, 0, 0, 4, 12, 5, 0, 0]


def body_v1(name, col, visible, el, name_value=None):
    return (name_value or string(name)) + color(col) + boolean(visible) + elements(el)


def body_v2(name, col, visible, number, el):
    return string(name) + color(col) + boolean(visible) + integer(number) + elements(el)


def body_v3(name, col, visible, number, el, pos):
    return (utf8_string(name) if any(ord(c) > 127 for c in name) else string(name)) + \
        color(col) + boolean(visible) + integer(number) + elements(el) + \
        b''.join(extended(v) for v in pos)


def description(lines, encode=string):
    return integer(len(lines)) + b''.join(encode(s) for s in lines)


# ---------------------------------------------------------------- 1.0

def document_10():
    scene = (
        color(0x123456)                      # GridColor
        + extended(2451545.25)               # 2000-01-01 18:00 UT
        + boolean(False) + boolean(True)     # ShowOrbits, ShowNames
        + int32(1)                           # GridMode, in a wide tag
        + int8(5)                            # Dim, a Float stored as an integer
        + integer(4)                         # CenterObject: Jupiter
        + extended(30) + extended(-15) + extended(60)
        + integer(1)                         # Plane XZ
        + b''.join(boolean(i != 8) for i in range(9))     # Pluto hidden
        + b''.join(color(0x010101 * (i + 1)) for i in range(9))
        + integer(2)
        + body_v1('Ceres', 0x00FF00, False, CERES)
        + body_v1('Hygiëa', 0x0000FF, True, HYGIEA)   # 8-bit name
        + color(0x00A0A0)                    # colour index 11
    )
    rest = (
        integer(10) + integer(20) + integer(800) + integer(600)
        + boolean(True)                      # show all objects
        + extended(2.5) + integer(1)         # 2.5 hours
        + boolean(True) + integer(100) + integer(200) + string('Mars')
        + integer(30) + integer(40) + integer(300) + integer(200)
        + color(0xE0FFFF) + boolean(False)
        + string('C:\\Data\\') + string('MPC (10000).db')
    )
    return scene + rest


RTF_10 = b'{\\rtf1\\ansi First line\\par\r\nS\xe9cond\\par\n}\r\n'


# ---------------------------------------------------------------- 1.5

def document_15():
    scene = (
        extended(2440000.5)                  # 1968-05-23 00:00 UT
        + color(0x202020) + color(0x101010) + color(0x00EEFF)
        + color(0x303030) + color(0x404040)
        + b''.join(boolean(b) for b in
                   [True, False, True, True, False, True, False, True])
        + integer(0)                         # GridMode
        + extended(10)                       # Dim
        + integer(3)                         # CenterObject: Mars
        + extended(0) + extended(90) + extended(-45)
        + integer(2)                         # Plane ZY
        + b''.join(boolean(i % 2 == 0) for i in range(9))
        + b''.join(color(0x0A0000 + i) for i in range(9))
        + integer(3)
        + body_v2('Vesta', 0x00FF00, False, 11, VESTA)
        + body_v2('Saturn again', 0x123123, True, 5, VESTA)
        + body_v2('Satellite?', 0x00FF00, True, 12, VESTA)    # dropped
        + color(0x00C0C0)
    )
    rest = (
        boolean(False) + boolean(True)       # show all, real time
        + int64(7) + integer(10)             # 7 tropical years, Float as Int64
        + boolean(False) + string('Vesta')
        + color(0xFFFFFF) + boolean(True)
        + string('/data/tables/') + string('numbered.db')
        + description(['{\\rtf1 one\\par', 'two}'])
    )
    return string(' sl v1.5\r') + scene + rest


# ---------------------------------------------------------------- 1.6

def planet_groups(visible, colors, hidden_satellite, satellite_color, counts=SATELLITES):
    out = b''
    for i in range(9):
        out += boolean(visible[i]) + color(colors[i])
        out += extended(1.0 + i) + extended(-2.0) + extended(0.125)
        out += integer(counts[i])
        for k in range(counts[i]):
            out += boolean((i, k) != hidden_satellite)
            out += color(satellite_color + k)
            out += extended(0.001) + extended(0.002) + extended(0)
    return out


def lines_record(lines):
    out = integer(len(lines))
    for f, t, c, v in lines:
        out += integer(f) + integer(t) + color(c) + boolean(v)
    return out


def document_16(counts=SATELLITES):
    scene = (
        extended(2455000.75)                 # 2009-06-18 06:00 UT
        + color(0x050505) + color(0x060606) + color(0x070707)
        + color(0x080808) + color(0x090909)
        + b''.join(boolean(b) for b in
                   [True, True, False, False, True, False, True, False])
        + boolean(False)                     # ShowSatellites
        + boolean(False)                     # ShowDirections
        + integer(2) + extended(0.5) + integer(0)
        + extended(10) + extended(20) + extended(30) + integer(3)
        + planet_groups([True] * 8 + [False],
                        [0x00AA00 + i for i in range(9)], (5, 3), 0x00BB00, counts)
        + lines_record([(9, 3, 0xFF00FF, True), (0, 4, 0x00FFFF, False)])
        + integer(1)
        + body_v3('Ceres', 0x00DD00, True, 11, CERES, [1.5, -2.25, 0.125])
        + color(0x00CCCC)                    # colour index 11
        + color(0x00CC00)                    # colour index 12
    )
    rest = (
        boolean(True) + boolean(False)
        + extended(-3) + integer(3)          # 3 days back
        + boolean(True) + wide_string('Io ☉')
        + color(0x00FFFF) + boolean(False)
        + string('D:\\Minor\\') + string('comets.db')
        + description(['{\\rtf1 ' + 'x' * 300 + '\\par', '}'], long_string)
    )
    return string('sl v1.6') + scene + rest


# ---------------------------------------------------------------- 1.7

def document_17():
    scene = (
        extended(2460000.5)                  # 2023-02-24 12:00 UT
        + color(0x111111) + color(0x000022) + color(0x0033FF)
        + color(0x444444) + color(0x555555)
        + b''.join(boolean(b) for b in
                   [False, True, True, True, True, True, True, True])
        + boolean(True)                      # ShowSatellites
        + boolean(False)                     # ShowSpacecrafts
        + boolean(True)                      # ShowDirections
        + integer(1)
        + extended(500)                      # Dim out of range: ignored
        + integer(12)                        # CenterObject 12: ignored
        + extended(12.5) + extended(0) + extended(-170) + integer(0)
        + planet_groups([False] + [True] * 8,
                        [0x00EE00 + i for i in range(9)], (0, 0), 0x00DD00)
        + lines_record([(2, 9, 0x0000FF, True)])
        + integer(2)
        + body_v3('Ceres', 0x00DD00, False, 11, CERES, [0, 0, 0])
        + body_v3('Česká', 0x00DD01, True, 11, VESTA, [2, 1, 0])
        + color(0x00CCCC) + color(0x00CC00) + color(0x777777)
        + extended(20) + extended(5)         # trajectory past, future
        + integer(4)                         # stmUser
        + boolean(False)
        + integer(2) + string('voyager1.spc') + string('missing.spc')
    )
    rest = (
        boolean(False) + boolean(False)
        + extended(1) + integer(0)           # 1 minute
        + boolean(False) + string('')
        + color(0xC0FFC0) + boolean(True)
        + string('/elsewhere/') + string('other.db')
        + description(['{\\rtf1 Gr\u00fc\u00dfe\\par}'], utf8_string)
    )
    return string('sl v1.7') + scene + rest


def main():
    files = {
        'doc10.orb': document_10(),
        'doc10.rtf': RTF_10,
        'doc15.orb': document_15(),
        'doc16.orb': document_16(),
        'doc17.orb': document_17(),
        # The Earth's group announces two satellites; the scene has one.
        'moons.orb': document_16([2] + SATELLITES[1:]),
    }
    for name, data in files.items():
        with open(name, 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
