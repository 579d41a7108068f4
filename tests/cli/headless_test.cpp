// The headless commands, run as a user runs them: the real binary, its
// standard output, standard error and exit status.
#include "cli/commandregistry.h"
#include "support/pdfwords.h"
#include "support/processrun.h"

#include <QDir>
#include <QRegularExpression>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kHead = "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n";

// The usage lines a refusal of these commands shows.
const std::string graph = cli::UsageLines("--graph");
// (--print's, with a page for each evaluation, as --help shows it.)
const std::string print = cli::UsageLines("--print");
const std::string verify = "Uso: linealidad --verify [--output VERIFICACION.pdf]\n";

// A --json document without its record, which names the file and the moment.
std::string withoutRecord(std::string json)
{
    const size_t record = json.find("\"record\"");
    return record == std::string::npos ? json : json.erase(record, json.find('}', record) - record);
}

} // namespace

// Studies travel between laboratories that write 1.5 and 1,5: a study typed
// with either separator gives the same figures under either locale, printed
// with the locale's separator.
TEST(HeadlessCommands, StudiesReadTheSameWhereverTheyWereTyped)
{
    ASSERT_TRUE(std::setlocale(LC_ALL, "es_ES.UTF-8")) << "the es_ES.UTF-8 locale is missing: run make deps";
    std::setlocale(LC_ALL, "C");
    const QRegularExpression decimalPoint("(\\d)\\.(\\d)");
    for (const char *file : {"worked-anova.w04", "worked-inference.w04", "worked-inference-comma.w04"}) {
        const QString path = QStringLiteral(TEST_DATA_DIR "/") + file;
        // (the report would show the data as typed; the inference shows only results)
        const ProcessRun point = runLinealidad({"--inference", path}), comma = runLinealidad({"--inference", path}, "es_ES.UTF-8");
        ASSERT_EQ(point.status, 0) << file << point.err;
        ASSERT_EQ(comma.status, 0) << file << comma.err;
        EXPECT_EQ(comma.err, "") << file;
        EXPECT_EQ(QString::fromStdString(comma.out), QString::fromStdString(point.out).replace(decimalPoint, "\\1,\\2"))
            << file;
        EXPECT_NE(comma.out.find(","), std::string::npos) << file;
        EXPECT_EQ(withoutRecord(runLinealidad({"--json", path}, "es_ES.UTF-8").out),
                  withoutRecord(runLinealidad({"--json", path}).out))
            << file;
    }
    const std::string typedWithPoints = runLinealidad({"--json", TEST_DATA_DIR "/worked-inference.w04"}).out;
    const std::string typedWithCommas = runLinealidad({"--json", TEST_DATA_DIR "/worked-inference-comma.w04"}).out;
    const auto figures = [](const std::string &json) {
        const std::string w = withoutRecord(json);
        return w.substr(0, w.find("\"study\""));
    };
    EXPECT_NE(figures(typedWithPoints).find("\"slope\": 1.00666"), std::string::npos) << typedWithPoints;
    EXPECT_EQ(figures(typedWithCommas), figures(typedWithPoints));
}

// A refused or failed study: the reason on standard error, its status,
// nothing on standard output and no file, an earlier output kept as it was;
// the general information prints an incomplete study as it stands. An output
// that cannot be written leaves no file either.
TEST(HeadlessCommands, RefuseOnStandardErrorWithTheirExitStatusAndNoFile)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("salida.pdf"), kept = writeBytes(dir.filePath("kept.png"), "before");
    const struct {
        std::string bytes;
        int status;
        std::string err; // its beginning
    } cases[] = {
        {kHead + "1\r\n2\r\n3\r\n5\r\n5\r\n5\r\n", 2, "La pendiente es cero, imposible realizar cálculos.\n"},
        {kHead + "1\r\n2\r\n3\r\n5\r\n\r\n5\r\n", 2, "Falta el dato 2 de la cantidad recuperada\n"},
        {kHead + "1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n", 1, "Los datos se ajustan exactamente a una recta"},
        {"M\r\nA\r\nF\r\nU\r\ntres\r\n", 1, "'tres' is not a valid integer value.\n"},
        {"", 1, "No se encuentra el archivo «" + dir.filePath("none.w04").toStdString() + "».\n"},
    };
    for (const auto &c : cases) {
        const QString study = c.bytes.empty() ? dir.filePath("none.w04") : writeBytes(dir.filePath("study.w04"), c.bytes);
        for (const QStringList &args : {QStringList{"--report", study}, QStringList{"--print", "error", study, "--output", out},
                                        QStringList{"--graph", "regression", study, "--output", kept},
                                        QStringList{"--graph", "residuals", study, "--output", dir.filePath("g.svg")},
                                        QStringList{"--weighting", study}}) {
            const ProcessRun r = runLinealidad(args);
            EXPECT_EQ(r.status, c.status) << args.join(' ').toStdString();
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
        }
        if (c.err.rfind("Falta", 0) == 0) {
            EXPECT_EQ(runLinealidad({"--print", "general", study, "--output", dir.filePath("general.pdf")}).status, 0);
        }
    }
    const QString missing = dir.filePath("no/such/dir.pdf"), anova = TEST_DATA_DIR "/worked-anova.w04";
    for (const QStringList &args : {QStringList{"--print", "general", anova, "--output", missing},
                                    QStringList{"--graph", "regression", anova, "--output", missing},
                                    QStringList{"--verify", "--output", missing}}) {
        const ProcessRun r = runLinealidad(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("No se pudo guardar el archivo «" + missing.toStdString() + "»: ", 0), 0u) << r.err;
    }
    EXPECT_EQ(fileBytes(kept), "before");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList{"general.pdf", "kept.png", "study.w04"}));
}

