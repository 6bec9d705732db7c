#!/usr/bin/env bash
# The print command of sollumen-cli: the printed page as an A4 PDF file with
# one page per copy, written through a temporary file; bad options refused.
# The page itself is checked rasterised by Output_test.
set -u
cli=$1
fails=0
dir=$(mktemp -d /tmp/sollumen-print.XXXXXX)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }
pages() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$cli" print --jd 2451545 --out "$dir/page.pdf" 2>"$dir/err")
rc=$?
[[ $rc == 0 && -z "$out" && ! -s "$dir/err" ]] || fail "default: exit $rc, '$out', $(cat "$dir/err")"
[[ $(head -c 5 "$dir/page.pdf") == %PDF- ]] || fail "default: not a PDF file"
[[ $(pages "$dir/page.pdf") == 1 ]] || fail "default: $(pages "$dir/page.pdf") pages"
pdfinfo "$dir/page.pdf" | grep -q "^Page size: *595 x 842 pts (A4)" || fail "not A4"
pdfinfo "$dir/page.pdf" | grep -q "^Title: *Sollumen document" || fail "title"
# The two text lines are on the page.
pdftotext "$dir/page.pdf" - | grep -q "2000/01/01 - 12:00UT (JD 2451545.000)" || fail "first line"
pdftotext "$dir/page.pdf" - | grep -q "3D-plot, centered to Sun" || fail "second line"

# Every scene option of render, the scheme and the copies; a PDF file
# makes no copies itself, so each copy is a page.
"$cli" print --jd 2460676.5 --plane xy --dim 40 --center Jupiter --grid radial --rotx 10 \
  --show Apsides --hide Names --scheme 2 --copies 3 --out "$dir/all.pdf" 2>"$dir/err" ||
  fail "all options: $(cat "$dir/err")"
[[ $(pages "$dir/all.pdf") == 3 ]] || fail "copies: $(pages "$dir/all.pdf") pages"
pdftotext "$dir/all.pdf" - | grep -q "X-Y-plane, centered to Jupiter" || fail "view line"

# expect_refused NAME ARGS...: exit status 2, a message, the old file kept
# and nothing else left in the directory.
echo "old page" >"$dir/old.pdf"
expect_refused() {
  local name=$1
  shift
  local got rc
  got=$("$cli" print "$@" 2>"$dir/err")
  rc=$?
  [[ $rc == 2 && -z "$got" && -s "$dir/err" && $(cat "$dir/old.pdf") == "old page" &&
     $(ls "$dir" | wc -l) == 4 ]] || fail "$name: exit $rc, stdout '$got', $(ls "$dir")"
}
expect_refused no-out --jd 2451545
expect_refused scheme --scheme 4 --out "$dir/old.pdf"
expect_refused copies-none --copies 0 --out "$dir/old.pdf"
expect_refused copies-many --copies 21 --out "$dir/old.pdf"
expect_refused render-only --size 100 --out "$dir/old.pdf"
expect_refused jd --jd 990924 --out "$dir/old.pdf"
expect_refused center --center Moon --out "$dir/old.pdf"
expect_refused doc-missing --doc "$dir/none.orb" --out "$dir/old.pdf"
expect_refused unwritable --out "$dir/no/such/dir/page.pdf"

"$cli" print --help | grep -q "usage: sollumen-cli print" || fail "help"

[[ $fails == 0 ]] && echo "print: all passed"
exit $((fails > 0))
