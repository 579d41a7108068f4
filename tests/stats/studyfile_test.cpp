#include "stats/errors.h"
#include "stats/studyfile.h"
#include "stats/windows1252.h"
#include "support/studies.h"

#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>

using namespace testing_studies;

namespace {

std::string joinCrLf(const std::vector<std::string> &lines)
{
    std::string out;
    for (const std::string &l : lines)
        out += l + "\r\n";
    return out;
}

// A new study typed in: no prediction made since the program started.
stats::StudyFile newStudyFile()
{
    stats::StudyData s = inferenceStudy();
    s.methodText = "Valoración de paracetamol";
    s.analystText = "Ana Pérez";
    s.dateText = "06/12/2026";
    s.unitsText = "mg";
    stats::StudyFile f = stats::StudyFileFromTexts(s);
    f.predictionX.assign(3, "");
    f.predictionY.assign(3, "");
    f.title = "Linealidad";
    f.xLabel = "Cantidad adicionada";
    f.yLabel = "Cantidad recuperada";
    return f;
}

template <typename Error, typename F> std::string errorOf(F &&f)
{
    try {
        f();
    } catch (const Error &e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(StudyFileWriter, WritesTheThirtyEightLinesOfANewStudyInWindows1252)
{
    const std::string expected = joinCrLf({
        "Valoraci\xF3n de paracetamol", "Ana P\xE9rez", "06/12/2026", "mg", "3", "3", "3", "3",
        "80", "80", "80", "100", "100", "100", "120", "120", "120",
        "79.5", "80.3", "80.1", "99.2", "100.4", "100.9", "119.1", "120.6", "121.0",
        "12345678", "12345678", "3", "", "", "", "", "", "",
        "Linealidad", "Cantidad adicionada", "Cantidad recuperada"});
    EXPECT_EQ(std::count(expected.begin(), expected.end(), '\n'), 38);
    EXPECT_EQ(stats::SerializeStudyFile(newStudyFile()), expected);
}

TEST(StudyFileWriter, RefusesTextsTheFileCannotHoldNamingTheField)
{
    const std::string refused = "No se puede guardar el estudio: ";
    const std::pair<std::function<void(stats::StudyFile &)>, std::string> cases[] = {
        {[](auto &f) { f.analyst = "Zoltán Kovács-Hőgyes"; },
         "el nombre del analista contiene el carácter «ő», que el archivo (Windows-1252) no puede guardar."},
        {[](auto &f) { f.y[4] = "100\r\n4"; },
         "el dato 5 de la cantidad recuperada contiene un salto de línea o un carácter de control que el archivo no "
         "puede guardar."},
        {[](auto &f) { f.title = "fin\x1A"; }, ""},
        {[](auto &f) { f.units = "\xFF"; }, ""}, // not UTF-8 at all
    };
    for (const auto &[change, why] : cases) {
        stats::StudyFile f = newStudyFile();
        change(f);
        const std::string error = errorOf<stats::StudyFileError>([&] { stats::SerializeStudyFile(f); });
        EXPECT_EQ(error.substr(0, why.empty() ? refused.size() : std::string::npos), refused + why);
    }
}

TEST(StudyFileReader, ReadsBackWhatItWritesByteForByte)
{
    stats::StudyFile f = newStudyFile();
    f.method = "Determinación de ácido acético – lote «Ñ» 5 € ‰ œ Ÿ";
    f.predictionSlope = "1.00667";
    f.predictionIntercept = "-0.544444";
    f.predictionCount = "5";
    f.predictionX = {"100", "90", "", "1e2", "0"};
    f.predictionY = {"100.123", "90.0562", "", "", ""};
    const std::string bytes = stats::SerializeStudyFile(f);
    const stats::StudyFile back = stats::ParseStudyFile(bytes);
    EXPECT_EQ(back.method, f.method);
    EXPECT_EQ(back.predictionX, f.predictionX);
    EXPECT_EQ(back.predictionY, f.predictionY);
    EXPECT_EQ(back.yLabel, f.yLabel);
    EXPECT_EQ(stats::SerializeStudyFile(back), bytes);
}

TEST(StudyFileReader, TakesLineEndsControlZAndEarlyEndsAsTheyCome)
{
    // Lone line feeds (files that passed through other systems) and lone
    // carriage returns end lines as CR LF does.
    const std::string crlf = stats::SerializeStudyFile(newStudyFile());
    std::string lf, cr;
    for (size_t i = 0; i < crlf.size(); ++i) {
        if (crlf[i] == '\r')
            continue;
        lf += crlf[i];
        cr += crlf[i] == '\n' ? '\r' : crlf[i];
    }
    EXPECT_EQ(stats::SerializeStudyFile(stats::ParseStudyFile(lf)), crlf);
    EXPECT_EQ(stats::SerializeStudyFile(stats::ParseStudyFile(cr)), crlf);

    // Ctrl-Z ends the data: what follows it is never read, not even to count
    // the prediction rows.
    EXPECT_EQ(stats::SerializeStudyFile(stats::ParseStudyFile(crlf + "\x1A" + "x\r\ny\r\nz\r\n")), crlf);
    EXPECT_EQ(errorOf<stats::ConversionError>(
                  [] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\x1A" "9\r\n1\r\n"); }),
              "'' is not a valid integer value");
}

TEST(StudyFileReader, AFileThatEndsEarlyReadsEmptyValues)
{
    const stats::StudyFile f = stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n10\r\n20");
    EXPECT_EQ(f.x, (std::vector<std::string>{"10", "20", ""}));
    EXPECT_EQ(f.y, (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(f.predictionSlope, "");
    EXPECT_TRUE(f.predictionX.empty());
    EXPECT_EQ(f.title, "");
}

TEST(StudyFileReader, ReportsCountLinesThatAreNotWholeNumbers)
{
    EXPECT_EQ(errorOf<stats::ConversionError>([] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\ntres\r\n"); }),
              "'tres' is not a valid integer value");
    EXPECT_EQ(errorOf<stats::ConversionError>([] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n3\r\n2\r\n2.5\r\n"); }),
              "'2.5' is not a valid integer value");
    EXPECT_EQ(errorOf<stats::ConversionError>([] { stats::ParseStudyFile(""); }), "'' is not a valid integer value");
    EXPECT_EQ(stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n03\r\n1\r\n1\r\n1\r\n").levels, "03");
}

TEST(StudyFileReader, RefusesCountsBeyondItsLimitsNamingTheLine)
{
    EXPECT_EQ(errorOf<stats::StudyFileError>([] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n21\r\n"); }),
              "El archivo no contiene un estudio válido: la línea 5 indica 21 niveles (el máximo es 20).");
    EXPECT_EQ(errorOf<stats::StudyFileError>([] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n-1\r\n"); }),
              "El archivo no contiene un estudio válido: la línea 5 indica un número de niveles negativo (-1).");
    EXPECT_EQ(errorOf<stats::StudyFileError>([] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n3\r\n2\r\n-2\r\n"); }),
              "El archivo no contiene un estudio válido: la línea 7 indica un número de réplicas negativo (-2).");
    EXPECT_EQ(errorOf<stats::StudyFileError>([] { stats::ParseStudyFile("M\r\nA\r\nF\r\nU\r\n3\r\n100\r\n51\r\n"); }),
              "El archivo no contiene un estudio válido: las réplicas de las líneas 6 a 7 suman más de 150 "
              "observaciones.");
    // 150 observations and 20 prediction rows are still read.
    stats::StudyFile big;
    big.levels = "20";
    big.replicates.assign(20, "7");
    big.replicates[0] = "17";
    big.x.assign(150, "1");
    big.y.assign(150, "2");
    big.predictionX.assign(20, "3");
    big.predictionY.assign(20, "4");
    std::string bytes = stats::SerializeStudyFile(big);
    EXPECT_EQ(stats::ParseStudyFile(bytes).predictionY.size(), 20u);
    bytes += "\r\n\r\n";
    EXPECT_EQ(errorOf<stats::StudyFileError>([&] { stats::ParseStudyFile(bytes); }),
              "El archivo no contiene un estudio válido: a partir de la línea 329 contiene 21 filas de predicción "
              "(el máximo es 20).");
}

// A line no field can hold would freeze the windows that show it; a control
// character would be acted on by a terminal or cut a message short.
TEST(StudyFileReader, RefusesOverlongLinesAndControlCharactersNamingTheLine)
{
    const std::string head = "M\r\nA\r\nF\r\nU\r\n3\r\n1\r\n1\r\n1\r\n";
    EXPECT_EQ(stats::ParseStudyFile(std::string(1000, 'm') + "\r\n" + head.substr(3)).method.size(), 1000u);
    const std::pair<std::string, std::string> cases[] = {
        {std::string(1001, 'm') + "\r\n" + head.substr(3), "la línea 1 tiene más de 1000 caracteres."},
        {head + std::string(1 << 20, '1') + "\r\n", "la línea 9 tiene más de 1000 caracteres."},
        {"M\r\nA" + std::string(1, '\0') + "na\r\n" + head.substr(6), "la línea 2 contiene un carácter de control (código 0)."},
        {head + "1\x1b[2J\r\n", "la línea 9 contiene un carácter de control (código 27)."},
        {head + "1\x07\b\r\n", "la línea 9 contiene un carácter de control (código 7)."},
        {head + "1\t2\r\n", "la línea 9 contiene un carácter de control (código 9)."},
        {head + "12\x7F\r\n", "la línea 9 contiene un carácter de control (código 127)."},
        {"M\x81\r\n" + head.substr(3), "la línea 1 contiene un carácter de control (código 129)."},
        {"M\x9D\r\n" + head.substr(3), "la línea 1 contiene un carácter de control (código 157)."},
    };
    for (const auto &[bytes, why] : cases)
        EXPECT_EQ(errorOf<stats::StudyFileError>([&] { stats::ParseStudyFile(bytes); }),
                  "El archivo no contiene un estudio válido: " + why);
    // The printable Windows-1252 letters of that range still read.
    EXPECT_EQ(stats::ParseStudyFile("\x80\x9C\xF1\r\n" + head.substr(3)).method, "€œñ");
}

TEST(Windows1252, AgreesWithTheSystemCodecOnEveryAssignedByte)
{
    QStringDecoder decoder("windows-1252");
    ASSERT_TRUE(decoder.isValid());
    for (int b = 0; b < 256; ++b) {
        if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D)
            continue; // unassigned: we keep them as the C1 controls of the same number
        const char byte = static_cast<char>(b);
        const QString system = decoder.decode(QByteArray(&byte, 1));
        EXPECT_EQ(stats::Windows1252ToUtf8(std::string(1, byte)), system.toStdString()) << b;
    }
    std::string all, back, offending;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    ASSERT_TRUE(stats::Utf8ToWindows1252(stats::Windows1252ToUtf8(all), back, offending));
    EXPECT_EQ(back, all);
}

TEST(StudyFileBytes, TextThatIsNotUtf8IsRefusedNotWritten)
{
    struct Case {
        const char *what;
        std::string utf8;
    };
    const Case cases[] = {
        {"overlong NUL", "a\xC0\x80"},
        {"overlong slash", "\xE0\x80\xAF"},
        {"overlong four bytes", "\xF0\x80\x81\x81"},
        {"surrogate", "\xED\xA0\x80"},
        {"past U+10FFFF", "\xF4\x90\x80\x80"},
        {"truncated", "\xC3"},
        {"stray continuation", "\x80"},
    };
    for (const Case &c : cases) {
        std::string bytes, offending;
        EXPECT_FALSE(stats::Utf8ToWindows1252(c.utf8, bytes, offending)) << c.what;
        EXPECT_FALSE(offending.empty()) << c.what;
    }
    std::string bytes, offending;
    EXPECT_TRUE(stats::Utf8ToWindows1252("Valoración €", bytes, offending));
    EXPECT_EQ(bytes, "Valoraci\xF3n \x80");
}

// Every failure to read speaks Spanish and names its cause; a loop of links
// is not a missing file.
TEST(StudyFileBytes, ReportsReadFailuresInSpanish)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString();
    std::filesystem::create_symlink(path + "/b.w04", path + "/a.w04");
    std::filesystem::create_symlink(path + "/a.w04", path + "/b.w04");
    const std::pair<std::string, std::string> cases[] = {
        {path + "/no.w04", "No se encuentra el archivo «" + path + "/no.w04»"},
        {path, "«" + path + "» no es un archivo de estudio"},
        {path + "/a.w04", "Error al leer el archivo «" + path + "/a.w04»: los enlaces simbólicos forman un ciclo"},
        // A plain file whose reading fails (this process's memory at address 0).
        {"/proc/self/mem", "Error al leer el archivo «/proc/self/mem»: error de entrada/salida"},
    };
    for (const auto &[file, error] : cases)
        EXPECT_EQ(errorOf<stats::StudyFileError>([&] { stats::ReadFileBytes(file); }), error);
    std::ofstream(path + "/c.w04", std::ios::binary) << "abc\r\n";
    EXPECT_EQ(stats::ReadFileBytes(path + "/c.w04"), "abc\r\n");
}

// The size limit holds while the file is read, not only when it is measured:
// a file that grows meanwhile (or reports no size, as this one) stops there.
TEST(StudyFileBytes, StopsAFileThatGrowsBeyondTheLimitWhileItIsRead)
{
    EXPECT_EQ(errorOf<stats::StudyFileError>([] { stats::ReadFileBytes("/proc/self/maps", 100); }),
              "El archivo «/proc/self/maps» es demasiado grande para ser un estudio");
    EXPECT_GT(stats::ReadFileBytes("/proc/self/maps").size(), 100u);
}
