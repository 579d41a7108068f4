#include "stats/quadratictexts.h"

#include "stats/criteriatexts.h"

#include "stats/numberformat.h"

namespace stats {

namespace {

std::string number(const Real &v, char sep) { return FormatGeneral(v, 6, sep); }
std::string number(double v, char sep) { return FormatGeneral(v, 6, sep); }
std::string figure(const Figure &v, char sep) { return v ? number(*v, sep) : "NP"; }

constexpr QuadraticField kFields[] = {
    {"c0", &QuadraticResult::c0, "Término independiente c0"},
    {"c1", &QuadraticResult::c1, "Coeficiente lineal c1"},
    {"c2", &QuadraticResult::c2, "Coeficiente cuadrático c2"},
    {"c0Se", &QuadraticResult::c0Se, "Error estándar de c0"},
    {"c1Se", &QuadraticResult::c1Se, "Error estándar de c1"},
    {"c2Se", &QuadraticResult::c2Se, "Error estándar de c2"},
    {"sdRegression", &QuadraticResult::sdRegression, "Desviación estándar residual s2"},
    {"rSquared", &QuadraticResult::rSquared, "Coeficiente de determinación r²"},
};

const char *reasonText(ChoiceReason reason)
{
    switch (reason) {
    case ChoiceReason::MandelNotSignificant:
        return "LA CURVATURA NO ES SIGNIFICATIVA (PRUEBA DE MANDEL): SE CONSERVA LA RECTA.";
    case ChoiceReason::QuadraticBetter:
        return "LA CURVATURA ES SIGNIFICATIVA Y EL MODELO CUADRÁTICO ES MONÓTONO Y SIN FALTA DE AJUSTE.";
    case ChoiceReason::QuadraticNotMonotonic:
        return "LA CURVATURA ES SIGNIFICATIVA, PERO EL MODELO CUADRÁTICO NO ES MONÓTONO EN EL INTERVALO: "
               "SE CONSERVA LA RECTA.";
    case ChoiceReason::QuadraticLackOfFit: break;
    }
    return "LA CURVATURA ES SIGNIFICATIVA, PERO EL MODELO CUADRÁTICO TIENE FALTA DE AJUSTE: SE CONSERVA LA RECTA.";
}

} // namespace

std::span<const QuadraticField> QuadraticFields() { return kFields; }

std::vector<CellRow> QuadraticAnovaCells(const QuadraticResult &q, char sep)
{
    const AnovaResult &a = q.anova;
    std::vector<CellRow> rows = {{"Fuente", "GL", "SC", "CM", "F", "P"},
                                 {"Regresión", number(a.dfRegression, sep), number(a.ssRegression, sep),
                                  number(a.msRegression, sep), number(a.fRegression, sep), number(a.pRegression, sep)},
                                 {"Error", number(a.dfError, sep), number(a.ssError, sep), number(a.msError, sep)}};
    if (HasPureError(a)) {
        rows.push_back({"Falta de ajuste", number(a.dfLackOfFit, sep), number(a.ssLackOfFit, sep),
                        number(a.msLackOfFit, sep), number(a.fLackOfFit, sep), number(a.pLackOfFit, sep)});
        rows.push_back({"Error puro", number(a.dfPureError, sep), number(a.ssPureError, sep),
                        number(a.msPureError, sep)});
    } else {
        rows.push_back({"Falta de ajuste", "NP"});
        rows.push_back({"Error puro", "NP"});
    }
    return rows;
}

std::vector<CellRow> ModelComparisonCells(const QuadraticResult &q, char sep)
{
    return {{"", "Recta", "Cuadrático"},
            {"Falta de ajuste, P", figure(q.lineLackOfFitP, sep),
             HasPureError(q.anova) ? number(q.anova.pLackOfFit, sep) : "NP"},
            {"Error estándar relativo (%)", figure(q.lineRelativeStandardError, sep),
             figure(q.relativeStandardError, sep)},
            {"Sesgo máximo de un nivel (%)", figure(q.lineLargestLevelBias, sep), figure(q.largestLevelBias, sep)}};
}

Lines ModelChoiceLines(const QuadraticResult &q, char sep)
{
    return {"Prueba de Mandel: F = " + figure(q.mandelF, sep) + ", P = " + figure(q.mandelP, sep) +
                " (curvatura significativa si P < " + number(q.limits.minMandelP, sep) + ")",
            std::string("MODELO ELEGIDO: ") + (q.model == ModelChoice::Quadratic ? "CUADRÁTICO" : "RECTA"),
            reasonText(q.reason)};
}

std::vector<CellRow> QuadraticCoefficientCells(const QuadraticResult &q, char sep)
{
    return {{"Coeficiente", "Valor", "Error estándar"},
            {"c0", number(q.c0, sep), number(q.c0Se, sep)},
            {"c1", number(q.c1, sep), number(q.c1Se, sep)},
            {"c2", number(q.c2, sep), number(q.c2Se, sep)}};
}

std::string QuadraticLegendLine(const QuadraticResult &q, char sep)
{
    return "Cuadrática: Y = " + number(q.c2, sep) + "(X²) + " + number(q.c1, sep) + "(X) + (" + number(q.c0, sep) + ")";
}

Lines QuadraticFitLines(const QuadraticResult &q, char sep)
{
    return {"Desviación estándar residual s2 = " + number(q.sdRegression, sep),
            "Coeficiente de determinación r² = " + FormatGeneral(q.rSquared, 8, sep)};
}

Lines SensitivityLines(const QuadraticResult &q, char sep)
{
    return {"Nivel más bajo, x = " + number(q.lowestLevel, sep) + ": E = " + number(q.sensitivityLow, sep),
            "Media de x, x = " + number(q.meanX, sep) + ": E = " + number(q.sensitivityMean, sep),
            "Nivel más alto, x = " + number(q.highestLevel, sep) + ": E = " + number(q.sensitivityHigh, sep),
            "Vértice = " + figure(q.vertex, sep),
            std::string("Monótono en el intervalo de los niveles: ") + (q.monotonic ? "SÍ" : "NO"),
            "Desviación estándar del procedimiento sx0 = " + figure(q.sx0, sep),
            "Coeficiente de variación del procedimiento vx0 = " + figure(q.vx0, sep) + " %"};
}

std::vector<CellRow> QuadraticBackCalculationCells(const QuadraticResult &q, char sep)
{
    return BackCalculationRows(q.backCalculated, sep);
}

std::vector<CellRow> QuadraticLevelBiasCells(const QuadraticResult &q, char sep)
{
    return LevelBiasRows(q.levelBias, "Sesgo medio (%)", sep);
}

Document QuadraticDocument(const QuadraticResult &q, char sep)
{
    if (q.notFitted)
        return {.pageTitle = "Modelo Cuadrático", .blocks = {{.lines = {q.notFitted}}}};
    return {.textTitle = "                MODELO CUADRÁTICO  y = c0 + c1·x + c2·x²",
            .pageTitle = "Modelo Cuadrático",
            .blocks = {
                {.cells = QuadraticCoefficientCells(q, sep), .columns = {30, 130, 230}},
                {.lines = QuadraticFitLines(q, sep)},
                {.heading = "Análisis de la Varianza del Modelo Cuadrático",
                 .cells = QuadraticAnovaCells(q, sep),
                 .columns = {30, 120, 150, 215, 280, 345}},
                {.heading = "Sensibilidad E(x) = c1 + 2·c2·x",
                 .textHeading = "SENSIBILIDAD E(x) = c1 + 2·c2·x",
                 .pageHeading = PageHeading::FirstLine,
                 .lines = SensitivityLines(q, sep)},
                {.heading = "Comparación con la Recta", .cells = ModelComparisonCells(q, sep), .columns = {30, 240, 330}},
                {.lines = ModelChoiceLines(q, sep)},
                {.heading = "Cálculo Inverso con el Modelo Cuadrático",
                 .cells = QuadraticBackCalculationCells(q, sep),
                 .columns = {30, 75, 120, 200, 280},
                 .gapBefore = 0,
                 .startsPage = true},
                {.heading = "Sesgo por Nivel con el Modelo Cuadrático",
                 .cells = QuadraticLevelBiasCells(q, sep),
                 .columns = {30, 75, 140},
                 .gapBefore = 2},
            }};
}

} // namespace stats
