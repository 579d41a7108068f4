// The installation verification: the whole program as a laboratory runs it
// (status, table, verdict, PDF), the references it carries against the
// project's reference files, and what a wrong reference value does.
#include "cli/embeddedfiles.h"
#include "cli/verification.h"
#include "support/pdfwords.h"
#include "support/processrun.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {


// The verification does not depend on the locale.
ProcessRun linealidad(const QStringList &args) { return runLinealidad(args, "es_ES.UTF-8"); }

std::string lastLine(const std::string &text)
{
    const size_t end = text.find_last_not_of('\n');
    const size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - (start == std::string::npos ? 0 : start + 1) + 1);
}

// The expected values of the references ("certified", "printed", "verdict" lines).
int expectedValues(const std::string &references)
{
    std::istringstream in(references);
    int count = 0;
    for (std::string line; std::getline(in, line);)
        count += line.rfind("certified\t", 0) == 0 || line.rfind("printed\t", 0) == 0 || line.rfind("verdict\t", 0) == 0;
    return count;
}

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

// What the program carries is what the source tree holds, and the project's
// own reference files agree with it.
TEST(Verify, CarriesTheReferencesOfTheSourceTree)
{
    EXPECT_EQ(cli::BuiltInReferences(), fileBytes(TEST_DATA_DIR "/../../verification/references.txt"));
    EXPECT_EQ(std::string(cli::EmbeddedFileBytes("worked-anova.w04")), fileBytes(TEST_DATA_DIR "/worked-anova.w04"));

    // Norris and Pontius: the same observations and certified values as tests/data.
    const struct {
        const char *file;
        std::vector<const char *> certified;
    } nistSets[] = {
        {NIST_NORRIS_FILE,
         {"1.00211681802045", "0.429796848199937E-03", "-0.262323073774029", "0.232818234301152", "0.884796396144373",
          "0.999993745883712", "26.6173985294224", "4255954.13232369"}},
        {TEST_DATA_DIR "/nist-pontius.txt",
         {"0.673565789473684E-03", "0.107938612033077E-03", "0.732059160401003E-06", "0.157817399981659E-09",
          "-0.316081871345029E-14", "0.486652849992036E-16", "0.205177424076185E-03", "0.999999900178537",
          "15.6040343244198", "7.80201716220991", "0.185330865995752E+09", "0.155761768796992E-05",
          "0.420977753505385E-07"}},
    };
    const std::string references = cli::BuiltInReferences();
    for (const auto &set : nistSets) {
        std::istringstream nist(fileBytes(set.file));
        std::string points, header;
        for (std::string line; std::getline(nist, line);) {
            if (line.rfind('#', 0) == 0) {
                header += line + '\n';
                continue;
            }
            std::istringstream yx(line);
            std::string y, x;
            yx >> y >> x;
            points += "point\t" + x + "\t" + y + "\n";
        }
        EXPECT_NE(references.find(points), std::string::npos) << set.file;
        for (const char *certified : set.certified) {
            EXPECT_NE(header.find(certified), std::string::npos) << certified;
            EXPECT_NE(references.find(std::string("\t") + certified + "\n"), std::string::npos) << certified;
        }
    }
}

// A wrong reference value fails its row, named, and the status is 1; each
// criterion in turn.
TEST(Verify, AWrongReferenceFailsItsRowByName)
{
    const std::string references = cli::BuiltInReferences();
    const struct {
        std::string from, to, named;
    } cases[] = {
        {"certified\t/regression/slope\t1.00211681802045", "certified\t/regression/slope\t1.00211691802045",
         "Norris (NIST StRD): Pendiente"},
        {"printed\t/recovery/worstCase\t3.816", "printed\t/recovery/worstCase\t3.817",
         "Ejemplo de análisis de la varianza: Peor de los casos"},
        {"certified\t/quadratic/c2Se\t0.486652849992036E-16", "certified\t/quadratic/c2Se\t0.486652859992036E-16",
         "Pontius (NIST StRD): Modelo cuadrático: Error estándar de c2"},
        {"verdict\t/recovery/systematicError\tpresent", "verdict\t/recovery/systematicError\tabsent",
         "Ejemplo de error sistemático: Error sistemático"},
        {"printed\t/residuals/2/studentized\t1.47783", "printed\t/residuals/2/studentized\t1.47784",
         "Ejemplo de análisis de la varianza: Observación 3: residuo estudentizado"},
    };
    for (const auto &c : cases) {
        const cli::VerificationReport report = cli::RunVerification(replaced(references, c.from, c.to));
        std::ostringstream out;
        EXPECT_EQ(cli::PrintVerification(report, out), 1) << c.named;
        const std::string total = std::to_string(report.rows.size());
        EXPECT_EQ(lastLine(out.str()), "Verificación FALLIDA: 1 de " + total + " no coinciden (" + c.named + ")");
        EXPECT_EQ(report.passedCount(), static_cast<int>(report.rows.size()) - 1);
        EXPECT_NE(out.str().find("FALLA"), std::string::npos);
    }

    // Nine agreeing digits pass, eight do not.
    cli::VerificationReport report = cli::RunVerification(replaced(
        references, "certified\t/regression/intercept\t-0.262323073774029", "certified\t/regression/intercept\t-0.262323073974029"));
    EXPECT_TRUE(report.passed()) << report.verdict();
    report = cli::RunVerification(replaced(references, "certified\t/regression/intercept\t-0.262323073774029",
                                           "certified\t/regression/intercept\t-0.262323093774029"));
    EXPECT_FALSE(report.passed());
}

