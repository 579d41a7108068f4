// linealidad --json as a laboratory system reads it: one JSON object whose
// numbers, printed as the result texts print them, are the text commands'
// figures; each refusal as an error object with the text commands' message
// and status.
#include "stats/numberformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

struct ProcessRun {
    int status = -1;
    std::string out, err;
};

ProcessRun linealidad(const QStringList &args, const QString &locale = "C.UTF-8")
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", locale);
    env.remove("DISPLAY");
    p.setProcessEnvironment(env);
    p.start(LINEALIDAD_BINARY, args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

QJsonObject parsed(const std::string &text)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text;
    EXPECT_TRUE(doc.isObject());
    return doc.object();
}

QJsonValue at(const QJsonObject &root, const QString &pointer)
{
    QJsonValue v = root;
    for (const QString &part : pointer.split('/', Qt::SkipEmptyParts))
        v = v.isArray() ? v.toArray().at(part.toInt()) : v.toObject().value(part);
    return v;
}

std::string printed(const QJsonObject &root, const QString &pointer, char separator = '.', int digits = 6)
{
    const QJsonValue v = at(root, pointer);
    EXPECT_TRUE(v.isDouble()) << pointer.toStdString();
    return stats::FormatGeneral(v.toDouble(), digits, separator);
}

std::string writeStudy(const QTemporaryDir &dir, const char *name, const std::string &bytes)
{
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

// Every figure of the report, from the JSON numbers printed to six digits.
TEST(Json, TheWorkedStudysNumbersAreTheReportsFigures)
{
    const ProcessRun json = linealidad({"--json", TEST_DATA_DIR "/worked-anova.w04"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.err, "");
    const QJsonObject o = parsed(json.out);
    const std::string report = linealidad({"--report", TEST_DATA_DIR "/worked-anova.w04"}).out;

    const std::pair<const char *, const char *> lines[] = {
        {"PENDIENTE =  ", "/regression/slope"},
        {"LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ", "/regression/slopeUpperLimit"},
        {"LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ", "/regression/slopeLowerLimit"},
        {"t cal = ", "/regression/slopeT"},
        {"ORDENADA AL ORIGEN = ", "/regression/intercept"},
        {"LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ", "/regression/interceptUpperLimit"},
        {"LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ", "/regression/interceptLowerLimit"},
        {"t cal = ", "/regression/interceptT"},
        {"DESVIACIÓN ESTÁNDAR DE REGRESIÓN = ", "/regression/sdRegression"},
        {"COEFICIENTE DE VARIACIÓN = ", "/regression/coefficientOfVariation"},
        {"SUMA DE CUADRADOS = ", "/anova/regression/ss"},
        {"fcal = ", "/anova/regression/f"},
        {"Pfcal = ", "/anova/regression/p"},
        {"GRADOS DE LIBERTAD = ", "/anova/error/df"},
        {"SUMA DE CUADRADOS = ", "/anova/error/ss"},
        {"MEDIA DE CUADRADOS = ", "/anova/error/ms"},
        {"SUMA DE CUADRADOS = ", "/anova/lackOfFit/ss"},
        {"fcal = ", "/anova/lackOfFit/f"},
        {"Pfcal = ", "/anova/lackOfFit/p"},
        {"GRADOS DE LIBERTAD = ", "/anova/pureError/df"},
        {"SUMA DE CUADRADOS = ", "/anova/pureError/ss"},
        {"MEDIA DE CUADRADOS = ", "/anova/pureError/ms"},
        {"MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = ", "/recovery/meanRecovery"},
        {"DESVIACIÓN ESTÁNDAR DEL PORCENTAJE RECUPERADO = ", "/recovery/sdRecovery"},
        {"DESVIACIÓN ESTÁNDAR RELATIVA = ", "/recovery/rsdRecovery"},
        {"LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ", "/recovery/upperLimit"},
        {"LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ", "/recovery/lowerLimit"},
        {"PRUEBA t DE STUDENT = ", "/recovery/tCalculated"},
    };
    for (const auto &[label, pointer] : lines) {
        const std::string line = "\n" + std::string(label) + printed(o, pointer) + "\n";
        EXPECT_NE(report.find(line), std::string::npos) << pointer << ": " << line;
    }
    EXPECT_NE(report.find("\nCOEFICIENTE DE DETERMINACIÓN (r^2) = " + printed(o, "/regression/rSquared", '.', 8) + "\n"),
              std::string::npos);
    const std::string residuals = linealidad({"--residuals", TEST_DATA_DIR "/worked-anova.w04"}).out;
    const QJsonArray rows = o["residuals"].toArray();
    ASSERT_EQ(rows.size(), 6);
    for (int i = 0; i < rows.size(); ++i) {
        const QString row = QString("/residuals/%1/").arg(i);
        EXPECT_EQ(at(o, row + "observation").toInt(), i + 1);
        const std::string line = "           " + std::to_string(i + 1) + "\t" + printed(o, row + "predictedY") + "\t" +
                                 printed(o, row + "residual") + "\t" + printed(o, row + "studentized") + "\n";
        EXPECT_NE(residuals.find(line), std::string::npos) << line;
    }
    // The verdicts as identifiers, the study as typed and counted.
    EXPECT_EQ(at(o, "/anova/significance").toString(), "highly_significant");
    EXPECT_EQ(at(o, "/anova/linearFit").toString(), "adequate");
    EXPECT_EQ(at(o, "/recovery/systematicError").toString(), "absent");
    EXPECT_TRUE(at(o, "/recovery/applies").toBool());
    const std::string systematic = linealidad({"--systematic-error", TEST_DATA_DIR "/worked-anova.w04"}).out;
    EXPECT_NE(systematic.find("\nQUE EN EL MEJOR DE LOS CASOS ES DE UN " + printed(o, "/recovery/bestCase") +
                              " Y EN EL PEOR DE LOS CASOS ES DE UN " + printed(o, "/recovery/worstCase") + "\n"),
              std::string::npos);
    EXPECT_EQ(at(o, "/study/method").toString(), QStringLiteral("Valoración de paracetamol"));
    EXPECT_EQ(at(o, "/study/analyst").toString(), QStringLiteral("Ana Pérez"));
    EXPECT_EQ(at(o, "/study/levels").toInt(), 3);
    EXPECT_EQ(at(o, "/study/n").toInt(), 6);
    EXPECT_EQ(at(o, "/study/replicates").toArray(), (QJsonArray{2, 2, 2}));
    EXPECT_EQ(at(o, "/study/observations/2/x").toDouble(), 2.0);
    EXPECT_EQ(at(o, "/study/observations/5/y").toDouble(), 3.05);
    EXPECT_EQ(at(o, "/study/observations/5/level").toInt(), 3);
    // Full precision: more digits than any text shows, and they read back to the same double.
    EXPECT_GT(QJsonDocument(o).toJson().count('.'), 0);
    EXPECT_NE(json.out.find("\"p\": 0.000265967263"), std::string::npos) << json.out;
}

// A study typed with decimal commas: JSON numbers always use a point, and
// they are the figures the text commands print with commas.
TEST(Json, NumbersDoNotDependOnTheLocale)
{
    const ProcessRun json = linealidad({"--json", TEST_DATA_DIR "/worked-inference-comma.w04"}, "es_ES.UTF-8");
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject o = parsed(json.out);
    const std::string inference = linealidad({"--inference", TEST_DATA_DIR "/worked-inference-comma.w04"}, "es_ES.UTF-8").out;
    EXPECT_NE(inference.find("PENDIENTE =  " + printed(o, "/regression/slope", ',') + "\n"), std::string::npos) << inference;
    EXPECT_NE(inference.find("ORDENADA AL ORIGEN = " + printed(o, "/regression/intercept", ',') + "\n"), std::string::npos);
    EXPECT_NE(inference.find("(r^2) = " + printed(o, "/regression/rSquared", ',', 8) + "\n"), std::string::npos);
    EXPECT_EQ(json.out.find("1,0"), std::string::npos);
}

// Without replicates the lack of fit and pure error are null; where the
// regression is not significant the recovery statistics are null, as the
// windows print "NP".
TEST(Json, WhatTheWindowsDoNotShowIsNull)
{
    QTemporaryDir dir;
    const std::string head = "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n";
    ProcessRun r = linealidad({"--json", QString::fromStdString(writeStudy(dir, "single.w04",
                                                                          head + "1\r\n2\r\n3\r\n1.1\r\n1.9\r\n3.2\r\n"))});
    ASSERT_EQ(r.status, 0) << r.err;
    QJsonObject o = parsed(r.out);
    EXPECT_TRUE(at(o, "/anova/lackOfFit").isNull());
    EXPECT_TRUE(at(o, "/anova/pureError").isNull());
    EXPECT_EQ(at(o, "/anova/linearFit").toString(), "not_assessed");

    r = linealidad({"--json", QString::fromStdString(writeStudy(dir, "flat.w04",
                                                               head + "1\r\n2\r\n3\r\n5\r\n1\r\n4\r\n"))});
    ASSERT_EQ(r.status, 0) << r.err;
    o = parsed(r.out);
    EXPECT_EQ(at(o, "/anova/significance").toString(), "no_dependence");
    EXPECT_FALSE(at(o, "/recovery/applies").toBool());
    for (const char *field : {"meanRecovery", "sdRecovery", "tCalculated", "systematicError", "bestCase"})
        EXPECT_TRUE(at(o, QString("/recovery/") + field).isNull()) << field;
    EXPECT_NE(linealidad({"--systematic-error", QString::fromStdString(dir.filePath("flat.w04").toStdString())})
                  .out.find("NP = NO PROCEDE"),
              std::string::npos);
}

// Each kind of refusal: the error object on standard output, the text
// commands' message on standard error, the text commands' status.
TEST(Json, EveryRefusalKindWithItsMessageAndStatus)
{
    QTemporaryDir dir;
    const struct {
        const char *kind;
        std::string path;
        int status;
    } cases[] = {
        {"validation", writeStudy(dir, "two-levels.w04", "M\r\nA\r\nF\r\nU\r\n2\r\n1\r\n1\r\n1\r\n2\r\n1\r\n2\r\n"), 2},
        {"zero_slope", writeStudy(dir, "zero.w04", "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n"), 2},
        {"file", dir.filePath("missing.w04").toStdString(), 1},
        {"file", writeStudy(dir, "bad-count.w04", "M\r\nA\r\nF\r\nU\r\ntres\r\n"), 1},
        {"numeric", writeStudy(dir, "letters.w04", "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\ndos\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
        {"numeric", writeStudy(dir, "exact.w04", "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n"), 1},
    };
    for (const auto &c : cases) {
        const QString path = QString::fromStdString(c.path);
        const ProcessRun json = linealidad({"--json", path});
        const ProcessRun text = linealidad({"--report", path});
        EXPECT_EQ(json.status, c.status) << c.kind << " " << c.path << json.err;
        EXPECT_EQ(text.status, c.status) << c.path;
        const QJsonObject o = parsed(json.out);
        ASSERT_EQ(o.keys(), QStringList{"error"}) << json.out;
        EXPECT_EQ(at(o, "/error/kind").toString().toStdString(), c.kind) << c.path;
        EXPECT_EQ(at(o, "/error/message").toString().toStdString() + "\n", text.err) << c.path;
        EXPECT_EQ(json.err, text.err);
    }
}
