#!/bin/sh
# A batch run over an archive with refused and unreadable studies mixed in:
# one summary row each with the right state and message, the numbers and
# digests --json and sha256sum give, every asked file as the single command
# writes it, the exit statuses, no temporary after a run killed mid-way,
# and progress on a terminal only.
. "$(dirname "$0")/scripttest.sh"

# Studies of our own: the worked study with its first amount recovered
# changed, in two folders; one refused and one unreadable among them.
archive=$work/archivo
mkdir -p "$archive/a" "$archive/b/c"
i=1
while [ $i -le 24 ]; do
    folder=$archive/a
    [ $i -gt 12 ] && folder=$archive/b/c
    awk -v y="1.0$i" 'NR == 15 { printf "%s\r\n", y; next } { print }' "$data/worked-anova.w04" >"$folder/s$i.w04"
    i=$((i + 1))
done
sed '1s/lote con/lote "B" con/' "$data/worked-biased.w04" >"$archive/a/coma.W04" # a method with a comma and quotes
cp "$data/worked-20levels.w04" "$archive/b/rechazado.w04"
printf 'no es un estudio\r\n' >"$archive/b/ilegible.w04"
echo "no es un estudio" >"$archive/b/notas.txt" # not a study name: not found

out=$work/salida
"$program" --batch "$archive" --output "$out" --formats report,json,criteria,quadratic 2>"$work/err" >"$work/stdout"
[ $? = 1 ] || fail "con un estudio ilegible el estado no es 1"
[ -s "$work/stdout" ] && fail "la salida estándar no está vacía"
grep -q '^27 estudios en .* s: 25 correctos, 1 rechazados, 1 con error. Resumen: ' "$work/err" ||
    fail "resumen final: $(cat "$work/err")"
[ "$(wc -l <"$work/err")" = 1 ] || fail "en una tubería se escribe más que el resumen: $(cat "$work/err")"

csv=$out/resumen.csv
[ "$(head -1 "$csv" | tr -d '\r')" = "archivo,sha256,estado,mensaje,metodo,analista,fecha,unidades,niveles,n,pendiente,ordenada,r2,syx,cv,significacion,ajuste_lineal,error_sistematico,criterios,homocedasticidad,ponderacion,sx0,vx0,limite_cuantificacion,modelo,perfil_modelo,perfil_lic,perfil_lsc,perfil_valido" ] ||
    fail "cabecera: $(head -1 "$csv")"
[ "$(wc -l <"$csv")" = 28 ] || fail "filas: $(wc -l <"$csv")"
grep -qv "$(printf '\r')$" "$csv" && fail "una línea sin CRLF"
tail -n +2 "$csv" | cut -d, -f1 | tr -d '\r' >"$work/names"
sort -c "$work/names" 2>/dev/null || fail "filas no ordenadas por archivo"
# A whole row: the quoted method (its quotes doubled), then every column the study's JSON has.
coma="archivo/a/coma.W04,$(sha256sum "$archive/a/coma.W04" | cut -c1-64),correcto,,\"Valoracion de hierro, lote \"\"B\"\" con sesgo\",Marta Gil,08/12/2026,mg,3,6,0.9575,0,0.999856860473042,0.0114564392373896,0.5982474797592481,highly_significant,adequate,present,fail,homoscedastic,none,0.011964949595184961,0.5982474797592481,0.2324574927956734,linear,,,,"
[ "$(grep '^archivo/a/coma.W04,' "$csv" | tr -d '\r')" = "$coma" ] || fail "fila del método con coma y comillas: $(grep '^archivo/a/coma' "$csv")"
grep -q "^archivo/b/rechazado.w04,[0-9a-f]*,rechazado,\"Datos fuera de rango, 3-5 Niveles\",Veinte niveles" "$csv" ||
    fail "fila del estudio rechazado"
grep -q "^archivo/b/ilegible.w04,[0-9a-f]*,error,.*,,,,,,,,,,,,,,,,,,,,,$(printf '\r')$" "$csv" ||
    fail "fila del estudio ilegible"

