#include "stats/samplestexts.h"

#include "stats/numberformat.h"

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

Lines SamplesLines(const DetectionResult &detection, const SamplesResult *samples, const std::string &units,
                   char sep)
{
    Lines lines = {"                MUESTRAS DESCONOCIDAS", " "};
    for (std::string &line : DetectionLines(detection, units, sep))
        lines.push_back(std::move(line));
    if (!samples)
        return lines;
    lines.push_back(" ");
    lines.push_back(SamplesHeading(*samples, detection.degreesOfFreedom, sep));
    std::vector<CellRow> rows = {SampleHeadings()};
    for (const SampleResult &s : samples->samples)
        rows.push_back(SampleCells(s, sep));
    for (std::string &line : AlignedRows(rows))
        lines.push_back(std::move(line));
    if (samples->g.compare(Rational(1)) >= 0)
        lines.push_back("INTERVALO POR INVERSIÓN NO ACOTADO: t² s² / (b² Sxx) = " + number(samples->g, sep) +
                        ", NO MENOR QUE 1.");
    return lines;
}

} // namespace stats
