// Studies in .lin files, through the commands as a user runs them: the
// conversion both ways, the refusals, the series chosen, the points left out.
#include "cli/headless.h"
#include "cli/json.h"
#include "cli/linfile.h"

#include "stats/studyfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct Ran {
    int status = 0;
    std::string out, err;
};

Ran run(std::vector<std::string> args)
{
    std::ostringstream out, err;
    const int status = cli::RunHeadless(args, out, err, '.');
    return {status, out.str(), err.str()};
}

class Folder {
public:
    Folder()
    {
        path_ = fs::temp_directory_path() / ("lin-" + std::to_string(::getpid()) + "-" + std::to_string(count_++));
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~Folder() { fs::remove_all(path_); }
    std::string file(const std::string &name, const std::string &bytes = {}) const
    {
        const std::string p = (path_ / name).string();
        if (!bytes.empty())
            std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

private:
    fs::path path_;
    static inline int count_ = 0;
};

std::string readAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

cli::JsonObject parsed(const std::string &text)
{
    cli::Json document;
    cli::JsonReadError error;
    EXPECT_TRUE(cli::ReadJson(text, document, error)) << text.substr(0, 200);
    return document.toObject();
}

// --json without what names the file and the moment, and without what a
// .lin study adds to "study".
std::string comparable(const std::string &json)
{
    cli::JsonObject o = parsed(json);
    o["record"] = cli::Json();
    // The profile and the series comparison take every series.
    for (const char *key : {"profile", "profileRefusal", "seriesComparison"})
        o[key] = cli::Json();
    cli::JsonObject study = o.value("study").toObject();
    study["series"] = cli::Json();
    study["excluded"] = cli::Json();
    o["study"] = study;
    return cli::JsonText(o);
}

// A .lin document of one series: each level "x:y y y" with optional "!" for
// an excluded point ("x:y! y").
std::string linOf(const std::vector<std::vector<std::string>> &series, const std::string &extra = {})
{
    std::string text = "{\"format\": \"linealidad-estudio\", \"version\": 1, \"method\": \"M\", \"analyst\": \"A\", "
                       "\"date\": \"08/12/2026\", \"units\": \"mg\"" + extra + ", \"series\": [";
    for (std::size_t s = 0; s < series.size(); ++s) {
        text += std::string(s ? "," : "") + "{\"name\": \"S" + std::to_string(s + 1) + "\", \"calibration\": [";
        for (std::size_t j = 0; j < series[s].size(); ++j) {
            std::istringstream level(series[s][j]);
            std::string x, y;
            std::getline(level, x, ':');
            text += std::string(j ? "," : "") + "[";
            bool first = true;
            while (level >> y) {
                const bool out = y.back() == '!';
                if (out)
                    y.pop_back();
                text += std::string(first ? "" : ",") + "{\"x\": \"" + x + "\", \"y\": \"" + y + "\"" +
                        (out ? ", \"excluded\": {\"reason\": \"burbuja\", \"by\": \"ana\", \"at\": "
                               "\"2026-12-08T10:02:11+00:00\"}"
                             : "") +
                        "}";
                first = false;
            }
            text += "]";
        }
        text += "]}";
    }
    return text + "]}";
}

// Every worked study, and studies of every shape a .w04 holds with numbers
// typed either way, goes to .lin and back to the same bytes, and is
// evaluated the same.
TEST(LinFile, EveryW04StudyRoundTripsByteIdenticalWithTheSameResults)
{
    Folder folder;
    std::vector<std::string> studies;
    for (const auto &entry : fs::directory_iterator(TEST_DATA_DIR))
        if (entry.path().extension() == ".w04" && entry.path().filename() != "worked-20levels.w04")
            studies.push_back(entry.path().string());
    std::mt19937 random(40);
    for (int i = 0; i < 120; ++i) {
        stats::StudyFile f;
        f.method = "Método " + std::to_string(i);
        f.analyst = "Ana";
        f.date = "08/12/2026";
        f.units = "µg";
        const int k = 3 + static_cast<int>(random() % 3);
        f.levels = std::to_string(k);
        for (int j = 1; j <= k; ++j) {
            const int r = 1 + static_cast<int>(random() % 5);
            f.replicates.push_back(std::to_string(r));
            for (int p = 0; p < r; ++p) {
                const char sep = i % 2 ? ',' : '.';
                f.x.push_back(std::to_string(j * 10) + sep + std::to_string(random() % 10));
                f.y.push_back(std::to_string(j * 10 - 1 + static_cast<int>(random() % 3)) + sep +
                              std::to_string(random() % 1000) + (i % 7 ? "" : "E0"));
            }
        }
        f.title = "Recta " + std::to_string(i);
        f.predictionCount = "2";
        f.predictionX = {"1,5", "2"};
        f.predictionY = {"", "3"};
        const std::string bytes = stats::SerializeStudyFile(f);
        ASSERT_EQ(stats::SerializeStudyFile(stats::ParseStudyFile(bytes)), bytes);
        studies.push_back(folder.file("generado" + std::to_string(i) + ".w04", bytes));
    }
    for (std::size_t i = 0; i < studies.size(); ++i) {
        SCOPED_TRACE(studies[i]);
        const std::string lin = folder.file("e" + std::to_string(i) + ".lin");
        const std::string back = folder.file("e" + std::to_string(i) + ".w04");
        const Ran there = run({"--convert", studies[i], "--output", lin});
        const Ran w04Json = run({"--json", studies[i]});
        if (w04Json.status == 2) { // a study its evaluation refuses is refused the same way
            EXPECT_EQ(there.status, 2);
            EXPECT_NE(there.err.find(parsed(w04Json.out).value("error").toObject().value("message").toString()),
                      std::string::npos);
            continue;
        }
        ASSERT_EQ(there.status, 0) << there.err;
        ASSERT_EQ(run({"--convert", lin, "--output", back}).status, 0);
        EXPECT_EQ(readAll(back), readAll(studies[i]));
        const Ran linJson = run({"--json", lin});
        EXPECT_EQ(linJson.status, w04Json.status);
        EXPECT_EQ(comparable(linJson.out), comparable(w04Json.out));
        // And the .lin file is the same file once saved again.
        const std::string again = folder.file("otra" + std::to_string(i) + ".lin");
        ASSERT_EQ(run({"--convert", lin, "--output", again}).status, 0);
        EXPECT_EQ(readAll(again), readAll(lin));
    }
}

// Every refusal names where it applies and the limit: status 2, nothing on
// standard output; a file that cannot be read is status 1.
TEST(LinFile, EachStudyBeyondTheFormatIsRefusedSayingWhereAndWhy)
{
    const std::vector<std::string> three = {"1:1.0 1.1", "2:2.0 2.1", "3:3.0 3.1"};
    std::vector<std::string> twentyOne, thirteenPoints = three;
    for (int j = 1; j <= 21; ++j)
        twentyOne.push_back(std::to_string(j) + ":" + std::to_string(j));
    thirteenPoints[1] = "2:2 2 2 2 2 2 2 2 2 2 2 2 2";
    std::vector<std::vector<std::string>> manySeries(21, three);
    const std::string ok = linOf({three});
    struct Case {
        std::string bytes, says;
    };
    const Case cases[] = {
        {linOf(manySeries), "21 series: el máximo es 20"},
        {linOf({three, twentyOne}), "serie 2 hay 21 niveles de calibración: el máximo es 20"},
        {linOf({{"1:1", "2:2"}}), "2 niveles de calibración: se necesitan 3"},
        {linOf({thirteenPoints}), "calibración, nivel 2: hay 13 puntos; el máximo es 12"},
        {linOf({{"1:1", "2:2a", "3:3"}}), "calibración, nivel 2, punto 1: y = «2a» no es un número"},
        {linOf({{"1:1", "2,5.1:2", "3:3"}}), "nivel 2, punto 1: x = «2,5.1» no es un número"},
        {linOf({{"1:1", "2:", "3:3"}}), "nivel 2: no hay ningún punto"},
        {ok.substr(0, ok.size() - 3), "no es un documento JSON válido"},
        {std::string(ok).replace(ok.find("linealidad-estudio"), 18, "otro-formato"), "su formato no es"},
        {std::string(ok).replace(ok.find("\"version\": 1"), 12, "\"version\": 2"), "versión 2 del formato"},
        {std::string(ok).replace(ok.find("\"calibration\""), 13, "\"nada\""), "ni de validación"},
    };
    Folder folder;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.says);
        const std::string path = folder.file("e.lin", c.bytes);
        for (const char *command : {"--report", "--json", "--quadratic"}) {
            const Ran r = run({command, path});
            EXPECT_EQ(r.status, 2);
            EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        }
        EXPECT_EQ(run({"--convert", path, "--output", folder.file("x.w04")}).status, 2);
        EXPECT_FALSE(fs::exists(folder.file("x.w04")));
    }
    // A study on every limit itself is taken: 20 series, 20 levels, 12 points.
    std::vector<std::string> twenty, twelvePoints = three;
    for (int j = 1; j <= 20; ++j)
        twenty.push_back(std::to_string(j) + ":" + std::to_string(j) + " " + std::to_string(j) + ".1");
    twelvePoints[1] = "2:2 2 2 2 2 2 2 2 2 2 2 2.1";
    std::vector<std::vector<std::string>> atLimits(18, three);
    atLimits.push_back(twenty);
    atLimits.push_back(twelvePoints);
    const std::string full = folder.file("lleno.lin", linOf(atLimits));
    EXPECT_EQ(run({"--json", full, "--series", "19"}).status, 0);
    const Ran twelve = run({"--json", full, "--series", "20"});
    EXPECT_EQ(twelve.status, 0) << twelve.err;
    EXPECT_EQ(parsed(twelve.out).value("study").toObject().value("n").toInteger(), 16);
    // Its largest series, 240 points, is drawn whole, each graph.
    std::vector<std::string> largest;
    for (int j = 1; j <= 20; ++j) {
        std::string level = std::to_string(j) + ":";
        for (int i = 0; i < 12; ++i)
            level += (i ? " " : "") + std::to_string(j) + "." + std::to_string(i % 10);
        largest.push_back(level);
    }
    const std::string big = folder.file("grande.lin", linOf({largest}));
    for (const std::string graph : {"regression", "residuals"}) {
        const std::string svg = folder.file(graph + ".svg");
        const std::string command = "QT_QPA_PLATFORM=offscreen '" LINEALIDAD_BINARY "' --graph " + graph + " '" + big +
                                    "' --output '" + svg + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << graph;
        // One path a marker: every observation's, none left out for want of room.
        const std::string drawn = readAll(svg);
        std::size_t paths = 0;
        for (std::size_t at = drawn.find("<path"); at != std::string::npos; at = drawn.find("<path", at + 1))
            ++paths;
        EXPECT_GE(paths, 240u) << graph;
    }
    const Ran missing = run({"--report", folder.file("no-existe.lin")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No se encuentra"), std::string::npos);
}

// A point left out gives exactly the figures of the study without it, is
// listed with its reason, who and when, and a .w04 cannot hold it.
TEST(LinFile, AnExcludedPointIsTheStudyWithoutItListedInEveryOutput)
{
    Folder folder;
    const std::string with = folder.file(
        "con.lin", linOf({{"25.3533:0.0485 0.0448", "48.2417:0.0959! 0.0870", "96.4833:0.1974 0.2057",
                           "120:0.2402 0.2419"}}));
    const std::string without = folder.file(
        "sin.lin", linOf({{"25.3533:0.0485 0.0448", "48.2417:0.0870", "96.4833:0.1974 0.2057", "120:0.2402 0.2419"}}));
    const Ran a = run({"--json", with}), b = run({"--json", without});
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(comparable(a.out), comparable(b.out));
    const cli::JsonObject study = parsed(a.out).value("study").toObject();
    const cli::JsonObject point = study.value("excluded").toArray().at(0).toObject();
    EXPECT_EQ(point.value("level").toInteger(), 2);
    EXPECT_EQ(point.value("point").toInteger(), 1);
    EXPECT_EQ(point.value("reason").toString(), "burbuja");
    EXPECT_EQ(study.value("series").toObject().value("count").toInteger(), 1);
    for (const char *command : {"--report", "--inference", "--criteria", "--weighting"}) {
        const Ran r = run({command, with});
        EXPECT_NE(r.out.find("calibración, nivel 2, punto 1: x = 48.2417, y = 0.0959; burbuja (ana, "
                             "2026-12-08T10:02:11+00:00)"),
                  std::string::npos)
            << command << r.out;
    }
    // Saved again, the exclusion is the same: its reason, who and when.
    const std::string saved = folder.file("guardado.lin");
    ASSERT_EQ(run({"--convert", with, "--output", saved}).status, 0);
    EXPECT_EQ(cli::ParseLinFile(readAll(saved)), cli::ParseLinFile(readAll(with)));
    const Ran toW04 = run({"--convert", with, "--output", folder.file("con.w04")});
    EXPECT_EQ(toW04.status, 2);
    EXPECT_NE(toW04.err.find("está excluido"), std::string::npos);
}

// A point's record of exclusions and inclusions is read and written back
// as it stands, once, on the point's line; a .w04 cannot keep it.
TEST(LinFile, APointsRecordIsKeptOnItsLine)
{
    Folder folder;
    const std::string canonical = R"({
  "format": "linealidad-estudio",
  "version": 1,
  "method": "",
  "analyst": "",
  "date": "",
  "units": "",
  "series": [
    {
      "name": "",
      "calibration": [
        [
          {"x": "1", "y": "1", "history": [{"action": "excluded", "reason": "r", "by": "b", "at": "t"}, {"action": "included", "reason": "r", "by": "b", "at": "t"}]}
        ],
        [
          {"x": "2", "y": "2.1", "excluded": {"reason": "r", "by": "b", "at": "t"}, "history": [{"action": "excluded", "reason": "r", "by": "b", "at": "t"}]}
        ],
        [
          {"x": "3", "y": "2.9"}
        ]
      ]
    }
  ]
}
)";
    const std::string path = folder.file("registro.lin", canonical), saved = folder.file("otra.lin");
    ASSERT_EQ(run({"--convert", path, "--output", saved}).status, 0);
    EXPECT_EQ(readAll(saved), canonical);
    const stats::SeriesStudy study = cli::ParseLinFile(canonical);
    EXPECT_EQ(study.series[0].calibration[0][0].history.size(), 2u);
    EXPECT_TRUE(study.series[0].calibration[0][0].extra.empty());
    const Ran w04 = run({"--convert", path, "--output", folder.file("registro.w04")});
    EXPECT_EQ(w04.status, 2);
    std::string kind = canonical;
    kind.replace(kind.find("\"included\""), 10, "\"borrado\"");
    EXPECT_EQ(run({"--json", folder.file("mal.lin", kind)}).status, 2);
}

