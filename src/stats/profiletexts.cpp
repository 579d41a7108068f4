#include "stats/profiletexts.h"

#include "stats/conversions.h"
#include "stats/numberformat.h"

namespace stats {

namespace {

std::string number(const Real &v, char sep) { return FormatGeneral(v, 6, sep); }
std::string number(const Rational &v, char sep) { return number(Real(v), sep); }

std::string amount(const Real &v, const std::string &units, char sep)
{
    return number(v, sep) + (units.empty() ? "" : " " + units);
}

std::string seriesLabel(const SeriesStudy &study, int series)
{
    const std::string &name = study.series[static_cast<std::size_t>(series - 1)].name;
    return std::to_string(series) + (name.empty() ? "" : " («" + ShownText(name) + "»)");
}

std::vector<CellRow> fitCells(const ModelProfile &m, const std::vector<int> &series, const SeriesStudy &study,
                              char sep)
{
    const bool quadratic = m.model == ProfileModel::Quadratic;
    std::vector<CellRow> rows = {{"Serie", "Ordenada", "Pendiente"}};
    if (quadratic)
        rows.front().push_back("Término cuadrático");
    for (std::size_t i = 0; i < m.fits.size(); ++i) {
        const ProfileFit &f = m.fits[i];
        rows.push_back({seriesLabel(study, series[i]), number(f.intercept, sep), number(f.slope, sep)});
        if (quadratic)
            rows.back().push_back(f.quadratic ? number(*f.quadratic, sep) : "0");
    }
    return rows;
}

// Every point left out of any series, with its reason, who and when.
Lines excludedLines(const SeriesStudy &study)
{
    Lines lines;
    for (std::size_t s = 0; s < study.series.size(); ++s)
        for (const ExcludedPoint &p : ExcludedPoints(study.series[s])) {
            const Exclusion &e = *p.value.excluded;
            lines.push_back("Serie " + seriesLabel(study, static_cast<int>(s) + 1) + ", " + StandardKindName(p.kind) +
                            ", nivel " + std::to_string(p.level) + ", punto " + std::to_string(p.point) + ": x = " +
                            ShownText(p.value.x) + ", y = " + ShownText(p.value.y) + "; " + ShownText(e.reason) +
                            " (" + ShownText(e.by) + ", " + ShownText(e.at) + ")");
        }
    if (lines.empty())
        lines.push_back("Ningún punto excluido.");
    return lines;
}

} // namespace

std::string ProfileSettingsLine(const Rational &beta, const Rational &lambda, char sep)
{
    return "TOLERANCIA DE EXPECTATIVA BETA: beta = " + number(Rational(100 * beta), sep) + " %; ACEPTACIÓN: ±" +
           number(lambda, sep) + " %";
}

std::vector<CellRow> ProfileLevelCells(const ModelProfile &model, char sep)
{
    std::vector<CellRow> rows = {{"Nivel", "x", "n", "Media", "Sesgo (%)", "Recuperación (%)", "CVr (%)", "CVFI (%)",
                                  "Error total (%)", "ν", "ktol", "Tolerancia (%)", "U (%)", "Cumple"}};
    for (std::size_t j = 0; j < model.levels.size(); ++j) {
        const ProfileLevel &l = model.levels[j];
        rows.push_back({std::to_string(j + 1), number(l.x, sep), std::to_string(l.n), number(l.mean, sep),
                        number(l.relativeBias, sep), number(l.recovery, sep), number(l.cvr, sep), number(l.cvIP, sep),
                        number(l.totalError, sep), number(l.dof, sep), number(l.ktol, sep),
                        number(l.relativeLower, sep) + " a " + number(l.relativeUpper, sep), number(l.relativeU, sep),
                        l.accepted ? "Sí" : "No"});
    }
    return rows;
}

Lines ProfileVerdictLines(const ModelProfile &model, const Rational &lambda, const std::string &units, char sep)
{
    const std::string limits = "±" + number(lambda, sep) + " %";
    Lines lines;
    if (model.range)
        lines.push_back("INTERVALO VALIDADO: " + amount(model.range->lower, units, sep) + " a " +
                        amount(model.range->upper, units, sep) + " (LIC " + number(model.range->lower, sep) +
                        ", LSC " + number(model.range->upper, sep) + ")");
    else
        lines.push_back("NINGÚN INTERVALO VALIDADO: los límites de tolerancia no quedan dentro de " + limits +
                        " en ningún tramo.");
    lines.push_back(model.valid ? "MODELO VÁLIDO: todos los niveles de validación quedan dentro de " + limits + "."
                                : "MODELO NO VÁLIDO: algún nivel de validación sale de " + limits + ".");
    return lines;
}

Lines SeriesComparisonLines(const std::optional<SeriesComparison> &comparison, char sep)
{
    if (!comparison)
        return {"No se comparan las series: hace falta más de una serie con estándares de calibración y "
                "error residual en cada recta."};
    const auto test = [&](const char *name, const FTest &t) {
        return std::string(name) + ": F(" + std::to_string(t.df1) + ", " + std::to_string(t.df2) + ") = " +
               number(t.f, sep) + ", P = " + number(t.p, sep);
    };
    const bool common = comparison->equalSlopes.p.compare(Rational(1, 20)) >= 0 &&
                        comparison->equalIntercepts.p.compare(Rational(1, 20)) >= 0;
    return {test("PENDIENTES IGUALES", comparison->equalSlopes),
            test("ORDENADAS IGUALES, CON PENDIENTE COMÚN", comparison->equalIntercepts),
            common ? "Ninguna diferencia es significativa (P ≥ 0.05): una calibración común serviría a todas las "
                     "series."
                   : "Las series difieren (P < 0.05): cada serie necesita su propia calibración."};
}

Document ProfileDocument(const ProfileResult &result, const SeriesStudy &study, char sep)
{
    Document document{.textTitle = "                PERFIL DE EXACTITUD", .pageTitle = "Perfil de Exactitud", .blocks = {}};
    const DocumentBlock comparison{.heading = "Comparación de las Series",
                                   .textHeading = "COMPARACIÓN DE LAS SERIES (ESTÁNDARES DE CALIBRACIÓN, RECTA SIN "
                                                  "PONDERAR)",
                                   .lines = SeriesComparisonLines(result.comparison, sep)};
    const DocumentBlock excluded{.heading = "Puntos Excluidos", .lines = excludedLines(study)};
    if (!result.profile) {
        document.blocks = {{.lines = {"NO HAY PERFIL DE EXACTITUD: " + result.refusal}}, comparison, excluded};
        return document;
    }
    const AccuracyProfile &p = *result.profile;
    Lines head = {ProfileSettingsLine(p.beta, p.lambda, sep)};
    std::string series = "SERIES: " + std::to_string(p.series.size()) + " (";
    for (std::size_t i = 0; i < p.series.size(); ++i)
        series += (i ? ", " : "") + seriesLabel(study, p.series[i]);
    head.push_back(series + ")");
    head.push_back(p.chosen ? "MODELO ELEGIDO: " + ProfileModelName(p.models[*p.chosen].model, p.models[*p.chosen].weight) +
                                  " (el intervalo validado más amplio)"
                            : "NINGÚN MODELO TIENE INTERVALO VALIDADO.");
    document.blocks.push_back({.lines = head});
    for (const ModelProfile &m : p.models) {
        const std::string name = ProfileModelName(m.model, m.weight);
        // The heading in capitals; the weight's x stays a variable.
        std::string capitals = Capitals(name);
        if (const std::size_t x = capitals.find("1/X"); x != std::string::npos)
            capitals[x + 2] = 'x';
        if (m.model != ProfileModel::Absolute)
            document.blocks.push_back({.heading = "Modelo: " + name,
                                       .textHeading = "MODELO: " + capitals,
                                       .cells = fitCells(m, p.series, study, sep),
                                       .columns = {30, 110, 190, 270},
                                       .gapBefore = 2});
        else
            document.blocks.push_back({.heading = "Modelo: " + name,
                                       .textHeading = "MODELO: " + capitals,
                                       .lines = {"Las cantidades encontradas son las respuestas."},
                                       .gapBefore = 2});
        document.blocks.push_back({.cells = ProfileLevelCells(m, sep), .shownIn = ShownIn::TextOnly});
        // The page has room for fewer columns: the ones the verdict reads.
        std::vector<CellRow> page;
        for (const CellRow &row : ProfileLevelCells(m, sep))
            page.push_back({row[1], row[3], row[4], row[6], row[7], row[8], row[11], row[13]});
        document.blocks.push_back({.cells = page,
                                   .columns = {30, 70, 120, 165, 205, 245, 290, 365},
                                   .gapBefore = 0,
                                   .shownIn = ShownIn::PageOnly});
        document.blocks.push_back({.lines = ProfileVerdictLines(m, p.lambda, study.units, sep)});
    }
    if (!p.omitted.empty()) {
        Lines omitted;
        for (const OmittedModel &o : p.omitted)
            omitted.push_back(ProfileModelName(o.model, o.weight) + ": " + o.reason + ".");
        document.blocks.push_back({.heading = "Modelos que el Estudio no Admite",
                                   .textHeading = "MODELOS QUE EL ESTUDIO NO ADMITE",
                                   .lines = omitted});
    }
    document.blocks.push_back(comparison);
    document.blocks.push_back(excluded);
    return document;
}

} // namespace stats
