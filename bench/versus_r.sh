#!/bin/sh
# CPU time of `linealidad --inference` and `--report` against R doing the same
# analysis (versus_r.R), pair by pair in one run: for each study and command,
# rounds of ROUNDS runs of the program then ROUNDS runs of R, alternated
# BLOCKS times, so that both meet the same load of the machine.
# Usage: versus_r.sh PROGRAM DATA_DIR [ROUNDS] [BLOCKS]
set -eu
program=$1
data=$2
rounds=${3:-20}
blocks=${4:-5}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
command -v Rscript >/dev/null || { echo "Falta Rscript (paquete r-base-core)." >&2; exit 1; }

# cpu FILE COMMAND...: runs COMMAND $rounds times, adds its user + system seconds to FILE.
cpu() {
    out=$1
    shift
    /usr/bin/time -f '%U %S' -o "$work/t" sh -c 'i=0; while [ $i -lt '"$rounds"' ]; do "$@" >/dev/null; i=$((i + 1)); done' sh "$@"
    awk '{ print $1 + $2 }' "$work/t" >>"$out"
}
sum() { awk '{ s += $1 } END { printf "%.4f", s }' "$1"; }

for study in worked-anova worked-40obs; do
    file=$data/$study.w04
    for command in inference report; do
        : >"$work/ours"
        : >"$work/r"
        b=0
        while [ $b -lt "$blocks" ]; do
            cpu "$work/ours" "$program" "--$command" "$file"
            cpu "$work/r" Rscript "$here/versus_r.R" "$command" "$file"
            b=$((b + 1))
        done
        runs=$((rounds * blocks))
        ours=$(sum "$work/ours")
        r=$(sum "$work/r")
        awk -v s="$study" -v c="$command" -v o="$ours" -v r="$r" -v n="$runs" 'BEGIN {
            printf "%-13s --%-9s linealidad %6.2f ms de CPU, R %7.2f ms: %5.1f veces menos\n",
                s, c, 1000 * o / n, 1000 * r / n, r / o }'
    done
done
