#!/usr/bin/env bash
# sollumen-cli description and dump's descriptionText on the document fixtures
# and on a document carrying rich text as RichEdit writes it.
set -u
cli=$1
here=$(cd "$(dirname "$0")/../data" && pwd)
data=$here/documents
tmp=$(mktemp -d /tmp/sollumen-description.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fails=0

fail() { echo "FAIL $*"; fails=$((fails + 1)); }

# expect NAME EXPECTED ARGS...: the command prints exactly EXPECTED and exits 0.
expect() {
  local name=$1 want=$2
  shift 2
  local got
  got=$("$cli" description "$@" 2>"$tmp/err"; echo "rc=$?")
  [[ $got == "$want"$'\n'"rc=0" || ($want == "" && $got == "rc=0") ]] ||
    fail "$name: got '$got', stderr '$(cat "$tmp/err")'"
}

tab=$'\t'
# Every generation; 1.0 from its side file, raw 8-bit text as Windows-1252.
expect "text 10" $'First line\nS\u00e9cond' "$data/doc10.orb"
expect "text 15" $'one\ntwo' "$data/doc15.orb" --format text
expect "text 17" $'Gr\u00fc\u00dfe' "$data/doc17.orb"
expect "runs 17" "PARA align=left bullet=0
RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000${tab}Gr$(printf '\u00fc\u00df')e" \
  "$data/doc17.orb" --format runs
expect "rtf 17" '{\rtf1\ansi\ansicpg1252\deff0\deflang1033{\fonttbl{\f0\fnil\fcharset0 Arial;}}
{\colortbl ;}
\viewkind4\uc1
\pard\ql \fs20 Gr\'"'"'fc\'"'"'dfe\par
}' "$data/doc17.orb" --format rtf

# A 1.7 document whose description is the RichEdit fixture, and one without.
python3 - "$data/doc17.orb" "$here/rtf/richedit.rtf" "$tmp" <<'PY'
import struct, sys
doc, rtf, tmp = sys.argv[1:]
data = open(doc, 'rb').read()
old = '{\\rtf1 Gr\u00fc\u00dfe\\par}'.encode('utf-8')
tail = b'\x02\x01\x14' + struct.pack('<i', len(old)) + old
assert data.endswith(tail)
def record(lines):
    return b'\x02' + bytes([len(lines)]) + b''.join(
        b'\x0c' + struct.pack('<i', len(l)) + l for l in lines)
lines = open(rtf, 'rb').read().split(b'\r\n')[:-1]
open(tmp + '/rich.orb', 'wb').write(data[:-len(tail)] + record(lines))
open(tmp + '/none.orb', 'wb').write(data[:-len(tail)] + record([]))
open(tmp + '/blank.orb', 'wb').write(data[:-len(tail)] + record([b'{\\rtf1\\ansi\\pard\\par', b'}']))
PY
expect "runs rich" "PARA align=center bullet=0
RUN bold=1 italic=0 underline=0 font=Arial size=14 color=#000000${tab}Jupiter und seine Monde
PARA align=left bullet=0
RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000${tab}The four 
RUN bold=0 italic=1 underline=0 font=Arial size=10 color=#000000${tab}Galilean
RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000${tab} moons:${tab}Io, Europa
PARA align=left bullet=1
RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#000000${tab}Io
PARA align=left bullet=1
RUN bold=0 italic=0 underline=0 font=Arial size=10 color=#FF0000${tab}Europa
PARA align=right bullet=0
RUN bold=0 italic=0 underline=0 font=Times New Roman size=12 color=#000000${tab}Gr$(printf '\u00fc\u00df')e $(printf '\u20ac\u2028')next
PARA align=left bullet=0" "$tmp/rich.orb" --format runs
expect "text rich" "Jupiter und seine Monde
The four Galilean moons:${tab}Io, Europa
Io
Europa
Gr$(printf '\u00fc\u00df')e $(printf '\u20ac')
next
" "$tmp/rich.orb"
# The program's own rich text reads back as the same runs.
"$cli" description "$tmp/rich.orb" --format rtf >"$tmp/rich.rtf" || fail "rtf rich"
grep -q '{\\pntext\\f1\\'"'"'b7\\tab}{\\\*\\pn\\pnlvlblt' "$tmp/rich.rtf" || fail "rtf rich: bullets"
expect "none" "" "$tmp/none.orb" --format runs
expect "blank" "" "$tmp/blank.orb"
expect "blank rtf" "" "$tmp/blank.orb" --format rtf

# dump carries the plain text beside the lines.
python3 -c '
import json, sys
d = json.loads(sys.argv[1])
sys.exit(0 if d["descriptionText"] == "First line\nS\u00e9cond" else 1)' \
  "$("$cli" dump "$data/doc10.orb")" || fail "dump descriptionText"
python3 -c '
import json, sys
d = json.loads(sys.argv[1])
sys.exit(0 if d["descriptionText"] == "" else 1)' "$("$cli" dump "$tmp/none.orb")" ||
  fail "dump descriptionText empty"

# Failures: the message, nothing on stdout, exit 2.
out=$("$cli" description "$data/moons.orb" 2>"$tmp/err")
rc=$?
[[ $rc == 2 && -z $out && $(cat "$tmp/err") == "Error reading file $data/moons.orb." ]] ||
  fail "damaged: exit $rc, '$out', '$(cat "$tmp/err")'"
out=$("$cli" description "$tmp/missing.orb" 2>"$tmp/err")
rc=$?
[[ $rc == 2 && -z $out && $(cat "$tmp/err") == "Cannot open file \"$tmp/missing.orb\". "* ]] ||
  fail "missing: exit $rc, '$out', '$(cat "$tmp/err")'"
"$cli" description "$data/doc17.orb" --format html >/dev/null 2>&1
[[ $? == 2 ]] || fail "bad format accepted"

[[ $fails == 0 ]] && echo "all description command checks passed"
exit $((fails > 0))
