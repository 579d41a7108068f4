#!/bin/sh
# Every output of the golden studies compared with its reviewed copy, as a
# readable diff: the text of every window (the headless commands print what
# the windows show), the whole JSON, each printed page as a text grid and
# each graph's layout. README.md says how to read them.
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

# A PDF's pages as text grids: a row per line of the page, a character per
# column (pagegrid.awk).
grid() {
    pdftotext -bbox "$1" - | LC_ALL=C awk -f "$here/pagegrid.awk"
}

# The grid itself first: a page whose texts hold digits, signs, decimal
# commas, accents, markup characters and double blanks must come back
# word for word at its columns, or no golden page can be trusted.
gridCheck() {
    {
        printf 'Lote 12-3  A&B <x> 0,5 mg/mL\r\nJos\351 N\372\361ez-Ib\341\361ez\r\n07/12/2026 -1\r\n'
        printf '\265g/mL 1,5 \261 0,2\r\n3\r\n2\r\n2\r\n2\r\n1\r\n1\r\n2\r\n2\r\n3\r\n\351\361e 3\r\n'
        printf -- '-0,97\r\n2,10\r\n1.000,5\r\n-2,02E-3\r\n2.95\r\n\340\351 \356\365 \374\r\n'
        printf '12345678\r\n12345678\r\n3\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n'
    } >"$work/grid.w04"
    "$program" --print general "$work/grid.w04" --output "$work/grid.pdf" >/dev/null 2>&1 &&
        grid "$work/grid.pdf" | sed -n '12,14p;16p;27,32p;60s/ · linealidad.*//p' >"$work/grid.txt"
    cat >"$work/grid.expected" <<'GRID'
                              Nombre del método: Lote 12-3  A&B <x> 0,5 mg/mL
                              Nombre del Analista: José Núñez-Ibáñez
                              Fecha: 07/12/2026 -1
                              µg/mL 1,5 ± 0,2
                                               1                    1                                       -0,97
                                               1                    1                                       2,10
                                               2                    2                                       1.000,5
                                               2                    2                                       -2,02E-3
                                               3                    3                                       2.95
                                               3                    éñe 3                                   àé îõ ü
grid.w04 · SHA-256 fb4c707f9757c724
GRID
    diff -u "$work/grid.expected" "$work/grid.txt" || { echo "la rejilla de las páginas altera sus textos"; return 1; }
}
# What changes from run to run in a record (the revision, the time of
# printing, the user) as fixed placeholders; the file's name and digest stay.
# Only an ISO 8601 time of the JSON becomes FECHA: any other shows in the diff.
normalise() {
    sed -i -e 's/revisión .* · Impreso [^ ]* [^ ]* [^ ]* · Usuario .* · Página/revisión REVISIÓN · Impreso FECHA · Usuario USUARIO · Página/' \
        -e 's/^\( *"generated": \)"[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]T[0-9][0-9]:[0-9][0-9]:[0-9][0-9][+-][0-9][0-9]:[0-9][0-9]"/\1"FECHA"/' -e 's/^\( *"revision": \)".*"/\1"REVISIÓN"/' \
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

# The outputs, as the program's usage lines list them: each command that
# reads a study alone (its text), each that also reads a samples file, each
# printed page (with a samples file where the command of its name takes one)
# and each graph. An output added to the program is written here too, and
# shows as a difference until its golden is reviewed.
usage=$("$program" --help | awk '
    /^$/ { exit }
    { sub(/^(Uso:)? +/, "") }
    $1 == "linealidad" { if (line != "") print line; line = $0; next }
    { line = line " " $0 }
    END { if (line != "") print line }')
listed() { # the outputs whose usage line `awk` selects, without their "--"
    printf '%s\n' "$usage" | awk "$1" | sed 's/^--//' | tr '\n' ' '
}
texts=$(listed '$3 == "ARCHIVO.w04" && ($4 == "" || $4 ~ /^\[/) { print $2 }')
# What takes a study of several series: the commands, their pages and graphs.
seriesTexts=$(listed '$3 == "ARCHIVO.lin" { print $2 }')
withSamples=$(listed '$3 == "ARCHIVO.w04" && $4 == "MUESTRAS.txt" { print $2 }')
pages=$(listed '$2 == "--print" { gsub(/\|/, "\n", $3); print $3 }')
graphs=$(listed '$2 == "--graph" { gsub(/\|/, "\n", $3); print $3 }')
if [ -z "$texts" ] || [ -z "$seriesTexts" ] || [ -z "$withSamples" ] || [ -z "$pages" ] || [ -z "$graphs" ]; then
    echo "no se leen las salidas en las líneas de uso del programa"
    exit 1
fi
takesSamples() {
    case " $withSamples " in *" $1 "*) return 0 ;; esac
    return 1
}
takesSeries() {
    case " $seriesTexts " in *" $1 "*) return 0 ;; esac
    return 1
}

