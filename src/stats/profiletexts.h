#pragma once
// The accuracy profile as the window, the command and the page show it.
#include "stats/accuracyprofile.h"
#include "stats/document.h"

namespace stats {

// β and λ as the texts say them: "90 %", "±15 %".
std::string ProfileSettingsLine(const Rational &beta, const Rational &lambda, char sep);

// One model's table by level, its heading row first: the amount, the mean
// found, the relative bias, the recovery, the precisions, the total error,
// the tolerance interval relative to the amount, the uncertainty, and
// whether the level is accepted.
std::vector<CellRow> ProfileLevelCells(const ModelProfile &model, char sep);
// The model's verdict and validated range, in the study's units.
Lines ProfileVerdictLines(const ModelProfile &model, const Rational &lambda, const std::string &units, char sep);
Lines SeriesComparisonLines(const std::optional<SeriesComparison> &comparison, char sep);

// Everything: the settings, the chosen model, each model with its
// calibrations, its table and its verdict, the models the study cannot
// have, the series comparison and the points left out of any series.
Document ProfileDocument(const ProfileResult &result, const SeriesStudy &study, char sep);

} // namespace stats
