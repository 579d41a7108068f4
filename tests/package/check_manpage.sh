#!/bin/sh
# The manual page says what --help says: rendered by man without a warning,
# with every word of the help (commands, options, exit statuses) in it.
# Usage: check_manpage.sh BUILD_DIR
build=$1
page=$build/linealidad.1.gz
[ -f "$page" ] || { echo "falta $page"; exit 1; }
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 MANWIDTH=80
"$build/linealidad" --help >"$work/help" || { echo "--help falló"; exit 1; }
man --warnings -E UTF-8 -l "$page" >"$work/page" 2>"$work/warnings" || { echo "man falló"; exit 1; }
if [ -s "$work/warnings" ]; then echo "man avisa:"; cat "$work/warnings"; exit 1; fi
words() { sed 's/^Uso: //' "$1" | tr -s ' \t|[]();:,' '\n\n\n\n\n\n\n\n\n' | sed 's/\.$//' | tr 'A-Z' 'a-z' | grep -v '^$' | sort -u; }
words "$work/help" >"$work/help.words"
words "$work/page" >"$work/page.words"
missing=$(comm -23 "$work/help.words" "$work/page.words")
if [ -n "$missing" ]; then echo "palabras de --help que no están en el manual:"; echo "$missing"; exit 1; fi
for status in 0 1 2 64; do
  sed -n '/^ESTADO DE SALIDA/,$p' "$work/page" | grep -q "^ *$status  " ||
    { echo "el manual no explica el estado de salida $status"; exit 1; }
done
echo "el manual coincide con --help"
