// The analyst's target and limits files on the command line: a loose file
// lets a study pass, a tight one fails it, a file or target the program
// cannot take is refused before the study is read, naming what is wrong.
#include "cli/acceptancelimits.h"
#include "cli/headless.h"
#include "support/processrun.h"

#include <QJsonDocument>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace {

ProcessRun headless(const std::vector<std::string> &args)
{
    std::ostringstream out, err;
    const int status = cli::RunHeadless(args, out, err, '.');
    return {status, out.str(), err.str()};
}

std::string writeFile(const QTemporaryDir &dir, const char *name, const std::string &text)
{
    const std::string path = dir.filePath(name).toStdString();
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

const std::string kLackOfFit = TEST_DATA_DIR "/worked-lackoffit.w04";
const std::string kUsage = "\n\nUso: linealidad --criteria ARCHIVO.w04 [--target T] [--limits L.json]\n"
                           "Vea «linealidad --help».\n";

} // namespace

// Each limit's rule at its edges: the value that still means something and
// the nearest one that does not.
TEST(AcceptanceLimitsFile, EveryLimitHasARuleThatHoldsAtItsEdges)
{
    const std::map<std::string, std::pair<std::vector<double>, std::vector<double>>> edges = {
        {"minLevels", {{1, 25, 5}, {0, 26, 2.5, -1}}},
        {"rangeLowPercent", {{0, 100, 80}, {-0.001, 100.001}}},
        {"rangeHighPercent", {{100, 1e6}, {99.999, 0, -120}}},
        {"minR", {{0, 1, 0.995}, {-5, 1.0001}}},
        {"maxInterceptPercent", {{1e-9, 2, 500}, {0, -2}}},
        {"maxLevelBias", {{0.5}, {0, -0.5}}},
        {"maxResponseFactorRsd", {{2}, {0, -1}}},
        {"minLackOfFitP", {{0, 1, 0.05}, {1.5, -0.01}}},
        {"minMandelP", {{0, 1}, {1.000001, -1e-9}}},
    };
    ASSERT_EQ(edges.size(), stats::LimitFields().size());
    for (const stats::LimitField &f : stats::LimitFields()) {
        const auto &[good, bad] = edges.at(f.key);
        for (const double v : good)
            EXPECT_EQ(cli::LimitRule(f, v), "") << f.key << " " << v;
        for (const double v : bad)
            EXPECT_NE(cli::LimitRule(f, v), "") << f.key << " " << v;
        // The defaults themselves mean something.
        EXPECT_EQ(cli::LimitRule(f, stats::AcceptanceLimits().*f.member), "") << f.key;
    }
}

