#include "cli/resultsjson.h"

#include "cli/acceptancelimits.h"
#include "cli/analysismodules.h"
#include "cli/headless.h"

#include "stats/errors.h"
#include "stats/resultfields.h"
#include "stats/studyfile.h"


#include <array>
#include <ostream>

namespace cli {

namespace {

// The verdicts' identifiers, in the order of their enumerations.
const char *significanceId(stats::Significance s)
{
    return std::array{"no_dependence", "significant", "highly_significant"}.at(static_cast<size_t>(s));
}

const char *fitId(stats::Fit f) { return std::array{"adequate", "inadequate", "not_assessed"}.at(static_cast<size_t>(f)); }

Json figure(const stats::Figure &v) { return v ? Json(v->toDouble()) : Json(); }

} // namespace

JsonObject StudyJson(const stats::StudyTexts &texts, const stats::LinearityStudy &study)
{
    JsonArray replicates;
    for (int r : study.replicates)
        replicates.emplace_back(r);
    JsonArray observations;
    for (int i = 0; i < study.n(); ++i) {
        const stats::Observation &o = study.observations[static_cast<size_t>(i)];
        observations.push_back(JsonObject{{"observation", i + 1}, {"level", o.level}, {"x", o.x}, {"y", o.y}});
    }
    JsonObject object{{"method", texts.method()},
                      {"analyst", texts.analyst()},
                      {"date", texts.date()},
                      {"units", texts.units()},
                      {"levels", study.k()},
                      {"n", study.n()}};
    object["replicates"] = std::move(replicates);
    object["observations"] = std::move(observations);
    return object;
}

JsonObject RegressionJson(const stats::RegressionResult &r)
{
    JsonObject object;
    for (const stats::RegressionField &field : stats::RegressionFields())
        object[field.key] = (r.*field.member).toDouble();
    return object;
}

// The rows the analysis of variance window shows: without replicates there
// is no lack of fit nor pure error, and those rows are null.
JsonObject AnovaJson(const stats::AnovaResult &a)
{
    JsonObject object = AnovaRowsJson(a);
    object["significance"] = significanceId(stats::RegressionSignificance(a));
    object["linearFit"] = fitId(stats::LinearFit(a));
    return object;
}

JsonObject AnovaRowsJson(const stats::AnovaResult &a)
{
    JsonObject object;
    for (int s = 0; s < static_cast<int>(stats::AnovaSources().size()); ++s) {
        const stats::AnovaSource &source = stats::AnovaSources()[s];
        JsonObject row;
        for (const stats::AnovaField &field : stats::AnovaFields())
            if (field.source == s)
                row[stats::AnovaColumns()[field.column].key] = (a.*field.member).toDouble();
        object[source.key] = stats::SourceShown(source, a) ? Json(row) : Json();
    }
    return object;
}

JsonArray ResidualsJson(const std::vector<stats::ResidualRow> &residuals)
{
    JsonArray rows;
    for (const stats::ResidualRow &r : residuals) {
        JsonObject row{{"observation", r.observation}};
        for (const stats::ResidualField &field : stats::ResidualFields())
            row[field.key] = (r.*field.member).toDouble();
        rows.push_back(row);
    }
    return rows;
}

// Where the evaluation does not apply the windows print "NP" for every
// statistic and state no verdict: those are null here.
JsonObject RecoveryJson(const stats::AnovaResult &anova, const stats::RecoveryResult &r)
{
    const bool applies = stats::RecoveryApplies(anova);
    auto shown = [applies](const stats::Real &v) {
        return applies ? Json(v.toDouble()) : Json();
    };
    const stats::BestWorstCase c = stats::BestAndWorstCase(r);
    const bool bestWorst = applies && c.exists;
    JsonObject object{
        {"applies", applies},
        {"systematicError", applies ? Json(stats::SystematicErrorPresent(r) ? "present" : "absent")
                                    : Json()},
        {"bestCase", bestWorst ? Json(c.best.toDouble()) : Json()},
        {"worstCase", bestWorst ? Json(c.worst.toDouble()) : Json()}};
    for (const stats::RecoveryField &field : stats::RecoveryFields())
        object[field.key] = shown(r.*field.member);
    return object;
}

JsonArray BackCalculationJson(const std::vector<stats::BackCalculation> &rows)
{
    JsonArray back;
    for (const stats::BackCalculation &b : rows)
        back.push_back(JsonObject{{"observation", b.observation},
                                {"level", b.level},
                                {"x", b.x.toDouble()},
                                {"xBack", figure(b.xBack)},
                                {"relativeError", figure(b.relativeError)}});
    return back;
}

JsonArray LevelBiasJson(const std::vector<stats::LevelBias> &biases)
{
    JsonArray bias;
    for (const stats::LevelBias &b : biases)
        bias.push_back(JsonObject{
            {"level", b.level}, {"x", b.x.toDouble()}, {"meanRelativeError", figure(b.meanRelativeError)}});
    return bias;
}

// Each figure where its field's group puts it; a figure not assessed is
// null. The checks' range has two numbers, lowest and highest.
JsonObject CriteriaJson(const stats::CriteriaResult &c)
{
    JsonObject object{{"levels", c.levels}};
    for (const stats::CriteriaField &field : stats::CriteriaFields()) {
        if (!field.key)
            continue;
        if (!field.group) {
            object[field.key] = figure(c.*field.member);
            continue;
        }
        JsonObject group = object[field.group].toObject();
        group[field.key] = figure(c.*field.member);
        object[field.group] = group;
    }
    JsonArray checks;
    for (const stats::CriteriaCheck &check : c.checks) {
        Json value = figure(check.value.at(0)), limit = check.limit.at(0);
        if (check.value.size() == 2) {
            value = check.value[0] && check.value[1]
                        ? Json(JsonArray{check.value[0]->toDouble(), check.value[1]->toDouble()})
                                                     : Json();
            limit = JsonArray{check.limit[0], check.limit[1]};
        }
        checks.push_back(JsonObject{{"name", check.name},
                                  {"value", value},
                                  {"limit", limit},
                                  {"result", stats::CheckResultKey(check.result)}});
    }
    object["backCalculated"] = BackCalculationJson(c.backCalculated);
    object["levelBias"] = LevelBiasJson(c.levelBias);
    object["checks"] = checks;
    object["verdict"] = c.passes ? "pass" : "fail";
    object["limits"] = LimitsJson(c.limits);
    return object;
}

Json QuadraticJson(const stats::QuadraticResult &q)
{
    if (q.notFitted)
        return Json();
    JsonObject object;
    for (const stats::QuadraticField &field : stats::QuadraticFields())
        object[field.key] = (q.*field.member).toDouble();
    object["anova"] = AnovaRowsJson(q.anova);
    object["sensitivity"] = JsonObject{{"low", q.sensitivityLow.toDouble()},
                                        {"high", q.sensitivityHigh.toDouble()},
                                        {"mean", q.sensitivityMean.toDouble()}};
    object["vertex"] = figure(q.vertex);
    object["monotonic"] = q.monotonic;
    object["sx0"] = figure(q.sx0);
    object["vx0"] = figure(q.vx0);
    object["backCalculated"] = BackCalculationJson(q.backCalculated);
    object["levelBias"] = LevelBiasJson(q.levelBias);
    object["relativeStandardError"] = figure(q.relativeStandardError);
    object["choice"] = JsonObject{{"model", stats::ModelKey(q.model)}, {"reason", stats::ChoiceReasonKey(q.reason)}};
    return object;
}

// The limits name the method and the terms they are stated with.
JsonObject DetectionJson(const stats::DetectionResult &d)
{
    return {{"sx0", d.sx0.toDouble()},
            {"vx0", figure(d.vx0)},
            {"method", "DIN 32645 calibration line"},
            {"alpha", stats::NearestDouble(d.terms.alpha)},
            {"k", d.terms.k},
            {"m", d.terms.m},
            {"degreesOfFreedom", d.degreesOfFreedom},
            {"tOneSided", d.tOneSided.toDouble()},
            {"tTwoSided", d.tTwoSided.toDouble()},
            {"criticalValue", d.criticalValue.toDouble()},
            {"detectionLimit", d.detectionLimit.toDouble()},
            {"quantificationLimit", d.quantificationLimit.toDouble()},
            {"quantificationLimitIterated", figure(d.quantificationLimitIterated)},
            {"ich", JsonObject{{"method", "ICH Q2(R2) standard deviation of the response and slope"},
                                {"lod", d.ichLod.toDouble()},
                                {"loq", d.ichLoq.toDouble()}}}};
}

// An unbounded inversion interval has null ends.
JsonObject SamplesJson(const stats::SamplesResult &s, int degreesOfFreedom)
{
    JsonArray results;
    for (const stats::SampleResult &r : s.samples) {
        JsonArray responses;
        for (const stats::Rational &y : r.responses)
            responses.emplace_back(stats::NearestDouble(y));
        JsonObject result{{"name", r.name},
                                   {"m", r.m},
                                   {"meanResponse", r.meanResponse.toDouble()},
                                   {"x", r.x.toDouble()},
                                   {"se", r.se.toDouble()},
                                   {"lower", r.lower.toDouble()},
                                   {"upper", r.upper.toDouble()},
                                   {"fiellerLower", figure(r.fiellerLower)},
                                   {"fiellerUpper", figure(r.fiellerUpper)},
                                   {"inRange", r.inRange},
                                   {"belowQuantification", r.belowQuantification}};
        result["responses"] = std::move(responses);
        results.push_back(std::move(result));
    }
    return {{"confidence", stats::NearestDouble(s.confidence)},
            {"degreesOfFreedom", degreesOfFreedom},
            {"t", s.t.toDouble()},
            {"g", s.g.toDouble()},
            {"lowestLevel", s.lowestLevel.toDouble()},
            {"highestLevel", s.highestLevel.toDouble()},
            {"results", std::move(results)}};
}

JsonObject RecordJson(const PrintRecord &r)
{
    return {{"file", r.file},
            {"sha256", r.sha256},
            {"program", r.program},
            {"version", r.version},
            {"revision", r.revision},
            {"generated", r.generated},
            {"user", r.user}};
}

JsonObject ErrorJson(const char *kind, const std::string &message)
{
    return {{"error", JsonObject{{"kind", kind}, {"message", message}}}};
}

JsonOutcome ResultsJson(const stats::StudyAnalysis &analysis)
{
    // In the order the report meets its refusals; then each evaluation in
    // the order of its row.
    stats::CommandOutcome outcome;
    const stats::AnovaAndResiduals *anova = nullptr;
    const stats::RegressionResult *regression = nullptr;
    if (stats::Validated(analysis, outcome) && (anova = stats::Require(analysis.anova(), outcome)))
        regression = stats::Require(analysis.regression(), outcome);
    if (!regression)
        return {ErrorJson(outcome.validation.failed ? "validation" : "zero_slope", outcome.refusalMessage()), true};
    const std::string recoveryRefusal = stats::RecoveryRefusal(analysis);
    JsonOutcome results{{{"study", StudyJson(analysis.texts, analysis.study)},
                         {"regression", RegressionJson(*regression)},
                         {"anova", AnovaJson(anova->anova)},
                         {"residuals", ResidualsJson(anova->residuals)},
                         {"recovery", recoveryRefusal.empty()
                                          ? Json(RecoveryJson(anova->anova, *analysis.recovery().value))
                                          : Json()},
                         {"recoveryRefusal", recoveryRefusal.empty() ? Json() : Json(recoveryRefusal)}},
                        false};
    for (const AnalysisModule &module : AnalysisModules())
        if (module.json)
            module.json(analysis, results.object);
    return results;
}

void AddSeriesJson(JsonObject &document, const stats::SeriesStudy &lin, int series)
{
    const stats::StudySeries &evaluated = lin.series.at(static_cast<std::size_t>(series - 1));
    JsonArray excluded;
    for (const stats::ExcludedPoint &p : stats::ExcludedPoints(evaluated))
        excluded.push_back(JsonObject{{"kind", p.kind == stats::StandardKind::Calibration ? "calibration" : "validation"},
                                      {"level", p.level},
                                      {"point", p.point},
                                      {"x", p.value.x},
                                      {"y", p.value.y},
                                      {"reason", p.value.excluded->reason},
                                      {"by", p.value.excluded->by},
                                      {"at", p.value.excluded->at}});
    JsonObject study = document.value("study").toObject();
    study["series"] = JsonObject{{"number", series}, {"name", evaluated.name}, {"count", lin.series.size()}};
    study["excluded"] = std::move(excluded);
    document["study"] = std::move(study);
}

JsonRun JsonOfStudy(const AnalysedStudy &study)
{
    JsonRun run;
    stats::ReportCommandErrors(
        [&] {
            JsonOutcome outcome = ResultsJson(study.analysed());
            run.status = kExitDone;
            if (outcome.refused) {
                run.message = outcome.object.value("error").toObject().value("message").toString();
                run.status = kExitRefused;
                // A series without a line (an absolute method) leaves the
                // study its accuracy profile.
                if (study.lin && study.analysis && study.analysis->validation.failed)
                    if (const auto &profile = study.analysis->profile(); profile.value)
                        AddProfileJson(*profile.value, outcome.object);
            } else {
                outcome.object["record"] = RecordJson(study.record);
                if (study.lin)
                    AddSeriesJson(outcome.object, *study.lin, study.series);
            }
            run.document = std::move(outcome.object);
        },
        [&](const std::string &message) {
            run = JsonRun{ErrorJson(study.error ? study.errorKind : "numeric", message),
                          kExitFailed, message};
        });
    return run;
}

int RunJsonCommand(const std::string &path, std::ostream &out, std::ostream &err, const stats::AnalysisOptions &options)
{
    const AnalysedStudy study = ReadAndAnalyse(path, options);
    if (!study.seriesProblem.empty()) {
        err << study.seriesProblem << '\n';
        return kExitUsage;
    }
    const JsonRun run = JsonOfStudy(study);
    out << JsonText(run.document);
    if (!run.message.empty())
        err << run.message << '\n';
    return run.status;
}

} // namespace cli
