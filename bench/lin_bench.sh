#!/bin/sh
# The largest study a .lin file may hold (20 series, each 20 calibration and
# 20 validation levels of 12 points): CPU time to read and evaluate one
# series (--json --series 20) and to read and save it (--convert), each the
# median of five runs.
# Usage: lin_bench.sh PROGRAM
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
awk 'BEGIN {
    srand(41)
    printf "{\"format\": \"linealidad-estudio\", \"version\": 1, \"method\": \"M\", \"analyst\": \"A\", \"date\": \"08/12/2026\", \"units\": \"mg\", \"series\": ["
    for (s = 1; s <= 20; s++) {
        printf "%s{\"name\": \"Serie %d\"", (s > 1 ? "," : ""), s
        split("calibration validation", kinds, " ")
        for (k = 1; k <= 2; k++) {
            printf ", \"%s\": [", kinds[k]
            for (j = 1; j <= 20; j++) {
                printf "%s[", (j > 1 ? "," : "")
                for (i = 1; i <= 12; i++)
                    printf "%s{\"x\": \"%d.%03d\", \"y\": \"%.6f\"}", (i > 1 ? "," : ""), j * 10, i, j * 10 * 0.0193 + (rand() - 0.5) * 0.01
                printf "]"
            }
            printf "]"
        }
        printf "}"
    }
    print "]}"
}' >"$work/grande.lin"
echo "estudio: $(wc -c <"$work/grande.lin") bytes, 20 series x (20 + 20) niveles x 12 puntos"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
cpu() { # NAME COMMAND...: the CPU seconds (user + system) of five runs, median
    name=$1
    shift
    for i in 1 2 3 4 5; do
        rm -f "$work/copia.lin"
        /usr/bin/time -f '%U %S' -o "$work/t" "$@" >/dev/null 2>&1
        awk '{ printf "%.3f\n", $1 + $2 }' "$work/t"
    done | median | awk -v n="$name" '{ printf "%s: %s s de CPU (mediana de 5)\n", n, $1 }'
}
cpu "--json --series 20" "$program" --json "$work/grande.lin" --series 20
cpu "--report --series 20" "$program" --report "$work/grande.lin" --series 20
cpu "--convert (leer y guardar)" "$program" --convert "$work/grande.lin" --output "$work/copia.lin"
