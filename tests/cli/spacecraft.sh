#!/usr/bin/env bash
# Spacecraft on the command line: spc-import on small hand-written Horizons
# tables (labelled text in AU, CSV in km), the trajectory file it writes
# (decoded here value by value), tables refused for their centre, frame,
# units or order, ephem --spacecraft, and render --spacecraft where the
# build can draw.
set -u
cli=$1
fails=0
data=$(cd "$(dirname "$0")/../data/horizons" && pwd)
dir=$(mktemp -d /tmp/sollumen-spacecraft.XXXXXX)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# ---------------------------------------------------------------- import
out=$("$cli" spc-import "$data/helio.txt" --planet earth="$data/earth_csv_km.txt" \
  --name "Test Probe" --number -999 --launch "2026 Nov 30" --out "$dir/probe.spc" 2>"$dir/err")
rc=$?
[[ $rc == 0 && ! -s "$dir/err" ]] || fail "import: exit $rc, $(cat "$dir/err")"
expected='heliocentric: 4 points, JD 2461375.500000 .. 2461378.500000
Earth: 3 points, JD 2461375.500000 .. 2461376.000000'
[[ $out == "$expected" ]] || fail "import: printed '$out'"

# The file, value by value: String, String Name, Integer, Float Equinox,
# String launch, then the heliocentric block and nine planet blocks.
python3 - "$dir/probe.spc" <<'EOF' || fail "import: file layout"
import struct, sys
b = open(sys.argv[1], 'rb').read()
i = 0
def value():
    global i
    tag = b[i]; i += 1
    if tag == 2: v = struct.unpack_from('<b', b, i)[0]; i += 1; return v
    if tag == 3: v = struct.unpack_from('<h', b, i)[0]; i += 2; return v
    if tag == 4: v = struct.unpack_from('<i', b, i)[0]; i += 4; return v
    if tag == 5:
        m, se = struct.unpack_from('<QH', b, i); i += 10
        if se & 0x7FFF == 0 and m == 0: return 0.0
        return (-1 if se & 0x8000 else 1) * m * 2.0 ** ((se & 0x7FFF) - 16383 - 63)
    if tag == 6: n = b[i]; s = b[i + 1:i + 1 + n].decode('cp1252'); i += 1 + n; return s
    raise SystemExit('tag %d at %d' % (tag, i - 1))
def block():
    first, last, n = value(), value(), value()
    return first, last, [tuple(value() for _ in range(4)) for _ in range(n)]
value()
head = [value() for _ in range(4)]
assert head == ['Test Probe', -999, 2451545.0, '2026 Nov 30'], head
first, last, pts = block()
assert (first, last, len(pts)) == (2461375.5, 2461378.5, 4), (first, last, len(pts))
assert pts[1] == (2461376.5, 0.233, 0.954, -0.00124), pts[1]
blocks = [block() for _ in range(9)]
assert i == len(b), 'trailing bytes'
earth = blocks[0]
assert earth[:2] == (2461375.5, 2461376.0) and len(earth[2]) == 3, earth[:2]
au = 149597870.7
for got, want in zip(earth[2][1], (2461375.75, 1e5 / au, 149597.8707 / au, -2000 / au)):
    assert abs(got - want) <= 1e-15 * max(1, abs(want)), (got, want)
assert all(bl == (0.0, 0.0, []) for bl in blocks[1:]), blocks[1:]
EOF

# ---------------------------------------------------------------- refusals
# refused NAME FILE-OR-ARGS TEXT: exit 2, TEXT in the message, no file.
refused() {
  local name=$1 text=$2
  shift 2
  rm -f "$dir/bad.spc"
  local got rc
  got=$("$cli" spc-import "$@" 2>"$dir/err")
  rc=$?
  [[ $rc == 2 && -z $got && ! -e "$dir/bad.spc" && $(cat "$dir/err") == *"$text"* ]] ||
    fail "$name: exit $rc, stdout '$got', stderr '$(cat "$dir/err")'"
}
import_args=(--name x --number 1 --launch y --out "$dir/bad.spc")
variant() { sed "$2" "$data/helio.txt" >"$dir/$1.txt"; }

variant equatorial 's/Ecliptic of J2000.0/ICRF/'
refused equatorial "$dir/equatorial.txt: the reference plane is not the ecliptic" \
  "$dir/equatorial.txt" "${import_args[@]}"
variant b1950 's/Ecliptic of J2000.0/Ecliptic of B1950.0/'
refused b1950 "$dir/b1950.txt: the frame is not the ecliptic of J2000.0" \
  "$dir/b1950.txt" "${import_args[@]}"
