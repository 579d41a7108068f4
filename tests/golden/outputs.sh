#!/bin/sh
# Every output of the golden studies compared with its reviewed copy, as a
# readable diff: the text of every window (the headless commands print what
# the windows show), the whole JSON, and each printed page as positioned text.
#
#   tests/golden/outputs.sh PROGRAM            compare; status 1 on any difference
#   tests/golden/outputs.sh PROGRAM --update   write the outputs as the new reviewed copies
#
# After --update, `git diff tests/golden` is what a reviewer reads.
set -u
program=$1
update=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
data=$here/../data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# A PDF page's words with their place, to a tenth of a point: a moved or
# exchanged figure shows as a changed line. The identification line, which
# is condensed to the page's width (its words' places follow its length),
# is one text.
positioned() {
    pdftotext -bbox "$1" - |
        sed -n 's/.*<page .*/--- página/p; s/.*<word xMin="\([0-9.]*\)" yMin="\([0-9.]*\)"[^>]*>\(.*\)<\/word>.*/\1 \2 \3/p' |
        awk '
            function flush() {
                for (i = 1; i <= n; i++) if (y[i] == ry) r = r (r == "" ? "" : " ") t[i]; else print l[i]
                if (r != "") print "registro\t" ry "\t" r
                n = 0; r = ""; ry = ""
            }
            /^--- / { flush(); print; next }
            {
                l[++n] = sprintf("%.1f\t%.1f\t%s", $1, $2, substr($0, index($0, $3)))
                y[n] = sprintf("%.1f", $2); t[n] = $0; sub(/^[^ ]* [^ ]* /, "", t[n])
                if (t[n] == "Impreso") ry = y[n]
            }
            END { flush() }'
}

# What changes from run to run in a record (the revision, the time of
# printing, the user) as fixed placeholders; the file's name and digest stay.
normalise() {
    sed -i -e 's/revisión .* · Impreso [^ ]* [^ ]* [^ ]* · Usuario .* · Página/revisión REVISIÓN · Impreso FECHA · Usuario USUARIO · Página/' \
        -e 's/^\( *"generated": \)".*"/\1"FECHA"/' -e 's/^\( *"revision": \)".*"/\1"REVISIÓN"/' \
        -e 's/^\( *"user": \)".*"/\1"USUARIO"/' "$@"
}

# A graph's layout from its SVG: every text with its place and size, every
# marker, line and polygon in pixels. A graph drawn upside down, a label over
# a point or a tick moved shows as a changed line.
layout() {
    tr '\n' ' ' <"$1" | sed 's/</\n</g' | sed -n \
        -e 's/^<text .* x="\([^"]*\)" y="\([^"]*\)" .*font-size="\([^"]*\)"[^>]*>\([^<]*\).*/texto \1 \2 \3 \4/p' \
        -e 's/^<circle cx="\([^"]*\)" cy="\([^"]*\)" r="\([^"]*\)".*/círculo \1 \2 \3/p' \
        -e 's/^<polyline .*points="\([^"]*\)".*/línea \1/p' \
        -e 's/^<path .* d="\([^"]*\)".*/trazo \1/p' \
        -e 's/^<desc>\([^<]*\)/descripción \1/p'
}

status=0
for study in worked-anova worked-inference worked-lackoffit worked-recovery100 worked-biased \
    worked-nodependence worked-noreplicates worked-longf worked-25obs worked-40obs worked-20levels; do
    file=$data/$study.w04
    out=$work/$study
    mkdir -p "$out"
    for command in report inference anova residuals systematic-error criteria json; do
        "$program" --$command "$file" >"$out/$command.txt" 2>&1
        echo "estado $?" >>"$out/$command.txt"
    done
    for page in general inference error criteria; do
        if "$program" --print $page "$file" --output "$work/page.pdf" >"$out/page-$page.txt" 2>&1; then
            positioned "$work/page.pdf" >>"$out/page-$page.txt"
        fi
    done
    for graph in regression residuals; do
        for size in 491x315 1473x945; do
            if "$program" --graph $graph "$file" --output "$work/graph.svg" --size $size \
                >"$out/graph-$graph-$size.txt" 2>&1; then
                layout "$work/graph.svg" >>"$out/graph-$graph-$size.txt"
            fi
        done
    done
    normalise "$out"/*
    if [ "$update" = --update ]; then
        mkdir -p "$here/$study"
        cp "$out"/* "$here/$study/"
    elif ! diff -ru "$here/$study" "$out"; then
        status=1
    fi
done
[ $status = 0 ] && echo "salidas idénticas a las revisadas"
exit $status