// --series N evaluates series N as a study of that series alone; a series
// the study lacks, or a .w04 asked for another than the first, is usage.
TEST(LinFile, TheSeriesChosenIsEvaluatedAsAStudyOfItsOwn)
{
    Folder folder;
    const std::vector<std::string> day1 = {"1:1.0 1.1", "2:2.0 2.1", "3:3.0 3.1"};
    const std::vector<std::string> day2 = {"1:0.9 1.0 1.05", "2:2.2 1.9", "3:2.9 3.2", "4:4.1 3.9", "5:5 5.1",
                                           "6:6.2 5.9"};
    const std::string both = folder.file("dos.lin", linOf({day1, day2}));
    const std::string second = folder.file("segunda.lin", linOf({day2}));
    const Ran a = run({"--json", both, "--series", "2"}), b = run({"--json", second});
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(comparable(a.out), comparable(b.out));
    EXPECT_EQ(parsed(a.out).value("study").toObject().value("levels").toInteger(), 6);
    EXPECT_EQ(run({"--report", both, "--series", "2"}).out.find("SERIE EVALUADA: 2 de 2 («S2»)") == std::string::npos,
              false);
    EXPECT_NE(run({"--report", both}).out, run({"--report", both, "--series", "2"}).out);
    for (const char *bad : {"3", "0", "21", "02", "x"}) {
        const Ran r = run({"--report", both, "--series", bad});
        EXPECT_EQ(r.status, 64) << bad;
        EXPECT_TRUE(r.out.empty());
    }
    EXPECT_EQ(run({"--json", TEST_DATA_DIR "/worked-anova.w04", "--series", "2"}).status, 64);
    EXPECT_EQ(run({"--convert", both, "--output", folder.file("dos.w04")}).status, 2);
}