// Output that never arrived is not a success: a full device, a closed stdout.
TEST(HeadlessCommands, OutputThatCannotBeWrittenIsAnError)
{
    const std::string full = "No se pudo escribir la salida estándar: el disco está lleno.\n";
    for (const QStringList &args : {QStringList{"--report", TEST_DATA_DIR "/worked-anova.w04"},
                                    QStringList{"--json", TEST_DATA_DIR "/worked-anova.w04"}, QStringList{"--help"}}) {
        const std::string option = args.first().toStdString();
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(LINEALIDAD_BINARY, args);
        p.waitForFinished(30000);
        EXPECT_EQ(p.exitCode(), 1) << option;
        EXPECT_EQ(p.readAllStandardError().toStdString(), full) << option;
    }
    QProcess p;
    p.start("/bin/sh", {"-c", "exec \"$0\" --inference \"$1\" >&-", LINEALIDAD_BINARY,
                        TEST_DATA_DIR "/worked-anova.w04"});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError().toStdString(), "No se pudo escribir la salida estándar: está cerrada.\n");
}

// A sample's name with an escape sequence in it (a file from elsewhere)
// never acts on the terminal: the text shows its control characters as
// U+FFFD, and keeps its own tabs and line ends. (A study file with one is
// refused, naming the line.)
TEST(HeadlessCommands, ControlCharactersOfANameNeverReachTheTerminal)
{
    QTemporaryDir dir;
    const QString samples = dir.filePath("muestras.txt");
    QFile list(samples);
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Lote\x1b[31m\x1b]2x\x07 \xc2\x9b" "2J\x7f;2.5;2.6\n");
    list.close();
    const ProcessRun run = runLinealidad({"--samples", TEST_DATA_DIR "/worked-anova.w04", samples});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find_first_of(std::string("\x1b\x07\x7f\r", 4)), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("\xc2\x9b"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Lote\uFFFD[31m\uFFFD]2x\uFFFD \uFFFD2J\uFFFD"), std::string::npos) << run.out;
    EXPECT_NE(runLinealidad({"--anova", TEST_DATA_DIR "/worked-anova.w04"}).out.find('\t'), std::string::npos);
}

// Without a display the windows cannot start: a short Spanish message that
// points to the headless commands, status 1, no abort and no Qt platform list.
TEST(HeadlessCommands, WithoutADisplayTheWindowsSaySoAndPointToThem)
{
    const ProcessRun r = runLinealidad({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "No se pueden abrir las ventanas: no hay una pantalla disponible.\n"
                     "Las órdenes sin ventanas funcionan sin ella; vea «linealidad --help».\n");
}

// Every refused command line says first what is wrong, then the usage lines
// of its command (all of them when there is no command), status 64.
TEST(HeadlessCommandLine, ARefusalNamesWhatIsWrongThenTheUsage)
{
    const std::string help = runLinealidad({"--help"}).out;
    const std::string all = help.substr(0, help.find("\n\n") + 1);
    const std::string json = "Uso: linealidad --json ARCHIVO.w04 [--target T] [--limits L.json] [--weight W]\n"
                             "                [--samples MUESTRAS.txt] [--confidence C] [--beta B] [--lambda L]\n";
    const std::string weighting = "Uso: linealidad --weighting ARCHIVO.w04 [--weight W]\n";
    const std::string weights = "la ponderación es una de none, 1/x^0.5, 1/x, 1/x^2, 1/y^0.5, 1/y, 1/y^2, 1/s^2.";
    const std::string samples = "Uso: linealidad --samples ARCHIVO.w04 MUESTRAS.txt [--confidence C]\n";
    const QString study = TEST_DATA_DIR "/worked-anova.w04";
    QTemporaryDir dir;
    const QString samplesFile = writeBytes(dir.filePath("m.txt"), "A;1\n");
    const QString badSamples = writeBytes(dir.filePath("bad.txt"), "A;1\nB;x\n");
    const std::string missing = runLinealidad({"--report", dir.filePath("none.txt")}).err;
    const struct {
        QStringList args;
        std::string reason, usage;
    } cases[] = {
        {{"--bogus"}, "Opción desconocida: --bogus", all},
        {{"a.w04", "b.w04"}, "Argumento inesperado: b.w04", all},
        {{"--json"}, "Falta el archivo del estudio.", json},
        {{"--json", "f.w04", "--output", "x"}, "La orden --json no admite --output.", json},
        {{"--json", "f.w04", "--anova"}, "Sobra la orden --anova: se da una sola orden (--json).", json},
        {{"--report", "a.w04", "b.w04"}, "Argumento inesperado: b.w04", "Uso: linealidad --report ARCHIVO.w04\n"},
        {{"--verify", "extra.w04"}, "Argumento inesperado: extra.w04", verify},
        {{"--help", "--version"}, "Sobra la orden --version: se da una sola orden (--help).", all},
        {{"--output", "x.png", "--graph", "regression", "f.w04"}, "La opción --output va después de la orden --graph.", graph},
        {{"f.w04", "--report"}, "La orden --report va primero, antes de f.w04.", "Uso: linealidad --report ARCHIVO.w04\n"},
        // The drawing commands, which the window library runs, say it the same way.
        {{"--graph", "regression", study, "--output"}, "Falta el valor de --output.", graph},
        {{"--graph", "regression", study, "--output", "x.png", "--output", "y.png"}, "--output aparece dos veces.", graph},
        {{"--print", "general", study, "--output", "x.pdf", "--size", "10x10"}, "La orden --print no admite --size.", print},
        {{"--verify", "--output", "v.pdf", "--bogus"}, "Opción desconocida: --bogus", verify},
        {{"--print", "todo", study, "--output", "x.pdf"},
         "La página es general, inference, error, criteria, weighting, quadratic, samples o profile: todo", print},
        {{"--print", "general", study, "--output", "x.pdf", "--weight", "1/x"}, "--weight es de la página weighting.", print},
        {{"--print", "quadratic", study, "--output", "x.pdf", "--weight", "1/x"}, "--weight es de la página weighting.", print},
        {{"--print", "quadratic", study, "--output", "x.pdf", "--target", "2"},
         "--target es de la página criteria; la página quadratic admite --limits.", print},
        {{"--quadratic", study, "--target", "2"}, "La orden --quadratic no admite --target.",
         "Uso: linealidad --quadratic ARCHIVO.w04 [--limits L.json]\n"},
        {{"--print", "samples", study, "--output", "x.pdf"}, "Falta el archivo de muestras.", print},
        {{"--print", "general", study, samplesFile, "--output", "x.pdf"}, "Argumento inesperado: " + samplesFile.toStdString(), print},
        {{"--print", "general", study, "--output", "x.pdf", "--confidence", "0.9"}, "--confidence es de la página samples.", print},
        {{"--print", "samples", study, samplesFile, "--output", "x.pdf", "--confidence", "1"},
         "--confidence 1: La confianza debe ser un número mayor que 0.5 y menor que 1.", print},
        // A bad samples file or confidence is named before the study is read.
        {{"--samples", study}, "Falta el archivo de muestras.", samples},
        {{"--samples", "missing.w04", badSamples}, "«" + badSamples.toStdString() + "»: Archivo de muestras, línea 2: 'x' no es un número.", samples},
        {{"--samples", study, samplesFile, "--confidence", "0,5"},
         "--confidence 0,5: La confianza debe ser un número mayor que 0.5 y menor que 1.", samples},
        {{"--json", study, "--confidence", "dos"}, "--confidence dos: 'dos' is not a valid floating point value", json},
        {{"--json", study, "--samples", dir.filePath("none.txt")},
         "Archivo de muestras: " + missing.substr(0, missing.size() - 2), json},
        {{"--print", "general", study}, "Falta --output SALIDA.", print},
        // A weight is one of the eight, spelt as listed; only the weighting and the JSON take one.
        {{"--weighting", study, "--weight", "1/X"}, "--weight 1/X: " + weights, weighting},
        {{"--json", study, "--weight", "x"}, "--weight x: " + weights, json},
        {{"--weighting", study, "--weight", ""}, "--weight : " + weights, weighting},
        {{"--report", study, "--weight", "1/x"}, "La orden --report no admite --weight.",
         "Uso: linealidad --report ARCHIVO.w04\n"},
    };
    for (const auto &c : cases) {
        const ProcessRun r = runLinealidad(c.args);
        EXPECT_EQ(r.status, 64) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.reason + "\n\n" + c.usage + "Vea «linealidad --help».\n") << c.args.join(' ').toStdString();
    }
}

// No output replaces a study: not through its name (.w04, no extension of
// its kind), not the study being read under another name or link, not a file
// holding a study. Status 64, the file as it was and nothing else written.
// An earlier output is replaced; one the user may not write is refused with
// status 1 (as cp refuses it; root too, when the file has no write bit).
TEST(HeadlessOutputs, NeverReplaceAStudyNorAFileTheUserMayNotWrite)
{
    QTemporaryDir dir;
    const std::string worked = fileBytes(TEST_DATA_DIR "/worked-anova.w04");
    const QString study = writeBytes(dir.filePath("mystudy.w04"), worked);
    const QString self = writeBytes(dir.filePath("self.pdf"), worked);
    QFile::link(self, dir.filePath("link.pdf"));
    ASSERT_EQ(::link(self.toUtf8(), dir.filePath("hard.svg").toUtf8()), 0);
    const QString other = writeBytes(dir.filePath("other.png"), worked);
    const QString earlier = writeBytes(dir.filePath("earlier.pdf"), "%PDF-1.4 an earlier report\n");
    const QString locked = writeBytes(dir.filePath("locked.pdf"), "%PDF-1.4 signed\n");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);

    // A refused output: why, then its command's usage.
    auto refused = [](const QString &output, const std::string &why, const std::string &usage) {
        return "El archivo de salida «" + output.toStdString() + "» " + why + "\n\n" + usage + "Vea «linealidad --help».\n";
    };
    auto wrongKind = [](const QString &output, const std::string &usage) {
        return "El archivo de salida debe terminar en .pdf: " + output.toStdString() + "\n\n" + usage +
               "Vea «linealidad --help».\n";
    };
    const std::string isStudy = "es un estudio (.w04): no se escribe sobre él.";
    const std::string isRead = "es el estudio que se lee: no se escribe sobre él.";
    const std::string holdsStudy = "contiene un estudio: no se escribe sobre él.";
    const std::string denied = "No se puede escribir el archivo de salida «" + locked.toStdString() +
                               "»: acceso denegado; queda como estaba.\n";
    const QString link = dir.filePath("link.pdf"), hard = dir.filePath("hard.svg");
    const struct {
        QStringList args;
        int status;
        std::string err;
    } cases[] = {
        {{"--verify", "--output", study}, 64, refused(study, isStudy, verify)},
        {{"--verify", "--output", dir.filePath("v.png")}, 64, wrongKind(dir.filePath("v.png"), verify)},
        {{"--print", "general", self, "--output", dir.filePath("informe.svg")}, 64, wrongKind(dir.filePath("informe.svg"), print)},
        {{"--graph", "regression", self, "--output", self}, 64, refused(self, isRead, graph)},
        {{"--graph", "regression", self, "--output", link}, 64, refused(link, isRead, graph)},
        {{"--graph", "residuals", link, "--output", hard}, 64, refused(hard, isRead, graph)},
        {{"--graph", "regression", study, "--output", other}, 64, refused(other, holdsStudy, graph)},
        {{"--print", "general", study, "--output", self}, 64, refused(self, holdsStudy, print)},
        {{"--print", "general", study, "--output", locked}, 1, denied},
        {{"--verify", "--output", locked}, 1, denied},
        {{"--print", "general", study, "--output", earlier}, 0, ""},
        {{"--graph", "regression", study, "--output", dir.filePath("g.png")}, 0, ""},
        {{"--graph", "regression", study, "--output", dir.filePath("g.png")}, 0, ""},
    };
    for (const auto &c : cases) {
        const ProcessRun r = runLinealidad(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err, c.err) << c.args.join(' ').toStdString();
    }
    for (const QString &path : {study, self, other})
        EXPECT_EQ(fileBytes(path), worked) << path.toStdString();
    EXPECT_EQ(fileBytes(locked), "%PDF-1.4 signed\n");
    struct stat info;
    ASSERT_EQ(stat(locked.toUtf8(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(earlier).rfind("%PDF-", 0), 0u);
    EXPECT_NE(fileBytes(earlier), "%PDF-1.4 an earlier report\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::System, QDir::Name),
              (QStringList{"earlier.pdf", "g.png", "hard.svg", "link.pdf", "locked.pdf", "mystudy.w04", "other.png",
                           "self.pdf"}));
}
