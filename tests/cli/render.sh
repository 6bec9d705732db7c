#!/usr/bin/env bash
# The render command of sollumen-cli: a PNG of the requested size, written
# without a display; bad options refused. The pictures themselves are
# checked against golden images by render_golden_test.
set -u
cli=$1
fails=0
dir=$(mktemp -d /tmp/sollumen-render.XXXXXX)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# png_size FILE: "WIDTH HEIGHT" from the IHDR chunk of a PNG file.
png_size() {
  [[ $(head -c 8 "$1" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]] || return 1
  local w h
  w=$(od -An -tu1 -j16 -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }')
  h=$(od -An -tu1 -j20 -N4 "$1" | awk '{ print (($1 * 256 + $2) * 256 + $3) * 256 + $4 }')
  echo "$w $h"
}

# No display at all, and a platform that would need one.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb \
  "$cli" render --jd 2451545 --out "$dir/default.png" 2>"$dir/err")
rc=$?
[[ $rc == 0 && -z "$out" && ! -s "$dir/err" ]] || fail "default: exit $rc, '$out', $(cat "$dir/err")"
[[ $(png_size "$dir/default.png") == "500 500" ]] || fail "default: not a 500 x 500 PNG"

"$cli" render --jd 2451545 --size 120 --plane xy --dim 40 --center Sun --grid radial \
  --rotx 10 --roty -20 --rotz 30.5 --show Apsides,LineOfNodes --hide names,Satellites \
  --color-mode 0 --size-mode 2 --out "$dir/all.png" 2>"$dir/err" || fail "all options: $(cat "$dir/err")"
[[ $(png_size "$dir/all.png") == "120 120" ]] || fail "all options: not a 120 x 120 PNG"

# The same options give the same picture.
"$cli" render --jd 2451545 --out "$dir/again.png" && cmp -s "$dir/default.png" "$dir/again.png" ||
  fail "the same options drew different pictures"

# expect_refused NAME ARGS...: exit status 2, nothing on stdout, a message,
# no file.
expect_refused() {
  local name=$1
  shift
  local got rc
  rm -f "$dir/bad.png"
  got=$("$cli" render "$@" 2>"$dir/err")
  rc=$?
  [[ $rc == 2 && -z "$got" && -s "$dir/err" && ! -e "$dir/bad.png" ]] ||
    fail "$name: exit $rc, stdout '$got'"
}
expect_refused no-out --jd 2451545
expect_refused out-without-value --out
expect_refused unknown-option --zoom 2 --out "$dir/bad.png"
expect_refused doc-missing --doc "$dir/none.orb" --out "$dir/bad.png"
expect_refused stray-argument extra --out "$dir/bad.png"
expect_refused twice --size 100 --size 200 --out "$dir/bad.png"
expect_refused jd-early --jd 990924 --out "$dir/bad.png"
expect_refused jd-late --jd 3912516 --out "$dir/bad.png"
expect_refused jd-text --jd now --out "$dir/bad.png"
expect_refused size-small --size 15 --out "$dir/bad.png"
expect_refused size-large --size 8193 --out "$dir/bad.png"
expect_refused size-real --size 500.5 --out "$dir/bad.png"
expect_refused plane --plane XY3 --out "$dir/bad.png"
expect_refused dim-small --dim 0.0009 --out "$dir/bad.png"
expect_refused dim-large --dim 101 --out "$dir/bad.png"
expect_refused dim-nan --dim nan --out "$dir/bad.png"
expect_refused center-moon --center Moon --out "$dir/bad.png"
expect_refused rot-inf --rotx inf --out "$dir/bad.png"
expect_refused grid --grid square --out "$dir/bad.png"
expect_refused show-unknown --show Orbits,Comets --out "$dir/bad.png"
expect_refused show-empty-name --show Orbits, --out "$dir/bad.png"
expect_refused hide-spacecrafts --hide Spacecrafts --out "$dir/bad.png"
expect_refused color-mode --color-mode 4 --out "$dir/bad.png"
expect_refused size-mode --size-mode -1 --out "$dir/bad.png"
expect_refused unwritable --jd 2451545 --out "$dir/no/such/dir/bad.png"

grep -q "unknown option '--zoom'" <("$cli" render --zoom 2 --out "$dir/bad.png" 2>&1) ||
  fail "unknown option: message"
"$cli" render --help | grep -q "usage: sollumen-cli render" || fail "help"

[[ $fails == 0 ]] && echo "render: all passed"
exit $((fails > 0))