# A graph's three goldens: its printed page and its SVG at two sizes.
graphGoldens() { # GRAPH FILE OUT
    if "$program" --graph $1 "$2" --output "$work/graph.pdf" >"$3/graph-$1-pdf.txt" 2>&1; then
        grid "$work/graph.pdf" >>"$3/graph-$1-pdf.txt"
    fi
    for size in 491x315 1473x945; do
        if "$program" --graph $1 "$2" --output "$work/graph.svg" --size $size >"$3/graph-$1-$size.txt" 2>&1; then
            layout "$work/graph.svg" >>"$3/graph-$1-$size.txt"
        fi
    done
}

# Written under tests/golden/STUDY, or compared with what is there.
review() { # STUDY OUT
    normalise "$2"/*
    sed -i "s|$data/||g" "$2"/*
    if [ "$update" = --update ]; then
        mkdir -p "$here/$1"
        cp "$2"/* "$here/$1/"
    elif ! diff -ru "$here/$1" "$2"; then
        status=1
    fi
}

gridCheck; status=$?
for study in worked-anova worked-inference worked-lackoffit worked-recovery100 worked-biased \
    worked-nodependence worked-noreplicates worked-longf worked-25obs worked-40obs worked-20levels; do
    file=$data/$study.w04
    out=$work/$study
    mkdir -p "$out"
    for command in $texts; do
        "$program" --$command "$file" >"$out/$command.txt" 2>&1
        echo "estado $?" >>"$out/$command.txt"
    done
    # The study's samples files (samples/STUDY.NAME.txt), each output
    # written as OUTPUT-NAME.txt.
    for samples in "$data/samples/$study".*.txt; do
        [ -e "$samples" ] || continue
        name=${samples##*/$study.}
        name=${name%.txt}
        for command in $withSamples; do
            "$program" --$command "$file" "$samples" >"$out/$command-$name.txt" 2>&1
            echo "estado $?" >>"$out/$command-$name.txt"
        done
        for page in $pages; do
            takesSamples $page || continue
            if "$program" --print $page "$file" "$samples" --output "$work/page.pdf" \
                >"$out/page-$page-$name.txt" 2>&1; then
                grid "$work/page.pdf" >>"$out/page-$page-$name.txt"
            fi
        done
    done
    for page in $pages; do
        takesSamples $page && continue
        takesSeries $page && continue
        if "$program" --print $page "$file" --output "$work/page.pdf" >"$out/page-$page.txt" 2>&1; then
            grid "$work/page.pdf" >>"$out/page-$page.txt"
        fi
    done
    for graph in $graphs; do
        takesSeries $graph && continue
        graphGoldens $graph "$file" "$out"
    done
    # A samples file is named as the command line gave it.
    review $study "$out"
done
# The study of several series: what takes one, and its JSON.
out=$work/perfil
mkdir -p "$out"
for command in $seriesTexts json; do
    "$program" --$command "$data/perfil.lin" >"$out/$command.txt" 2>&1
    echo "estado $?" >>"$out/$command.txt"
done
for page in $seriesTexts; do
    if "$program" --print $page "$data/perfil.lin" --output "$work/page.pdf" >"$out/page-$page.txt" 2>&1; then
        grid "$work/page.pdf" >>"$out/page-$page.txt"
    fi
done
for graph in $graphs; do
    takesSeries $graph && graphGoldens $graph "$data/perfil.lin" "$out"
done
review perfil "$out"

[ $status = 0 ] && echo "salidas idénticas a las revisadas"
exit $status