// A batch run evaluates .lin studies beside .w04 ones, a row and a set of
// outputs per series, the same as the single commands.
TEST(LinFile, ABatchRunGivesEachSeriesItsRowAndOutputs)
{
    Folder folder;
    const std::vector<std::string> day = {"1:1.0 1.1", "2:2.0 2.1", "3:3.0 3.1"};
    const std::string archive = folder.file("a");
    fs::create_directories(archive);
    const std::string two = folder.file("a/dias.lin", linOf({day, {"1:1 1.2", "2:2.2 2", "3:2.9 3.1"}}));
    folder.file("a/una.lin", linOf({day}));
    folder.file("a/mal.lin", linOf({{"1:1", "2:2x", "3:3"}}));
    fs::copy_file(TEST_DATA_DIR "/worked-anova.w04", archive + "/z.w04");
    const std::string out = folder.file("salida");
    const Ran r = run({"--batch", archive, "--output", out});
    EXPECT_EQ(r.status, 2) << r.err;
    std::vector<std::string> rows;
    std::istringstream csv(readAll(out + "/resumen.csv"));
    for (std::string line; std::getline(csv, line);)
        rows.push_back(line.substr(0, line.find(",", line.find(",", line.find(",") + 1) + 1)));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1].substr(0, 13), "a/dias.lin#1,");
    EXPECT_EQ(rows[2].substr(0, 13), "a/dias.lin#2,");
    EXPECT_NE(rows[3].find("a/mal.lin,"), std::string::npos);
    EXPECT_NE(rows[3].find(",rechazado"), std::string::npos);
    EXPECT_EQ(rows[4].substr(0, 10), "a/una.lin,");
    EXPECT_EQ(rows[5].substr(0, 8), "a/z.w04,");
    EXPECT_NE(readAll(out + "/resumen.csv").find(",correcto,,M,A,08/12/2026,mg,3,6,"), std::string::npos);
    EXPECT_EQ(readAll(out + "/a/dias.lin#2.informe.txt"), run({"--report", two, "--series", "2"}).out);
    EXPECT_EQ(readAll(out + "/a/dias.lin#1.informe.txt"), run({"--report", two}).out);
    // No output replaces a .lin study, whatever its name.
    const std::string kept = folder.file("otra");
    fs::create_directories(kept);
    fs::copy_file(two, kept + "/resumen.csv");
    EXPECT_EQ(run({"--batch", archive, "--output", kept}).status, 1);
    EXPECT_EQ(readAll(kept + "/resumen.csv"), readAll(two));
}

