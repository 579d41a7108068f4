#include "stats/resulttexts.h"

#include "stats/conversions.h"
#include "stats/numberformat.h"
#include "stats/resultfields.h"

namespace stats {

namespace {

std::string blanks(size_t count) { return std::string(count, ' '); }

const char *const kInferenceTitle = "                INFERENCIA DE PENDIENTE Y ORDENADA AL ORIGEN";
const char *const kSystematicTitle = "                EVALUACIÓN DEL ERROR SISTEMÁTICO CONSTANTE";

// The labelled fields of a record, a line each: lines 2 to 12 of the
// inference text, the statistics of the systematic error evaluation ("NP"
// for each where it does not apply).
template <class Record>
Lines fieldLines(const Record &r, std::span<const ResultField<Record>> fields, char sep, bool applies = true)
{
    Lines lines;
    for (const ResultField<Record> &f : fields)
        if (f.label)
            lines.push_back(f.label + (applies ? FormatGeneral(r.*f.member, f.digits, sep) : std::string("NP")));
    return lines;
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
    append(lines, fieldLines(regression, RegressionFields(), sep));
    lines.push_back("");
    lines.push_back(""); // the text box's initial empty line stays last
    return lines;
}

AnovaGrid AnovaGridCells(const AnovaResult &a, char sep)
{
    auto f = [sep](const Real &v) { return FormatGeneral(v, 6, sep); };
    AnovaGrid g; // every cell starts empty
    g[0] = {"         FUENTE", "    GRADOS", "      SUMA", "     MEDIA", "", ""};
    g[1] = {"             DE", "        DE", "        DE", "        DE", "      fcal", "     Pfcal"};
    g[2] = {"      VARIACIÓN", "  LIBERTAD", " CUADRADOS", " CUADRADOS", "", ""};
    for (const AnovaField &field : AnovaFields()) {
        const AnovaSource &source = AnovaSources()[field.source];
        if (!SourceShown(source, a))
            continue;
        std::array<std::string, 6> &row = g[3 + field.source];
        row[0] = source.label;
        row[1 + field.column] = f(a.*field.member);
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
        for (size_t c = 0; c < ResidualFields().size(); ++c)
            boxes.at(c + 1).push_back(FormatGeneral(r.*ResidualFields()[c].member, ResidualFields()[c].digits, sep));
    }
    return boxes;
}

Lines SystematicErrorLines(const AnovaResult &anova, const RecoveryResult &recovery, char sep)
{
    const bool applies = RecoveryApplies(anova);
    Lines lines = {kSystematicTitle, " "};
    append(lines, fieldLines(recovery, RecoveryFields(), sep, applies));
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
    auto f = [sep](const Real &v) { return FormatGeneral(v, 6, sep); };
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
    append(lines, fieldLines(regression, RegressionFields(), sep));

    append(lines, {" ", " ", "ANÁLISIS DE LA VARIANZA", " "});
    for (int s = 0; s < static_cast<int>(AnovaSources().size()); ++s) {
        if (!SourceShown(AnovaSources()[s], a))
            continue;
        lines.push_back(std::string("FUENTE DE VARIACIÓN : ") + AnovaSources()[s].label);
        for (const AnovaField &field : AnovaFields())
            if (field.source == s)
                lines.push_back(AnovaColumns()[field.column].label + f(a.*field.member));
        lines.push_back(" ");
    }
    append(lines, AnovaConclusionLines(a));

    append(lines, {" ", " ", kSystematicTitle, " "});
    const bool applies = RecoveryApplies(a);
    append(lines, fieldLines(recovery, RecoveryFields(), sep, applies));
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
        std::string line = blanks(10) + std::to_string(r.observation) + blanks(23);
        for (size_t c = 0; c < ResidualFields().size(); ++c)
            line += (c > 0 ? blanks(24) : "") + FormatGeneral(r.*ResidualFields()[c].member, ResidualFields()[c].digits, sep);
        lines.push_back(line);
    }
    return lines;
}

Lines RegressionLegendLines(const RegressionResult &r, char sep)
{
    auto f = [sep](const Real &v) { return FormatGeneral(v, 6, sep); };
    return {"Y = " + f(r.slope) + "(X) + (" + f(r.intercept) + ")", "Sx/y = " + f(r.sdRegression),
            "CVx/y = " + FormatGeneral(r.coefficientOfVariation, 3, sep), "(r^2) = " + f(r.rSquared)};
}

} // namespace stats
