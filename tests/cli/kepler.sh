#!/usr/bin/env bash
# The kepler command of sollumen-cli: output format and refused elements.
set -u
cli=$1
fails=0
err=/tmp/sollumen-kepler-err.$$

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# A circular orbit in the ecliptic, a quarter turn from the x axis at its
# epoch: position (0, a, 0), velocity (-a n, 0, 0) with n in radians per day.
out=$("$cli" kepler 2451545 0 0 0 2 0.5 0 90 2451545 2>"$err")
rc=$?
[[ $rc == 0 ]] || fail "circular: exit $rc: $(cat "$err")"
[[ $(echo "$out" | wc -l) == 2 ]] || fail "circular: not two lines: $out"
echo "$out" | awk '
  function abs(x) { return x < 0 ? -x : x }
  NR == 1 && !($1 == "pos" && NF == 4 && abs($2) < 1e-15 && abs($3 - 2) < 1e-15 && $4 == 0) { bad = 1 }
  NR == 2 && !($1 == "vel" && NF == 4 && abs($2 + 2 * 0.5 * 3.14159265358979 / 180) < 1e-12 &&
               abs($3) < 1e-15 && $4 == 0) { bad = 1 }
  END { exit bad }' || fail "circular: $out"
# 17 significant digits.
echo "$out" | grep -Eq '^vel -0\.0174532925199432[0-9]{2} ' || fail "circular: digits: $out"

# expect_refused NAME ARGS...: exit status 2, nothing on stdout, a message.
expect_refused() {
  local name=$1
  shift
  local got rc
  got=$("$cli" kepler "$@" 2>"$err")
  rc=$?
  [[ $rc == 2 && -z "$got" && -s "$err" ]] || fail "$name: exit $rc, stdout '$got'"
}
expect_refused too-few 2451545 0 0 0 1 0.9856 0 90
expect_refused too-many 2451545 0 0 0 1 0.9856 0 90 2451545 1
expect_refused parabola 2451545 0 0 0 1 0.9856 1 90 2451545
expect_refused negative-e 2451545 0 0 0 1 0.9856 -0.1 90 2451545
expect_refused zero-axis 2451545 0 0 0 0 0.9856 0.1 90 2451545
expect_refused nan-e 2451545 0 0 0 1 0.9856 nan 90 2451545
expect_refused inf-jd 2451545 0 0 0 1 0.9856 0.1 90 inf
expect_refused not-a-number 2451545 0 0 0 1 x 0.1 90 2451545
grep -q "eccentricity" <("$cli" kepler 2451545 0 0 0 1 0.9856 1 90 2451545 2>&1) ||
  fail "parabola: message"

"$cli" kepler --help | grep -q "usage: sollumen-cli kepler" || fail "help"

rm -f "$err"
[[ $fails == 0 ]] && echo "kepler: all passed"
exit $((fails > 0))
