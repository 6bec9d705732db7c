#!/usr/bin/env bash
# monitor: the readouts of one body as "LABEL<TAB>VALUE" lines after the
# "object" line; names matched without regard to case, Earth for any other;
# the distance switch, "n.c.", Phoebe's labels, spacecraft with and without
# data, minor bodies from a table, a document's scene and instant; bad usage
# and unreadable input
# print nothing and exit with status 2.
set -u
cli=$1
fails=0
here=$(cd "$(dirname "$0")/.." && pwd)
docs=$here/data/documents
spc=$here/../data/spacecraft/Example-Earth-Mars.spc
tmp=$(mktemp -d /tmp/sollumen-monitor.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
tab=$'\t'

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# The whole output for the Moon at J2000 (geocentric distance 402448 km by
# JPL), in a locale that writes decimal commas.
out=$(LC_ALL=de_DE.UTF-8 "$cli" monitor mOOn --jd 2451545 2>"$tmp/err")
rc=$?
expected="object${tab}Moon
ecliptical geocentric pos. x [km]${tab}-291626
ecliptical geocentric pos. y [km]${tab}-274959
ecliptical geocentric pos. z [km]${tab}36272
ecliptical geocentric longitude${tab}223° 18' 54''
ecliptical geocentric latitude${tab}5° 10' 15''
geocentric distance [km]${tab}402447
mean semi major axis [km]${tab}384467
mean orbital period${tab}27 d 7 h
mean eccentricity of orbit${tab}0.055
mean orbital inclination to ecliptic${tab}5° 08' 43''
mean longitude of asc. node${tab}125° 02' 40''
mean longitude of perigee${tab}83° 21' 12''
mass [kg]${tab}7.350E+22
diameter [km]${tab}3476"
[[ $rc == 0 && ! -s $tmp/err ]] || fail "moon: exit $rc, $(cat "$tmp/err")"
[[ $out == "$expected" ]] || fail "moon: printed
$out"

# Earth seen from the Earth: 0 in 1000 km and no elongation; its y is the
# true +0.967 AU of J2000.
out=$("$cli" monitor Earth --jd 2451545 --center earth)
grep -qx "distance from centered object \[1000 km\]${tab}0" <<<"$out" || fail "earth: distance"
grep -qx "elongation from sun (for centered obj.)${tab}n.c." <<<"$out" || fail "earth: n.c."
grep -qx "ecliptical heliocentric pos. y \[AU\]${tab}0.967254" <<<"$out" || fail "earth: y"
[[ $(wc -l <<<"$out") == 21 ]] || fail "earth: $(wc -l <<<"$out") lines"
out=$("$cli" monitor Mars --jd 2451545 --center Earth)
grep -q "^elongation from sun (for centered obj.)${tab}[0-9]*° [0-9][0-9]' $" <<<"$out" ||
  fail "mars from earth: elongation"
grep -q "^distance from centered object \[AU\]${tab}" <<<"$out" || fail "mars: distance in AU"

# An entry's text in any case; Phoebe's labels; an unknown name is Earth.
out=$("$cli" monitor "PHOEBE (s ix)" --jd 2451545)
[[ $(head -1 <<<"$out") == "object${tab}Phoebe (S IX)" ]] || fail "phoebe: $(head -1 <<<"$out")"
grep -q "^mean orbital period (retrograde)${tab}1 y " <<<"$out" || fail "phoebe: period"
grep -q "^mean orbital inclination to ecliptic${tab}" <<<"$out" || fail "phoebe: inclination"
[[ $("$cli" monitor Phoebe --jd 2451545 | head -1) == "object${tab}Earth" ]] || fail "unknown name"

# A spacecraft on its way, and before its launch.
out=$("$cli" monitor "example earth-mars transfer" --spacecraft "$spc" --jd 2461450)
[[ $(head -1 <<<"$out") == "object${tab}Example Earth-Mars transfer" ]] || fail "spacecraft: name"
grep -qx "first data available${tab}2026/11/13" <<<"$out" || fail "spacecraft: first"
grep -qx "heliocentric distance \[AU\]${tab}1.230429" <<<"$out" || fail "spacecraft: distance"
out=$("$cli" monitor "Example Earth-Mars transfer" --spacecraft "$spc" --jd 2461000)
[[ $(grep -c "${tab}not available$" <<<"$out") == 7 ]] || fail "spacecraft without data"

# A document's scene at its instant (2023 February 25), unless --jd.
out=$("$cli" monitor Venus --doc "$docs/doc17.orb")
[[ $(head -1 <<<"$out") == "object${tab}Venus" && $(wc -l <<<"$out") == 21 ]] || fail "doc"
[[ $("$cli" monitor Venus --doc "$docs/doc17.orb" --jd 2451545 | sed -n 2p) == \
   "$("$cli" monitor Venus --jd 2451545 | sed -n 2p)" ]] || fail "doc with --jd"

# Minor bodies from a table (filled with the sqlite3 shell), in the list
# while the scene may show them (1950 .. 2050).
"$cli" table create "$tmp" Main >/dev/null || fail "table create"
sqlite3 "$tmp/Main.db" "INSERT INTO bodies VALUES (1, 'Ceres', 10, 150, 80, 10.6, 0.0785, 2.767,
  2451545, 'MBA', 'N', 'N'); INSERT INTO bodies VALUES (-2, 'Bad', 0, 0, 0, 0, 0.5, 0, 2451545,
  'MBA', 'N', 'N');" || fail "table rows"
minor=(--database "$tmp" --table Main.db --minor Ceres --motion kepler)
out=$("$cli" monitor ceres --jd 2451545 "${minor[@]}")
[[ $(head -1 <<<"$out") == "object${tab}Ceres" && $(wc -l <<<"$out") == 17 ]] || fail "minor: $out"
grep -qx "semi major axis \[AU\]${tab}2.7670" <<<"$out" || fail "minor: axis"
grep -qx "orbital inclination${tab}10° 36' " <<<"$out" || fail "minor: inclination"
[[ $("$cli" monitor Ceres --jd 2488069.5 "${minor[@]}" | head -1) == "object${tab}Earth" ]] ||
  fail "minor body in 2100"

# Bad usage and unreadable input: status 2, a message, nothing printed.
for args in "" "--jd 2451545" "Mars Venus" "Mars --jd" "Mars --jd abc" "Mars --jd 1" \
            "Mars --center Moon" "Mars --colour red" "Mars --jd 2451545 --jd 2451546" \
            "Mars --doc $tmp/none.orb" "Mars --spacecraft $tmp/none.spc" \
            "Mars --minor Ceres" "Mars --database $tmp --minor Ceres" \
            "Mars --database $tmp --table Main.db" \
            "Mars --database $tmp --table None.db --minor Ceres" \
            "Mars --database $tmp --table Main.db --minor Vesta" \
            "Mars --database $tmp --table Main.db --minor Bad"; do
  # shellcheck disable=SC2086
  "$cli" monitor $args >"$tmp/out" 2>"$tmp/err"
  rc=$?
  [[ $rc == 2 && ! -s $tmp/out && -s $tmp/err ]] || fail "'monitor $args': exit $rc"
done
printf 'not a document' >"$tmp/bad.orb"
"$cli" monitor Mars --doc "$tmp/bad.orb" >"$tmp/out" 2>"$tmp/err"
[[ $? == 2 && ! -s $tmp/out ]] || fail "unrecognised document"

[[ $fails == 0 ]] && echo "monitor: all passed"
exit $((fails > 0))
