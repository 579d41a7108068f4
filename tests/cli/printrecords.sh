#!/bin/sh
# Each page of each PDF names the study by the digest sha256sum gives, with
# the right "Página i de n"; each PDF says what it is and claims PDF/A-1b;
# --json has the whole digest; --check-record tells the file a record names.
. "$(dirname "$0")/scripttest.sh"

pages() { pdfinfo "$1" | sed -n 's/^Pages: *//p'; }
check_pages() { # PDF STUDY_PART
    pages=$(pages "$1")
    [ -n "$pages" ] || { fail "$1 no se lee"; return; }
    i=1
    while [ "$i" -le "$pages" ]; do
        line=$(pdftotext -f "$i" -l "$i" -layout "$1" - | grep ' · Impreso ')
        case "$line" in
        *"$2 · linealidad "*" · Usuario "*" · Página $i de $pages") ;;
        *) fail "$1, página $i de $pages: «$line»" ;;
        esac
        i=$((i + 1))
    done
}

check_info() { # PDF TITLE AUTHOR SUBJECT
    info=$(pdfinfo "$1")
    for field in "Title:  *$2" "Author:  *$3" "Subject:  *$4" "Creator:  *linealidad [0-9.]*, revisión [0-9a-f]" \
        "CreationDate:  *[A-Z]"; do
        echo "$info" | grep -q "^$field" || fail "$1 no dice «$field»"
    done
    # The XMP an archive reads says what the document information says.
    meta=$(pdfinfo -meta "$1")
    creator=$(echo "$info" | sed -n 's/^Creator: *//p')
    for field in "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">$2</rdf:li>" "<dc:creator><rdf:Seq><rdf:li>$3</rdf:li>" \
        "<dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">$4</rdf:li>" "xmp:CreatorTool=\"$creator\"" \
        'pdfaid:part="1" pdfaid:conformance="B"'; do
        echo "$meta" | grep -q "$field" || fail "el XMP de $1 no dice «$field»"
    done
}

for entry in 'worked-anova:Ana Pérez:Valoración de paracetamol' 'worked-40obs:Marta Gil:Cinco niveles de ocho réplicas'; do
    study=${entry%%:*} analyst=$(echo "$entry" | cut -d: -f2) method=${entry##*:}
    file=$data/$study.w04
    digest=$(sha256sum "$file" | cut -c1-64)
    named="$study.w04 · SHA-256 $(echo "$digest" | cut -c1-16)"
    for page in general:Información.General inference:Inferencia.y.Anova error:Evaluación.del.Error.y.Residuales; do
        "$program" --print "${page%%:*}" "$file" --output "$work/page.pdf" || fail "--print ${page%%:*} $study"
        check_pages "$work/page.pdf" "$named"
        check_info "$work/page.pdf" "${page#*:}: $study.w04" "$analyst" "$method"
    done
    "$program" --graph residuals "$file" --output "$work/graph.pdf" || fail "--graph residuals $study"
    check_pages "$work/graph.pdf" "$named"
    check_info "$work/graph.pdf" "Gráfica de residuales: $study.w04" "$analyst" "$method"
    "$program" --graph regression "$file" --output "$work/graph.svg" &&
        grep -q "<desc>$named · linealidad " "$work/graph.svg" || fail "el SVG de $study no lleva la línea"
    "$program" --graph regression "$file" --output "$work/graph.png" &&
        grep -qa 'Description' "$work/graph.png" || fail "el PNG de $study no lleva la línea"

    "$program" --json "$file" | grep -q "^        \"sha256\": \"$digest\"," || fail "--json $study: sha256"
    "$program" --check-record "$file" "$(echo "$digest" | cut -c1-16)" >/dev/null || fail "--check-record rechaza $study"
    # A prefix is proof from the printed 16 digits on; a shorter one is no proof.
    for digits in 8 15 65; do
        "$program" --check-record "$file" "$(echo "${digest}0" | cut -c1-$digits)" >/dev/null 2>&1
        [ $? = 64 ] || fail "--check-record toma $digits cifras para $study"
    done
    "$program" --check-record "$file" "$digest" >/dev/null || fail "--check-record rechaza las 64 cifras de $study"
    changed=$(echo "$digest" | cut -c1-15)$(echo "$digest" | cut -c16 | tr '0-9a-f' '1-9a-f0')
    "$program" --check-record "$file" "$changed" >/dev/null
    [ $? = 1 ] || fail "--check-record acepta $changed para $study"
done
[ "$(pages "$work/page.pdf")" -gt 1 ] || fail "ninguna página de continuación probada"

# The dates of the Info dictionary and of the XMP are one moment, with the
# offset of local time spelt as each format spells it (a half-hour zone).
TZ=Asia/Kolkata "$program" --print general "$data/worked-anova.w04" --output "$work/zona.pdf"
raw=$(pdfinfo -rawdates "$work/zona.pdf" | sed -n "s/^CreationDate: *//p")
echo "$raw" | grep -qx "D:[0-9]\{14\}+05'30'" || fail "CreationDate «$raw»"
iso=$(echo "$raw" | sed "s/^D:\(....\)\(..\)\(..\)\(..\)\(..\)\(..\)\(...\)'\(..\)'$/\1-\2-\3T\4:\5:\6\7:\8/")
pdfinfo -meta "$work/zona.pdf" | grep -q "xmp:CreateDate=\"$iso\"" || fail "la fecha del XMP no es $iso"
"$program" --verify --output "$work/verify.pdf" >/dev/null || fail "--verify"
check_pages "$work/verify.pdf" "Estudios de referencia incorporados"
check_info "$work/verify.pdf" "Verificación de la instalación" "$(id -un)" "Linealidad del método: estudios de referencia incorporados"
[ "$(pages "$work/verify.pdf")" -gt 1 ] || fail "la verificación cabe en una página"

finish "registros correctos"
