// linealidad --json as a laboratory system reads it, beyond the worked
// studies' JSON compared whole (tests/golden): each refusal as an error
// object with the text commands' message and status.
#include "cli/samplesoptions.h"
#include "stats/outcomes.h"
#include "stats/studyfile.h"
#include "support/pdfwords.h"
#include "support/processrun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QJsonObject parsed(const std::string &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

} // namespace

// Each kind of refusal: the error object on standard output, the text
// commands' message on standard error, the text commands' status.
TEST(Json, EveryRefusalKindWithItsMessageAndStatus)
{
    QTemporaryDir dir;
    const struct {
        const char *kind;
        QString path;
        int status;
    } cases[] = {
        {"validation", writeBytes(dir.filePath("two-levels.w04"), "M\r\nA\r\nF\r\nU\r\n2\r\n1\r\n1\r\n1\r\n2\r\n1\r\n2\r\n"), 2},
        {"zero_slope", writeBytes(dir.filePath("zero.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n"), 2},
        {"file", dir.filePath("missing.w04"), 1},
        {"file", writeBytes(dir.filePath("bad-count.w04"), "M\r\nA\r\nF\r\nU\r\ntres\r\n"), 1},
        {"numeric", writeBytes(dir.filePath("letters.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\ndos\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
        {"numeric", writeBytes(dir.filePath("exact.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
    };
    for (const auto &c : cases) {
        const QString &path = c.path;
        const ProcessRun json = runLinealidad({"--json", path});
        const ProcessRun text = runLinealidad({"--report", path});
        EXPECT_EQ(json.status, c.status) << c.kind << " " << path.toStdString() << json.err;
        EXPECT_EQ(text.status, c.status) << path.toStdString();
        const QJsonObject o = parsed(json.out);
        ASSERT_EQ(o.keys(), QStringList{"error"}) << json.out;
        const QJsonObject error = o["error"].toObject();
        EXPECT_EQ(error["kind"].toString().toStdString(), c.kind) << path.toStdString();
        EXPECT_EQ(error["message"].toString().toStdString() + "\n", text.err) << path.toStdString();
        EXPECT_EQ(json.err, text.err);
    }
}

// A blank level (x = 0) has no percentage recovered: the report and the
// systematic error are refused with the reason, and the JSON carries every
// other result, the recovery null with the same reason beside it.
TEST(Json, ABlankLevelStopsOnlyTheRecovery)
{
    QTemporaryDir dir;
    const QString path = writeBytes(dir.filePath("blank.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n2\r\n2\r\n2\r\n"
                                                               "0\r\n0\r\n1\r\n1\r\n2\r\n2\r\n"
                                                               "0.02\r\n-0.01\r\n1.01\r\n0.98\r\n2.03\r\n1.99\r\n");
    const std::string reason =
        "La cantidad adicionada del dato 1 es cero: no se puede calcular su porcentaje recuperado.";
    const ProcessRun json = runLinealidad({"--json", path});
    EXPECT_EQ(json.status, 0) << json.err;
    const QJsonObject o = parsed(json.out);
    EXPECT_TRUE(o["recovery"].isNull());
    EXPECT_EQ(o["recoveryRefusal"].toString().toStdString(), reason);
    for (const char *key : {"regression", "anova", "criteria", "detection"})
        EXPECT_TRUE(o[key].isObject()) << key;
    EXPECT_EQ(o["residuals"].toArray().size(), 6);
    EXPECT_EQ(o["criteria"].toObject()["verdict"].toString().toStdString(), "fail"); // 3 levels
    for (const char *command : {"--report", "--systematic-error"}) {
        const ProcessRun text = runLinealidad({command, path});
        EXPECT_EQ(text.status, 1) << command;
        EXPECT_EQ(text.err, reason + "\n") << command;
    }
    for (const char *command : {"--inference", "--anova", "--residuals", "--criteria", "--weighting"})
        EXPECT_EQ(runLinealidad({command, path}).status, 0) << command;

    // Neither the x nor the y powers weigh a blank: null, with the reason;
    // the analyst's weight is taken, and one that cannot weigh leaves no line.
    const QJsonObject weighting = o["weighting"].toObject();
    EXPECT_EQ(weighting["chosen"].toString(), "none");
    EXPECT_EQ(weighting["rule"].toString(), "homoscedastic");
    const QJsonArray candidates = weighting["candidates"].toArray();
    ASSERT_EQ(candidates.size(), 8);
    for (int i = 1; i < 7; ++i) {
        const QJsonObject c = candidates[i].toObject();
        EXPECT_TRUE(c["slope"].isNull() && c["rank"].isNull() && c["sumAbsRelativeError"].isNull()) << i;
        EXPECT_EQ(c["undefinedBecause"].toString(), i < 4 ? "una cantidad adicionada es cero o negativa"
                                                           : "una cantidad recuperada es cero o negativa");
    }
    EXPECT_EQ(candidates[7].toObject()["weight"].toString(), "1/s^2");
    EXPECT_EQ(candidates[7].toObject()["rank"].toInt(), 2);
    const QJsonObject user = parsed(runLinealidad({"--json", path, "--weight", "1/s^2"}).out)["weighting"].toObject();
    EXPECT_EQ(user["chosen"].toString(), "1/s^2");
    EXPECT_EQ(user["rule"].toString(), "user");
    EXPECT_DOUBLE_EQ(user["weighted"].toObject()["slope"].toDouble(), candidates[7].toObject()["slope"].toDouble());
    EXPECT_NE(user["weighted"].toObject()["slope"].toDouble(),
              weighting["weighted"].toObject()["slope"].toDouble());
    EXPECT_TRUE(parsed(runLinealidad({"--json", path, "--weight", "1/x"}).out)["weighting"].toObject()["weighted"].isNull());
    EXPECT_NE(runLinealidad({"--weighting", path, "--weight", "1/x"}).out.find(
                  "La ponderación 1/x no se puede aplicar: una cantidad adicionada es cero o negativa."),
              std::string::npos);
}

// A study that cannot have the quadratic model is not refused for it: the
// JSON holds quadratic null beside every other result, and --quadratic says
// why in one line, status 0, even where the line itself is refused.
TEST(Json, AStudyWithoutTheQuadraticModelKeepsEveryOtherResult)
{
    QTemporaryDir dir;
    const QString three = writeBytes(dir.filePath("three.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n"
                                                                "1\r\n2\r\n3\r\n1.1\r\n1.9\r\n3.2\r\n");
    const ProcessRun json = runLinealidad({"--json", three});
    EXPECT_EQ(json.status, 0) << json.err;
    const QJsonObject o = parsed(json.out);
    EXPECT_TRUE(o["quadratic"].isNull());
    EXPECT_TRUE(o["criteria"].isObject());
    const struct {
        QString path;
        std::string line;
    } cases[] = {
        {three, "El modelo cuadrático necesita al menos tres cantidades adicionadas distintas y cuatro observaciones."},
        {writeBytes(dir.filePath("flat.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n"),
         "El modelo cuadrático necesita al menos tres cantidades adicionadas distintas y cuatro observaciones."},
        {writeBytes(dir.filePath("flat4.w04"),
                    "M\r\nA\r\nF\r\nU\r\n4\r\n1\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n4\r\n5\r\n5\r\n5\r\n5\r\n"),
         "El modelo cuadrático pasa exactamente por todas las observaciones: no queda error con que evaluarlo."},
    };
    for (const auto &c : cases) {
        const ProcessRun text = runLinealidad({"--quadratic", c.path});
        EXPECT_EQ(text.status, 0) << c.path.toStdString() << text.err;
        EXPECT_EQ(text.out, c.line + "\n") << c.path.toStdString();
    }
}

// The detection limits are in every JSON; the samples when a samples file is
// given, each figure the engine's, an unbounded inversion interval null. The
// --samples text is the engine's lines; a zero slope refuses the samples as
// it refuses every result.
TEST(Json, DetectionAlwaysAndSamplesWhenGiven)
{
    QTemporaryDir dir;
    const QString study = TEST_DATA_DIR "/worked-anova.w04";
    const QString samples = writeBytes(dir.filePath("m.txt"), "Muestra;Respuesta\nA;2.5;2.4\nB;9\n");
    EXPECT_FALSE(parsed(runLinealidad({"--json", study}).out).contains("samples"));
    const ProcessRun json = runLinealidad({"--json", study, "--samples", samples, "--confidence", "0.99"});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject o = parsed(json.out);

    stats::AnalysisOptions options;
    options.samples = cli::ReadSamplesFile(samples.toStdString());
    options.confidence = stats::Rational(99, 100);
    const stats::StudyAnalysis a =
        stats::Analyze(stats::StudyFromFile(stats::ParseStudyFile(stats::ReadFileBytes(study.toStdString()))), options);
    const stats::DetectionResult &d = *a.detection().value;
    const QJsonObject detection = o["detection"].toObject();
    EXPECT_EQ(detection["sx0"].toDouble(), d.sx0.toDouble());
    EXPECT_EQ(detection["quantificationLimit"].toDouble(), d.quantificationLimit.toDouble());
    EXPECT_EQ(detection["quantificationLimitIterated"].toDouble(), d.quantificationLimitIterated->toDouble());
    EXPECT_EQ(detection["ich"].toObject()["loq"].toDouble(), o["criteria"].toObject()["loq"].toDouble());
    EXPECT_EQ(detection["alpha"].toDouble(), 0.01);
    const QJsonObject s = o["samples"].toObject();
    EXPECT_EQ(s["confidence"].toDouble(), 0.99);
    const QJsonArray results = s["results"].toArray();
    ASSERT_EQ(results.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const stats::SampleResult &r = a.samples().value->samples[static_cast<size_t>(i)];
        const QJsonObject row = results[i].toObject();
        EXPECT_EQ(row["name"].toString().toStdString(), r.name);
        EXPECT_EQ(row["m"].toInt(), r.m);
        EXPECT_EQ(row["x"].toDouble(), r.x.toDouble());
        EXPECT_EQ(row["upper"].toDouble(), r.upper.toDouble());
        EXPECT_EQ(row["fiellerLower"].isNull(), !r.fiellerLower);
        if (r.fiellerLower) {
            EXPECT_EQ(row["fiellerLower"].toDouble(), r.fiellerLower->toDouble());
        }
        EXPECT_EQ(row["inRange"].toBool(), r.inRange);
        EXPECT_EQ(row["belowQuantification"].toBool(), r.belowQuantification);
    }
    EXPECT_EQ(results[0].toObject()["responses"].toArray(), (QJsonArray{2.5, 2.4}));
    EXPECT_FALSE(results[1].toObject()["inRange"].toBool()); // 9 lies far above the levels

    const ProcessRun text = runLinealidad({"--samples", study, samples, "--confidence", "0.99"});
    ASSERT_EQ(text.status, 0) << text.err;
    std::string lines;
    for (const std::string &line : stats::SamplesOutcome(a).lines)
        lines += line + "\n";
    EXPECT_EQ(text.out, lines);

    // The printed page: the method's lines, each sample's figures, its flags in words.
    const QString pdf = dir.filePath("muestras.pdf");
    const ProcessRun page = runLinealidad({"--print", "samples", study, samples, "--output", pdf, "--confidence", "0.99"});
    ASSERT_EQ(page.status, 0) << page.err;
    const QStringList printed = readPdf(pdf).lines(0);
    for (const std::string &line : stats::DetectionLines(d, a.study.units, '.'))
        if (line != " ") {
            EXPECT_TRUE(printed.contains(QString::fromStdString(line))) << line;
        }
    for (const stats::SampleResult &r : a.samples().value->samples) {
        stats::CellRow cells = stats::SampleCells(r, '.');
        cells.pop_back();
        QStringList words;
        for (const std::string &cell : cells)
            words << QString::fromStdString(cell);
        EXPECT_TRUE(printed.contains(words.join(' '))) << words.join(' ').toStdString();
    }
    EXPECT_TRUE(printed.contains(QStringLiteral("B: FUERA DEL INTERVALO ESTUDIADO")));

    const QString zero = writeBytes(dir.filePath("zero.w04"), "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n");
    const ProcessRun refused = runLinealidad({"--samples", zero, samples});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, std::string(stats::kZeroSlopeMessage) + "\n");
    EXPECT_EQ(refused.out, "");
}
