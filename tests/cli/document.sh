#!/usr/bin/env bash
# The dump and convert commands of sollumen-cli on the document fixtures.
set -u
cli=$1
data=$(cd "$(dirname "$0")/../data/documents" && pwd)
tmp=$(mktemp -d /tmp/sollumen-docs.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fails=0

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# check NAME JSON PYTHON-EXPRESSION: the expression, on the parsed object d, holds.
check() {
  local name=$1 json=$2 expr=$3
  python3 -c '
import json, sys
d = json.loads(sys.argv[1])
sys.exit(0 if eval(sys.argv[2]) else 1)' "$json" "$expr" || fail "$name: $expr"
}

# Every version is recognised and printed as one JSON object on one line.
for v in 10:1.0 15:1.5 16:1.6 17:1.7; do
  out=$("$cli" dump "$data/doc${v%%:*}.orb" 2>"$tmp/err")
  rc=$?
  [[ $rc == 0 ]] || fail "dump ${v%%:*}: exit $rc: $(cat "$tmp/err")"
  [[ $(printf '%s\n' "$out" | wc -l) == 1 ]] || fail "dump ${v%%:*}: not one line"
  check "dump ${v%%:*}" "$out" "d['version'] == '${v#*:}'"
done

d10=$("$cli" dump "$data/doc10.orb")
check d10 "$d10" "d['scene']['jd'] == 2451545.25 and d['scene']['GridColor'] == 0x123456"
check d10 "$d10" "d['scene']['AxesColor'] == d['scene']['PerpendicularColor'] == 0x123456"
check d10 "$d10" "d['scene']['ShowSatellites'] is True and d['scene']['ObjectColors'][12] == 0x008080"
check d10 "$d10" "d['mainWindow'] == [10, 20, 800, 600] and d['monitorPos'] == [100, 200]"
check d10 "$d10" "d['descriptionWindow'] == [30, 40, 300, 200]"
check d10 "$d10" "d['description'][1] == 'S\u00e9cond\\\\par' and d['descriptionVisible'] is True"
check d10 "$d10" "[a['Name'] for a in d['scene']['asteroids']] == ['Ceres', 'Hygi\u00eba']"
check d10 "$d10" "d['scene']['asteroids'][0]['Elements'] == [2451400.5, 10.58, 80.49, 153.77, 2.7675, 0.21408, 0.0785, 123.25]"
check d10 "$d10" "len(d['scene']['planets']) == 9 and d['scene']['planets'][8]['Visible'] is False"
check d10 "$d10" "[len(p['satellites']) for p in d['scene']['planets']] == [1, 0, 0, 0, 4, 12, 5, 0, 0]"
check d10 "$d10" "d['timeStepValue'] == 2.5 and d['timeStepUnit'] == 1 and d['monitorObject'] == 'Mars'"
check d10 "$d10" "d['tablePath'] == 'C:\\\\Data\\\\' and d['tableName'] == 'MPC (10000).db'"
# 17 significant digits.
[[ $d10 == *'"Elements": [2451400.5, 10.58, 80.489999999999995, '* ]] || fail "d10: digits"

d15=$("$cli" dump "$data/doc15.orb")
check d15 "$d15" "[a['BodyNumber'] for a in d['scene']['asteroids']] == [11, 5]"
check d15 "$d15" "d['realTimeMode'] is True and 'mainWindow' not in d"
check d15 "$d15" "d['scene']['CanShowObjects'] is True"  # 1968
d17=$("$cli" dump "$data/doc17.orb")
check d17 "$d17" "d['scene']['spacecraft'] == ['voyager1.spc', 'missing.spc']"
check d17 "$d17" "d['scene']['CenterObject'] == 9 and d['scene']['Dim'] == 2"
check d17 "$d17" "d['scene']['lines'] == [{'FromObject': 2, 'ToObject': 9, 'Color': 255, 'Visible': True}]"
check d17 "$d17" "d['tablePath'] == '/elsewhere/' and d['tableName'] == 'other.db'"

# An unknown header: nothing read.
printf '\x06\x07sl v2.0' >"$tmp/unknown.orb"
out=$("$cli" dump "$tmp/unknown.orb" 2>"$tmp/err")
rc=$?
[[ $rc == 0 && $out == '{"version": null}' ]] || fail "unknown header: exit $rc, '$out'"

# Unreadable documents: the message, nothing on stdout, exit 2.
out=$("$cli" dump "$data/moons.orb" 2>"$tmp/err")
rc=$?
[[ $rc == 2 && -z $out && $(cat "$tmp/err") == "Error reading file $data/moons.orb." ]] ||
  fail "damaged: exit $rc, '$out', '$(cat "$tmp/err")'"
out=$("$cli" dump "$tmp/none.orb" 2>"$tmp/err")
rc=$?
[[ $rc == 2 && -z $out && $(cat "$tmp/err") == "Cannot open file \"$tmp/none.orb\". "* ]] ||
  fail "missing: exit $rc, '$out', '$(cat "$tmp/err")'"

# convert: every version to 1.7 with the same content.
cp "$data/doc10.orb" "$data/doc10.rtf" "$data/doc15.orb" "$data/doc16.orb" "$data/doc17.orb" "$tmp/"
for n in 10 15 16 17; do
  "$cli" convert "$tmp/doc$n.orb" "$tmp/c$n.orb" 2>"$tmp/err" || fail "convert $n: $(cat "$tmp/err")"
  [[ $(head -c 9 "$tmp/c$n.orb" | od -An -tx1 | tr -d ' \n') == 0607736c2076312e37 ]] ||
    fail "convert $n: header"
  python3 -c '
import json, sys
a, b = json.loads(sys.argv[1]), json.loads(sys.argv[2])
for k in ("mainWindow", "monitorPos", "descriptionWindow"):
    a.pop(k, None)
a["version"] = "1.7"
# Spacecraft come back only when their trajectory files are found; planets
# in the list of minor bodies carry their elements of the date.
for x in (a, b):
    x["scene"].pop("spacecraft")
    for body in x["scene"]["asteroids"]:
        if body["BodyNumber"] != 11:
            body.pop("Elements")
sys.exit(0 if a == b else 1)' "$("$cli" dump "$tmp/doc$n.orb")" "$("$cli" dump "$tmp/c$n.orb")" ||
    fail "convert $n: content differs"
done
# In place, as the conversion question does.
"$cli" convert "$tmp/doc15.orb" "$tmp/doc15.orb" || fail "convert in place"
check "in place" "$("$cli" dump "$tmp/doc15.orb")" "d['version'] == '1.7'"

# Failures leave OUT alone.
printf 'keep' >"$tmp/out.orb"
"$cli" convert "$data/moons.orb" "$tmp/out.orb" 2>"$tmp/err"
rc=$?
[[ $rc == 2 && $(cat "$tmp/out.orb") == keep && $(cat "$tmp/err") == "Error reading file $data/moons.orb." ]] ||
  fail "convert damaged: exit $rc, '$(cat "$tmp/err")'"
"$cli" convert "$tmp/unknown.orb" "$tmp/out.orb" 2>"$tmp/err"
[[ $? == 2 && $(cat "$tmp/out.orb") == keep ]] || fail "convert unknown"
"$cli" convert "$data/doc17.orb" "$tmp/no/such/dir.orb" 2>"$tmp/err"
rc=$?
[[ $rc == 2 && $(cat "$tmp/err") == "Could not create file $tmp/no/such/dir.orb." ]] ||
  fail "convert unwritable: exit $rc, '$(cat "$tmp/err")'"
[[ $(ls "$tmp" | grep -c tmp) == 0 ]] || fail "temporary files left: $(ls "$tmp")"
"$cli" convert "$data/doc17.orb" 2>/dev/null
[[ $? == 2 ]] || fail "convert with one argument"

[[ $fails == 0 ]] && echo "all document command checks passed"
exit $((fails > 0))