// Members the program does not know survive a save; numbers written as JSON
// numbers are read from their text, exactly.
TEST(LinFile, UnknownMembersAreKeptAndNumbersReadFromTheirText)
{
    Folder folder;
    const std::string typed =
        "{\"format\": \"linealidad-estudio\", \"version\": 1, \"lims\": {\"id\": 77, \"tags\": [\"a\", 1.50]},"
        " \"series\": [{\"name\": \"D\", \"equipo\": \"HPLC-3\", \"calibration\": ["
        "[{\"x\": 0.1, \"y\": 0.1, \"vial\": 12}], [{\"x\": 0.2, \"y\": 0.2}], [{\"x\": 0.3, \"y\": 0.30000000000000001}]]}]}";
    const std::string path = folder.file("a.lin", typed);
    const stats::SeriesStudy study = cli::ParseLinFile(typed);
    EXPECT_EQ(study.series[0].calibration[2][0].y, "0.30000000000000001");
    const std::string saved = folder.file("b.lin");
    ASSERT_EQ(run({"--convert", path, "--output", saved}).status, 0);
    const std::string bytes = readAll(saved);
    for (const char *kept : {"\"lims\": {", "\"id\": 77", "1.50", "\"equipo\": \"HPLC-3\"", "\"vial\": 12"})
        EXPECT_NE(bytes.find(kept), std::string::npos) << kept << "\n" << bytes;
    EXPECT_EQ(cli::ParseLinFile(bytes), study);
    // y = x exactly: the line through the origin with slope 1 but for the
    // last y, 1e-17 above, which a double would lose.
    const cli::JsonObject json = parsed(run({"--json", path}).out);
    EXPECT_NE(json.value("regression").toObject().value("sdRegression").toDouble(), 0.0);
}

