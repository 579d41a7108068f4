#pragma once
// The quadratic model as text, exactly as its window, the headless command
// and the printed page show it: six significant digits, "NP" for what is not
// assessed.
#include "stats/criteriatexts.h"
#include "stats/quadratic.h"

#include <span>

namespace stats {

// The figures of the model that stand alone, one row each: the JSON key,
// where it lives, and the Spanish name the text and the verification give it.
struct QuadraticField {
    const char *key;
    Real QuadraticResult::*member;
    const char *name;
};
std::span<const QuadraticField> QuadraticFields(); // c0, c1, c2, their errors, s₂, r²

// Heading row (Coeficiente, Valor, Error estándar), then c0, c1 and c2.
std::vector<CellRow> QuadraticCoefficientCells(const QuadraticResult &q, char decimalSeparator);
// The curve's legend entry on the regression graph, written like the
// line's: "Cuadrática: Y = c2(X²) + c1(X) + (c0)".
std::string QuadraticLegendLine(const QuadraticResult &q, char decimalSeparator);
// s₂ and r².
Lines QuadraticFitLines(const QuadraticResult &q, char decimalSeparator);
// E at the lowest level, x̄ and the highest level; the vertex, whether the
// model is monotonic, sx0 and vx0.
Lines SensitivityLines(const QuadraticResult &q, char decimalSeparator);
// Heading row (Obs., Nivel, x, x calculada, Error relativo (%)), then one row per observation.
std::vector<CellRow> QuadraticBackCalculationCells(const QuadraticResult &q, char decimalSeparator);
// Heading row (Nivel, x, Sesgo medio (%)), then one row per level.
std::vector<CellRow> QuadraticLevelBiasCells(const QuadraticResult &q, char decimalSeparator);
// The analysis of variance: a heading row (Fuente, GL, SC, CM, F, P), then
// regression, error, lack of fit and pure error ("NP" where not assessed).
std::vector<CellRow> QuadraticAnovaCells(const QuadraticResult &q, char decimalSeparator);
// The two models side by side: lack of fit P, relative standard error,
// largest level bias.
std::vector<CellRow> ModelComparisonCells(const QuadraticResult &q, char decimalSeparator);
// The choice in words: "MODELO ELEGIDO: ..." and why.
Lines ModelChoiceLines(const QuadraticResult &q, char decimalSeparator);

// Everything, in this order: title, coefficients, analysis of variance,
// sensitivity, comparison and choice, then the back-calculation and level
// biases from a page of their own; or the one line that says why the study
// cannot have the model.
Document QuadraticDocument(const QuadraticResult &q, char decimalSeparator);

} // namespace stats
