#pragma once
// The text of every result, line by line, exactly as the result windows, the
// report and the headless commands show it. Numbers use the general format.
#include "stats/anova.h"
#include "stats/recovery.h"
#include "stats/regression.h"
#include "stats/study.h"

#include <array>
#include <string>
#include <vector>

namespace stats {

using Lines = std::vector<std::string>;

// The inference window's text box: fourteen lines, then the box's own
// initial empty line.
Lines InferenceLines(const RegressionResult &regression, char decimalSeparator);

// The analysis of variance grid, [row][column], 7 rows of 6 cells.
using AnovaGrid = std::array<std::array<std::string, 6>, 7>;
AnovaGrid AnovaGridCells(const AnovaResult &anova, char decimalSeparator);

// The residual window's four boxes, side by side: observation numbers,
// predicted y, residuals, studentized residuals. `rows` is the number of
// observation rows of the data grid.
std::array<Lines, 4> ResidualColumns(const std::vector<ResidualRow> &table, int rows, char decimalSeparator);

// The systematic error window's text box.
Lines SystematicErrorLines(const AnovaResult &anova, const RecoveryResult &recovery, char decimalSeparator);

// The legend of the regression graph: equation, standard deviation of
// regression, its coefficient of variation (3 digits) and r².
Lines RegressionLegendLines(const RegressionResult &regression, char decimalSeparator);

// The full report: general information, levels, data as typed, inference,
// analysis of variance, systematic error and residuals.
Lines ReportLines(const StudyTexts &study, const RegressionResult &regression, const AnovaResult &anova,
                  const std::vector<ResidualRow> &residuals, const RecoveryResult &recovery,
                  char decimalSeparator);

} // namespace stats
