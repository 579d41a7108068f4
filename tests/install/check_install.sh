#!/bin/sh
# Installs the build into a fresh prefix and checks that the installed
# program stands on its own: every file in its place, the desktop files
# valid, the core and the window library found from the installed paths.
set -eu
build=$1
data=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

id=com.ostrevia.Linealidad
for file in bin/linealidad lib/linealidad/liblinealidad_core.so lib/linealidad/liblinealidad_gui.so \
            share/linealidad/AYUDA4.HLP share/applications/$id.desktop share/mime/packages/$id.xml \
            share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
            share/icons/hicolor/16x16/apps/$id.png share/icons/hicolor/256x256/apps/$id.png; do
    [ -f "$prefix/$file" ] || { echo "no se instaló $file"; exit 1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null
grep -q 'glob pattern="\*.W04"' "$prefix/share/mime/packages/$id.xml"
# .lin studies are the program's too: their type, opened by the same entry.
grep -q 'glob pattern="\*.lin"' "$prefix/share/mime/packages/$id.xml"
grep -q '^MimeType=.*application/x-linealidad-series;' "$prefix/share/applications/$id.desktop"

# The text commands run from the installed tree alone.
"$prefix/bin/linealidad" --inference "$data/worked-anova.w04" | grep -q "PENDIENTE =  1.0025"
# The verification carries its reference studies: it passes far from the sources.
(cd / && "$prefix/bin/linealidad" --verify | tail -n 1 | grep -q "^Verificación correcta: ")
# The windows load from ../lib/linealidad: still running after two seconds.
status=0
QT_QPA_PLATFORM=offscreen timeout 2 "$prefix/bin/linealidad" "$data/worked-anova.w04" >/dev/null 2>&1 || status=$?
[ "$status" = 124 ] || { echo "las ventanas instaladas no arrancan (estado $status)"; exit 1; }
echo "instalación correcta"
