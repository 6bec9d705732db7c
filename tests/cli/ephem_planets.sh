#!/usr/bin/env bash
# sollumen-cli ephem for the planets: the default body list, both frames
# against the JPL-based reference, Pluto's mean orbit and name lookup.
set -u
cli=$1
fails=0
fail() {
  echo "FAIL $*"
  fails=$((fails + 1))
}

# The default list: Earth to Pluto, then the Moon, in body-number order.
out=$("$cli" ephem --jd 2451545) || fail "default: exit $?"
names=$(tail -n +2 <<<"$out" | cut -d, -f2,3 | head -10 | tr '\n' ' ')
[[ $names == "Earth,0 Mercury,1 Venus,2 Mars,3 Jupiter,4 Saturn,5 Uranus,6 Neptune,7 Pluto,8 Moon,13 " ]] ||
  fail "default: bodies '$names'"

# within ROW ARCSEC X Y Z: the row's vector lies within ARCSEC of (X, Y, Z).
within() {
  awk -F, -v lim="$2" -v X="$3" -v Y="$4" -v Z="$5" '{ x = $5; y = $6; z = $7
    c = (x*X + y*Y + z*Z) / sqrt((x*x + y*y + z*z) * (X*X + Y*Y + Z*Z))
    exit !(c > cos(lim / 206264.806)) }' <<<"$1"
}
jd=2434804.00405
row=$("$cli" ephem --jd $jd --body Earth | tail -1)
[[ $row == 2434804.004050,Earth,0,date,* ]] || fail "Earth date: row '$row'"
within "$row" 1 -0.93942688898205895 0.31644840396980112 -1.7902766400355224e-06 ||
  fail "Earth date: far from JPL: $row"
row=$("$cli" ephem --jd $jd --frame j2000 --body jupiter | tail -1)
[[ $row == 2434804.004050,Jupiter,4,j2000,* ]] || fail "Jupiter j2000: row '$row'"
within "$row" 1 0.10583854253497271 5.1224560958585794 -0.023423770137785072 ||
  fail "Jupiter j2000: far from JPL: $row"
row=$("$cli" ephem --jd $jd --frame j2000 --body NEPTUNE | tail -1)
within "$row" 3 -27.444620137765174 -12.839857735766067 0.8967708034617714 ||
  fail "Neptune j2000: far from JPL: $row"

# Pluto's mean orbit: the same constant elements in both frames.
d=$("$cli" ephem --jd $jd --body Pluto | tail -1)
j=$("$cli" ephem --jd $jd --body Pluto --frame j2000 | tail -1)
[[ ${d/,date,/,j2000,} == "$j" ]] || fail "Pluto: frames differ: '$d' '$j'"

# The far ends of the range give numbers.
for jd in 0 4000000; do
  out=$("$cli" ephem --jd $jd) || fail "jd $jd: exit $?"
  grep -qi "nan\|inf" <<<"$out" && fail "jd $jd: $out"
done

if ((fails)); then
  echo "$fails failure(s)"
  exit 1
fi
echo "all passed"
