#include "stats/resulttexts.h"

#include "stats/conversions.h"
#include "stats/numberformat.h"

namespace stats {

namespace {

std::string blanks(size_t count) { return std::string(count, ' '); }

const char *const kInferenceTitle = "                INFERENCIA DE PENDIENTE Y ORDENADA AL ORIGEN";
const char *const kSystematicTitle = "                EVALUACIÓN DEL ERROR SISTEMÁTICO CONSTANTE";
const char *const kUpper = "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ";
const char *const kLower = "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ";

// Lines 2 to 12 of the inference text, shared by the window and the report.
Lines inferenceBody(const RegressionResult &r, char sep)
{
    auto f = [sep](double v) { return FormatGeneral(v, 6, sep); };
    return {
        "PENDIENTE =  " + f(r.slope),
        kUpper + f(r.slopeUpperLimit),
        kLower + f(r.slopeLowerLimit),
        "t cal = " + f(r.slopeT),
        "ORDENADA AL ORIGEN = " + f(r.intercept),
        kUpper + f(r.interceptUpperLimit),
        kLower + f(r.interceptLowerLimit),
        "t cal = " + f(r.interceptT),
        "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = " + f(r.sdRegression),
        "COEFICIENTE DE VARIACIÓN = " + f(r.coefficientOfVariation),
        "COEFICIENTE DE DETERMINACIÓN (r^2) = " + FormatGeneral(r.rSquared, 8, sep),
    };
}

// The six statistics of the systematic error evaluation, or "NP" for each.
Lines recoveryStatistics(const RecoveryResult &r, bool applies, char sep)
{
    auto f = [&](double v) { return applies ? FormatGeneral(v, 6, sep) : std::string("NP"); };
    return {
        "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = " + f(r.meanRecovery),
        "DESVIACIÓN ESTÁNDAR DEL PORCENTAJE RECUPERADO = " + f(r.sdRecovery),
        "DESVIACIÓN ESTÁNDAR RELATIVA = " + f(r.rsdRecovery),
        kUpper + f(r.upperLimit),
        kLower + f(r.lowerLimit),
        "PRUEBA t DE STUDENT = " + f(r.tCalculated),
    };
}

const char *verdict(const RecoveryResult &r)
{
    return SystematicErrorPresent(r) ? "EL MÉTODO PRESENTA ERROR SISTEMÁTICO,"
                                     : "EL MÉTODO CARECE DE ERROR SISTEMÁTICO.";
}

void append(Lines &to, const Lines &from) { to.insert(to.end(), from.begin(), from.end()); }

} // namespace

Lines InferenceLines(const RegressionResult &regression, char sep)
{
    Lines lines = {kInferenceTitle, " "};
    append(lines, inferenceBody(regression, sep));
    lines.push_back("");
    lines.push_back(""); // the text box's initial empty line stays last
    return lines;
}

AnovaGrid AnovaGridCells(const AnovaResult &a, char sep)
{
    auto f = [sep](double v) { return FormatGeneral(v, 6, sep); };
    AnovaGrid g; // every cell starts empty
    g[0] = {"         FUENTE", "    GRADOS", "      SUMA", "     MEDIA", "", ""};
    g[1] = {"             DE", "        DE", "        DE", "        DE", "      fcal", "     Pfcal"};
    g[2] = {"      VARIACIÓN", "  LIBERTAD", " CUADRADOS", " CUADRADOS", "", ""};
    g[3] = {"REGRESIÓN", "1", f(a.ssRegression), f(a.msRegression), f(a.fRegression), f(a.pRegression)};
    g[4] = {"ERROR DE REGRESIÓN", f(a.dfError), f(a.ssError), f(a.msError), "", ""};
    if (a.dfPureError != 0.0) {
        g[5] = {"FALTA DE AJUSTE", f(a.dfLackOfFit), f(a.ssLackOfFit), f(a.msLackOfFit), f(a.fLackOfFit),
                f(a.pLackOfFit)};
        g[6] = {"ERROR PURO", f(a.dfPureError), f(a.ssPureError), f(a.msPureError), "", ""};
    }
    return g;
}

std::array<Lines, 4> ResidualColumns(const std::vector<ResidualRow> &table, int rows, char sep)
{
    std::array<Lines, 4> boxes = {Lines{"****", "Observación"}, Lines{"****", "Pronóstico para Y"},
                                  Lines{"****", "Residuales"}, Lines{"Residuos", "Estudentizados"}};
    for (int i = 0; i < rows && i < static_cast<int>(table.size()); ++i) {
        const ResidualRow &r = table[static_cast<size_t>(i)];
        boxes[0].push_back(blanks(11) + std::to_string(r.observation));
        boxes[1].push_back(FormatGeneral(r.predictedY, 6, sep));
        boxes[2].push_back(FormatGeneral(r.residual, 6, sep));
        boxes[3].push_back(FormatGeneral(r.studentized, 6, sep));
    }
    return boxes;
}

Lines SystematicErrorLines(const AnovaResult &anova, const RecoveryResult &recovery, char sep)
{
    const bool applies = RecoveryApplies(anova);
    Lines lines = {kSystematicTitle, " "};
    append(lines, recoveryStatistics(recovery, applies, sep));
    lines.push_back("");
    if (!applies) {
        lines.push_back("NP = NO PROCEDE");
        return lines;
    }
    lines.push_back(verdict(recovery));
    const BestWorstCase c = BestAndWorstCase(recovery);
    if (c.exists)
        lines.push_back("QUE EN EL MEJOR DE LOS CASOS ES DE UN " + FormatGeneral(c.best, 6, sep) +
                        " Y EN EL PEOR DE LOS CASOS ES DE UN " + FormatGeneral(c.worst, 6, sep));
    return lines;
}

Lines ReportLines(const StudyTexts &study, const RegressionResult &regression, const AnovaResult &a,
                  const std::vector<ResidualRow> &residuals, const RecoveryResult &recovery, char sep)
{
    auto f = [sep](double v) { return FormatGeneral(v, 6, sep); };
    Lines lines = {"LINEALIDAD DEL MÉTODO",
                   " ",
                   "Nombre del método:",
                   study.method(),
                   "Nombre del Analista:",
                   study.analyst(),
                   "Fecha:",
                   study.date(),
                   "Unidades de la cantidad adicionada:",
                   study.units(),
                   " ",
                   "Número de Niveles:",
                   study.levelCount(),
                   " ",
                   "Nivel       Replicación "};
    const int k = StrToInt(study.levelCount());
    for (int j = 1; j <= k; ++j)
        lines.push_back(std::to_string(j) + blanks(21) + study.replicateCell(j, 1));

    lines.push_back(" ");
    lines.push_back("     Nivel           X                Y ");
    const int rows = study.dataRowCount() - 1;
    for (int r = 1; r <= rows; ++r)
        lines.push_back(study.dataCell(0, r) + blanks(11) + study.dataCell(1, r) + blanks(12) + study.dataCell(2, r));

    append(lines, {" ", " ", kInferenceTitle, " "});
    append(lines, inferenceBody(regression, sep));

    append(lines, {" ", " ", "ANÁLISIS DE LA VARIANZA", " ", "FUENTE DE VARIACIÓN : REGRESIÓN",
                   "GRADOS DE LIBERTAD = 1", "SUMA DE CUADRADOS = " + f(a.ssRegression),
                   "MEDIA DE CUADRADOS = " + f(a.msRegression), "fcal = " + f(a.fRegression),
                   "Pfcal = " + f(a.pRegression), " ", "FUENTE DE VARIACIÓN : ERROR DE REGRESIÓN",
                   "GRADOS DE LIBERTAD = " + f(a.dfError), "SUMA DE CUADRADOS = " + f(a.ssError),
                   "MEDIA DE CUADRADOS = " + f(a.msError), " "});
    if (a.dfPureError != 0.0)
        append(lines, {"FUENTE DE VARIACIÓN : FALTA DE AJUSTE", "GRADOS DE LIBERTAD = " + f(a.dfLackOfFit),
                       "SUMA DE CUADRADOS = " + f(a.ssLackOfFit), "MEDIA DE CUADRADOS = " + f(a.msLackOfFit),
                       "fcal = " + f(a.fLackOfFit), "Pfcal = " + f(a.pLackOfFit), " ",
                       "FUENTE DE VARIACIÓN : ERROR PURO", "GRADOS DE LIBERTAD = " + f(a.dfPureError),
                       "SUMA DE CUADRADOS = " + f(a.ssPureError), "MEDIA DE CUADRADOS = " + f(a.msPureError),
                       " "});
    append(lines, AnovaConclusionLines(a));

    append(lines, {" ", " ", kSystematicTitle, " "});
    const bool applies = RecoveryApplies(a);
    append(lines, recoveryStatistics(recovery, applies, sep));
    lines.push_back(" ");
    if (!applies) {
        lines.push_back("NP = NO PROCEDE");
        return lines; // no residuals section when the evaluation does not apply
    }
    lines.push_back(verdict(recovery));
    const BestWorstCase c = BestAndWorstCase(recovery);
    if (SystematicErrorPresent(recovery) && c.exists) {
        lines.push_back("QUE EN EL MEJOR DE LOS CASOS ES DE UN " + f(c.best));
        lines.push_back("Y EN EL PEOR DE LOS CASOS ES DE UN " + f(c.worst));
    }

    append(lines, {" ", " ", "ANÁLISIS DE RESIDUALES", " ",
                   "Observación        Pronóstico para Y               Residuales               Residuos "
                   "Estudentizados"});
    for (int i = 0; i < rows && i < static_cast<int>(residuals.size()); ++i) {
        const ResidualRow &r = residuals[static_cast<size_t>(i)];
        lines.push_back(blanks(10) + std::to_string(r.observation) + blanks(23) + f(r.predictedY) + blanks(24) +
                        f(r.residual) + blanks(24) + f(r.studentized));
    }
    return lines;
}

Lines RegressionLegendLines(const RegressionResult &r, char sep)
{
    auto f = [sep](double v) { return FormatGeneral(v, 6, sep); };
    return {"Y = " + f(r.slope) + "(X) + (" + f(r.intercept) + ")", "Sx/y = " + f(r.sdRegression),
            "CVx/y = " + FormatGeneral(r.coefficientOfVariation, 3, sep), "(r^2) = " + f(r.rSquared)};
}

} // namespace stats
