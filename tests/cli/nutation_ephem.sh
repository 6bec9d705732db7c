#!/usr/bin/env bash
# The nutation and ephem commands of sollumen-cli: output formats, values and
# exit codes.
set -u
shopt -s extglob
cli=$1
fails=0
err=$(mktemp)
trap 'rm -f "$err"' EXIT

fail() {
  echo "FAIL $*"
  fails=$((fails + 1))
}

# expect NAME STATUS EXPECTED_STDOUT -- ARGS...
expect() {
  local name=$1 status=$2 want=$3
  shift 4
  local got rc
  got=$("$cli" "$@" 2>"$err")
  rc=$?
  if [[ $rc != "$status" || "$got" != "$want" ]]; then
    fail "$name: exit $rc (want $status)"
    diff <(echo "$want") <(echo "$got")
    cat "$err"
  fi
  if [[ $status != 0 && ! -s $err ]]; then fail "$name: no message"; fi
}

expect nutation-j2000 0 "obliquity_arcsec 84381.448000000
dpsi_arcsec -13.923385170
deps_arcsec -5.773808264" -- nutation 2451545

expect nutation-no-jd 2 "" -- nutation
expect nutation-two-jd 2 "" -- nutation 2451545 2451546
expect nutation-bad-jd 2 "" -- nutation 24515x45
expect nutation-out-of-range 2 "" -- nutation 4000000.5

# Line shapes: header, six decimals for jd, coordinates with 17 significant
# digits (a trailing zero may be dropped).
header="jd,body,number,frame,x_au,y_au,z_au"
row='^[0-9]+\.[0-9]{6},Moon,13,(date|j2000)(,-?[0-9]+(\.[0-9]+)?(e[-+][0-9]+)?){3}$'
digits() {
  local v=${1#-}
  v=${v%%e*}
  v=${v/./}
  v=${v##+(0)}
  echo ${#v}
}
check_digits() {
  local IFS=, f n
  read -ra f <<<"$1"
  for n in "${f[@]:4:3}"; do
    n=$(digits "$n")
    ((n >= 15 && n <= 17)) || fail "ephem: $n significant digits in '$1'"
  done
}
out=$("$cli" ephem --jd 2460000.5 --jd 2451545 --body Moon 2>"$err") || fail "ephem: exit $?"
mapfile -t lines <<<"$out"
[[ ${#lines[@]} == 3 ]] || fail "ephem: ${#lines[@]} lines, want 3"
[[ ${lines[0]} == "$header" ]] || fail "ephem: header '${lines[0]}'"
[[ ${lines[1]} =~ $row && ${lines[1]} == 2460000.500000,Moon,13,date,* ]] ||
  fail "ephem: row '${lines[1]}'"
[[ ${lines[2]} =~ $row && ${lines[2]} == 2451545.000000,Moon,13,date,* ]] ||
  fail "ephem: row '${lines[2]}'"
check_digits "${lines[1]}"
check_digits "${lines[2]}"

out=$("$cli" ephem --frame j2000 --body Moon --jd 2434804.00405 2>"$err") ||
  fail "ephem j2000: exit $?"
mapfile -t lines <<<"$out"
[[ ${lines[1]} =~ $row && ${lines[1]} == 2434804.004050,Moon,13,j2000,* ]] ||
  fail "ephem j2000: row '${lines[1]}'"
# The JPL position of that instant lies within 3".
awk -F, '{ x = $5; y = $6; z = $7
  X = 0.0014758651143093049; Y = -0.0020007072299264841; Z = 4.9065127580654963e-05
  c = (x*X + y*Y + z*Z) / sqrt((x*x + y*y + z*z) * (X*X + Y*Y + Z*Z))
  exit !(c > cos(3 / 206264.806)) }' <<<"${lines[1]}" || fail "ephem j2000: far from JPL"

# The two frames differ by precession: about 50" a year since 2000.
d=$("$cli" ephem --jd 2460000.5 --frame date | tail -1)
j=$("$cli" ephem --jd 2460000.5 --frame j2000 | tail -1)
[[ $d != "${j/j2000/date}" ]] || fail "ephem: frames give the same vector"

expect ephem-no-jd 2 "" -- ephem --body Moon
expect ephem-unknown-body 2 "" -- ephem --jd 2451545 --body Phobos
expect ephem-unknown-frame 2 "" -- ephem --jd 2451545 --frame b1950
expect ephem-jd-too-late 2 "" -- ephem --jd 4000000.5
expect ephem-jd-negative 2 "" -- ephem --jd 2451545 --jd -1
expect ephem-bad-jd 2 "" -- ephem --jd abc
expect ephem-missing-value 2 "" -- ephem --jd
expect ephem-unknown-option 2 "" -- ephem --jd 2451545 --center Earth
grep -q "Phobos" <("$cli" ephem --jd 2451545 --body Phobos 2>&1) ||
  fail "ephem-unknown-body: message does not name the body"

if ((fails)); then
  echo "$fails failure(s)"
  exit 1
fi
echo "all passed"
