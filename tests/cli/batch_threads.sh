#!/bin/sh
# A batch run with every format over an archive large enough to keep every
# worker busy at once, for a program built with ThreadSanitizer (make
# sanitize): no data race reported, and the run itself correct.
. "$(dirname "$0")/scripttest.sh"

mkdir -p "$work/archivo"
for copy in 1 2 3 4 5 6; do
    for study in "$data"/worked-*.w04; do
        cp "$study" "$work/archivo/$(basename "$study" .w04)-$copy.w04"
    done
done
printf '{"minR": 0.9999, "maxLevelBias": 1.5}' >"$work/limites.json"
TSAN_OPTIONS="halt_on_error=0 exitcode=66 report_signal_unsafe=0" QT_QPA_PLATFORM=offscreen \
    "$program" --batch "$work/archivo" --output "$work/salida" --formats report,json,criteria,graphs,pages \
    --limits "$work/limites.json" --target 2 2>"$work/err"
status=$?
grep -q 'ThreadSanitizer' "$work/err" && fail "carreras de datos: $(grep -c 'WARNING: ThreadSanitizer' "$work/err")"
[ $status = 0 ] || [ $status = 2 ] || fail "estado $status: $(tail -3 "$work/err")"
[ "$(ls "$work/salida/archivo" | wc -l)" -gt 500 ] || fail "faltan salidas"
finish "lote en paralelo sin carreras"
