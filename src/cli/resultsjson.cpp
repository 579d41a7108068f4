#include "cli/resultsjson.h"

#include "stats/errors.h"
#include "stats/studyfile.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <ostream>

namespace cli {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

const char *significanceId(stats::Significance s)
{
    switch (s) {
    case stats::Significance::NoDependence:
        return "no_dependence";
    case stats::Significance::Significant:
        return "significant";
    case stats::Significance::HighlySignificant:
        return "highly_significant";
    }
    return "";
}

const char *fitId(stats::Fit f)
{
    switch (f) {
    case stats::Fit::Adequate:
        return "adequate";
    case stats::Fit::Inadequate:
        return "inadequate";
    case stats::Fit::NotAssessed:
        return "not_assessed";
    }
    return "";
}

void writeDocument(const QJsonObject &object, std::ostream &out)
{
    out << QJsonDocument(object).toJson(QJsonDocument::Indented).toStdString();
}

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
    return {{"slope", r.slope},
            {"slopeUpperLimit", r.slopeUpperLimit},
            {"slopeLowerLimit", r.slopeLowerLimit},
            {"slopeT", r.slopeT},
            {"intercept", r.intercept},
            {"interceptUpperLimit", r.interceptUpperLimit},
            {"interceptLowerLimit", r.interceptLowerLimit},
            {"interceptT", r.interceptT},
            {"sdRegression", r.sdRegression},
            {"coefficientOfVariation", r.coefficientOfVariation},
            {"criticalT", r.criticalT},
            {"rSquared", r.rSquared}};
}

// The rows the analysis of variance window shows: without replicates there
// is no lack of fit nor pure error, and those rows are null.
QJsonObject AnovaJson(const stats::AnovaResult &a)
{
    const bool replicated = a.dfPureError != 0.0;
    auto row = [](double df, double ss, double ms) { return QJsonObject{{"df", df}, {"ss", ss}, {"ms", ms}}; };
    QJsonObject regression = row(1, a.ssRegression, a.msRegression);
    regression["f"] = a.fRegression;
    regression["p"] = a.pRegression;
    QJsonValue lackOfFit = QJsonValue::Null, pureError = QJsonValue::Null;
    if (replicated) {
        QJsonObject lack = row(a.dfLackOfFit, a.ssLackOfFit, a.msLackOfFit);
        lack["f"] = a.fLackOfFit;
        lack["p"] = a.pLackOfFit;
        lackOfFit = lack;
        pureError = row(a.dfPureError, a.ssPureError, a.msPureError);
    }
    return {{"regression", regression},
            {"error", row(a.dfError, a.ssError, a.msError)},
            {"lackOfFit", lackOfFit},
            {"pureError", pureError},
            {"significance", significanceId(stats::RegressionSignificance(a))},
            {"linearFit", fitId(stats::LinearFit(a))}};
}

QJsonArray ResidualsJson(const std::vector<stats::ResidualRow> &residuals)
{
    QJsonArray rows;
    for (const stats::ResidualRow &r : residuals)
        rows.append(QJsonObject{{"observation", r.observation},
                                {"predictedY", r.predictedY},
                                {"residual", r.residual},
                                {"studentized", r.studentized}});
    return rows;
}

// Where the evaluation does not apply the windows print "NP" for every
// statistic and state no verdict: those are null here.
QJsonObject RecoveryJson(const stats::AnovaResult &anova, const stats::RecoveryResult &r)
{
    const bool applies = stats::RecoveryApplies(anova);
    auto shown = [applies](double v) { return applies ? QJsonValue(v) : QJsonValue(QJsonValue::Null); };
    const stats::BestWorstCase c = stats::BestAndWorstCase(r);
    const bool bestWorst = applies && c.exists;
    return {{"applies", applies},
            {"meanRecovery", shown(r.meanRecovery)},
            {"sdRecovery", shown(r.sdRecovery)},
            {"rsdRecovery", shown(r.rsdRecovery)},
            {"upperLimit", shown(r.upperLimit)},
            {"lowerLimit", shown(r.lowerLimit)},
            {"tCalculated", shown(r.tCalculated)},
            {"tTable", shown(r.tTable)},
            {"systematicError", applies ? QJsonValue(stats::SystematicErrorPresent(r) ? "present" : "absent")
                                        : QJsonValue(QJsonValue::Null)},
            {"bestCase", bestWorst ? QJsonValue(c.best) : QJsonValue(QJsonValue::Null)},
            {"worstCase", bestWorst ? QJsonValue(c.worst) : QJsonValue(QJsonValue::Null)}};
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

JsonOutcome StudyResultsJson(const stats::StudyTexts &texts, char sep)
{
    stats::SharedResults records;
    const stats::CommandOutcome outcome = stats::RunReport(texts, records, sep);
    if (outcome.refused())
        return {ErrorJson(outcome.validation.failed ? "validation" : "zero_slope", outcome.refusalMessage()), true};
    return {{{"study", StudyJson(texts, stats::ReadStudy(texts, sep))},
             {"regression", RegressionJson(records.regression)},
             {"anova", AnovaJson(records.anova)},
             {"residuals", ResidualsJson(records.residuals)},
             {"recovery", RecoveryJson(records.anova, records.recovery)}},
            false};
}

int RunJsonCommand(const std::string &path, std::ostream &out, std::ostream &err, char sep)
{
    // Whatever the reading of the file meets (a count line that is not a
    // whole number included) is "file"; what the computations meet (a cell
    // that is not a number, a floating-point fault) is "numeric".
    const char *kind = "file";
    int status = 1;
    stats::ReportCommandErrors(
        [&] {
            const std::string bytes = stats::ReadFileBytes(path);
            const stats::StudyData study = stats::StudyFromFile(stats::ParseStudyFile(bytes));
            kind = "numeric";
            JsonOutcome outcome = StudyResultsJson(study, sep);
            if (!outcome.refused)
                outcome.object.insert("record", RecordJson(MakePrintRecord(StudySource::ofFile(path, bytes))));
            writeDocument(outcome.object, out);
            status = 0;
            if (outcome.refused) {
                err << outcome.object["error"].toObject()["message"].toString().toStdString() << '\n';
                status = 2;
            }
        },
        [&](const std::string &message) {
            writeDocument(ErrorJson(kind, message), out);
            err << message << '\n';
        });
    return status;
}

} // namespace cli
