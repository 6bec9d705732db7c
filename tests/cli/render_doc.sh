#!/usr/bin/env bash
# render --doc: the scene of a document, with the other options on top.
set -u
cli=$1
data=$(cd "$(dirname "$0")/../data/documents" && pwd)
tmp=$(mktemp -d /tmp/sollumen-render-doc.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fails=0

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# The top-left pixel of an 8-bit RGB PNG as hex: the first pixel of the first
# row is stored unchanged whatever the row's filter.
corner() {
  python3 -c '
import struct, sys, zlib
d = open(sys.argv[1], "rb").read()
i, idat = 8, b""
while i < len(d):
    n, = struct.unpack(">I", d[i:i + 4])
    if d[i + 4:i + 8] == b"IDAT":
        idat += d[i + 8:i + 8 + n]
    i += 12 + n
print(zlib.decompress(idat)[1:4].hex())' "$1"
}

# The document's background colour (0x000022: red 0x22) fills the view.
"$cli" render --doc "$data/doc17.orb" --size 64 --out "$tmp/doc.png" 2>"$tmp/err" ||
  fail "render --doc: $(cat "$tmp/err")"
[[ $(corner "$tmp/doc.png") == 220000 ]] || fail "background: $(corner "$tmp/doc.png")"
# Other options override the document: white on black draws the background black.
"$cli" render --doc "$data/doc17.orb" --color-mode 1 --size 64 --out "$tmp/mode.png" ||
  fail "render --doc --color-mode"
[[ $(corner "$tmp/mode.png") == 000000 ]] || fail "colour mode: $(corner "$tmp/mode.png")"
# Every version can be drawn.
for n in 10 15 16; do
  "$cli" render --doc "$data/doc$n.orb" --size 32 --out "$tmp/v$n.png" || fail "render doc$n"
done

# A damaged document is refused with the document's message.
"$cli" render --doc "$data/moons.orb" --out "$tmp/bad.png" 2>"$tmp/err"
rc=$?
[[ $rc == 2 && ! -e $tmp/bad.png && $(cat "$tmp/err") == "Error reading file $data/moons.orb." ]] ||
  fail "damaged: exit $rc, '$(cat "$tmp/err")'"

[[ $fails == 0 ]] && echo "all render --doc checks passed"
exit $((fails > 0))