// References that cannot be used never pass: an unreadable line, a quantity
// the results do not have, a study the program refuses.
TEST(Verify, BrokenReferencesFailNamed)
{
    const std::string references = cli::BuiltInReferences();
    cli::VerificationReport report = cli::RunVerification(references + "printed\t/regression/slope\n");
    EXPECT_FALSE(report.passed());
    EXPECT_NE(report.verdict().find("Ejemplo de error sistemático: Línea ilegible"), std::string::npos) << report.verdict();
    report = cli::RunVerification("printed\t/regression/slope\n" + references); // before any study
    EXPECT_FALSE(report.passed());
    EXPECT_NE(report.verdict().find("Línea ilegible"), std::string::npos) << report.verdict();

    report = cli::RunVerification(references + "printed\t/regression/nothing\t1\n");
    EXPECT_FALSE(report.passed());
    EXPECT_EQ(report.rows.back().obtained, "(sin valor)");

    // Equal amounts recovered: zero slope, every quantity of the study fails with the reason.
    report = cli::RunVerification("study\tflat\tPlano\norigin\tprueba\nreplicates\t1\t1\t1\npoint\t1\t5\npoint\t2\t5\n"
                                  "point\t3\t5\nprinted\t/regression/slope\t0\nverdict\t/anova/linearFit\tnot_assessed\n");
    ASSERT_EQ(report.rows.size(), 2u);
    for (const cli::VerificationRow &row : report.rows) {
        EXPECT_FALSE(row.passed);
        EXPECT_EQ(row.obtained, "La pendiente es cero, imposible realizar cálculos.");
    }

    EXPECT_FALSE(cli::RunVerification("").passed());
    EXPECT_EQ(cli::RunVerification("").verdict(), "Verificación FALLIDA: 0 de 0 no coinciden (no hay valores de referencia)");
}

TEST(Verify, LogRelativeErrorCountsAgreeingDigitsUpToTheReferences)
{
    EXPECT_EQ(cli::SignificantDigits("1.00211681802045"), 15);
    EXPECT_EQ(cli::SignificantDigits("0.429796848199937E-03"), 15);
    EXPECT_EQ(cli::SignificantDigits("-0.00945"), 3);
    EXPECT_EQ(cli::SignificantDigits("4255954.13232369"), 15);
    EXPECT_EQ(cli::SignificantDigits("0"), 1);
    EXPECT_DOUBLE_EQ(cli::LogRelativeError(1.0, 1.0, 15), 15.0);
    EXPECT_NEAR(cli::LogRelativeError(1.000001, 1.0, 15), 6.0, 1e-6);
    EXPECT_DOUBLE_EQ(cli::LogRelativeError(1.0 + 1e-15, 1.0, 9), 9.0); // capped at the reference's digits
    EXPECT_NEAR(cli::LogRelativeError(1e-7, 0.0, 15), 7.0, 1e-9);       // absolute against zero
    EXPECT_DOUBLE_EQ(cli::LogRelativeError(3.0, 1.0, 15), 0.0);
}

// The whole program as a laboratory runs it: every reference value plus the
// study file written and read back agree, the table on standard output and
// the report for filing read back (its pages' record lines: printrecords.sh).
TEST(Verify, PassesOnThisInstallationAndWritesTheReportForFiling)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("VERIFICACION.pdf");
    const ProcessRun r = linealidad({"--verify", "--output", pdf});
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    // Each file-read study adds the row of its file written and read back.
    const std::string total = std::to_string(expectedValues(cli::BuiltInReferences()) + 2);
    const std::string verdict = "Verificación correcta: " + total + " de " + total;
    EXPECT_EQ(lastLine(r.out), verdict);
    EXPECT_EQ(r.out.find("FALLA"), std::string::npos);
    EXPECT_NE(r.out.find("  Pendiente                 "), std::string::npos);
    EXPECT_NE(r.out.find("161 bytes idénticos"), std::string::npos);
    EXPECT_NE(r.out.find("Archivo perfil.lin escrito y releído"), std::string::npos);
    const PdfDocument doc = readPdf(pdf);
    ASSERT_TRUE(doc.read);
    QStringList text;
    for (int page = 0; page < doc.pages; ++page)
        text << doc.lines(page);
    const QString all = text.join('\n');
    for (const char *expected : {"VERIFICACIÓN DE LA INSTALACIÓN", "Programa: linealidad 1.0.0", "Revisión del código fuente:",
                                 "Fecha de compilación:", "Compilador: GCC", "Versión de Qt: 6.", "Sistema operativo:",
                                 "Procesador:", "Fecha y hora de la verificación:", "Usuario:", "Norris (NIST StRD)",
                                 "Pendiente 1.00211681802045 1.00211681802045", "Realizó:", "Revisó:", "Fecha:",
                                 verdict.c_str()})
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected << "\n" << all.toStdString();
}
