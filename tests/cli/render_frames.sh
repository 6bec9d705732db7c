#!/usr/bin/env bash
# render's series of frames for time-lapse films, BMP output and the
# captions of exported images.
set -u
cli=$1
fails=0
dir=$(mktemp -d /tmp/sollumen-frames.XXXXXX)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# Three frames ten days apart: numbered before the extension, each the
# picture of its instant.
"$cli" render --jd 2451545 --size 64 --frames 3 --step-days 10 --out "$dir/film.png" 2>"$dir/err" ||
  fail "frames: $(cat "$dir/err")"
[[ $(cd "$dir" && echo *) == "err film0000.png film0001.png film0002.png" ]] ||
  fail "frame files: $(cd "$dir" && echo *)"
"$cli" render --jd 2451545 --size 64 --out "$dir/at0.png" &&
  "$cli" render --jd 2451565 --size 64 --out "$dir/at20.png" || fail "single renders"
cmp -s "$dir/film0000.png" "$dir/at0.png" || fail "frame 0 is not the first instant"
cmp -s "$dir/film0002.png" "$dir/at20.png" || fail "frame 2 is not 20 days later"
cmp -s "$dir/film0000.png" "$dir/film0001.png" && fail "frames 0 and 1 are alike"
rm -f "$dir"/*.png

# Frames that would leave the program's range of instants: nothing written.
"$cli" render --jd 3912510 --frames 3 --step-days 5 --out "$dir/late.png" 2>"$dir/err"
[[ $? == 2 && -s "$dir/err" && -z $(ls "$dir" | grep png) ]] || fail "frames beyond the range"
"$cli" render --jd 2451545 --step-days 5 --out "$dir/nofr.png" 2>"$dir/err"
[[ $? == 2 && ! -e "$dir/nofr.png" ]] || fail "--step-days without --frames accepted"
"$cli" render --jd 2451545 --frames 0 --out "$dir/zero.png" 2>"$dir/err"
[[ $? == 2 && -z $(ls "$dir" | grep png) ]] || fail "--frames 0 accepted"

# BMP for .bmp in any case; PNG otherwise.
"$cli" render --jd 2451545 --size 50 --out "$dir/pic.BMP" || fail "render BMP"
[[ $(head -c 2 "$dir/pic.BMP") == BM ]] || fail "pic.BMP is not a BMP file"
"$cli" render --jd 2451545 --size 50 --frames 2 --out "$dir/f.bmp" || fail "BMP frames"
[[ $(head -c 2 "$dir/f0001.bmp") == BM ]] || fail "f0001.bmp is not a BMP file"

# The captions change the picture, and only with --captions.
"$cli" render --jd 2451545 --size 200 --out "$dir/plain.png" &&
  "$cli" render --jd 2451545 --size 200 --captions --out "$dir/cap.png" || fail "captions"
cmp -s "$dir/plain.png" "$dir/cap.png" && fail "--captions drew nothing"

[[ $fails == 0 ]] && echo "render_frames: all passed"
exit $((fails > 0))