// The same points typed in a spreadsheet, in three dialects, give the study
// typed in the editor; and every refusal names its line.
TEST(LinImport, ThreeDialectsGiveTheTypedStudyAndRefusalsNameTheLine)
{
    Folder folder;
    const std::string typed = TEST_DATA_DIR "/worked-anova.w04";
    const std::string dialects[] = {
        "serie;tipo;nivel;x;y\r\nDía 1;Calibración;1;1;1,02\r\nDía 1;calibración;1;1;0,97\r\n"
        "Día 1;calibracion;2;2;2,10\r\nDía 1;CALIBRACIÓN;2;2;2,02\r\nDía 1;calibración;3;3;2,95\r\n"
        "Día 1;calibración;3;3;3,05\r\n",
        "serie\ttipo\tx\ty\n1\tcalibración\t1\t1.02\n1\tcalibración\t1.0\t0.97\n1\tcalibración\t2\t2.10\n"
        "1\tcalibración\t2\t2.02\n1\tcalibración\t3\t2.95\n1\tcalibración\t3\t3.05\n",
        "\xEF\xBB\xBFx,y,tipo,serie\n1,1.02,calibración,\"A, B\"\n1,0.97,calibración,\"A, B\"\n2,2.10,calibración,\"A, B\"\n"
        "2,2.02,calibración,\"A, B\"\n3,2.95,calibración,\"A, B\"\n3,3.05,calibración,\"A, B\"\n1,1.5,validación,\"A, B\"\n",
    };
    const std::string expected = comparable(run({"--json", typed}).out);
    for (std::size_t i = 0; i < std::size(dialects); ++i) {
        SCOPED_TRACE(i);
        const std::string lin = folder.file("d" + std::to_string(i) + ".lin");
        const Ran r = run({"--import", folder.file("d" + std::to_string(i) + ".csv", dialects[i]), "--output", lin,
                           "--method", "Valoración de paracetamol", "--analyst", "Ana Pérez", "--date", "06/12/2026",
                           "--units", "mg"});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(comparable(run({"--json", lin}).out), expected);
    }
    EXPECT_EQ(cli::ParseLinFile(readAll(folder.file("d2.lin"))).series[0].name, "A, B");
    struct Case {
        std::string text, says;
    };
    const Case cases[] = {
        {"", "Línea 1: falta la cabecera"},
        {"serie;tipo;x\n", "Línea 1: falta la columna «y»"},
        {"serie;tipo;x;y;lote\n", "Línea 1: la columna «lote» no es ninguna"},
        {"serie;tipo;x;y\n1;calibración;1;1\n1;calibración;2\n", "Línea 3: tiene 3 campos y la cabecera 4"},
        {"serie;tipo;x;y\n1;patrón;1;1\n", "Línea 2: el tipo «patrón» no es calibración ni validación"},
        {"serie;tipo;x;y\n1;calibración;1;1\n1;calibración;2;2,0,1\n", "Línea 3: y = «2,0,1» no es un número"},
        {"serie,tipo,x,y\n1,calibración,1,1,5\n", "Línea 2: tiene 5 campos y la cabecera 4"},
        {"serie;tipo;x;y\n1;calibración;1;1\n\n1;calibración;2;2\n", "Línea 3: está vacía"},
        {"serie;tipo;x;y\n;calibración;1;1\n", "Línea 2: falta la serie"},
        {"serie;tipo;x;y\n" + [] {
             std::string many;
             for (int i = 0; i < 13; ++i)
                 many += "1;calibración;5;" + std::to_string(i) + "\n";
             return many;
         }(),
         "Línea 14: el nivel 1 de calibración de la serie «1» tendría 13 puntos: el máximo es 12"},
        {"serie;tipo;x;y\n1;calibración;1;1\n1;calibración;2;2\n", "2 niveles de calibración: se necesitan 3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.says);
        const std::string out = folder.file("x.lin");
        const Ran r = run({"--import", folder.file("x.csv", c.text.empty() ? std::string("\n") : c.text), "--output", out});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
    const std::string exists = folder.file("ya.lin", "{}");
    EXPECT_EQ(run({"--import", folder.file("d.csv", dialects[0]), "--output", exists}).status, 64);
    EXPECT_EQ(readAll(exists), "{}");
    EXPECT_EQ(run({"--import", folder.file("d.csv", dialects[0]), "--output", folder.file("d.w04")}).status, 64);
}

// A study the editor's file cannot hold: NIST's Pontius data as 20 levels of
// 2 gives the certified quadratic coefficients.
TEST(LinFile, TwentyLevelsOfPontiusGiveTheCertifiedQuadratic)
{
    std::ifstream in(TEST_DATA_DIR "/nist-pontius.txt");
    std::string line;
    std::map<std::string, std::vector<std::string>> byX;
    std::vector<std::string> order;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string y, x;
        fields >> y >> x;
        if (!byX.count(x))
            order.push_back(x);
        byX[x].push_back(y);
    }
    std::vector<std::string> levels;
    for (const std::string &x : order) {
        std::string level = x + ":";
        for (const std::string &y : byX[x])
            level += " " + y;
        levels.push_back(level);
    }
    ASSERT_EQ(levels.size(), 20u);
    Folder folder;
    const Ran r = run({"--json", folder.file("pontius.lin", linOf({levels}))});
    ASSERT_EQ(r.status, 0) << r.err;
    const cli::JsonObject q = parsed(r.out).value("quadratic").toObject();
    EXPECT_NEAR(q.value("c0").toDouble(), 0.673565789473684E-03, 1e-17);
    EXPECT_NEAR(q.value("c1").toDouble(), 0.732059160401003E-06, 1e-20);
    EXPECT_NEAR(q.value("c2").toDouble(), -0.316081871345029E-14, 1e-28);
    EXPECT_EQ(parsed(r.out).value("study").toObject().value("n").toInteger(), 40);
}

// Thirteen levels of three, as a DIN 38402-51 calibration is laid out: the
// line, its lack of fit and the parabola agree with R (lm, anova against
// the model of level means) to its double precision.
TEST(LinFile, ThirteenLevelsAgreeWithR)
{
    Folder folder;
    const Ran r = run({"--json", folder.file("din.lin", linOf({{
        "2:0.1206 0.1240 0.1240",
        "4:0.2171 0.2118 0.2122",
        "6:0.3036 0.3042 0.3083",
        "8:0.3959 0.3991 0.3965",
        "10:0.4898 0.4909 0.4942",
        "12:0.5853 0.5805 0.5826",
        "14:0.6748 0.6806 0.6801",
        "16:0.7735 0.7737 0.7730",
        "18:0.8684 0.8672 0.8629",
        "20:0.9616 0.9587 0.9609",
        "22:1.0537 1.0526 1.0521",
        "24:1.1472 1.1462 1.1447",
        "26:1.2452 1.2450 1.2465"}}))});
    ASSERT_EQ(r.status, 0) << r.err;
    const cli::JsonObject json = parsed(r.out);
    const cli::JsonObject line = json.value("regression").toObject();
    const cli::JsonObject lackOfFit = json.value("anova").toObject().value("lackOfFit").toObject();
    const cli::JsonObject parabola = json.value("quadratic").toObject();
    const std::pair<double, double> figures[] = {
        {line.value("slope").toDouble(), 0.046749908424908442},
        {line.value("intercept").toDouble(), 0.025224358974358617},
        {line.value("sdRegression").toDouble(), 0.0028793261808136871},
        {line.value("rSquared").toDouble(), 0.99993573990183415},
        {lackOfFit.value("f").toDouble(), 3.9893362960418854},
        {lackOfFit.value("p").toDouble(), 0.0018079252139899706},
        {parabola.value("c0").toDouble(), 3.0180652680652304e-02},
        {parabola.value("c1").toDouble(), 4.5758649683649719e-02},
        {parabola.value("c2").toDouble(), 3.5402097902097315e-05},
    };
    for (const auto &[ours, inR] : figures)
        EXPECT_NEAR(ours, inR, 1e-11 * std::abs(inR));
    EXPECT_EQ(json.value("study").toObject().value("levels").toInteger(), 13);
}

} // namespace
