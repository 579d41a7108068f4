#include "stats/weightingtexts.h"

#include "stats/criteriatexts.h"

#include "stats/numberformat.h"

namespace stats {

namespace {

std::string number(const Real &v, char sep) { return FormatGeneral(v, 6, sep); }
std::string figure(const std::optional<Real> &v, char sep) { return v ? number(*v, sep) : "NP"; }
std::string yesNo(bool yes) { return yes ? "SÍ" : "NO"; }

const char *verdictText(VarianceVerdict v)
{
    switch (v) {
    case VarianceVerdict::Heteroscedastic:
        return "VARIANZA NO CONSTANTE (HETEROCEDÁSTICA)";
    case VarianceVerdict::Homoscedastic:
        return "VARIANZA CONSTANTE (HOMOCEDÁSTICA)";
    case VarianceVerdict::NotAssessed:
        break;
    }
    return "VARIANZA NO EVALUADA (HACEN FALTA DOS NIVELES CON 2 RÉPLICAS O MÁS Y VARIANZA EN LOS EXTREMOS)";
}

const char *ruleText(WeightRule rule)
{
    switch (rule) {
    case WeightRule::User:
        return "elegida por el analista";
    case WeightRule::SmallestRelativeError:
        return "la de menor suma de errores relativos, por ser la varianza no constante";
    case WeightRule::Homoscedastic:
        return "sin ponderar, por ser la varianza constante";
    case WeightRule::NotAssessed:
        break;
    }
    return "sin ponderar, por no poder evaluarse la varianza";
}

std::string degrees(int df1, int df2) { return std::to_string(df1) + " y " + std::to_string(df2); }

} // namespace

std::string WeightingVerdictLine(const WeightingResult &w)
{
    std::string line = verdictText(w.homogeneity.verdict);
    if (w.homogeneity.verdict != VarianceVerdict::Heteroscedastic)
        return line + ": SIN PONDERAR.";
    for (const WeightCandidate &c : w.candidates)
        if (c.rank == 1)
            line += std::string(": PONDERACIÓN RECOMENDADA ") + WeightId(c.weight) + " (MENOR SUMA DE ERRORES RELATIVOS).";
    return line;
}

Lines HomogeneityLines(const Homogeneity &h, char sep)
{
    Lines lines;
    const std::string np = "NP";
    lines.push_back("F de los extremos (ISO 8466-1): " +
                    (h.endsF ? "niveles " + std::to_string(h.endsF->lowLevel) + " y " +
                                   std::to_string(h.endsF->highLevel) + ", F = " + number(h.endsF->f, sep) +
                                   ", g.l. " + degrees(h.endsF->df1, h.endsF->df2) + ", P = " +
                                   number(h.endsF->p, sep)
                             : np));
    lines.push_back("Cochran: " + (h.cochran ? "C = " + number(h.cochran->c, sep) + ", C crítico (" + LocalDecimal("0.05", sep) + ") = " +
                                                   number(h.cochran->critical, sep) + ", nivel " +
                                                   std::to_string(h.cochran->level)
                                             : np));
    lines.push_back("Bartlett: " + (h.bartlett ? "ji cuadrada = " + number(h.bartlett->statistic, sep) + ", g.l. " +
                                                     std::to_string(h.bartlett->df) + ", P = " +
                                                     number(h.bartlett->p, sep)
                                               : np));
    auto deviation = [&](const char *label, const std::optional<DeviationTest> &t) {
        lines.push_back(std::string(label) + (t ? "F = " + number(t->f, sep) + ", g.l. " + degrees(t->df1, t->df2) +
                                                      ", P = " + number(t->p, sep)
                                                : np));
    };
    deviation("Levene (desviaciones de la media): ", h.levene);
    deviation("Brown-Forsythe (desviaciones de la mediana): ", h.brownForsythe);
    lines.push_back("Dictamen (F de los extremos, P < " + LocalDecimal("0.01", sep) + "): " + verdictText(h.verdict));
    return lines;
}

std::vector<CellRow> CandidateCells(const WeightingResult &w, char sep)
{
    std::vector<CellRow> rows = {{"Ponderación", "Pendiente", "Ordenada", "Σ|Error relativo| (%)", "Rango"}};
    for (const WeightCandidate &c : w.candidates)
        rows.push_back({WeightId(c.weight), figure(c.slope, sep), figure(c.intercept, sep),
                        figure(c.sumAbsRelativeError, sep), c.rank ? std::to_string(c.rank) : "NP"});
    return rows;
}

Lines UndefinedWeightLines(const WeightingResult &w)
{
    Lines lines;
    for (const WeightCandidate &c : w.candidates)
        if (!c.undefinedBecause.empty())
            lines.push_back(std::string(WeightId(c.weight)) + ": " + c.undefinedBecause);
    if (w.amountsAtZero == 1)
        lines.push_back("Σ|Error relativo| deja fuera 1 observación con cantidad adicionada cero: su error relativo "
                        "no está definido.");
    else if (w.amountsAtZero > 1)
        lines.push_back("Σ|Error relativo| deja fuera " + std::to_string(w.amountsAtZero) +
                        " observaciones con cantidad adicionada cero: su error relativo no está definido.");
    return lines;
}

std::string ChoiceLine(const WeightingResult &w)
{
    return std::string("PONDERACIÓN ELEGIDA: ") + WeightId(w.chosen) + " (" + ruleText(w.rule) + ")";
}

Lines WeightedLineLines(const WeightingResult &w, char sep)
{
    if (!w.weighted) {
        for (const WeightCandidate &c : w.candidates)
            if (c.weight == w.chosen)
                return {std::string("La ponderación ") + WeightId(w.chosen) + " no se puede aplicar: " +
                        c.undefinedBecause + "."};
        return {};
    }
    const WeightedLine &l = *w.weighted;
    return {"PENDIENTE = " + number(l.slope, sep),
            "ORDENADA AL ORIGEN = " + number(l.intercept, sep),
            "DESVIACIÓN ESTÁNDAR DE LA REGRESIÓN = " + number(l.sdRegression, sep),
            "ERROR ESTÁNDAR DE LA PENDIENTE = " + number(l.slopeSe, sep),
            "ERROR ESTÁNDAR DE LA ORDENADA = " + number(l.interceptSe, sep),
            "LÍMITES DE LA PENDIENTE (95 %): " + number(l.slopeLowerLimit, sep) + " a " +
                number(l.slopeUpperLimit, sep),
            "LÍMITES DE LA ORDENADA (95 %): " + number(l.interceptLowerLimit, sep) + " a " +
                number(l.interceptUpperLimit, sep),
            "t DE STUDENT (TABLA) = " + number(l.criticalT, sep)};
}

std::vector<CellRow> WeightedBackCalculationCells(const WeightedLine &l, char sep)
{
    return BackCalculationRows(l.backCalculated, sep);
}

std::vector<CellRow> WeightedLevelBiasCells(const WeightedLine &l, char sep)
{
    return LevelBiasRows(l.levelBias, "Error relativo medio (%)", sep);
}

std::vector<CellRow> DiagnosticCells(const WeightingResult &w, char sep)
{
    std::vector<CellRow> rows = {{"Obs.", "Nivel", "Apalancamiento", "Res. estudentizado", "Res. eliminado",
                                  "Distancia de Cook", "Influyente"}};
    for (const PointDiagnostic &d : w.diagnostics)
        rows.push_back({std::to_string(d.observation), std::to_string(d.level), figure(d.leverage, sep),
                        figure(d.studentized, sep), figure(d.deletedStudentized, sep), figure(d.cooksDistance, sep),
                        d.cooksDistance ? yesNo(d.influential) : "NP"});
    return rows;
}

std::vector<CellRow> GrubbsCells(const WeightingResult &w, char sep)
{
    std::vector<CellRow> rows = {{"Nivel", "Obs. sospechosa", "G", "G crítico (" + LocalDecimal("0.05", sep) + ")", "Atípico"}};
    for (const GrubbsTest &g : w.grubbs)
        rows.push_back({std::to_string(g.level), std::to_string(g.observation), figure(g.g, sep),
                        number(g.critical, sep), g.g ? yesNo(g.outlier) : "NP"});
    return rows;
}

Document WeightingDocument(const WeightingResult &w, char sep)
{
    Document document = {
        .textTitle = "              PONDERACIÓN, VARIANZA Y DATOS ATÍPICOS",
        .pageTitle = "Ponderación, Varianza y Datos Atípicos",
        .blocks = {
            {.lines = {WeightingVerdictLine(w)}},
            {.lines = {"El programa no elimina ningún dato: excluir una observación es decisión",
                       "del analista, editando el estudio."},
             .shownIn = ShownIn::PageOnly},
            {.heading = "Homogeneidad de varianzas",
             .textHeading = "1. HOMOGENEIDAD DE VARIANZAS",
             .pageHeading = PageHeading::FirstLineThenBlank,
             .lines = HomogeneityLines(w.homogeneity, sep)},
            {.heading = "Ponderaciones",
             .textHeading = "2. PONDERACIONES",
             .cells = CandidateCells(w, sep),
             .columns = {30, 95, 160, 225, 330}},
        }};
    // On the page the reasons for the undefined weights and the choice are
    // one paragraph.
    const Lines undefined = UndefinedWeightLines(w);
    if (!undefined.empty())
        document.blocks.push_back({.lines = undefined});
    document.blocks.push_back({.lines = {ChoiceLine(w)}, .gapBefore = undefined.empty() ? 1 : 0});
    document.blocks.push_back(
        {.textHeading = "3. RECTA PONDERADA (" + std::string(WeightId(w.chosen)) + ")", .lines = WeightedLineLines(w, sep)});
    if (w.weighted) {
        document.blocks.push_back({.heading = "Cálculo Inverso con la Ponderación",
                                   .textHeading = "CÁLCULO INVERSO",
                                   .cells = WeightedBackCalculationCells(*w.weighted, sep),
                                   .columns = {30, 75, 120, 200, 280},
                                   .gapBefore = 0,
                                   .startsPage = true});
        document.blocks.push_back({.heading = "Error Relativo por Nivel",
                                   .cells = WeightedLevelBiasCells(*w.weighted, sep),
                                   .columns = {30, 75, 140},
                                   .gapBefore = 2});
    }
    document.blocks.push_back({.heading = "Diagnóstico de la Recta sin Ponderar",
                               .textHeading = "4. DIAGNÓSTICO DE LA RECTA SIN PONDERAR",
                               .cells = DiagnosticCells(w, sep),
                               .columns = {30, 55, 85, 150, 225, 285, 355},
                               .gapBefore = 2,
                               .startsPage = true});
    const std::string grubbs = "PRUEBA DE GRUBBS POR NIVEL (3 RÉPLICAS O MÁS)";
    if (w.grubbs.empty())
        document.blocks.push_back(
            {.textHeading = grubbs, .lines = {"Ningún nivel tiene 3 réplicas o más."}, .shownIn = ShownIn::TextOnly});
    else
        document.blocks.push_back({.heading = "Prueba de Grubbs por Nivel",
                                   .textHeading = grubbs,
                                   .cells = GrubbsCells(w, sep),
                                   .columns = {30, 75, 150, 215, 300},
                                   .gapBefore = 2});
    document.blocks.push_back({.lines = {kNothingRemoved}, .shownIn = ShownIn::TextOnly});
    return document;
}

} // namespace stats
