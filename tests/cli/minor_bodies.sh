#!/usr/bin/env bash
# Minor bodies from a table in the command line: ephem --minor rows, placed
# on the Keplerian orbit of the row's elements, and render drawing listed
# bodies (--add) and a whole table (--all-objects). The table is written
# with the sqlite3 shell in the file format of the program's tables.
set -u
cli=$1
fails=0
dir=$(mktemp -d /tmp/sollumen-minor.XXXXXX)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

command -v sqlite3 >/dev/null || { echo "sqlite3 shell missing"; exit 1; }
sqlite3 "$dir/T.db" <<'SQL'
PRAGMA application_id = 1397509442;
PRAGMA user_version = 1;
CREATE TABLE bodies (NO INTEGER PRIMARY KEY, NAME TEXT, M REAL, NW REAL, OHM REAL, I REAL,
  E REAL, A REAL, DATE REAL, CLASS TEXT, ISNEA TEXT, ISPHA TEXT);
CREATE TABLE sollumen_indices (seq INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL,
  fields TEXT NOT NULL);
INSERT INTO bodies VALUES (1, 'Ceres', 10, 150, 80, 5, 0.1, 2.77, 2460600.5, 'MBA', 'N', 'N');
INSERT INTO bodies VALUES (2, 'Vesta, the bright', 20, 100, 104, 7.1, 0.09, 2.36, 2460600.5, 'MBA', 'N', 'N');
INSERT INTO bodies VALUES (3, 'Hyper', 0, 0, 0, 1, 1.5, -2, 2460600.5, 'COM', 'N', 'N');
SQL

out=$("$cli" ephem --motion kepler --jd 2451545 --jd 2460000.5 --database "$dir" --table T.db \
  --minor Ceres --minor 'Vesta, the bright' 2>"$dir/err")
[[ $? == 0 ]] || fail "ephem --minor: $(cat "$dir/err")"
[[ $(echo "$out" | head -1) == "jd,body,number,frame,x_au,y_au,z_au" ]] || fail "ephem header"
[[ $(echo "$out" | wc -l) == 5 ]] || fail "ephem: only the minor bodies expected, got: $out"
echo "$out" | sed -n 3p | grep -q '^2451545.000000,"Vesta, the bright",11,date,' ||
  fail "ephem: quoted name and body number 11: $(echo "$out" | sed -n 3p)"

# The position is the Keplerian one of the row's elements: motion
# 0.9856262 / a^1.5, mean longitude M + NW.
motion=$(awk 'BEGIN { printf "%.17g", 0.9856262 / (2.77 * sqrt(2.77)) }')
read -r _ kx ky kz < <("$cli" kepler 2460600.5 5 80 150 2.77 "$motion" 0.1 160 2460000.5 | head -1)
row=$(echo "$out" | sed -n 4p)
[[ $row == 2460000.500000,Ceres,11,date,* ]] || fail "ephem row: $row"
echo "$row" | awk -F, -v x="$kx" -v y="$ky" -v z="$kz" \
  'function abs(v) { return v < 0 ? -v : v }
   { exit !(abs($5 - x) < 1e-9 && abs($6 - y) < 1e-9 && abs($7 - z) < 1e-9) }' ||
  fail "ephem Ceres $row is not the Keplerian position $kx $ky $kz"
j2000=$("$cli" ephem --motion kepler --jd 2460000.5 --frame j2000 --database "$dir" --table T.db --minor Ceres | sed -n 2p)
[[ ${j2000#*j2000,} == "${row#*date,}" ]] || fail "ephem j2000 $j2000 differs from $row"

# expect_refused NAME ARGS...: exit status 2, nothing on stdout, a message.
expect_refused() {
  local name=$1
  shift
  out=$("$cli" "$@" 2>"$dir/err")
  rc=$?
  [[ $rc == 2 && -z "$out" && -s "$dir/err" ]] || fail "$name: exit $rc, '$out', $(cat "$dir/err")"
}
expect_refused "unknown minor body" ephem --jd 2451545 --database "$dir" --table T.db --minor Pallas
expect_refused "row without an ellipse" ephem --jd 2451545 --database "$dir" --table T.db --minor Hyper
expect_refused "--minor without a table" ephem --jd 2451545 --minor Ceres
expect_refused "missing table" ephem --jd 2451545 --database "$dir" --table none.db --minor Ceres

# render: the listed bodies and the whole table change the picture.
common=(--jd 2460000.5 --size 200 --plane xy --dim 4)
"$cli" render "${common[@]}" --out "$dir/plain.png" || fail "render plain"
"$cli" render "${common[@]}" --database "$dir" --table T.db --add 'Ceres,Vesta, the bright' \
  --out "$dir/add.png" 2>"$dir/err" && false
# "Vesta, the bright" holds a comma, so the list above names "Vesta" and
# " the bright": refused.
[[ ! -e "$dir/add.png" ]] || fail "render --add with an unknown name wrote a picture"
"$cli" render "${common[@]}" --database "$dir" --table T.db --add Ceres --out "$dir/add.png" ||
  fail "render --add: $(cat "$dir/err")"
"$cli" render "${common[@]}" --database "$dir" --table T.db --all-objects --out "$dir/all.png" ||
  fail "render --all-objects"
cmp -s "$dir/plain.png" "$dir/add.png" && fail "render --add drew nothing"
cmp -s "$dir/plain.png" "$dir/all.png" && fail "render --all-objects drew nothing"
cmp -s "$dir/add.png" "$dir/all.png" && fail "render --all-objects drew the listed body"
expect_refused "render unknown name" render "${common[@]}" --database "$dir" --table T.db \
  --add Ceres,Pallas --out "$dir/x.png"
expect_refused "render --all-objects without a table" render --all-objects --out "$dir/x.png"
[[ ! -e "$dir/x.png" ]] || fail "a refused render wrote a picture"

[[ $fails == 0 ]] && echo "all minor-body command checks passed"
exit $((fails > 0))
