#!/usr/bin/env bash
# The table command of sollumen-cli: its output formats and its errors, on
# tables made here (rows filled with the sqlite3 shell).
set -u
cli=$1
fails=0
dir=$(mktemp -d /tmp/sollumen-cli-table.XXXXXX)
err=$dir/.err
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# expect NAME EXPECTED ARGS...: exit 0, exactly EXPECTED on stdout.
expect() {
  local name=$1 expected=$2
  shift 2
  local got rc
  got=$("$cli" table "$@" 2>"$err")
  rc=$?
  [[ $rc == 0 ]] || fail "$name: exit $rc: $(cat "$err")"
  [[ "$got" == "$expected" ]] || fail "$name: got
$got
expected
$expected"
}

# refused NAME ARGS...: exit 2, nothing on stdout, a message on stderr.
refused() {
  local name=$1
  shift
  local got rc
  got=$("$cli" table "$@" 2>"$err")
  rc=$?
  [[ $rc == 2 && -z "$got" && -s "$err" ]] || fail "$name: exit $rc, stdout '$got'"
}

expect create "table Main.db" create "$dir" Main
expect create-other "table B (2).db" create "$dir" "B (2)"
sqlite3 "$dir/Main.db" <<'EOF'
INSERT INTO bodies VALUES (1, 'Ceres', 10, 150, 80, 10.6, 0.0785, 2.5, 2460600.5, 'MBA', 'N', 'N');
INSERT INTO bodies VALUES (433, 'Eros', 0.1, 300, 304.3, 10.8, 0.2229, 1.458, 2460600.5, 'Amor', 'Y', 'N');
INSERT INTO bodies VALUES (-1, 'C/2020 F3, "NEOWISE"', 0, 37, 61, 128.9, 0.999, 270, 2459034.5, 'Comet', 'N', 'N');
INSERT INTO bodies VALUES (-2, 'Bad', 0, 0, 0, 0, 0.5, 0, 2460600.5, 'MBA', 'N', 'N');
EOF
# Files that are no tables of ours are never listed.
sqlite3 "$dir/foreign.db" "CREATE TABLE t (x)"
cp "$dir/Main.db" "$dir/Main.db-journal"
echo "text" >"$dir/text.db"
expect list "B (2).db
Main.db" list "$dir"
rm "$dir/Main.db-journal"

expect info "rows 4
index IDXNAME NAME;A;
index IDXA A;NAME
index IDXE E;NAME
index IDXINCL I;NAME
index IDXCL CLASS;NO
index IDXNEA ISNEA;NO
index IDXPHA ISPHA;NO" info "$dir" Main.db

header="NO,NAME,M,NW,OHM,I,E,A,DATE,CLASS,ISNEA,ISPHA,Reference,Computer"
ceres="1,Ceres,10,150,80,10.6,0.0785,2.5,2460600.5,MBA,N,N,,"
eros="433,Eros,0.10000000000000001,300,304.30000000000001,10.800000000000001,0.22289999999999999,1.458,2460600.5,Amor,Y,N,,"
comet='-1,"C/2020 F3, ""NEOWISE""",0,37,61,128.90000000000001,0.999,270,2459034.5,Comet,N,N,,'
bad="-2,Bad,0,0,0,0,0.5,0,2460600.5,MBA,N,N,,"
expect rows-all "$header
$bad
$comet
$ceres
$eros" rows "$dir" Main.db
expect rows-by-name "$header
$comet
$ceres" rows "$dir" Main.db --index IDXNAME --from C --limit 2
expect rows-by-axis "$header
$eros
$ceres" rows "$dir" Main.db --index IDXA --from 1.4 --limit 2
expect rows-from-no "$header
$eros" rows "$dir" Main.db --from 2
expect rows-past-end "$header" rows "$dir" Main.db --index IDXNAME --from zzz
expect rows-limit-0 "$header" rows "$dir" Main.db --limit 0

# Names are ordered and found without regard to letter case, also in a
# table whose name index an earlier build made (ordered by letter codes).
expect create-case "table Case.db" create "$dir" Case
sqlite3 "$dir/Case.db" <<'EOF'
INSERT INTO bodies VALUES (4, 'Vesta', 0, 0, 0, 0, 0.5, 2, 2460600.5, 'MBA', 'N', 'N');
INSERT INTO bodies VALUES (5, 'astraea', 0, 0, 0, 0, 0.5, 2, 2460600.5, 'MBA', 'N', 'N');
INSERT INTO bodies VALUES (6, 'Pallas', 0, 0, 0, 0, 0.5, 2, 2460600.5, 'MBA', 'N', 'N');
EOF
vesta="4,Vesta,0,0,0,0,0.5,2,2460600.5,MBA,N,N,,"
astraea="5,astraea,0,0,0,0,0.5,2,2460600.5,MBA,N,N,,"
pallas="6,Pallas,0,0,0,0,0.5,2,2460600.5,MBA,N,N,,"
expect rows-name-any-case "$header
$astraea
$pallas
$vesta" rows "$dir" Case.db --index IDXNAME
for text in vesta VESTA Vest; do
  expect "rows-from-$text" "$header
