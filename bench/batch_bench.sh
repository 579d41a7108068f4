#!/bin/sh
# A whole archive in one run against the shell loop of single commands that
# writes the same files: wall time, per-study cost and peak memory.
# Usage: batch_bench.sh PROGRAM DATA_DIR [STUDIES] [LOOPED]
set -u
program=$1
data=$2
studies=${3:-1000}
looped=${4:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8

make_archive() { # FOLDER COUNT: studies of 5 levels of 5 replicates, each one slightly different
    mkdir -p "$1"
    i=1
    while [ $i -le "$2" ]; do
        d=$1/$((i % 50))
        mkdir -p "$d"
        awk -v y="20.$((i % 97))" 'NR == 40 { printf "%s\r\n", y; next } { print }' \
            "$data/worked-25obs.w04" >"$d/e$i.w04"
        i=$((i + 1))
    done
}
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
now() { date +%s.%N; }

make_archive "$work/a" "$studies"
for formats in report,json,criteria report,json,criteria,graphs,pages; do
    start=$(now)
    /usr/bin/time -f '%M' -o "$work/mem" "$program" --batch "$work/a" --output "$work/out" --formats "$formats" 2>/dev/null
    end=$(now)
    echo "lote de $studies estudios, $formats: $(seconds "$start" "$end") s, pico de memoria $(($(cat "$work/mem") / 1024)) MiB"
    rm -rf "$work/out"
done

# The same files by single commands for the first $looped studies, and by
# one batch run over just those.
mkdir -p "$work/few"
find "$work/a" -name '*.w04' | head -n "$looped" | while read -r f; do cp "$f" "$work/few/"; done
for formats in report,json,criteria report,json,criteria,graphs,pages; do
    start=$(now)
    for f in "$work/few"/*.w04; do
        o=$work/loop/$(basename "$f")
        mkdir -p "$work/loop"
        "$program" --report "$f" >"$o.informe.txt"
        "$program" --json "$f" >"$o.json"
        "$program" --criteria "$f" >"$o.criterios.txt"
        case $formats in *graphs*)
            "$program" --graph regression "$f" --output "$o.regresion.pdf"
            "$program" --graph residuals "$f" --output "$o.residuales.pdf"
            for p in general inference error criteria; do "$program" --print $p "$f" --output "$o.$p.pdf"; done
        esac
    done 2>/dev/null
    loop=$(seconds "$start" "$(now)")
    start=$(now)
    "$program" --batch "$work/few" --output "$work/one" --formats "$formats" 2>/dev/null
    batch=$(seconds "$start" "$(now)")
    echo "$looped estudios, $formats: bucle de órdenes $loop s, un lote $batch s," \
        "$(awk -v l="$loop" -v b="$batch" 'BEGIN { printf "%.0f", l / b }') veces menos por estudio"
    rm -rf "$work/loop" "$work/one"
done

if [ "$studies" -lt 10000 ]; then
    make_archive "$work/big" 10000
    /usr/bin/time -f '%M' -o "$work/mem" "$program" --batch "$work/big" --output "$work/bigout" --formats report,json,criteria 2>/dev/null
    echo "lote de 10000 estudios, report,json,criteria: pico de memoria $(($(cat "$work/mem") / 1024)) MiB"
fi
