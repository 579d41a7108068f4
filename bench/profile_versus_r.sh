#!/bin/sh
# CPU time of `linealidad --profile` (all seven calibration models) against R
# computing the same seven profiles (profile_versus_r.R), on a study of 3
# series with 6 calibration levels of 2 points and 4 validation levels of 4:
# rounds of ROUNDS runs of each, alternated BLOCKS times so that both meet
# the same load of the machine. The two agree to 10 digits
# (tests/cli/profile_test.cpp).
# Usage: profile_versus_r.sh PROGRAM DATA_DIR [ROUNDS] [BLOCKS]
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
csv=$data/perfil.csv
"$program" --import "$csv" --output "$work/perfil.lin" --method M --analyst A --date 09/12/2026 --units mg

cpu() { # FILE COMMAND...: adds the user + system seconds of $rounds runs to FILE
    out=$1
    shift
    /usr/bin/time -f '%U %S' -o "$work/t" sh -c 'i=0; while [ $i -lt '"$rounds"' ]; do "$@" >/dev/null; i=$((i + 1)); done' sh "$@"
    awk '{ print $1 + $2 }' "$work/t" >>"$out"
}
sum() { awk '{ s += $1 } END { printf "%.4f", s }' "$1"; }
: >"$work/ours"
: >"$work/r"
b=0
while [ $b -lt "$blocks" ]; do
    cpu "$work/ours" "$program" --profile "$work/perfil.lin"
    cpu "$work/r" Rscript "$here/profile_versus_r.R" "$csv"
    b=$((b + 1))
done
runs=$((rounds * blocks))
awk -v o="$(sum "$work/ours")" -v r="$(sum "$work/r")" -v n="$runs" 'BEGIN {
    printf "perfil 3x(6x2 + 4x4) --profile, 7 modelos: linealidad %6.2f ms de CPU, R %7.2f ms: %5.1f veces menos\n",
        1000 * o / n, 1000 * r / n, r / o }'
