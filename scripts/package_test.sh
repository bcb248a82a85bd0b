#!/usr/bin/env bash
# Builds the Debian package from a configured and built tree, unpacks it into
# an empty staging root and checks what a user installing it gets: the files
# in their places, the declared dependencies, valid launcher and metadata, a
# manual page, and a sorrel-cli that solves a design.
# Usage: scripts/package_test.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/sorrel_*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"

fail() { echo "package_test: $*" >&2; exit 1; }
app=io.github.sorrel.Sorrel
for file in usr/bin/sorrel usr/bin/sorrel-cli \
            usr/share/man/man1/sorrel-cli.1.gz \
            usr/share/doc/sorrel/copyright \
            usr/share/applications/$app.desktop \
            usr/share/metainfo/$app.metainfo.xml \
            usr/share/icons/hicolor/scalable/apps/$app.svg \
            usr/share/icons/hicolor/48x48/apps/$app.png \
            usr/share/icons/hicolor/256x256/apps/$app.png; do
    [ -f "$root/$file" ] || fail "missing /$file"
done

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6gui6 libqt6core6 qt6-qpa-plugins libc6; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done

desktop-file-validate "$root/usr/share/applications/$app.desktop"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$app.metainfo.xml" >/dev/null
zcat "$root/usr/share/man/man1/sorrel-cli.1.gz" | grep -q 'sorrel-cli' || fail "empty manual page"
if ldd "$root/usr/bin/sorrel" | grep -q 'not found'; then fail "sorrel misses a library"; fi

cli="$root/usr/bin/sorrel-cli"
"$cli" new "$work/tone.srl"
"$cli" calc "$work/tone.srl" --slot 0 | grep -q 'slot 0: 7 passes' || fail "calc did not solve slot 0"
"$cli" report "$work/tone.srl" --slot 0 | grep -q 'SORREL TONEHOLE CALCULATION RESULTS' \
    || fail "report printed nothing"
echo "package_test: $(basename "$deb") installs and runs"
