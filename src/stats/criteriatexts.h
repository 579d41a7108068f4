#pragma once
// The acceptance criteria as text, exactly as the window, the headless
// command and the printed page show them. Numbers use the general format
// with six significant digits; "NP" marks what is not assessed.
#include "stats/criteria.h"
#include "stats/document.h"
#include "stats/resultfields.h"
#include "stats/resulttexts.h"

namespace stats {

// A figure with what follows it: "10 mg", "80 % de T", "NP".
std::string CriteriaFigureText(const CriteriaField &field, const CriteriaResult &criteria, const std::string &units,
                               char decimalSeparator);

// The figures, one line each: label, figure and what follows it; T says
// whether the user set it or it is the mean of the levels.
Lines CriteriaFigureLines(const CriteriaResult &criteria, const std::string &units, char decimalSeparator);

// The checks: a heading row (Criterio, Valor, Límite, Resultado), then one
// row per check in order.
std::vector<CellRow> CheckCells(const CriteriaResult &criteria, char decimalSeparator);
// "DICTAMEN: EL MÉTODO CUMPLE LOS CRITERIOS DE ACEPTACIÓN." and how many
// checks could not be assessed.
std::string VerdictLine(const CriteriaResult &criteria);
// Heading row (Obs., Nivel, x, x calculada, Error relativo (%)), then one row per observation.
// The back-calculation and the level biases of any line, under their headings.
std::vector<CellRow> BackCalculationRows(const std::vector<BackCalculation> &backCalculated, char decimalSeparator);
std::vector<CellRow> LevelBiasRows(const std::vector<LevelBias> &levelBias, const std::string &heading,
                                   char decimalSeparator);
std::vector<CellRow> BackCalculationCells(const CriteriaResult &criteria, char decimalSeparator);
// Heading row (Nivel, x, Sesgo medio (%)), then one row per level.
std::vector<CellRow> LevelBiasCells(const CriteriaResult &criteria, char decimalSeparator);
// "LÍMITES UTILIZADOS", then one line per limit: its name and value.
Lines LimitsLines(const AcceptanceLimits &limits, char decimalSeparator);

// Everything above, in this order: title, figures, checks, verdict, limits,
// then the back-calculation and the level biases from a page of their own.
Document CriteriaDocument(const CriteriaResult &criteria, const std::string &units, char decimalSeparator);

} // namespace stats
