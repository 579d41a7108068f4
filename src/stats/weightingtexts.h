#pragma once
// The weighting evaluation as text, exactly as the window, the headless
// command and the printed page show it: the general format with six
// significant digits, "NP" for what cannot be computed for the study.
#include "stats/criteriatexts.h"
#include "stats/weighting.h"

namespace stats {

// The verdict of the variance and the weight the rule recommends for it, one
// line; the analyst's own choice does not change it (ChoiceLine says that).
std::string WeightingVerdictLine(const WeightingResult &weighting);
// The tests of the variance, one line each, and their verdict.
Lines HomogeneityLines(const Homogeneity &homogeneity, char decimalSeparator);
// Heading row (Ponderación, Pendiente, Ordenada, Σ|Error relativo| (%), Rango), one row per weight.
std::vector<CellRow> CandidateCells(const WeightingResult &weighting, char decimalSeparator);
// Why each undefined weight is: "1/x: una cantidad adicionada es cero o negativa";
// then how many observations at x = 0 the sums of relative errors leave out.
Lines UndefinedWeightLines(const WeightingResult &weighting);
// The chosen weight and the rule that chose it.
std::string ChoiceLine(const WeightingResult &weighting);
// The figures of the chosen line, one a line; why there is none when the weight is undefined.
Lines WeightedLineLines(const WeightingResult &weighting, char decimalSeparator);
std::vector<CellRow> WeightedBackCalculationCells(const WeightedLine &line, char decimalSeparator);
std::vector<CellRow> WeightedLevelBiasCells(const WeightedLine &line, char decimalSeparator);
// Heading row, then one row per observation: leverage, studentized, deleted, Cook, influential.
std::vector<CellRow> DiagnosticCells(const WeightingResult &weighting, char decimalSeparator);
// Heading row, then one row per level of three replicates or more.
std::vector<CellRow> GrubbsCells(const WeightingResult &weighting, char decimalSeparator);
inline constexpr const char *kNothingRemoved =
    "El programa no elimina ningún dato: excluir una observación es decisión del analista, editando el estudio.";

// Everything above, in order; on the page the back-calculation, then the
// diagnostics, each from a page of their own.
Document WeightingDocument(const WeightingResult &weighting, char decimalSeparator);

} // namespace stats
