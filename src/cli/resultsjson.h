#pragma once
// The results of a study as one JSON object, for a laboratory information
// system: everything the result windows show, as numbers at full precision
// (never the printed texts), the verdicts as stable identifiers. The schema
// is described in README.md.
#include "cli/printrecord.h"
#include "cli/outputs.h"

#include "cli/json.h"

#include <iosfwd>
#include <optional>
#include <string>

namespace cli {

// The sections of the object, from the figures of an analysis.
JsonObject StudyJson(const stats::StudyTexts &texts, const stats::LinearityStudy &study);
JsonObject RegressionJson(const stats::RegressionResult &regression);
JsonObject AnovaJson(const stats::AnovaResult &anova);
// Its rows alone: regression and error, then lack of fit and pure error
// (null without them). The quadratic model's table is the same.
JsonObject AnovaRowsJson(const stats::AnovaResult &anova);
// Amounts read back off a model, and the mean relative error of each level.
JsonArray BackCalculationJson(const std::vector<stats::BackCalculation> &rows);
JsonArray LevelBiasJson(const std::vector<stats::LevelBias> &biases);
JsonArray ResidualsJson(const std::vector<stats::ResidualRow> &residuals);
JsonObject RecoveryJson(const stats::AnovaResult &anova, const stats::RecoveryResult &recovery);
JsonObject CriteriaJson(const stats::CriteriaResult &criteria);
// The quadratic model; null for a study that cannot have it.
Json QuadraticJson(const stats::QuadraticResult &quadratic);
JsonObject WeightingJson(const stats::WeightingResult &weighting);
JsonObject DetectionJson(const stats::DetectionResult &detection);
JsonObject SamplesJson(const stats::SamplesResult &samples, int degreesOfFreedom);
// The accuracy profile ("profile", null with its reason in
// "profileRefusal") and the series comparison ("seriesComparison", null
// where it does not apply), into `object`.
void AddProfileJson(const stats::ProfileResult &result, JsonObject &object);

// The whole object of an analysis: every result (a recovery that cannot be
// evaluated is null, with its reason in "recoveryRefusal", beside every
// other result), or the refusal as {"error": {"kind": "validation" |
// "zero_slope", "message": ...}}. Raises stats::CommandError
// (ConversionError, FloatingPointError) as the commands do.
struct JsonOutcome {
    JsonObject object;
    bool refused = false;
};
JsonOutcome ResultsJson(const stats::StudyAnalysis &analysis);

// The record of the output: file, sha256 (all 64 digits), program, version,
// revision, generated (ISO 8601 with offset), user.
JsonObject RecordJson(const PrintRecord &record);

// {"error": {"kind": kind, "message": message}}
JsonObject ErrorJson(const char *kind, const std::string &message);

// What --json writes of a study file read and analysed: the document (with
// the record when not refused), the message for standard error and the
// exit status: 0, 2 refused, 1 an error, whose object has the kind "file"
// (reading the file) or "numeric" (computing).
struct JsonRun {
    JsonObject document;
    int status = 1;
    std::string message;
};
JsonRun JsonOfStudy(const AnalysedStudy &study);
// What "study" gains for a .lin study: the series evaluated ("series":
// number, name, count) and its points left out ("excluded").
void AddSeriesJson(JsonObject &document, const stats::SeriesStudy &lin, int series);

// linealidad --json FILE [--target T] [--limits L.json] [--weight W]
// [--samples S] [--confidence C]: the object on `out` (indented, UTF-8); a
// refusal or error is the error object on `out` and its message on `err`.
// Exit status as the text commands: 0, 2 refused, 1 file or numeric error.
int RunJsonCommand(const std::string &path, std::ostream &out, std::ostream &err, const stats::AnalysisOptions &options);

} // namespace cli
