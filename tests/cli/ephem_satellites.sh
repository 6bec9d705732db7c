#!/usr/bin/env bash
# sollumen-cli ephem for the natural satellites: all 21 after the Moon in
# body-number order, planet-centred, both frames near the JPL-based reference.
set -u
cli=$1
fails=0
fail() {
  echo "FAIL $*"
  fails=$((fails + 1))
}

out=$("$cli" ephem --jd 2451545) || fail "default: exit $?"
numbers=$(tail -n +2 <<<"$out" | cut -d, -f3 | tail -21 | tr '\n' ' ')
[[ $numbers == "140 141 142 143 156 157 158 159 160 161 162 163 164 165 166 167 170 171 172 173 174 " ]] ||
  fail "default: satellite numbers '$numbers'"

# within ROW DEGREES X Y Z: the row's vector lies within DEGREES of (X, Y, Z).
within() {
  awk -F, -v lim="$2" -v X="$3" -v Y="$4" -v Z="$5" '{ x = $5; y = $6; z = $7
    c = (x*X + y*Y + z*Z) / sqrt((x*x + y*y + z*z) * (X*X + Y*Y + Z*Z))
    exit !(c > cos(lim / 57.2957795)) }' <<<"$1"
}
jd=2434804.00405
row=$("$cli" ephem --jd $jd --body Io | tail -1)
[[ $row == 2434804.004050,Io,140,date,* ]] || fail "Io date: row '$row'"
within "$row" 0.25 3.6480774972980079e-05 0.0028186901979374568 0.00010260360242088373 ||
  fail "Io date: far from JPL: $row"
row=$("$cli" ephem --jd $jd --frame j2000 --body titan | tail -1)
[[ $row == 2434804.004050,Titan,164,j2000,* ]] || fail "Titan j2000: row '$row'"
within "$row" 0.12 -0.0082715955342411718 0.00098129512718081457 0.00028493293203202263 ||
  fail "Titan j2000: far from JPL: $row"
# The two frames differ by the precession from 2000 back to 1954 (about 0.64 deg).
date_row=$("$cli" ephem --jd $jd --body Titan | tail -1)
within "$date_row" 0.12 -0.0082715955342411718 0.00098129512718081457 0.00028493293203202263 &&
  fail "Titan date: not reduced to the date: $date_row"

[[ $fails -eq 0 ]] && echo "ok" || exit 1