variant earth-centred 's/Sun (10)  /Earth (399)/'
refused centre "$dir/earth-centred.txt: the centre is Earth (399), not Sun (10)" \
  "$dir/earth-centred.txt" "${import_args[@]}"
variant barycentre 's/Sun (10)  /Solar System Barycenter (0)/'
refused barycentre "the centre is Solar System Barycenter (0)" \
  "$dir/barycentre.txt" "${import_args[@]}"
variant site 's/BODY CENTER/Goldstone/'
refused site "$dir/site.txt: the centre is the site Goldstone" "$dir/site.txt" "${import_args[@]}"
variant units 's/AU-D/RAD-D/'
refused units "$dir/units.txt: the units are RAD-D, not AU or km" "$dir/units.txt" "${import_args[@]}"
variant no-units '/Output units/d'
refused no-units "$dir/no-units.txt: the header names no units" "$dir/no-units.txt" "${import_args[@]}"
variant backwards 's/^2461377.5/2461374.5/'
refused backwards "$dir/backwards.txt: has records that go back in time (at JD 2461374.500000)" \
  "$dir/backwards.txt" "${import_args[@]}"
variant no-block '/\$\$EOE/d'
refused no-block "$dir/no-block.txt: holds no \$\$SOE ... \$\$EOE block" "$dir/no-block.txt" \
  "${import_args[@]}"
variant no-z 's/ Z =-1.230000000000000E-03//'
refused no-z "$dir/no-z.txt: the record at JD 2461377.500000 has no X, Y and Z" "$dir/no-z.txt" \
  "${import_args[@]}"
refused planet-centre "$data/earth_csv_km.txt: the centre is Earth (399), not Mars (499)" \
  "$data/helio.txt" --planet Mars="$data/earth_csv_km.txt" "${import_args[@]}"
refused helio-missing "$dir/none.txt: cannot be opened" "$dir/none.txt" "${import_args[@]}"
refused unknown-planet "unknown planet 'Vulcan'" "$data/helio.txt" --planet Vulcan="$data/helio.txt" \
  "${import_args[@]}"
refused planet-twice "--planet earth given twice" "$data/helio.txt" \
  --planet Earth="$data/earth_csv_km.txt" --planet earth="$data/earth_csv_km.txt" "${import_args[@]}"
refused no-name "expected --name" "$data/helio.txt" --number 1 --launch y --out "$dir/bad.spc"
refused no-launch "expected --launch" "$data/helio.txt" --name x --number 1 --out "$dir/bad.spc"
refused bad-number "invalid body number" "$data/helio.txt" --name x --number 1.5 --launch y \
  --out "$dir/bad.spc"
refused no-out "expected --out" "$data/helio.txt" --name x --number 1 --launch y
# Labels left out (VEC_LABELS=NO): the first line of a record holds x, y, z.
sed -E 's/ (X|Y|Z|VX|VY|VZ|LT|RG|RR) ?= ?/ /g' "$data/helio.txt" >"$dir/bare.txt"
"$cli" spc-import "$dir/bare.txt" "${import_args[@]/bad.spc/bare.spc}" >/dev/null 2>"$dir/err" ||
  fail "no labels: $(cat "$dir/err")"

# ---------------------------------------------------------------- ephem
out=$("$cli" ephem --jd 2461376 --jd 2461370 --jd 2461378.5 --frame j2000 --spacecraft "$dir/probe.spc")
expected='jd,body,number,frame,x_au,y_au,z_au
2461376.000000,Test Probe,-999,j2000,0.2415,0.952,-0.001245
2461378.500000,Test Probe,-999,j2000,0.199,0.962,-0.00122'
[[ $out == "$expected" ]] || fail "ephem j2000: '$out'"
# Of date: the same vector turned by about 50" of precession a year.
row=$("$cli" ephem --jd 2461376 --spacecraft "$dir/probe.spc" | tail -1)
[[ $row == 2461376.000000,Test\ Probe,-999,date,* ]] || fail "ephem date: '$row'"
awk -F, '{ x = $5; y = $6; z = $7; X = 0.2415; Y = 0.952; Z = -0.001245
  r = sqrt(x*x + y*y + z*z); R = sqrt(X*X + Y*Y + Z*Z)
  angle = atan2(sqrt((y*Z - z*Y)^2 + (z*X - x*Z)^2 + (x*Y - y*X)^2), x*X + y*Y + z*Z) * 206264.806
  exit !(abs(r - R) < 1e-15 && angle > 0.98 * 1350 && angle < 1.02 * 1350) }
  function abs(v) { return v < 0 ? -v : v }' <<<"$row" || fail "ephem date: not precessed: $row"
# Bodies and spacecraft together; the same file twice.
out=$("$cli" ephem --jd 2461376 --body Mars --spacecraft "$dir/probe.spc" --spacecraft "$dir/probe.spc" |
  cut -d, -f2 | tr '\n' ' ')
