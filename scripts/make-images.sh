#!/usr/bin/env bash
# Remakes the pictures of docs/images that the README and the AppStream
# metadata show: two scenes drawn by sollumen-cli render, and the main
# window on a virtual display (Xvfb with openbox), started from a portable
# copy in a temporary directory so that the build tree's own state is left
# alone. Everything is drawn at one fixed instant.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
out=docs/images
mkdir -p "$out"
jd=2461496.5 # 2027 April 1, 0h UT: the example spacecraft on its way to Mars
cli=build/tools/sollumen-cli
table=(--database build/src/app --table "MPC (10000).db")

"$cli" render --jd $jd --size 800 --plane xy --dim 6 "${table[@]}" --all-objects \
  --add Ceres,Vesta,Eros --captions --out "$out/asteroid-belt.png"
"$cli" render --jd $jd --size 800 --plane 3d --dim 45 --rotx 60 --rotz 30 "${table[@]}" \
  --all-objects --captions --out "$out/outer-3d.png"

tmp=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
cp build/src/app/{sollumen,template.orb,Example-Earth-Mars.spc,MPCORB.rtf} \
  "build/src/app/MPC (10000).db" "$tmp/"
cat >"$tmp/sl.ini" <<INI
[MainForm]
Top=30
Left=10
Width=1060
Height=680
Page=1
[Database]
Path=$tmp/
Table=MPC (10000).db
INI

Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp 3>"$tmp/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$tmp/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$tmp/display")
openbox >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
(cd "$tmp" && exec ./sollumen $jd) >/dev/null 2>&1 &
pids+=($!)
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Sollumen +[0-9]' | head -1)
sleep 2 # placed by the window manager and painted
# The window with its frame: the client's place widened by the frame's
# extents that the window manager announces.
info=$(xwininfo -id "$window")
field() { sed -n "s/^ *$1: *//p" <<<"$info"; }
X=$(field 'Absolute upper-left X') Y=$(field 'Absolute upper-left Y')
WIDTH=$(field Width) HEIGHT=$(field Height)
read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS |
  sed 's/.*= //; s/,//g')
import -window root \
  -crop "$((WIDTH + left + right))x$((HEIGHT + top + bottom))+$((X - left))+$((Y - top))" \
  +repage "$out/window.png"
echo "made $out/window.png $out/asteroid-belt.png $out/outer-3d.png"
