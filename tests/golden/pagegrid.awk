# A printed page as a text grid, from `pdftotext -bbox` (run under LC_ALL=C:
# the words are UTF-8 bytes, counted here as characters).
#
# Each page is written as "--- página N" and then its lines from line 1 down,
# one row per line of the page (a row's number below the marker is the
# page's line number), each text at its column: a row is a line of 12
# points, a column 12 pixels of the 600 dpi design (1.44 points), both from
# the printable area's corner (`origin`: the 10-point margin of the
# headless commands' PDFs, as pdftotext reads it). Words up to three
# blanks apart are one text, written with as many blanks; a wider gap starts
# a new text at its own column. A text is never narrower in points than in
# columns, so two texts meet in the grid only when they overlap on the page:
# such a row ends with "  <<solapa en la columna C>>".
#
#   pdftotext -bbox page.pdf - | LC_ALL=C awk -f pagegrid.awk [-v origin=10.02]

BEGIN {
    if (origin == "") origin = 10.02
    pitch = 12; column = 1.44
    pages = 0
}

function chars(s,    t) { t = s; return length(s) - gsub(/[\200-\277]/, "", t) }

function attribute(line, name) {
    if (!match(line, name "=\"[-0-9.]+\"")) return 0
    return substr(line, RSTART + length(name) + 2, RLENGTH - length(name) - 3) + 0
}

function unescape(s) {
    gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s); gsub(/&apos;/, "'", s)
    gsub(/&#39;/, "'", s); gsub(/&amp;/, "\\&", s)
    return s
}

function nearest(v) { return v < 0 ? -int(-v + 0.5) : int(v + 0.5) }

# The page's words, a row at a time, left to right.
function flush(    l, i, j, k, row, notes, at, prev, blank, cell, text, start) {
    if (pages == 0) return
    print "--- página " pages
    for (l = (first < 1 ? first : 1); l <= last; l++) {
        # Insertion sort of the row's words by their left edge.
        k = count[l] + 0
        for (i = 2; i <= k; i++)
            for (j = i; j > 1 && x0[l, j] < x0[l, j - 1]; j--) {
                t = x0[l, j]; x0[l, j] = x0[l, j - 1]; x0[l, j - 1] = t
                t = x1[l, j]; x1[l, j] = x1[l, j - 1]; x1[l, j - 1] = t
                t = h[l, j]; h[l, j] = h[l, j - 1]; h[l, j - 1] = t
                t = w[l, j]; w[l, j] = w[l, j - 1]; w[l, j - 1] = t
            }
        row = ""; notes = ""; at = 0
        for (i = 1; i <= k; i++) {
            # A blank of Arial is a quarter of the word box's height (ascent and
            # descent): up to three blanks apart, a word goes on the same text.
            blank = 0.2487 * h[l, i]
            gap = i > 1 ? (x0[l, i] - x1[l, i - 1]) / blank : 0
            if (i > 1 && gap < 3.5) {
                if (gap < -0.1) notes = notes "  <<solapa en la columna " nearest((x0[l, i] - origin) / column) ">>"
                for (j = nearest(gap) < 1 ? 1 : nearest(gap); j > 0; j--) { row = row " "; at++ }
                row = row w[l, i]; at += chars(w[l, i])
                continue
            }
            cell = nearest((x0[l, i] - origin) / column)
            start = at + (at > 0 ? 1 : 0)
            if (cell < start) {
                notes = notes "  <<solapa en la columna " cell ">>"
                cell = start
            }
            while (at < cell) { row = row " "; at++ }
            row = row w[l, i]; at += chars(w[l, i])
        }
        print row notes
    }
    for (l = first; l <= last; l++) count[l] = 0
}

/<page / { flush(); pages++; first = 1; last = 0; next }

/<word / {
    text = $0
    sub(/^[^>]*>/, "", text); sub(/<\/word>.*$/, "", text)
    top = attribute($0, "yMin")
    l = nearest((top - origin) / pitch)
    k = ++count[l]
    x0[l, k] = attribute($0, "xMin"); x1[l, k] = attribute($0, "xMax")
    h[l, k] = attribute($0, "yMax") - top
    w[l, k] = unescape(text)
    if (l < first) first = l
    if (l > last) last = l
}

END { flush() }