[[ $out == "body Mars Test Probe Test Probe " ]] || fail "ephem bodies and spacecraft: '$out'"
# A damaged trajectory file: refused, naming it.
head -c 100 "$dir/probe.spc" >"$dir/short.spc"
got=$("$cli" ephem --jd 2461376 --spacecraft "$dir/short.spc" 2>"$dir/err")
[[ $? == 2 && -z $got && $(cat "$dir/err") == *"\"$dir/short.spc\": the data end too early"* ]] ||
  fail "ephem damaged: '$(cat "$dir/err")'"
"$cli" ephem --jd 2461376 --spacecraft "$dir/none.spc" >/dev/null 2>"$dir/err"
[[ $? == 2 && $(cat "$dir/err") == *"Cannot open file \"$dir/none.spc\""* ]] ||
  fail "ephem missing: '$(cat "$dir/err")'"

# ---------------------------------------------------------------- render
# Builds without the drawing side have no render command.
if "$cli" render --help >/dev/null 2>&1; then
  # grey_pixels FILE: how many pixels have the spacecraft colour 0x808080.
  grey_pixels() {
    python3 - "$1" <<'EOF'
import struct, sys, zlib
b = open(sys.argv[1], 'rb').read()
i, idat, w, h = 8, b'', 0, 0
while i < len(b):
    n, kind = struct.unpack_from('>I4s', b, i)
    body = b[i + 8:i + 8 + n]
    if kind == b'IHDR':
        w, h, depth, colour = struct.unpack_from('>IIBB', body)
        assert depth == 8 and colour == 2
    elif kind == b'IDAT':
        idat += body
    i += 12 + n
raw, stride, rows, count = zlib.decompress(idat), 3 * w, [], 0
prev = bytearray(stride)
for y in range(h):
    f, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for x in range(stride):
        a = line[x - 3] if x >= 3 else 0
        c = prev[x - 3] if x >= 3 else 0
        up = prev[x]
        if f == 1: line[x] = (line[x] + a) & 255
        elif f == 2: line[x] = (line[x] + up) & 255
        elif f == 3: line[x] = (line[x] + (a + up) // 2) & 255
        elif f == 4:
            p = a + up - c
            pa, pb, pc = abs(p - a), abs(p - up), abs(p - c)
            line[x] = (line[x] + (a if pa <= pb and pa <= pc else up if pb <= pc else c)) & 255
    count += sum(1 for x in range(0, stride, 3) if line[x:x + 3] == b'\x80\x80\x80')
    prev = line
print(count)
EOF
  }
  # About the Earth, 0.2 AU wide: the daily points lie 13 pixels apart, and
  # the spacecraft halfway between two of them, after the points about the
  # Earth end.
  view=(--jd 2461377 --plane xy --center Earth --dim 0.2 --grid none --hide Names,Orbits,Satellites
    --size 300)
  "$cli" render "${view[@]}" --out "$dir/none.png" || fail "render without spacecraft"
  "$cli" render "${view[@]}" --show Orbits --spacecraft "$dir/probe.spc" --trajectory all \
    --out "$dir/all.png" 2>"$dir/err" || fail "render all: $(cat "$dir/err")"
  "$cli" render "${view[@]}" --show Orbits --spacecraft "$dir/probe.spc" --trajectory none \
    --out "$dir/dot.png" || fail "render none"
  "$cli" render "${view[@]}" --show Orbits --spacecraft "$dir/probe.spc" --trajectory user \
    --days-back 0 --days-ahead 1.2 --out "$dir/user.png" || fail "render user"
  n0=$(grey_pixels "$dir/none.png")
  nall=$(grey_pixels "$dir/all.png")
  ndot=$(grey_pixels "$dir/dot.png")
  nuser=$(grey_pixels "$dir/user.png")
  # The dot is a disc of radius 2; the trajectory adds a pixel for each of
  # its four points, the user's window (the next 1.2 days) one.
  ((n0 == 0 && ndot >= 13 && nall == ndot + 4 && nuser == ndot + 1)) ||
    fail "render: grey pixels none $n0, dot $ndot, all $nall, user $nuser"
  for bad in "--trajectory sometimes" "--days-back -1" "--days-ahead x" "--spacecraft $dir/short.spc"; do
    # shellcheck disable=SC2086
    got=$("$cli" render --jd 2461376 $bad --out "$dir/bad.png" 2>"$dir/err")
    [[ $? == 2 && -z $got && ! -e "$dir/bad.png" ]] || fail "render $bad: not refused"
  done
fi

[[ $fails == 0 ]] && echo "all spacecraft command checks passed"
exit $((fails > 0))
