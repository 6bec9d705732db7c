#!/usr/bin/env bash
# render --video: a film file instead of numbered images; names, options
# and folders it cannot use are refused before anything is written.
set -u
cli=$1
fails=0
dir=$(mktemp -d /tmp/sollumen-video.XXXXXX)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

"$cli" render --jd 2451545 --size 64 --frames 3 --step-days 10 --fps 10 --video "$dir/f.gif" \
  >"$dir/out" 2>"$dir/err" || fail "gif: $(cat "$dir/err")"
[[ $(head -c 6 "$dir/f.gif") == GIF89a && ! -s "$dir/out" && ! -s "$dir/err" ]] ||
  fail "f.gif is not a GIF written silently"
"$cli" render --jd 2451545 --size 64 --frames 2 --video "$dir/f.MP4" 2>"$dir/err" ||
  fail "mp4: $(cat "$dir/err")"
[[ $(head -c 8 "$dir/f.MP4" | tail -c 4) == ftyp ]] || fail "f.MP4 is not an MP4 file"
rm -f "$dir/out" "$dir/err"

refused() {  # expected status 2, a message, and no new file
  local what=$1
  shift
  "$cli" render --jd 2451545 --size 64 "$@" 2>"$dir/err"
  [[ $? == 2 && -s "$dir/err" ]] || fail "$what accepted"
  [[ $(cd "$dir" && echo *) == "err f.MP4 f.gif" ]] || fail "$what left $(cd "$dir" && echo *)"
}
refused "an .avi film" --frames 3 --video "$dir/f.avi"
refused "--video without --frames" --video "$dir/g.gif"
refused "--fps without --video" --frames 2 --fps 10 --out "$dir/g.png"
refused "a GIF at 60 frames per second" --frames 2 --fps 60 --video "$dir/g.gif"
refused "--out with --video" --frames 2 --out "$dir/g.png" --video "$dir/g.gif"
refused "a film in a missing folder" --frames 2 --video "$dir/no/g.webm"
refused "a film beyond the years shown" --frames 3 --step-days 1e7 --video "$dir/g.gif"
"$cli" render --jd 2451545 --size 64 --frames 3 --video "$dir/no/g.webm" 2>"$dir/err"
grep -q "Error Opening File $dir/no/g.webm!" "$dir/err" || fail "message: $(cat "$dir/err")"

[[ $fails == 0 ]] && echo "render_video: all passed"
exit $((fails > 0))
