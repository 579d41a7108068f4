#include "stats/criteriatexts.h"

#include "stats/numberformat.h"

#include <algorithm>
#include <cmath>

namespace stats {

namespace {

std::string number(double v, char sep) { return FormatGeneral(v, 6, sep); }
std::string number(const Real &v, char sep) { return FormatGeneral(v, 6, sep); }
std::string figure(const Figure &v, char sep) { return v ? number(*v, sep) : "NP"; }

// What a check's value and limit read as.
std::string valueText(const CriteriaCheck &c, char sep)
{
    if (c.value.size() == 2)
        return c.value[0] && c.value[1] ? figure(c.value[0], sep) + " a " + figure(c.value[1], sep) : "NP";
    return figure(c.value.at(0), sep);
}

// Each limit as its direction reads, joined: "≥ 5", "≤ 80 y ≥ 120", "entre -2 y 2".
std::string limitText(const CriteriaCheck &c, char sep)
{
    std::string text;
    for (size_t i = 0; i < c.limit.size(); ++i) {
        const double limit = c.limit[i];
        text += i > 0 ? " y " : "";
        switch (c.criterion->limits[i].direction) {
        case Direction::AtLeast: text += "≥ " + number(limit, sep); break;
        case Direction::AtMost: text += "≤ " + number(limit, sep); break;
        case Direction::Within: text += "entre " + number(-limit, sep) + " y " + number(limit, sep); break;
        }
    }
    return text;
}

} // namespace

std::string CriteriaFigureText(const CriteriaField &field, const CriteriaResult &criteria, const std::string &units,
                               char sep)
{
    const Figure &v = criteria.*field.member;
    if (!v)
        return "NP";
    std::string text = number(*v, sep);
    switch (field.unit) {
    case CriteriaUnit::None: break;
    case CriteriaUnit::Amount:
        if (!units.empty())
            text += " " + units;
        break;
    case CriteriaUnit::Percent: text += " %"; break;
    case CriteriaUnit::PercentOfTarget: text += " % DE T"; break;
    case CriteriaUnit::PercentOfResponse: text += " % DE LA RESPUESTA AL 100 %"; break;
    }
    return text;
}

Lines CriteriaFigureLines(const CriteriaResult &criteria, const std::string &units, char sep)
{
    Lines lines;
    for (const CriteriaField &f : CriteriaFields()) {
        std::string line = f.label + CriteriaFigureText(f, criteria, units, sep);
        if (f.member == &CriteriaResult::target)
            line += criteria.targetGiven ? " (FIJADA POR EL USUARIO)" : " (MEDIA DE LOS NIVELES)";
        lines.push_back(line);
    }
    return lines;
}

std::vector<CellRow> CheckCells(const CriteriaResult &criteria, char sep)
{
    std::vector<CellRow> rows = {{"Criterio", "Valor", "Límite", "Resultado"}};
    for (const CriteriaCheck &c : criteria.checks)
        rows.push_back({c.label, valueText(c, sep), limitText(c, sep), CheckResultText(c.result)});
    return rows;
}

std::string VerdictLine(const CriteriaResult &criteria)
{
    std::string line = criteria.passes ? "DICTAMEN: EL MÉTODO CUMPLE LOS CRITERIOS DE ACEPTACIÓN."
                                       : "DICTAMEN: EL MÉTODO NO CUMPLE LOS CRITERIOS DE ACEPTACIÓN.";
    const auto unassessed = std::count_if(criteria.checks.begin(), criteria.checks.end(), [](const CriteriaCheck &c) {
        return c.result == CheckResult::NotAssessed;
    });
    if (unassessed == 1)
        line += " (1 criterio no evaluado)";
    else if (unassessed > 1)
        line += " (" + std::to_string(unassessed) + " criterios no evaluados)";
    return line;
}

std::vector<CellRow> BackCalculationRows(const std::vector<BackCalculation> &backCalculated, char sep)
{
    std::vector<CellRow> rows = {{"Obs.", "Nivel", "x", "x calculada", "Error relativo (%)"}};
    for (const BackCalculation &b : backCalculated)
        rows.push_back({std::to_string(b.observation), std::to_string(b.level), number(b.x, sep),
                        figure(b.xBack, sep), figure(b.relativeError, sep)});
    return rows;
}

std::vector<CellRow> LevelBiasRows(const std::vector<LevelBias> &levelBias, const std::string &heading, char sep)
{
    std::vector<CellRow> rows = {{"Nivel", "x", heading}};
    for (const LevelBias &b : levelBias)
        rows.push_back({std::to_string(b.level), number(b.x, sep), figure(b.meanRelativeError, sep)});
    return rows;
}

std::vector<CellRow> BackCalculationCells(const CriteriaResult &criteria, char sep)
{
    return BackCalculationRows(criteria.backCalculated, sep);
}

std::vector<CellRow> LevelBiasCells(const CriteriaResult &criteria, char sep)
{
    return LevelBiasRows(criteria.levelBias, "Sesgo medio (%)", sep);
}

Lines LimitsLines(const AcceptanceLimits &limits, char sep)
{
    Lines lines = {"LÍMITES UTILIZADOS"};
    for (const LimitField &f : LimitFields())
        lines.push_back(std::string(f.label) + " = " + number(limits.*f.member, sep));
    return lines;
}

Document CriteriaDocument(const CriteriaResult &criteria, const std::string &units, char sep)
{
    return {.textTitle = "                CRITERIOS DE ACEPTACIÓN DE LA LINEALIDAD",
            .pageTitle = "Criterios de Aceptación",
            .blocks = {
                {.lines = CriteriaFigureLines(criteria, units, sep)},
                {.cells = CheckCells(criteria, sep), .columns = {30, 160, 240, 320}},
                {.lines = {VerdictLine(criteria)}},
                {.lines = LimitsLines(criteria.limits, sep)},
                {.heading = "Cálculo Inverso",
                 .cells = BackCalculationCells(criteria, sep),
                 .columns = {30, 75, 120, 200, 280},
                 .gapBefore = 0,
                 .startsPage = true},
                {.heading = "Sesgo por Nivel",
                 .cells = LevelBiasCells(criteria, sep),
                 .columns = {30, 75, 140},
                 .gapBefore = 2},
            }};
}

} // namespace stats
