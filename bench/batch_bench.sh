#!/bin/sh
# A whole archive in one run against the shell loop of single commands that
# writes the same files: wall time, CPU time, per-study cost and peak memory.
# Usage: batch_bench.sh PROGRAM DATA_DIR [STUDIES] [LOOPED]
# The work folder is made under $TMPDIR (/tmp by default) and removed at the
# end. On an ext4 without a journal, a file created in a block group where
# many files were deleted in the last minutes costs up to ten times more (the
# allocator steps over recently freed inodes one by one): after a build or an
# earlier run, /tmp's groups are full of them. So the work folder spreads its
# folders over fresh groups as top-level ones are (chattr +T), and outputs
# stay until the end, so that one run's deletions never slow the next.
set -u
program=$1
data=$2
studies=${3:-1000}
looped=${4:-100}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chattr +T "$work" 2>/dev/null || true
export LC_ALL=C.UTF-8
echo "carpeta de trabajo: $work ($(df -T "$work" | awk 'NR == 2 { print $2 }')), $(nproc) núcleos"

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
now() { date +%s.%N; }
# timed NAME COMMAND...: runs it; $wall, $cpu (user + system) and $peak (MiB) after.
timed() {
    name=$1
    shift
    start=$(now)
    /usr/bin/time -f '%U %S %M' -o "$work/$name.time" "$@" >/dev/null 2>&1
    wall=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }')
    cpu=$(awk '{ printf "%.2f", $1 + $2 }' "$work/$name.time")
    peak=$(awk '{ printf "%d", $3 / 1024 }' "$work/$name.time")
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", a / b }'; }
per() { awk -v t="$1" -v n="$2" 'BEGIN { printf "%.1f", 1000 * t / n }'; }

make_archive "$work/a" "$studies"
mkdir -p "$work/few"
find "$work/a" -name '*.w04' | sort | head -n "$looped" | while read -r f; do cp "$f" "$work/few/"; done

# The shell loop: every output by its own single command.
loop() { # FORMATS OUT
    mkdir -p "$2"
    for f in "$work/few"/*.w04; do
        o=$2/$(basename "$f")
        "$program" --report "$f" >"$o.informe.txt"
        "$program" --json "$f" >"$o.json"
        "$program" --criteria "$f" >"$o.criterios.txt"
        case $1 in *graphs*)
            "$program" --graph regression "$f" --output "$o.regresion.pdf"
            "$program" --graph residuals "$f" --output "$o.residuales.pdf"
            for p in general inference error criteria; do "$program" --print $p "$f" --output "$o.$p.pdf"; done
        esac
    done
}

n=0
for formats in report,json,criteria report,json,criteria,graphs,pages; do
    n=$((n + 1))
    timed lote$n "$program" --batch "$work/a" --output "$work/out$n" --formats "$formats"
    big=$wall
    echo "lote de $studies estudios, $formats: $wall s ($(per "$wall" "$studies") ms por estudio)," \
        "CPU $cpu s, pico de memoria $peak MiB"
    start=$(now)
    loop "$formats" "$work/loop$n" 2>/dev/null
    looptime=$(awk -v a="$start" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }')
    timed uno$n "$program" --batch "$work/few" --output "$work/one$n" --formats "$formats"
    echo "  los mismos archivos de $looped estudios: bucle de órdenes $looptime s" \
        "($(per "$looptime" "$looped") ms por estudio), un lote $wall s;" \
        "por estudio $(ratio "$(per "$looptime" "$looped")" "$(per "$wall" "$looped")") veces menos" \
        "(contra el lote de $studies: $(ratio "$(per "$looptime" "$looped")" "$(per "$big" "$studies")") veces)"
done

if [ "$studies" -lt 10000 ]; then
    make_archive "$work/big" 10000
    timed diezmil "$program" --batch "$work/big" --output "$work/bigout" --formats report,json,criteria
    echo "lote de 10000 estudios, report,json,criteria: $wall s, pico de memoria $peak MiB"
fi