$vesta" rows "$dir" Case.db --index IDXNAME --from "$text" --limit 1
done
sqlite3 "$dir/Case.db" 'DROP INDEX IDXNAME; CREATE INDEX IDXNAME ON bodies ("NAME", "A")'
expect rows-earlier-build "$header
$vesta" rows "$dir" Case.db --index IDXNAME --from vesta --limit 1
expect rows-earlier-build-order "$header
$astraea
$pallas
$vesta" rows "$dir" Case.db --index IDXNAME
rm "$dir/Case.db"

# The worked example: 0.9856262 / 2.5^1.5 degrees per day, M + NW = 160.
out=$("$cli" table elements "$dir" Main.db 1 2>"$err") || fail "elements: $(cat "$err")"
echo "$out" | awk '{ exit !(NF == 8 && $1 == 2460600.5 && $2 == 10.6 && $3 == 80 && $4 == 150 &&
  $5 == 2.5 && ($6 - 0.9856262 / (2.5 * sqrt(2.5)))^2 < 1e-30 && $7 == 0.0785 && $8 == 160) }' ||
  fail "elements: $out"
[[ $out =~ ^2460600.5\ 10.6\ 80\ 150\ 2.5\ 0\.2493458970[0-9]{7}\ 0.0785\ 160$ ]] ||
  fail "elements format: $out"

refused elements-no-ellipse elements "$dir" Main.db -2
grep -q 'NO -2' "$err" || fail "elements-no-ellipse names the row: $(cat "$err")"
refused elements-missing elements "$dir" Main.db 7
refused elements-not-a-number elements "$dir" Main.db x
refused missing-table info "$dir" None.db
refused foreign-table info "$dir" foreign.db
refused text-table rows "$dir" text.db
refused unknown-index rows "$dir" Main.db --index IDXNOPE
refused numeric-from rows "$dir" Main.db --index IDXA --from abc
refused negative-limit rows "$dir" Main.db --limit -1
refused unknown-option rows "$dir" Main.db --sort A
refused missing-dir list "$dir/none"
refused create-existing create "$dir" Main
refused delete-foreign delete "$dir" foreign.db
refused unknown-subcommand show "$dir"
refused no-subcommand
[[ -e "$dir/foreign.db" && ! -e "$dir/None.db" ]] || fail "errors changed files"

# Indices: the missing ones are added, the others left.
sqlite3 "$dir/Main.db" "DROP INDEX IDXA; DELETE FROM sollumen_indices WHERE name = 'IDXA'"
expect index "index IDXNAME exists
index IDXA added
index IDXE exists
index IDXINCL exists
index IDXCL exists
index IDXNEA exists
index IDXPHA exists" index "$dir" Main.db
expect index-rows "$header
$bad" rows "$dir" Main.db --index IDXA --limit 1

# Indices dropped or reshaped by another program are not listed and are
# made again; a damaged table names itself and what is wrong.
sqlite3 "$dir/Main.db" "DROP INDEX IDXPHA; DROP INDEX IDXE; CREATE INDEX IDXE ON bodies (I)"
expect info-dropped "rows 4
index IDXNAME NAME;A;
index IDXINCL I;NAME
index IDXCL CLASS;NO
index IDXNEA ISNEA;NO
index IDXA A;NAME" info "$dir" Main.db
refused rows-dropped rows "$dir" Main.db --index IDXPHA
grep -q "Main.db': the index IDXPHA is missing" "$err" || fail "dropped index: $(cat "$err")"
expect index-dropped "index IDXNAME exists
index IDXA exists
index IDXE added
index IDXINCL exists
index IDXCL exists
index IDXNEA exists
index IDXPHA added" index "$dir" Main.db
expect rows-rebuilt "$header
$bad" rows "$dir" Main.db --index IDXPHA --limit 1
cp "$dir/Main.db" "$dir/Crafted.db"
sqlite3 "$dir/Crafted.db" "PRAGMA writable_schema = ON; UPDATE sqlite_schema SET type = 'view',
  rootpage = 0, sql = 'CREATE VIEW bodies AS SELECT 1 AS NO' WHERE name = 'bodies';
  DELETE FROM sqlite_schema WHERE type = 'index' AND tbl_name = 'bodies'"
refused crafted info "$dir" Crafted.db
grep -q "Crafted.db': its bodies are a view, not a table" "$err" || fail "crafted: $(cat "$err")"
cp "$dir/Main.db" "$dir/Nulls.db"
sqlite3 "$dir/Nulls.db" "UPDATE bodies SET A = NULL WHERE NO = 433"
refused null-field elements "$dir" Nulls.db 433
grep -q "NO 433.*field A is NULL" "$err" || fail "null field: $(cat "$err")"
expect null-row "$header
433,Eros,0.10000000000000001,300,304.30000000000001,10.800000000000001,0.22289999999999999,,2460600.5,Amor,Y,N,," rows "$dir" Nulls.db --from 433 --limit 1
rm "$dir/Crafted.db" "$dir/Nulls.db"

touch "$dir/Main.db-wal" "$dir/Main.db-shm"
expect delete "" delete "$dir" Main.db
[[ ! -e "$dir/Main.db" && ! -e "$dir/Main.db-wal" && ! -e "$dir/Main.db-shm" ]] ||
  fail "delete left files: $(ls "$dir")"
expect list-after "B (2).db" list "$dir"

"$cli" table --help | grep -q "usage: sollumen-cli table list DIR" || fail "help"

[[ $fails == 0 ]] && echo "table: all passed"
exit $((fails > 0))