# Each correct row against --json and sha256sum; each file against its command.
json_number() { sed -n "s/^ *\"$2\": \\([^,]*\\),\\{0,1\\}$/\\1/p" "$1" | head -1; }
for name in archivo/a/s1.w04 archivo/a/s7.w04 archivo/b/c/s24.w04 archivo/a/coma.W04; do
    study=$work/${name}
    row=$(grep "^$name," "$csv" | tr -d '\r')
    [ "$(echo "$row" | cut -d, -f2)" = "$(sha256sum "$study" | cut -c1-64)" ] || fail "$name: sha256"
    "$program" --json "$study" >"$work/single.json"
    slope=$(sed -n '/"regression"/,/}/p' "$work/single.json" | json_number /dev/stdin slope)
    r2=$(sed -n '/"regression"/,/}/p' "$work/single.json" | json_number /dev/stdin rSquared)
    case "$row" in
    *",$slope,"*",$r2,"*) ;;
    *) fail "$name: pendiente o r2 distintos de --json ($slope, $r2): $row" ;;
    esac
    grep -v '"generated"' "$work/single.json" >"$work/a"
    grep -v '"generated"' "$out/$name.json" >"$work/b"
    cmp -s "$work/a" "$work/b" || fail "$name.json no es lo que escribe --json"
    "$program" --report "$study" | cmp -s - "$out/$name.informe.txt" || fail "$name: informe distinto"
    "$program" --criteria "$study" | cmp -s - "$out/$name.criterios.txt" || fail "$name: criterios distintos"
    "$program" --quadratic "$study" | cmp -s - "$out/$name.cuadratico.txt" || fail "$name: modelo cuadrático distinto"
    model=$(sed -n '/"choice"/,/}/p' "$work/single.json" | sed -n 's/^ *"model": "\(.*\)",\{0,1\}$/\1/p')
    # The quadratic model's column, before the profile's (empty for a .w04 study).
    beforeProfile=${row%,,,,}
    [ -n "$model" ] && [ "${beforeProfile##*,}" = "$model" ] || [ "$name" = archivo/a/coma.W04 ] ||
        fail "$name: modelo distinto de --json ($model): $row"
done
[ -e "$out/archivo/b/rechazado.w04.informe.txt" ] && fail "informe escrito de un estudio rechazado"
[ -e "$out/archivo/b/notas.txt.json" ] && fail "se evaluó un archivo que no es .w04"

# Exit statuses: all correct 0, some refused 2, bad arguments 64, an output
# folder that cannot be written 1 before any work.
"$program" --batch "$archive/a" --output "$work/s0" 2>/dev/null; [ $? = 0 ] || fail "todos correctos: estado no 0"
"$program" --batch "$archive/a" "$archive/b/rechazado.w04" --output "$work/s2" 2>/dev/null
[ $? = 2 ] || fail "con un rechazado: estado no 2"
"$program" --batch "$archive" --output "$work/s64" --formats report,pdf 2>"$work/err"; status=$?
[ $status = 64 ] && grep -q 'Formato desconocido en --formats: «pdf»' "$work/err" || fail "formato desconocido: $status"
[ -e "$work/s64" ] && fail "un uso incorrecto creó la carpeta de salida"
# A list that ends in a comma, or no list at all, lacks a format.
for formats in "report," ""; do
    "$program" --batch "$archive" --output "$work/s64" --formats "$formats" 2>"$work/err"; status=$?
    [ $status = 64 ] && grep -q 'Falta un formato en --formats\.' "$work/err" ||
        fail "lista de formatos «$formats»: $status $(cat "$work/err")"
done
[ -e "$work/s64" ] && fail "un uso incorrecto creó la carpeta de salida"
"$program" --batch "$archive" 2>/dev/null; [ $? = 64 ] || fail "sin --output: estado no 64"
touch "$work/archivo-no-carpeta"
"$program" --batch "$archive" --output "$work/archivo-no-carpeta" 2>"$work/err"; status=$?
[ $status = 1 ] && grep -q '«.*archivo-no-carpeta»: ya hay un archivo con ese nombre\.' "$work/err" ||
    fail "salida que no es carpeta: $status $(cat "$work/err")"
[ -s "$work/archivo-no-carpeta" ] && fail "la salida que no es carpeta cambió"

# Two PATHs with the same last name never share an output.
mkdir -p "$work/x/lote" "$work/y/lote"
cp "$archive/a/s1.w04" "$work/x/lote/"; cp "$archive/a/s2.w04" "$work/y/lote/s1.w04"
"$program" --batch "$work/x/lote" "$work/y/lote" --output "$work/dup" --formats json 2>/dev/null
[ -e "$work/dup/lote/s1.w04.json" ] && [ -e "$work/dup/lote~2/s1.w04.json" ] || fail "nombres repetidos"

# Graphs and pages: the text of each PDF is that of the single command's.
mkdir -p "$work/dos"
cp "$archive/a/s1.w04" "$archive/a/coma.W04" "$work/dos/"
"$program" --batch "$work/dos" --output "$work/pdf" --formats graphs,pages,criteria,weighting,quadratic 2>/dev/null ||
    fail "gráficas y páginas: estado $?"
"$program" --weighting "$work/dos/s1.w04" | cmp -s - "$work/pdf/dos/s1.w04.ponderacion.txt" ||
    fail "ponderacion.txt no es lo que escribe --weighting"
for outputs in "graph regression regresion" "graph residuals residuales" "print general general" \
    "print inference inferencia" "print error error" "print criteria criterios" "print weighting ponderacion" "print quadratic cuadratico"; do
    set -- $outputs
    "$program" --"$1" "$2" "$work/dos/s1.w04" --output "$work/single.pdf" 2>/dev/null
    pdftotext -layout "$work/single.pdf" - | grep -v ' · Impreso ' >"$work/a"
    pdftotext -layout "$work/pdf/dos/s1.w04.$3.pdf" - 2>/dev/null | grep -v ' · Impreso ' >"$work/b"
    [ -s "$work/a" ] && cmp -s "$work/a" "$work/b" || fail "$3.pdf no es lo que escribe --$1 $2"
