#!/usr/bin/env bash
# The importer's command line: its three output lines, exit statuses 0, 1
# and 2, and that refused imports create and change nothing. tessaloader is
# built beside sollumen-cli (tools/tessaloader).
set -u
cli=$1
loader=$(cd "$(dirname "$cli")/tessaloader" && pwd)/tessaloader
samples=$(cd "$(dirname "$0")/../../data/minor-bodies" && pwd)
dir=$(mktemp -d /tmp/sollumen-tessaloader.XXXXXX)
trap 'rm -rf "$dir"' EXIT
fails=0
fail() { echo "FAIL $*"; fails=$((fails + 1)); }

out=$("$loader" "$dir" --table "MPC (10000)" --mpcorb "$samples/MPCORB-sample.DAT" \
  --comets "$samples/CometEls-sample.txt" --quiet 2>"$dir/err")
rc=$?
[[ $rc == 0 && $out == $'imported 8664\nskipped 2203\ntable MPC (10000).db' ]] ||
  fail "import: exit $rc, '$out'"
[[ ! -s $dir/err ]] || fail "quiet import wrote on stderr: $(head -3 "$dir/err")"
[[ $(sqlite3 "$dir/MPC (10000).db" 'select count(distinct NO) from bodies') == 8664 ]] ||
  fail "import: rows in the table"

# Skipped lines are reported with file, line number and reason.
"$loader" "$dir" --table Comets --comets "$samples/CometEls-sample.txt" >"$dir/out" 2>"$dir/err"
grep -q "CometEls-sample.txt:1: eccentricity 1.000000: no ellipse" "$dir/err" ||
  fail "skipped lines not reported: $(head -2 "$dir/err")"
grep -q '^\.\.\. and 2103 more lines skipped$' "$dir/err" || fail "the rest of the skipped lines not counted"

before=$(md5sum "$dir/Comets.db")
# An existing table without --replace or --append: usage, nothing changed.
"$loader" "$dir" --table Comets --comets "$samples/CometEls-sample.txt" >"$dir/out" 2>"$dir/err"
rc=$?
[[ $rc == 2 && ! -s $dir/out ]] || fail "existing table: exit $rc"
grep -q "exists already" "$dir/err" || fail "existing table: $(cat "$dir/err")"

# No MPC file at all, or unreadable: exit 1, nothing created or changed.
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR' >"$dir/image.png"
: >"$dir/empty.txt"
for input in image.png empty.txt missing.txt; do
  for table in Comets New; do
    "$loader" "$dir" --table $table --replace --comets "$dir/$input" >"$dir/out" 2>"$dir/err"
    rc=$?
    [[ $rc == 1 && ! -s $dir/out && -s $dir/err ]] || fail "$input into $table: exit $rc"
  done
done
[[ ! -e $dir/New.db && $(md5sum "$dir/Comets.db") == "$before" ]] || fail "a refused import left traces"
[[ $(ls -A "$dir" | grep -c tmp) == 0 ]] || fail "temporary files left: $(ls -A "$dir")"

# Appending continues the numbers below the table's smallest.
out=$("$loader" "$dir" --table Comets --append --mpcorb "$samples/MPCORB-sample.DAT" --quiet)
[[ $? == 0 && $out == $'imported 7097\nskipped 0\ntable Comets.db' ]] || fail "append: '$out'"
[[ $(sqlite3 "$dir/Comets.db" 'select min(NO), count(*), count(distinct NO) from bodies') == "-7059|8664|8664" ]] ||
  fail "append: numbers $(sqlite3 "$dir/Comets.db" 'select min(NO), count(*) from bodies')"

# Bad usage.
for args in "" "$dir" "$dir --table X" "$dir --table X --comets" "$dir --table X --replace --append --comets a" \
  "$dir --table a/b --comets a" "$dir --table X --comets a --frobnicate"; do
  # shellcheck disable=SC2086
  "$loader" $args --quiet >"$dir/out" 2>"$dir/err" </dev/null
  rc=$?
  [[ $args == "" || $args == "$dir" ]] && continue  # the window (or its absence)
  [[ $rc == 2 && ! -s $dir/out ]] || fail "usage '$args': exit $rc"
done

[[ $fails == 0 ]] && echo "all tessaloader checks passed"
exit $((fails > 0))
