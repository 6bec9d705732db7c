#!/usr/bin/env bash
# The date, step and now commands of sollumen-cli: exact output and exit codes.
set -u
cli=$1
fails=0

# expect NAME STATUS EXPECTED_STDOUT -- ARGS...
expect() {
  local name=$1 status=$2 want=$3
  shift 4
  local got rc
  got=$("$cli" "$@" 2>/tmp/sollumen-date-err.$$)
  rc=$?
  if [[ $rc != "$status" || "$got" != "$want" ]]; then
    echo "FAIL $name: exit $rc (want $status)"
    diff <(echo "$want") <(echo "$got")
    cat /tmp/sollumen-date-err.$$
    fails=$((fails + 1))
  fi
}

expect readme 0 "jd 2451545.000000
date 2000/01/01
time 12:00
datetime 2000/01/01  12:00
caption 2000 January 1   12:00" -- date 2000/01/01 12:00

expect bc 0 "jd 1705425.916667
date -43/03/15
time 10:00
datetime -43/03/15  10:00
caption -43 March 15   10:00" -- date "44 3 15 BC" "10:00 AM"

expect from-jd 0 "jd 2299160.500000
date 1582/10/15
time 00:00
datetime 1582/10/15  00:00
caption 1582 October 15   00:00" -- date --jd 2299160.5

expect bad-month 2 "" -- date 2000/13/13
grep -qx "month out of range in date-string (13)" /tmp/sollumen-date-err.$$ ||
  { echo "FAIL bad-month: message"; fails=$((fails + 1)); }
expect underflow 2 "" -- date -4712/1/1
expect jd-out-of-range 2 "" -- date --jd 4000000.5
expect no-args 2 "" -- date

expect month-step 0 "jd 2451968.500000
date 2001/02/28
time 00:00
datetime 2001/02/28  00:00
caption 2001 February 28   00:00" -- step 2001/01/31 00:00 7 1

# Several calendar steps are one move: the day is fixed at the target.
expect years-from-leap-day 0 "jd 2453065.000000
date 2004/02/29
time 12:00
datetime 2004/02/29  12:00
caption 2004 February 29   12:00" -- step 2000/2/29 12:00 8 4
expect months-from-31st 0 "jd 2451999.500000
date 2001/03/31
time 00:00
datetime 2001/03/31  00:00
caption 2001 March 31   00:00" -- step 2001/1/31 0:00 7 2

# Leaving the range prints the clamped instant and still fails.
expect step-overflow 2 "jd 4000000.000000
date 6239/07/12
time 12:00
datetime 6239/07/12  12:00
caption 6239 July 12   12:00" -- step 6000/1/1 0:00 8 300
grep -qx "date 4.02209e+06 overflows range (0 .. 4e+06)" /tmp/sollumen-date-err.$$ ||
  { echo "FAIL step-overflow: message"; cat /tmp/sollumen-date-err.$$; fails=$((fails + 1)); }
expect bad-unit 2 "" -- step 2000/1/1 0:00 11 1

now=$("$cli" now) || { echo "FAIL now: exit status"; fails=$((fails + 1)); }
[[ $(echo "$now" | cut -d' ' -f1 | tr '\n' ' ') == "jd date time datetime caption " ]] ||
  { echo "FAIL now: $now"; fails=$((fails + 1)); }
"$cli" date --help | grep -q "usage: sollumen-cli date" || { echo "FAIL help"; fails=$((fails + 1)); }

rm -f /tmp/sollumen-date-err.$$
[[ $fails == 0 ]] && echo "date: all passed"
exit $((fails > 0))
