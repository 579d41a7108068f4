#include "cli/resultsjson.h"

#include "cli/acceptancelimits.h"
#include "cli/headless.h"

#include "stats/errors.h"
#include "stats/resultfields.h"
#include "stats/studyfile.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <array>
#include <ostream>

namespace cli {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

// The verdicts' identifiers, in the order of their enumerations.
const char *significanceId(stats::Significance s)
{
    return std::array{"no_dependence", "significant", "highly_significant"}.at(static_cast<size_t>(s));
}

const char *fitId(stats::Fit f) { return std::array{"adequate", "inadequate", "not_assessed"}.at(static_cast<size_t>(f)); }

QJsonValue figure(const stats::Figure &v) { return v ? QJsonValue(v->toDouble()) : QJsonValue(QJsonValue::Null); }

} // namespace

QJsonObject StudyJson(const stats::StudyTexts &texts, const stats::LinearityStudy &study)
{
    QJsonArray replicates;
    for (int r : study.replicates)
        replicates.append(r);
    QJsonArray observations;
    for (int i = 0; i < study.n(); ++i) {
        const stats::Observation &o = study.observations[static_cast<size_t>(i)];
        observations.append(QJsonObject{{"observation", i + 1}, {"level", o.level}, {"x", o.x}, {"y", o.y}});
    }
    return {{"method", text(texts.method())},
            {"analyst", text(texts.analyst())},
            {"date", text(texts.date())},
            {"units", text(texts.units())},
            {"levels", study.k()},
            {"replicates", replicates},
            {"n", study.n()},
            {"observations", observations}};
}

QJsonObject RegressionJson(const stats::RegressionResult &r)
{
    QJsonObject object;
    for (const stats::RegressionField &field : stats::RegressionFields())
        object[QLatin1String(field.key)] = (r.*field.member).toDouble();
    return object;
}

// The rows the analysis of variance window shows: without replicates there
// is no lack of fit nor pure error, and those rows are null.
QJsonObject AnovaJson(const stats::AnovaResult &a)
{
    QJsonObject object = AnovaRowsJson(a);
    object["significance"] = significanceId(stats::RegressionSignificance(a));
    object["linearFit"] = fitId(stats::LinearFit(a));
    return object;
}

QJsonObject AnovaRowsJson(const stats::AnovaResult &a)
{
    QJsonObject object;
    for (int s = 0; s < static_cast<int>(stats::AnovaSources().size()); ++s) {
        const stats::AnovaSource &source = stats::AnovaSources()[s];
        QJsonObject row;
        for (const stats::AnovaField &field : stats::AnovaFields())
            if (field.source == s)
                row[QLatin1String(stats::AnovaColumns()[field.column].key)] = (a.*field.member).toDouble();
        object[QLatin1String(source.key)] = stats::SourceShown(source, a) ? QJsonValue(row) : QJsonValue::Null;
    }
    return object;
}

QJsonArray ResidualsJson(const std::vector<stats::ResidualRow> &residuals)
{
    QJsonArray rows;
    for (const stats::ResidualRow &r : residuals) {
        QJsonObject row{{"observation", r.observation}};
        for (const stats::ResidualField &field : stats::ResidualFields())
            row[QLatin1String(field.key)] = (r.*field.member).toDouble();
        rows.append(row);
    }
    return rows;
}

// Where the evaluation does not apply the windows print "NP" for every
// statistic and state no verdict: those are null here.
QJsonObject RecoveryJson(const stats::AnovaResult &anova, const stats::RecoveryResult &r)
{
    const bool applies = stats::RecoveryApplies(anova);
    auto shown = [applies](const stats::Real &v) {
        return applies ? QJsonValue(v.toDouble()) : QJsonValue(QJsonValue::Null);
    };
    const stats::BestWorstCase c = stats::BestAndWorstCase(r);
    const bool bestWorst = applies && c.exists;
    QJsonObject object{
        {"applies", applies},
        {"systematicError", applies ? QJsonValue(stats::SystematicErrorPresent(r) ? "present" : "absent")
                                    : QJsonValue(QJsonValue::Null)},
        {"bestCase", bestWorst ? QJsonValue(c.best.toDouble()) : QJsonValue(QJsonValue::Null)},
        {"worstCase", bestWorst ? QJsonValue(c.worst.toDouble()) : QJsonValue(QJsonValue::Null)}};
    for (const stats::RecoveryField &field : stats::RecoveryFields())
        object[QLatin1String(field.key)] = shown(r.*field.member);
    return object;
}