TEST(AcceptanceLimitsFile, LooseAndTightFilesDecideTheVerdictAndBadOnesAreRefused)
{
    QTemporaryDir dir;
    const std::string loose = writeFile(dir, "loose.json",
                                        "{\"minLevels\": 5, \"maxInterceptPercent\": 5, \"maxLevelBias\": 3.5,\n"
                                        " \"minLackOfFitP\": 0.00001, \"minMandelP\": 1e-7}");
    const std::string tight = writeFile(dir, "tight.json", "{\"minR\": 0.99999}");
    const std::string big = writeFile(dir, "big.json", "{\"minR\": 0.99" + std::string(70000, '9') + "}");
    const std::string pass = "DICTAMEN: EL MÉTODO CUMPLE LOS CRITERIOS DE ACEPTACIÓN.";
    const std::string fail = "DICTAMEN: EL MÉTODO NO CUMPLE LOS CRITERIOS DE ACEPTACIÓN.";
    auto file = [&](const char *name, const std::string &text) { return writeFile(dir, name, text); };
    const struct {
        std::vector<std::string> options;
        int status;
        std::string said; // in the output, or the whole refusal before the usage lines
    } cases[] = {
        {{}, 0, fail},
        {{"--limits", loose}, 0, pass},
        {{"--limits", loose, "--target", "100"}, 0, "NIVEL MÁS BAJO = 40 % DE T"},
        {{"--limits", tight}, 0, "Coeficiente de correlación r mínimo = 0.99999"},
        {{"--target", "1,5E2"}, 0, "CANTIDAD AL 100 % (T) = 150 mg (FIJADA POR EL USUARIO)"},
        {{"--limits", file("unknown.json", "{\"minR\": 0.99, \"maxSlope\": 1}")}, 64,
         "Límite desconocido en el archivo «" + dir.filePath("unknown.json").toStdString() + "»: «maxSlope»."},
        {{"--limits", file("text.json", "{\"minR\": \"0.99\"}")}, 64,
         "El límite «minR» del archivo «" + dir.filePath("text.json").toStdString() + "» no es un número finito."},
        {{"--limits", file("nan.json", "{\"minMandelP\": NaN}")}, 64,
         "El límite «minMandelP» del archivo «" + dir.filePath("nan.json").toStdString() + "» no es un número finito."},
        {{"--limits", file("huge.json", "{\"minR\" : -1e999}")}, 64,
         "El límite «minR» del archivo «" + dir.filePath("huge.json").toStdString() + "» no es un número finito."},
        {{"--limits", file("null.json", "{\"maxLevelBias\": null}")}, 64,
         "El límite «maxLevelBias» del archivo «" + dir.filePath("null.json").toStdString() + "» no es un número finito."},
        {{"--limits", file("array.json", "[0.99]")}, 64,
         "El archivo de límites «" + dir.filePath("array.json").toStdString() + "» no es un objeto JSON."},
        {{"--limits", file("broken.json", "{\"minR\": 0.99")}, 64,
         "El archivo de límites «" + dir.filePath("broken.json").toStdString() + "» no es un objeto JSON (error en el carácter 14)."},
        {{"--limits", big}, 64, "El archivo de límites «" + big + "» es demasiado grande (más de 64 KiB)."},
        {{"--limits", dir.filePath("none.json").toStdString()}, 64,
         "No se encuentra el archivo de límites «" + dir.filePath("none.json").toStdString() + "»."},
        {{"--limits", dir.path().toStdString()}, 64,
         "No es un archivo: el archivo de límites «" + dir.path().toStdString() + "»."},
        {{"--limits", file("levels.json", "{\"minLevels\": 2.5}")}, 64,
         "El límite «minLevels» del archivo «" + dir.filePath("levels.json").toStdString() +
             "» debe ser un número entero de 1 a 25."},
        {{"--limits", file("r.json", "{\"minR\": -5}")}, 64,
         "El límite «minR» del archivo «" + dir.filePath("r.json").toStdString() + "» debe ser un número de 0 a 1."},
        {{"--limits", file("p.json", "{\"minR\": 0.99, \"minLackOfFitP\": 1.5}")}, 64,
         "El límite «minLackOfFitP» del archivo «" + dir.filePath("p.json").toStdString() +
             "» debe ser un número de 0 a 1."},
        {{"--limits", file("high.json", "{\"rangeHighPercent\": 99.9}")}, 64,
         "El límite «rangeHighPercent» del archivo «" + dir.filePath("high.json").toStdString() +
             "» debe ser un porcentaje de 100 o más."},
        {{"--limits", file("bias.json", "{\"maxLevelBias\": 0}")}, 64,
         "El límite «maxLevelBias» del archivo «" + dir.filePath("bias.json").toStdString() +
             "» debe ser un número mayor que 0."},
        {{"--target", "0"}, 64, "--target 0: La cantidad al 100 % debe ser un número mayor que cero."},
        {{"--target", "-80"}, 64, "--target -80: La cantidad al 100 % debe ser un número mayor que cero."},
        {{"--target", "cien"}, 64, "--target cien: 'cien' is not a valid floating point value."},
    };
    for (const auto &c : cases) {
        std::vector<std::string> args{"--criteria", kLackOfFit};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const ProcessRun r = headless(args);
        const std::string line = args.size() > 2 ? args[2] + " " + args[3] : "defaults";
        EXPECT_EQ(r.status, c.status) << line << "\n" << r.err;
        if (c.status == 0) {
            EXPECT_NE(r.out.find(c.said), std::string::npos) << line << "\n" << r.out;
        } else {
            EXPECT_EQ(r.out, "") << line;
            EXPECT_EQ(r.err, c.said + kUsage) << line;
        }
    }
}

// --json and --print criteria take the same target and limits; the JSON
// states the limits it judged against.
TEST(AcceptanceLimitsFile, TheJsonAndThePageJudgeWithTheSameOptions)
{
    QTemporaryDir dir;
    const std::string limits = writeFile(dir, "l.json", "{\"minR\": 0.9995, \"rangeLowPercent\": 60}");
    const ProcessRun json = headless({"--json", kLackOfFit, "--target", "90", "--limits", limits});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonObject criteria = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object()["criteria"].toObject();
    EXPECT_EQ(criteria["target"].toDouble(), 90);
    EXPECT_EQ(criteria["limits"].toObject()["minR"].toDouble(), 0.9995);
    EXPECT_EQ(criteria["limits"].toObject()["rangeLowPercent"].toDouble(), 60);
    EXPECT_EQ(criteria["limits"].toObject()["minMandelP"].toDouble(), 0.01);
    EXPECT_EQ(criteria["limits"].toObject().size(), 9);

    const std::string pdf = dir.filePath("c.pdf").toStdString();
    const ProcessRun print = runLinealidad({"--print", "criteria", QString::fromStdString(kLackOfFit), "--output",
                                            QString::fromStdString(pdf), "--limits", QString::fromStdString(limits),
                                            "--target", "0"});
    EXPECT_EQ(print.status, 64);
    EXPECT_EQ(print.err.rfind("--target 0: La cantidad al 100 %", 0), 0u) << print.err;
    const ProcessRun general = runLinealidad({"--print", "general", QString::fromStdString(kLackOfFit), "--output",
                                              QString::fromStdString(pdf), "--target", "90"});
    EXPECT_EQ(general.status, 64);
    EXPECT_EQ(general.err.rfind("--target y --limits son de la página criteria.\n", 0), 0u) << general.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(pdf)));
}
