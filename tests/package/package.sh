#!/usr/bin/env bash
# The Debian package: it builds from the build folder, holds every file an
# installed copy needs, passes lintian and the desktop's validators, and its
# programs start from an unpacked copy, the orrery with a fresh home showing
# the default minor-body table.
#   package.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack -G DEB -B "$tmp/out" --config "$build/CPackConfig.cmake" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log" >&2; fail "cpack did not make the package"; }
debs=("$tmp"/out/sollumen_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single sollumen_*.deb"
deb=${debs[0]}

# The control fields.
control=$(dpkg-deb -f "$deb")
grep -qx 'Package: sollumen' <<<"$control" || fail "package name"
grep -qx 'Section: science' <<<"$control" || fail "section"
grep -q '^Depends: .*libqt6widgets6.*libsqlite3-0' <<<"$control" ||
  fail "dependencies not computed from the binaries: $(grep Depends <<<"$control")"

# Every file an installed copy needs.
dpkg-deb -c "$deb" | sed 's/^.* \.\//\//' >"$tmp/contents"
app=org.sollumen.Sollumen
for f in /usr/bin/sollumen /usr/bin/sollumen-cli /usr/bin/tessaloader \
    "/usr/share/sollumen/template.orb" "/usr/share/sollumen/MPC (10000).db" \
    /usr/share/sollumen/Example-Earth-Mars.spc /usr/share/sollumen/MPCORB.rtf \
    /usr/share/applications/$app.desktop /usr/share/metainfo/$app.metainfo.xml \
    /usr/share/mime/packages/$app.xml /usr/share/icons/hicolor/scalable/apps/$app.svg \
    /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$app.png \
    /usr/share/man/man1/{sollumen,sollumen-cli,tessaloader}.1.gz \
    /usr/share/doc/sollumen/copyright /usr/share/doc/sollumen/changelog.gz; do
  grep -qxF "$f" "$tmp/contents" || fail "the package lacks $f"
done
! grep -v '^/usr/' "$tmp/contents" | grep -q . || fail "files outside /usr: $(grep -v '^/usr/' "$tmp/contents")"

# Unpacked into a root of its own, the programs start there.
root=$tmp/root
dpkg -x "$deb" "$root"
bin=$root/usr/bin
for p in sollumen sollumen-cli tessaloader; do
  "$bin/$p" --version | head -1 | grep -qE "^$p [0-9]+\.[0-9]+\.[0-9]+$" || fail "$p --version"
done
[ "$("$bin/sollumen-cli" date --jd 2451545)" = "$("$build/tools/sollumen-cli" date --jd 2451545)" ] ||
  fail "the packaged sollumen-cli computes differently"
for p in sollumen sollumen-cli tessaloader; do
  zcat "$root/usr/share/man/man1/$p.1.gz" | grep -q '^\.SH DESCRIPTION' || fail "manual page of $p"
done
for cmd in $("$bin/sollumen-cli" --help | sed -n '/^commands:/,$p' | awk 'NR > 1 {print $1}'); do
  zcat "$root/usr/share/man/man1/sollumen-cli.1.gz" | grep -qx "\.SS $cmd" ||
    fail "the manual page of sollumen-cli lacks the command $cmd"
done

# The orrery with a fresh home: it copies the shipped files into the user's
# data folder, opens the template and the default table there, and saves at
# exit.
home=$tmp/home
mkdir -p "$home"
env -i PATH=/usr/bin:/bin HOME="$home" QT_QPA_PLATFORM=offscreen \
  timeout 120 "$bin/sollumen" --startup-report >"$tmp/report" 2>"$tmp/report.err" ||
  { cat "$tmp/report.err" >&2; fail "sollumen --startup-report"; }
data=$home/.local/share/sollumen/
grep -qxF "program-dir $data" "$tmp/report" || fail "program directory: $(cat "$tmp/report")"
grep -qxF "document ${data}last.orb" "$tmp/report" || fail "document: $(cat "$tmp/report")"
grep -qxF "table ${data}MPC (10000).db" "$tmp/report" || fail "table: $(cat "$tmp/report")"
rows=$("$bin/sollumen-cli" table info "$data" "MPC (10000).db" | awk '$1 == "rows" {print $2}')
[ -n "$rows" ] && [ "$rows" -gt 1000 ] || fail "the default table has ${rows:-no} rows"
grep -qxF "rows $rows" "$tmp/report" || fail "the window shows other rows: $(cat "$tmp/report")"
for f in template.orb last.orb sl.ini "MPC (10000).db" Example-Earth-Mars.spc MPCORB.rtf; do
  [ -s "$data$f" ] || fail "no $f in the user's data folder"
done
cmp -s "$root/usr/share/sollumen/MPCORB.rtf" "${data}MPCORB.rtf" || fail "MPCORB.rtf differs"
head -c 6 "${data}MPCORB.rtf" | grep -qF '{\rtf1' || fail "MPCORB.rtf is no RTF file"

# The desktop's validators and the document type with its magic.
desktop-file-validate "$root/usr/share/applications/$app.desktop" || fail "desktop-file-validate"
grep -qx 'MimeType=application/x-sollumen-document;' "$root/usr/share/applications/$app.desktop" ||
  fail "the desktop entry does not open documents"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" ||
  fail "appstreamcli validate"
mime=$tmp/mimeroot
mkdir -p "$mime/empty" "$mime/files"
cp -r "$root/usr/share/mime" "$mime/mime"
update-mime-database "$mime/mime" >/dev/null 2>&1 || fail "update-mime-database"
cp "$source/tests/data/documents/doc17.orb" "$mime/files/saved"
cp "$source/tests/data/documents/doc15.orb" "$mime/files/older"
cp "$root/usr/share/icons/hicolor/scalable/apps/$app.svg" "$mime/files/picture"
type_of() {
  XDG_DATA_DIRS=$mime XDG_DATA_HOME=$mime/empty gio info -a standard::content-type "$1" |
    sed -n 's/^ *standard::content-type: //p'
}
for f in saved older; do
  [ "$(type_of "$mime/files/$f")" = application/x-sollumen-document ] ||
    fail "a document without its extension is not known by its magic ($f)"
done
[ "$(type_of "$mime/files/picture")" != application/x-sollumen-document ] ||
  fail "any file passes for a document"

# lintian: no errors (warnings are listed).
status=0
lintian --fail-on error "$deb" >"$tmp/lintian" 2>&1 || status=$?
grep -v 'running with root privileges' "$tmp/lintian" || true
[ $status -eq 0 ] || fail "lintian reports errors"
echo "package ok: $(basename "$deb")"