QJsonArray BackCalculationJson(const std::vector<stats::BackCalculation> &rows)
{
    QJsonArray back;
    for (const stats::BackCalculation &b : rows)
        back.append(QJsonObject{{"observation", b.observation},
                                {"level", b.level},
                                {"x", b.x.toDouble()},
                                {"xBack", figure(b.xBack)},
                                {"relativeError", figure(b.relativeError)}});
    return back;
}

QJsonArray LevelBiasJson(const std::vector<stats::LevelBias> &biases)
{
    QJsonArray bias;
    for (const stats::LevelBias &b : biases)
        bias.append(QJsonObject{
            {"level", b.level}, {"x", b.x.toDouble()}, {"meanRelativeError", figure(b.meanRelativeError)}});
    return bias;
}

// Each figure where its field's group puts it; a figure not assessed is
// null. The checks' range has two numbers, lowest and highest.
QJsonObject CriteriaJson(const stats::CriteriaResult &c)
{
    QJsonObject object{{"levels", c.levels}};
    for (const stats::CriteriaField &field : stats::CriteriaFields()) {
        if (!field.key)
            continue;
        if (!field.group) {
            object[QLatin1String(field.key)] = figure(c.*field.member);
            continue;
        }
        QJsonObject group = object[QLatin1String(field.group)].toObject();
        group[QLatin1String(field.key)] = figure(c.*field.member);
        object[QLatin1String(field.group)] = group;
    }
    QJsonArray checks;
    for (const stats::CriteriaCheck &check : c.checks) {
        QJsonValue value = figure(check.value.at(0)), limit = check.limit.at(0);
        if (check.value.size() == 2) {
            value = check.value[0] && check.value[1]
                        ? QJsonValue(QJsonArray{check.value[0]->toDouble(), check.value[1]->toDouble()})
                                                     : QJsonValue(QJsonValue::Null);
            limit = QJsonArray{check.limit[0], check.limit[1]};
        }
        checks.append(QJsonObject{{"name", check.name},
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

QJsonValue QuadraticJson(const stats::QuadraticResult &q)
{
    if (q.notFitted)
        return QJsonValue::Null;
    QJsonObject object;
    for (const stats::QuadraticField &field : stats::QuadraticFields())
        object[QLatin1String(field.key)] = (q.*field.member).toDouble();
    object["anova"] = AnovaRowsJson(q.anova);
    object["sensitivity"] = QJsonObject{{"low", q.sensitivityLow.toDouble()},
                                        {"high", q.sensitivityHigh.toDouble()},
                                        {"mean", q.sensitivityMean.toDouble()}};
    object["vertex"] = figure(q.vertex);
    object["monotonic"] = q.monotonic;
    object["sx0"] = figure(q.sx0);
    object["vx0"] = figure(q.vx0);
    object["backCalculated"] = BackCalculationJson(q.backCalculated);
    object["levelBias"] = LevelBiasJson(q.levelBias);
    object["relativeStandardError"] = figure(q.relativeStandardError);
    object["choice"] = QJsonObject{{"model", stats::ModelKey(q.model)}, {"reason", stats::ChoiceReasonKey(q.reason)}};
    return object;
}

// The limits name the method and the terms they are stated with.
QJsonObject DetectionJson(const stats::DetectionResult &d)
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
            {"ich", QJsonObject{{"method", "ICH Q2(R2) standard deviation of the response and slope"},
                                {"lod", d.ichLod.toDouble()},
                                {"loq", d.ichLoq.toDouble()}}}};
}

// An unbounded inversion interval has null ends.
QJsonObject SamplesJson(const stats::SamplesResult &s, int degreesOfFreedom)
{
    QJsonArray results;
    for (const stats::SampleResult &r : s.samples) {
        QJsonArray responses;
        for (const stats::Rational &y : r.responses)
            responses.append(stats::NearestDouble(y));
        results.append(QJsonObject{{"name", text(r.name)},
                                   {"responses", responses},
                                   {"m", r.m},
                                   {"meanResponse", r.meanResponse.toDouble()},
                                   {"x", r.x.toDouble()},
                                   {"se", r.se.toDouble()},
                                   {"lower", r.lower.toDouble()},
                                   {"upper", r.upper.toDouble()},
                                   {"fiellerLower", figure(r.fiellerLower)},
                                   {"fiellerUpper", figure(r.fiellerUpper)},
                                   {"inRange", r.inRange},
                                   {"belowQuantification", r.belowQuantification}});
    }
    return {{"confidence", stats::NearestDouble(s.confidence)},
            {"degreesOfFreedom", degreesOfFreedom},
            {"t", s.t.toDouble()},
            {"g", s.g.toDouble()},
            {"lowestLevel", s.lowestLevel.toDouble()},
            {"highestLevel", s.highestLevel.toDouble()},
            {"results", results}};
}

QJsonObject RecordJson(const PrintRecord &r)
{
    return {{"file", text(r.file)},
            {"sha256", text(r.sha256)},
            {"program", text(r.program)},
            {"version", text(r.version)},
            {"revision", text(r.revision)},
            {"generated", text(r.generated)},
            {"user", text(r.user)}};
}

QJsonObject ErrorJson(const char *kind, const std::string &message)
{
    return {{"error", QJsonObject{{"kind", kind}, {"message", text(message)}}}};
}

JsonOutcome ResultsJson(const stats::StudyAnalysis &analysis)
{
    // In the order the report and then the criteria meet their refusals.
    stats::CommandOutcome outcome;
    const stats::AnovaAndResiduals *anova = nullptr;
    const stats::RegressionResult *regression = nullptr;
    if (stats::Validated(analysis, outcome) && (anova = stats::Require(analysis.anova(), outcome)))
        regression = stats::Require(analysis.regression(), outcome);
    if (!regression)
        return {ErrorJson(outcome.validation.failed ? "validation" : "zero_slope", outcome.refusalMessage()), true};
    const std::string recoveryRefusal = stats::RecoveryRefusal(analysis);
    const stats::CriteriaResult &criteria = *stats::Require(analysis.criteria(), outcome);
    const stats::DetectionResult &detection = *stats::Require(analysis.detection(), outcome);
    const bool samplesGiven = analysis.samplesGiven();
    const stats::SamplesResult *samples = samplesGiven ? stats::Require(analysis.samples(), outcome) : nullptr;
    JsonOutcome results{{{"study", StudyJson(analysis.texts, analysis.study)},
             {"regression", RegressionJson(*regression)},
             {"anova", AnovaJson(anova->anova)},
             {"residuals", ResidualsJson(anova->residuals)},
             {"recovery", recoveryRefusal.empty() ? QJsonValue(RecoveryJson(anova->anova, *analysis.recovery().value))
                                                  : QJsonValue(QJsonValue::Null)},
             {"recoveryRefusal",
              recoveryRefusal.empty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text(recoveryRefusal))},
             {"criteria", CriteriaJson(criteria)},
             {"weighting", WeightingJson(*stats::Require(analysis.weighting(), outcome))},
             {"quadratic", analysis.quadratic().value ? QuadraticJson(*analysis.quadratic().value)
                                                    : QJsonValue(QJsonValue::Null)},
             {"detection", DetectionJson(detection)}},
            false};
    if (samples)
        results.object.insert("samples", SamplesJson(*samples, detection.degreesOfFreedom));
    return results;
}

JsonRun JsonOfStudy(const AnalysedStudy &study)
{
    JsonRun run;
    stats::ReportCommandErrors(
        [&] {
            JsonOutcome outcome = ResultsJson(study.analysed());
            run.status = kExitDone;
            if (outcome.refused) {
                run.message = outcome.object["error"].toObject()["message"].toString().toStdString();
                run.status = kExitRefused;
            } else {
                outcome.object.insert("record", RecordJson(study.record));
            }
            run.document = std::move(outcome.object);
        },
        [&](const std::string &message) {
            run = JsonRun{ErrorJson(study.error ? study.errorKind : "numeric", message),
                          kExitFailed, message};
        });
    return run;
}

std::string JsonText(const QJsonObject &document)
{
    return QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

int RunJsonCommand(const std::string &path, std::ostream &out, std::ostream &err, const stats::AnalysisOptions &options)
{
    const JsonRun run = JsonOfStudy(ReadAndAnalyse(path, options));
    out << JsonText(run.document);
    if (!run.message.empty())
        err << run.message << '\n';
    return run.status;
}

} // namespace cli
