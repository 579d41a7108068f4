#include "stats/samplestexts.h"

#include "stats/numberformat.h"

#include <limits>

namespace stats {

namespace {

std::string number(const Real &v, char sep) { return FormatGeneral(v, 6, sep); }

std::string amount(const Real &v, const std::string &units, char sep)
{
    return number(v, sep) + (units.empty() ? "" : " " + units);
}

std::string interval(const Real &low, const Real &high, char sep) { return number(low, sep) + " a " + number(high, sep); }

} // namespace

Lines DetectionLines(const DetectionResult &d, const std::string &units, char sep)
{
    const DetectionTerms &t = d.terms;
    return {
        "DESVIACIÓN ESTÁNDAR DEL MÉTODO (sx0 = s/|b|) = " + amount(d.sx0, units, sep),
        "COEFICIENTE DE VARIACIÓN DEL MÉTODO (Vx0) = " + (d.vx0 ? number(*d.vx0, sep) + " %" : std::string("NP")),
        " ",
        "DIN 32645, MÉTODO DE LA RECTA DE CALIBRACIÓN (alfa = " + number(Real(t.alpha), sep) +
            ", k = " + std::to_string(t.k) + ", m = " + std::to_string(t.m) + ", f = " +
            std::to_string(d.degreesOfFreedom) + "):",
        "VALOR CRÍTICO (xNG) = " + amount(d.criticalValue, units, sep),
        "LÍMITE DE DETECCIÓN (xEG = 2 xNG) = " + amount(d.detectionLimit, units, sep),
        "LÍMITE DE CUANTIFICACIÓN (xBG, EN UN PASO) = " + amount(d.quantificationLimit, units, sep),
        "LÍMITE DE CUANTIFICACIÓN (xBG, ITERADO) = " +
            (d.quantificationLimitIterated ? amount(*d.quantificationLimitIterated, units, sep) : std::string("NP")),
        "ICH Q2(R2), DESVIACIÓN ESTÁNDAR DE LA RESPUESTA Y PENDIENTE:",
        "LÍMITE DE DETECCIÓN (3.3 s/|b|) = " + amount(d.ichLod, units, sep),
        "LÍMITE DE CUANTIFICACIÓN (10 s/|b|) = " + amount(d.ichLoq, units, sep),
    };
}

std::string SamplesHeading(const SamplesResult &s, int degreesOfFreedom, char sep)
{
    return "MUESTRAS (CONFIANZA " + number(Real(Rational(s.confidence * 100)), sep) + " %, t = " + number(s.t, sep) +
           ", f = " + std::to_string(degreesOfFreedom) + ")";
}

const CellRow &SampleHeadings()
{
    static const CellRow headings = {"Muestra", "m", "Respuesta media", "x", "Error estándar", "Intervalo",
                                     "Intervalo por inversión", "Observaciones"};
    return headings;
}

std::string SampleFlags(const SampleResult &s)
{
    std::string flags;
    if (!s.inRange)
        flags = kOutOfRangeFlag;
    if (s.belowQuantification)
        flags += (flags.empty() ? "" : "; ") + std::string(kBelowQuantificationFlag);
    return flags;
}

CellRow SampleCells(const SampleResult &s, char sep)
{
    return {s.name,
            std::to_string(s.m),
            number(s.meanResponse, sep),
            number(s.x, sep),
            number(s.se, sep),
            interval(s.lower, s.upper, sep),
            s.fiellerLower ? interval(*s.fiellerLower, *s.fiellerUpper, sep) : kUnboundedInterval,
            SampleFlags(s)};
}

Document SamplesDocument(const DetectionResult &detection, const SamplesResult *samples,
                         const std::vector<UnreadSample> &unread, const std::string &units, char sep)
{
    Document document = {.textTitle = "                MUESTRAS DESCONOCIDAS",
                         .pageTitle = "Muestras Desconocidas",
                         .blocks = {{.lines = DetectionLines(detection, units, sep)}}};
    if (!samples)
        return document;
    const std::string heading = SamplesHeading(*samples, detection.degreesOfFreedom, sep);
    const bool unbounded = samples->g.compare(Rational(1)) >= 0;

    // The text has a column for the flags; the page, too narrow for it,
    // says them under the table, with the samples that could not be read,
    // which it lists in their places.
    std::vector<CellRow> rows = {SampleHeadings()};
    for (const SampleResult &sample : samples->samples)
        rows.push_back(SampleCells(sample, sep));
    Lines text = {heading};
    for (std::string &line : AlignedRows(rows))
        text.push_back(std::move(line));
    if (unbounded)
        text.push_back("INTERVALO POR INVERSIÓN NO ACOTADO: t² s² / (b² Sxx) = " + number(samples->g, sep) +
                       ", NO MENOR QUE 1.");
    document.blocks.push_back({.lines = text, .shownIn = ShownIn::TextOnly});

    std::vector<CellRow> cells = {rows.front()};
    cells.front().pop_back();
    Lines flagged;
    auto unreadBefore = [&, next = unread.begin()](size_t read) mutable {
        for (; next != unread.end() && next->before <= read; ++next) {
            cells.push_back({next->name});
            flagged.push_back(next->name + ": NO SE PUDO CALCULAR: " + next->reason);
        }
    };
    for (size_t i = 0; i < samples->samples.size(); ++i) {
        unreadBefore(i);
        cells.push_back(rows[i + 1]);
        cells.back().pop_back();
        if (const std::string flags = SampleFlags(samples->samples[i]); !flags.empty())
            flagged.push_back(samples->samples[i].name + ": " + flags);
    }
    unreadBefore(std::numeric_limits<size_t>::max());
    document.blocks.push_back({.heading = heading,
                               .cells = cells,
                               .columns = {30, 80, 90, 150, 190, 245, 320},
                               .gapBefore = 2,
                               .shownIn = ShownIn::PageOnly});
    if (!flagged.empty()) {
        flagged.insert(flagged.begin(), "OBSERVACIONES");
        document.blocks.push_back({.lines = flagged, .shownIn = ShownIn::PageOnly});
    }
    if (unbounded)
        document.blocks.push_back(
            {.lines = {"INTERVALO POR INVERSIÓN NO ACOTADO: t² s² / (b² Sxx) NO ES MENOR QUE 1."},
             .shownIn = ShownIn::PageOnly});
    return document;
}

} // namespace stats