done

# Every format with a target and limits of its own: each study file and the
# limits file are opened once, and the criteria of the text, the JSON and
# the page are those the single commands judge with the same options.
printf '{"minR": 0.9999, "maxLevelBias": 1.5}' >"$work/limites.json"
strace -f -qq -e trace=open,openat -o "$work/trace" "$program" --batch "$work/dos" --output "$work/todo" \
    --formats report,json,criteria,graphs,pages --limits "$work/limites.json" --target 1.5 2>/dev/null
[ $? -le 2 ] || fail "todos los formatos con --limits y --target"
for file in "$work/dos/s1.w04" "$work/dos/coma.W04" "$work/limites.json"; do
    opens=$(grep -c "\"$file\"" "$work/trace")
    [ "$opens" = 1 ] || fail "$file se abre $opens veces"
done
options="--limits $work/limites.json --target 1.5"
"$program" --criteria "$work/dos/s1.w04" $options >"$work/a" 2>/dev/null
cmp -s "$work/a" "$work/todo/dos/s1.w04.criterios.txt" || fail "criterios.txt no es lo que escribe --criteria"
grep -q '1.5' "$work/a" && grep -q 'NO CUMPLE' "$work/a" || fail "los criterios no usan T y los límites dados"
"$program" --json "$work/dos/s1.w04" $options 2>/dev/null | grep -v '"generated"' >"$work/a"
grep -v '"generated"' "$work/todo/dos/s1.w04.json" | cmp -s "$work/a" - || fail "el JSON no es lo que escribe --json"
"$program" --print criteria "$work/dos/s1.w04" --output "$work/single.pdf" $options 2>/dev/null
pdftotext -layout "$work/single.pdf" - | grep -v ' · Impreso ' >"$work/a"
pdftotext -layout "$work/todo/dos/s1.w04.criterios.pdf" - | grep -v ' · Impreso ' >"$work/b"
cmp -s "$work/a" "$work/b" && grep -q '0.9999' "$work/b" || fail "la página de criterios no es la de --print criteria"
# The page lists the limits it judged against: those the text lists.
sed -n '/^LÍMITES UTILIZADOS/,/^ $/p' "$work/todo/dos/s1.w04.criterios.txt" | grep ' = ' >"$work/limits"
[ "$(grep -cF -f "$work/limits" "$work/b")" = 9 ] || fail "la página de criterios no lista los límites con que juzga"

# Killed mid-way: every file left is whole and named as an output. The
# signal goes as soon as the run has written its first page, however fast
# the machine, so that most of the archive is still to do.
started() { # FOLDER: waits (up to a minute) for the run's first PDF there
    tries=0
    while [ -z "$(find "$1" -name '*.pdf' 2>/dev/null | head -1)" ] && [ $tries -lt 1200 ]; do
        sleep 0.05
        tries=$((tries + 1))
    done
}
i=1
while [ $i -le 150 ]; do cp "$archive/a/s1.w04" "$archive/a/k$i.w04"; i=$((i + 1)); done
"$program" --batch "$archive" --output "$work/kill" --formats pages 2>/dev/null &
pid=$!
started "$work/kill"
kill -9 $pid 2>/dev/null
wait $pid 2>/dev/null
[ -e "$work/kill/resumen.csv" ] && fail "el resumen se escribió antes de acabar"
left=$(find "$work/kill" -type f ! -name '*.pdf' | head -3)
[ -z "$left" ] || fail "archivos temporales tras matar el lote: $left"

# Interrupted: the studies under way finish, the rest are told as not
# evaluated, and the summary is written.
"$program" --batch "$archive" --output "$work/int" --formats pages 2>"$work/err" &
pid=$!
started "$work/int"
kill -INT $pid
wait $pid
[ $? = 1 ] || fail "un lote interrumpido no acaba con estado 1"
grep -q '^Evaluación cancelada: ' "$work/err" || fail "sin aviso de cancelación: $(cat "$work/err")"
grep -q ',error,No evaluado: se canceló la evaluación.,' "$work/int/resumen.csv" || fail "filas sin evaluar"
[ "$(wc -l <"$work/int/resumen.csv")" = 178 ] || fail "filas del lote interrumpido: $(wc -l <"$work/int/resumen.csv")"

# Progress: a line kept up to date on a terminal, nothing of it on a pipe.
script -qec "'$program' --batch '$archive/a' --output '$work/tty' --formats json" /dev/null >"$work/tty.txt" </dev/null
grep -q 'Evaluados [0-9]* de 163' "$work/tty.txt" || fail "sin progreso en un terminal"
"$program" --batch "$archive/a" --output "$work/pipe" --formats json 2>&1 | grep -q 'Evaluados' &&
    fail "progreso en una tubería"

finish "lotes correctos"
