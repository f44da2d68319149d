#!/usr/bin/env bash
# Builds the Debian package from this build folder and checks its files and dependencies, then
# has Debian's own checker (lintian) and the software centres' one (appstreamcli) pass it.
#   check_package.sh BUILD_DIR
set -euo pipefail
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/testownik_*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
fail=0
for f in ./usr/bin/testownik ./usr/share/testownik/test.hlp ./usr/share/testownik/koniec.html \
         ./usr/share/testownik/css/style.css ./usr/share/testownik/css/style2.css \
         ./usr/share/testownik/pomoc/editor.png \
         ./usr/share/applications/testownik.desktop ./usr/share/icons/hicolor/64x64/apps/testownik.png \
         ./usr/share/icons/hicolor/256x256/apps/testownik.png ./usr/share/doc/testownik/copyright \
         ./usr/share/doc/testownik/changelog.gz ./usr/share/man/man1/testownik.1.gz \
         ./usr/share/metainfo/org.example.testownik.metainfo.xml; do
    grep -qxF "$f" <<<"$files" || { echo "missing from the package: $f"; fail=1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6; do
    grep -q "$lib" <<<"$depends" || { echo "Depends lacks $lib: $depends"; fail=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = testownik ] || { echo "wrong package name"; fail=1; }
# The menu entry must be valid and name the installed program and icon.
dpkg-deb -x "$deb" "$out/root"
entry="$out/root/usr/share/applications/testownik.desktop"
grep -qx 'Exec=testownik' "$entry" && grep -qx 'Icon=testownik' "$entry" && grep -q '^Name\[pl\]=' "$entry" \
    && grep -q '^Comment\[pl\]=' "$entry" || { echo "bad desktop entry"; fail=1; }
# Both licences, ours and the icons', are named in the machine-readable copyright file.
grep -qx 'License: GPL-3+' "$out/root/usr/share/doc/testownik/copyright" \
    && grep -qx 'License: public-domain' "$out/root/usr/share/doc/testownik/copyright" \
    || { echo "copyright does not name GPL-3+ and public-domain"; fail=1; }
# Any error or warning fails; --allow-root silences only lintian's notice that it runs as root.
report=$(lintian --allow-root --fail-on error,warning "$deb" 2>&1) && [ -z "$report" ] \
    || { echo "lintian: $report"; fail=1; }
appstreamcli validate --no-net "$out/root/usr/share/metainfo/org.example.testownik.metainfo.xml" \
    && appstreamcli validate-tree --no-net "$out/root" || fail=1
[ "$fail" = 0 ] && echo "package ok: $(basename "$deb"), Depends: $depends"
exit "$fail"
