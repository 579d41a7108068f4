// The headless commands, run as a user runs them: the real binary, its
// standard output, standard error and exit status.
#include "support/processrun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace {

ProcessRun linealidad(const QStringList &args, const QString &locale = "C.UTF-8")
{
    return runLinealidad(args, locale);
}

std::string slurp(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

QString writeFile(const QTemporaryDir &dir, const char *name, const std::string &bytes)
{
    const QString path = dir.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
}

const std::string kHead = "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n";

} // namespace

TEST(HeadlessReport, PrintsTheWorkedStudysReportWithoutADisplay)
{
    const ProcessRun r = linealidad({"--report", TEST_DATA_DIR "/worked-anova.w04"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, slurp(TEST_DATA_DIR "/worked-anova.report.txt"));
}

TEST(HeadlessCommands, PrintWhatTheirWindowsHold)
{
    ProcessRun r = linealidad({"--anova", TEST_DATA_DIR "/worked-anova.w04"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("REGRESIÓN\t1\t4.02003\t4.02003\t1096.99\t0.000265967\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ERROR PURO\t3\t0.00945\t0.00315\t\t\nEXISTE RELACIÓN ALTAMENTE"), std::string::npos);

    r = linealidad({"--residuals", TEST_DATA_DIR "/worked-anova.w04"});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n', r.out.find('\n') + 1) + 1),
              "****\t****\t****\tResiduos\nObservación\tPronóstico para Y\tResiduales\tEstudentizados\n");
    EXPECT_NE(r.out.find("           2\t1.01583\t-0.0458333\t-0.991313\n"), std::string::npos);

    r = linealidad({"--systematic-error", TEST_DATA_DIR "/worked-anova.w04"});
    EXPECT_NE(r.out.find("\nEL MÉTODO CARECE DE ERROR SISTEMÁTICO.\nQUE EN EL MEJOR DE LOS CASOS ES DE UN -2.14933 Y EN "
                         "EL PEOR DE LOS CASOS ES DE UN 3.816\n"),
              std::string::npos);
}

TEST(HeadlessCommands, UseTheDecimalSeparatorOfTheLocale)
{
    const ProcessRun r = linealidad({"--inference", TEST_DATA_DIR "/worked-inference-comma.w04"}, "es_ES.UTF-8");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("PENDIENTE =  1,00667\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(r^2) = 0,99840357\n"), std::string::npos);

    const ProcessRun c = linealidad({"--inference", TEST_DATA_DIR "/worked-inference-comma.w04"});
    EXPECT_EQ(c.status, 1);
    EXPECT_EQ(c.out, "");
    EXPECT_EQ(c.err, "'79,5' is not a valid floating point value.\n");
}

TEST(HeadlessCommands, RefuseOnStandardErrorWithTheirExitStatus)
{
    QTemporaryDir dir;
    // A zero slope refuses like a validation: status 2.
    ProcessRun r = linealidad({"--report", writeFile(dir, "flat.w04", kHead + "1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "La pendiente es cero, imposible realizar cálculos.\n");

    r = linealidad({"--report", writeFile(dir, "missing.w04", kHead + "1\r\n2\r\n3\r\n5\r\n\r\n5\r\n")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Falta el dato 2 de la cantidad recuperada\n");

    r = linealidad({"--report", writeFile(dir, "perfect.w04", kHead + "1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("Los datos se ajustan exactamente a una recta", 0), 0u) << r.err;

    r = linealidad({"--report", writeFile(dir, "count.w04", "M\r\nA\r\nF\r\nU\r\ntres\r\n")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "'tres' is not a valid integer value.\n");

    r = linealidad({"--report", dir.filePath("none.w04")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "No se encuentra el archivo «" + dir.filePath("none.w04").toStdString() + "».\n");

    r = linealidad({"--report"});
    EXPECT_EQ(r.status, 64);
    EXPECT_NE(r.err.find("Uso: linealidad"), std::string::npos);
}

TEST(HeadlessCommands, AnswerHelpAndVersionInSpanish)
{
    ProcessRun r = linealidad({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--report            el informe completo"), std::string::npos);
    r = linealidad({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("linealidad (Linealidad del método) ", 0), 0u);
}
