// The accuracy profile through the commands as a user runs them. The
// figures of tests/data/perfil.lin (3 series, 6 calibration levels of 2
// points, 4 validation levels of 4) were computed independently in R by
// bench/profile_versus_r.R (lm with weights, qt with fractional degrees of
// freedom) and by anova() on nested lm fits for the series comparison.
#include "cli/headless.h"
#include "cli/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
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

const std::string kStudy = std::string(TEST_DATA_DIR) + "/perfil.lin";

cli::JsonObject jsonOf(const std::vector<std::string> &args)
{
    const Ran r = run(args);
    cli::Json document;
    cli::JsonReadError error;
    EXPECT_TRUE(cli::ReadJson(r.out, document, error)) << r.out.substr(0, 200) << r.err;
    return document.toObject();
}

const cli::JsonObject &modelOf(const cli::JsonObject &profile, const std::string &model, const std::string &weight)
{
    for (const cli::Json &m : profile.value("models").toArray())
        if (m.toObject().value("model").toString() == model && m.toObject().value("weight").toString() == weight)
            return m.toObject();
    ADD_FAILURE() << "no model " << model << " " << weight;
    static const cli::JsonObject none;
    return none;
}

void expectNear(double ours, double r, const std::string &what)
{
    EXPECT_NEAR(ours, r, 2e-10 * std::max(1.0, std::fabs(r))) << what;
}

// A study of `series` as JSON members, each {"name", "calibration", "validation"}.
std::string linStudy(const std::vector<std::string> &series)
{
    std::string text = R"({"format": "linealidad-estudio", "version": 1, "method": "M", "analyst": "A",
 "date": "09/12/2026", "units": "mg", "series": [)";
    for (std::size_t i = 0; i < series.size(); ++i)
        text += (i ? ", " : "") + series[i];
    return text + "]}";
}

std::string level(double x, const std::vector<std::string> &ys)
{
    std::string text = "[";
    for (std::size_t i = 0; i < ys.size(); ++i) {
        std::ostringstream xs;
        xs << x;
        text += (i ? ", " : "") + std::string("{\"x\": \"") + xs.str() + "\", \"y\": \"" + ys[i] + "\"}";
    }
    return text + "]";
}

const std::string kCalibration = "[" + level(1, {"1.02", "0.98"}) + ", " + level(5, {"5.1", "4.9"}) + ", " +
                                 level(10, {"10.1", "9.95"}) + "]";

std::string written(const std::string &name, const std::string &bytes)
{
    const fs::path path = fs::temp_directory_path() / ("perfil-" + std::to_string(::getpid()) + "-" + name + ".lin");
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

struct Expected {
    const char *model, *weight;
    int level; // 0-based, by amount
    double relativeLower, relativeUpper, cvr, relativeU;
    double rangeLower; // every model's range ends at the top level, 35
};

// From bench/profile_versus_r.R on tests/data/perfil.csv, β = 0.90, λ = 15.
const Expected kFromR[] = {
    {"one-point", "none", 3, -9.01324201176, 5.51965765854, 2.55012905216, 7.34794618695, 19.8671570908},
    {"line", "none", 1, -15.817582313, 11.3978416706, 7.25908826417, 15.1109972266, 17.3529846877},
    {"line", "1/x", 0, -32.890204652, 17.566656456, 12.9962851504, 27.9046711901, 17.1603016168},
    {"line", "1/x^2", 2, -15.1380993071, 15.9766384716, 3.30390723788, 13.6311134283, 16.541599927},
    {"quadratic", "none", 0, -36.1106736322, 18.3005821666, 13.4123759004, 29.8909770921, 18.4977478317},
    {"quadratic", "1/x", 2, -15.4946476587, 18.3320933224, 3.31915353933, 14.5142138918, 19.6566279972},
    {"quadratic", "1/x^2", 1, -17.0186544317, 9.73350454313, 7.13552298037, 14.8537755767, 19.2546335754},
};

TEST(AccuracyProfile, EveryModelAgreesWithAnIndependentComputation)
{
    const cli::JsonObject json = jsonOf({"--json", kStudy});
    const cli::JsonObject &profile = json.value("profile").toObject();
    EXPECT_EQ(profile.value("type").toString(), "beta-expectation");
    EXPECT_EQ(profile.value("models").toArray().size(), 7u);
    for (const Expected &e : kFromR) {
        const std::string what = std::string(e.model) + " " + e.weight;
        const cli::JsonObject &m = modelOf(profile, e.model, e.weight);
        const cli::JsonObject &l = m.value("levels").toArray().at(static_cast<std::size_t>(e.level)).toObject();
        expectNear(l.value("relativeLower").toDouble(), e.relativeLower, what + " relativeLower");
        expectNear(l.value("relativeUpper").toDouble(), e.relativeUpper, what + " relativeUpper");
        expectNear(l.value("cvr").toDouble(), e.cvr, what + " cvr");
        expectNear(l.value("relativeU").toDouble(), e.relativeU, what + " relativeU");
        // The lower end falls between the levels of 15 and 35: interpolated.
        expectNear(m.value("range").toObject().value("lower").toDouble(), e.rangeLower, what + " range");
        EXPECT_EQ(m.value("range").toObject().value("upper").toDouble(), 35) << what;
        EXPECT_FALSE(m.value("valid").toBool()) << what;
    }
    // Every figure of one level: the quadratic's found amounts are roots.
    const cli::JsonObject &q =
        modelOf(profile, "quadratic", "none").value("levels").toArray().at(0).toObject();
    const std::pair<const char *, double> level[] = {
        {"mean", 1.36642431401},    {"relativeBias", -8.90504573282}, {"cvIP", 14.1864526407},
        {"totalError", 23.0914983735}, {"dof", 9.59159725204},       {"ktol", 1.91771886802}};
    for (const auto &[key, value] : level)
        expectNear(q.value(key).toDouble(), value, std::string("quadratic level 1 ") + key);
    // Where the series' means differ less than within them, σB is 0 and
    // the variance is taken over every point: ν = 96/9.
    const cli::JsonObject &flat = modelOf(profile, "line", "1/x^2").value("levels").toArray().at(0).toObject();
    EXPECT_EQ(flat.value("sB").toDouble(), 0);
    expectNear(flat.value("dof").toDouble(), 96.0 / 9, "ν without a between-series variance");
    expectNear(flat.value("cvr").toDouble(), 12.7259442897, "cvr over the introduced amount");
    expectNear(flat.value("ktol").toDouble(), 1.87457591044, "ktol");

    const cli::JsonObject &chosen = profile.value("chosen").toObject();
    EXPECT_EQ(chosen.value("model").toString(), "line");
    EXPECT_EQ(chosen.value("weight").toString(), "1/x^2");

    const cli::JsonObject &c = json.value("seriesComparison").toObject();
    const cli::JsonObject &slopes = c.value("equalSlopes").toObject(), &intercepts = c.value("equalIntercepts").toObject();
    EXPECT_NEAR(slopes.value("f").toDouble(), 14.06465, 1e-5);
    EXPECT_NEAR(slopes.value("p").toDouble(), 4.9079e-05, 1e-9);
    EXPECT_EQ(slopes.value("df2").toDouble(), 30);
    EXPECT_NEAR(intercepts.value("f").toDouble(), 6.32233, 1e-5);
    EXPECT_NEAR(intercepts.value("p").toDouble(), 0.0048539, 1e-7);
    EXPECT_EQ(intercepts.value("df2").toDouble(), 32);
}

// The one-point model is the line through 0 and the mean of the top
// calibration level, not least squares through 0.
TEST(AccuracyProfile, OnePointGoesThroughTheTopLevelsMean)
{
    const cli::JsonObject json = jsonOf({"--json", kStudy});
    const cli::JsonObject &m = modelOf(json.value("profile").toObject(), "one-point", "none");
    const cli::JsonObject &day1 = m.value("series").toArray().at(0).toObject();
    EXPECT_EQ(day1.value("intercept").toDouble(), 0);
    EXPECT_DOUBLE_EQ(day1.value("slope").toDouble(), (1.9496 + 1.8803) / 2 / 40);
    EXPECT_TRUE(day1.value("quadratic").isNull());
    const auto &found = m.value("found").toArray().at(0).toArray().at(0).toArray();
    EXPECT_DOUBLE_EQ(found.at(0).toDouble(), 0.0853 / ((1.9496 + 1.8803) / 2 / 40));
}

TEST(AccuracyProfile, AcceptanceIsDecidedOnTheLimitsThemselves)
{
    // The one-point model's top level has a lower limit of −9.0132420118 %:
    // shown as −9.01324, it still fails λ = 9.013242.
    auto topAccepted = [](const std::string &lambda) {
        const cli::JsonObject json = jsonOf({"--json", kStudy, "--lambda", lambda});
        return modelOf(json.value("profile").toObject(), "one-point", "none")
            .value("levels").toArray().at(3).toObject().value("accepted").toBool();
    };
    EXPECT_FALSE(topAccepted("9.013242"));
    EXPECT_TRUE(topAccepted("9.0132421"));

    // Wide limits accept every level of every model: all the same range,
    // and the tie goes to the first model.
    const cli::JsonObject wide = jsonOf({"--json", kStudy, "--lambda", "60"});
    const cli::JsonObject &profile = wide.value("profile").toObject();
    for (const cli::Json &m : profile.value("models").toArray()) {
        EXPECT_TRUE(m.toObject().value("valid").toBool());
        EXPECT_EQ(m.toObject().value("range").toObject().value("lower").toDouble(), 1.5);
    }
    EXPECT_EQ(profile.value("chosen").toObject().value("model").toString(), "one-point");
    EXPECT_TRUE(profile.value("chosen").toObject().value("valid").toBool());

    // Narrow limits leave no stretch at all.
    const cli::JsonObject narrow = jsonOf({"--json", kStudy, "--lambda", "2"});
    EXPECT_TRUE(narrow.value("profile").toObject().value("chosen").isNull());
    for (const cli::Json &m : narrow.value("profile").toObject().value("models").toArray())
        EXPECT_TRUE(m.toObject().value("range").isNull());
}

TEST(AccuracyProfile, BetaWidensTheInterval)
{
    auto ktol = [](const std::vector<std::string> &extra) {
        std::vector<std::string> args = {"--json", kStudy};
        args.insert(args.end(), extra.begin(), extra.end());
        const cli::JsonObject json = jsonOf(args);
        return modelOf(json.value("profile").toObject(), "line", "1/x^2")
            .value("levels").toArray().at(0).toObject().value("ktol").toDouble();
    };
    // t(96/9, 0.975)·√(1 + 1/12) (R: qt(0.975, 96/9)), with a comma as the user may type it.
    EXPECT_NEAR(ktol({"--beta", "0,95"}), 2.20940600533513 * std::sqrt(1 + 1.0 / 12), 1e-8);
    EXPECT_GT(ktol({"--beta", "0.95"}), ktol({}));
}

TEST(AccuracyProfile, TheTextSaysTheSettingsTheChoiceAndEveryExcludedPoint)
{
    const Ran r = run({"--profile", kStudy, "--beta", "0.8", "--lambda", "20"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("TOLERANCIA DE EXPECTATIVA BETA: beta = 80 %; ACEPTACIÓN: ±20 %"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("SERIES: 3 (1 («Día 1»), 2 («Día 2»), 3 («Día 3»))"), std::string::npos);
    EXPECT_NE(r.out.find("MODELO: RECTA 1/x²"), std::string::npos);
    EXPECT_NE(r.out.find("PENDIENTES IGUALES: F(2, 30) = 14.0647"), std::string::npos);
    EXPECT_NE(r.out.find("Ningún punto excluido."), std::string::npos);
    // The profile takes every series: no single series is named as evaluated.
    EXPECT_EQ(r.out.find("SERIE EVALUADA"), std::string::npos);
}

TEST(AccuracyProfile, OptionsOutOfRangeAreUsageErrorsNamingTheOption)
{
    for (const auto &[option, value] : std::vector<std::pair<std::string, std::string>>{
             {"--beta", "1"}, {"--beta", "0"}, {"--beta", "-0.5"}, {"--beta", "noventa"},
             {"--lambda", "0"}, {"--lambda", "-15"}, {"--lambda", "1e400"}, {"--lambda", ""}}) {
        const Ran r = run({"--profile", kStudy, option, value});
        EXPECT_EQ(r.status, 64) << option << " " << value;
        EXPECT_EQ(r.err.rfind(option + " " + value + ":", 0), 0u) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST(AccuracyProfile, AStudyWithoutTheDesignSaysWhyNamingTheLevel)
{
    const std::string calibration = "\"calibration\": " + kCalibration;
    auto series = [&](const std::string &name, const std::string &validation, bool calibrated = true) {
        return "{\"name\": \"" + name + "\", " + (calibrated ? calibration + ", " : "") +
               "\"validation\": [" + validation + "]}";
    };
    const std::string good = level(2, {"2.01", "1.97"}) + ", " + level(8, {"8.1", "7.9"});
    const std::string gone = R"([{"x": "2", "y": "2", "excluded": {"reason": "r", "by": "b", "at": "c"}}])";
    const struct {
        const char *name;
        std::vector<std::string> series;
        const char *reason;
    } cases[] = {
        {"one", {series("D1", good), "{\"name\": \"D2\", " + calibration + "}"},
         "Solo la serie 1 («D1») tiene estándares de validación"},
        {"levels", {series("D1", good), series("D2", level(2, {"2", "2.1"}))},
         "En la serie 2 («D2») hay 1 niveles de validación y en la serie 1 («D1») 2"},
        {"amount", {series("D1", good), series("D2", level(2.5, {"2", "2.1"}) + ", " + level(8, {"8", "8.2"}))},
         "Nivel de validación 1: la cantidad introducida no es la misma"},
        {"points", {series("D1", good), series("D2", level(2, {"2", "2.1", "2.05"}) + ", " + level(8, {"8", "8.2"}))},
         "Nivel de validación 1: la serie 2 («D2») tiene 3 puntos y la serie 1 («D1») 2"},
        {"single", {series("D1", level(2, {"2"})), series("D2", level(2, {"2.1"}))},
         "Nivel de validación 1: hay 1 punto por serie"},
        {"excluded", {series("D1", gone + ", " + good.substr(good.find("[{\"x\": \"8"))),
                      series("D2", gone + ", " + good.substr(good.find("[{\"x\": \"8")))},
         "Nivel de validación 1: hay 0 puntos por serie (sin los excluidos)"},
        {"zero", {series("D1", level(0, {"0.01", "0.02"})), series("D2", level(0, {"0", "0.01"}))},
         "Nivel de validación 1: la cantidad introducida es 0"},
        {"flat", {series("D1", level(2, {"2", "2"}) + ", " + good.substr(good.find("[{\"x\": \"8"))),
                  series("D2", level(2, {"2.1", "2.1"}) + ", " + level(8, {"8", "8.2"}))},
         "Nivel de validación 1 (2): las respuestas de cada serie son todas iguales"},
        {"twice", {series("D1", level(2, {"2", "2.1"}) + ", " + level(2, {"2", "1.9"})),
                   series("D2", level(2, {"2", "2.1"}) + ", " + level(2, {"2", "1.9"}))},
         "Los niveles de validación 1 y 2 tienen la misma cantidad introducida (2)"},
        {"mixed", {series("D1", good), series("D2", good, false)},
         "Ningún modelo de calibración se puede ajustar en todas las series: la serie 2 («D2») no tiene"},
    };
    for (const auto &c : cases) {
        const std::string path = written(c.name, linStudy(c.series));
        const Ran text = run({"--profile", path});
        EXPECT_EQ(text.status, 0) << c.name << text.err;
        EXPECT_NE(text.out.find(std::string("NO HAY PERFIL DE EXACTITUD: ") + c.reason), std::string::npos)
            << c.name << "\n" << text.out;
        const cli::JsonObject json = jsonOf({"--json", path});
        EXPECT_TRUE(json.value("profile").isNull()) << c.name;
        EXPECT_EQ(json.value("profileRefusal").toString().rfind(c.reason, 0), 0u) << c.name;
        fs::remove(path);
    }
    // A .w04 study has one series and no validation standards.
    const cli::JsonObject w04 = jsonOf({"--json", std::string(TEST_DATA_DIR) + "/worked-anova.w04"});
    EXPECT_TRUE(w04.value("profile").isNull());
    EXPECT_TRUE(w04.value("seriesComparison").isNull());
    EXPECT_NE(w04.value("profileRefusal").toString().find("no tiene estándares de validación"), std::string::npos);
}

// Counts on a log scale, found without calibration: the responses are the
// amounts, and the series' own line is not needed.
TEST(AccuracyProfile, AnAbsoluteMethodHasOneModel)
{
    auto series = [](const std::string &name, const std::vector<std::string> &low,
                     const std::vector<std::string> &high) {
        return "{\"name\": \"" + name + "\", \"validation\": [" + level(2, low) + ", " + level(4, high) + "]}";
    };
    const std::string path = written("absolute", linStudy({series("L1", {"2.05", "1.98"}, {"4.02", "3.9"}),
                                                           series("L2", {"2.1", "2.02"}, {"4.1", "4.05"}),
                                                           series("L3", {"1.95", "2.01"}, {"3.95", "4.0"})}));
    const Ran r = run({"--profile", path, "--beta", "0.8", "--lambda", "10"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("MODELO: ABSOLUTO (SIN CALIBRACIÓN)"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("MODELO: RECTA"), std::string::npos);
    const cli::JsonObject json = jsonOf({"--json", path, "--beta", "0.8", "--lambda", "10"});
    const cli::JsonObject &profile = json.value("profile").toObject();
    ASSERT_EQ(profile.value("models").toArray().size(), 1u) << cli::JsonText(json);
    const cli::JsonObject &m = profile.value("models").toArray().at(0).toObject();
    EXPECT_EQ(m.value("model").toString(), "absolute");
    EXPECT_EQ(m.value("found").toArray().at(1).toArray().at(1).toArray().at(0).toDouble(), 4.1);
    // Level of 2: series means 2.015, 2.06, 1.98; the mean 2.018333….
    EXPECT_DOUBLE_EQ(m.value("levels").toArray().at(0).toObject().value("mean").toDouble(), 12.11 / 6);
    EXPECT_TRUE(json.value("seriesComparison").isNull());
    fs::remove(path);
}

TEST(AccuracyProfile, ExcludedPointsAreLeftOutAndListed)
{
    std::ifstream in(kStudy, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // The first calibration point of Día 1, and a validation point, which
    // leaves its level unbalanced.
    const std::string point = R"({"x": "1", "y": "0.0464"})";
    bytes.replace(bytes.find(point), point.size(),
                  R"({"x": "1", "y": "0.0464", "excluded": {"reason": "vial roto", "by": "ana", "at": "2026-12-09T10:00:00+00:00"}})");
    const std::string calibrationOnly = written("excluded", bytes);
    const Ran r = run({"--profile", calibrationOnly});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Serie 1 («Día 1»), calibración, nivel 1, punto 1: x = 1, y = 0.0464; vial roto (ana, "
                         "2026-12-09T10:00:00+00:00)"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("MODELO ELEGIDO: Recta 1/x²"), std::string::npos) << "the fit of Día 1 changed";

    const std::string validation = R"({"x": "1.5", "y": "0.0853"})";
    bytes.replace(bytes.find(validation), validation.size(),
                  R"({"x": "1.5", "y": "0.0853", "excluded": {"reason": "r", "by": "b", "at": "c"}})");
    const std::string unbalanced = written("unbalanced", bytes);
    EXPECT_NE(run({"--profile", unbalanced}).out.find("Nivel de validación 1: la serie 2 («Día 2») tiene 4 puntos y la "
                                                      "serie 1 («Día 1») 3"),
              std::string::npos);
    fs::remove(calibrationOnly);
    fs::remove(unbalanced);
}

// The profile takes every series: a batch run writes it once for the
// study, and each series' row carries the chosen model and its range.
TEST(AccuracyProfile, ABatchRunWritesTheProfileOnceAndSummarisesIt)
{
    const fs::path out = fs::temp_directory_path() / ("perfil-lote-" + std::to_string(::getpid()));
    fs::remove_all(out);
    const Ran r = run({"--batch", kStudy, "--output", out.string(), "--formats", "profile"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream text(out / "perfil.lin.perfil.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(text), {}), run({"--profile", kStudy}).out);
    EXPECT_FALSE(fs::exists(out / "perfil.lin#1.perfil.txt"));
    EXPECT_FALSE(fs::exists(out / "perfil.lin#2.perfil.txt"));
    std::ifstream csv(out / "resumen.csv", std::ios::binary);
    const std::string summary((std::istreambuf_iterator<char>(csv)), {});
    EXPECT_NE(summary.find(",perfil_modelo,perfil_lic,perfil_lsc,perfil_valido\r\n"), std::string::npos) << summary;
    EXPECT_NE(summary.find("perfil.lin#2,"), std::string::npos);
    EXPECT_NE(summary.find(",Recta 1/x²,16.541599926989562,35,false\r\n"), std::string::npos) << summary;
    fs::remove_all(out);
}

// The series comparison says a common calibration would serve only when
// neither the slopes nor the intercepts differ.
TEST(AccuracyProfile, TheSeriesComparisonNeedsBothTestsToPass)
{
    auto calibration = [](const std::string &name, double intercept) {
        std::string levels;
        for (int x = 1; x <= 3; ++x) {
            std::ostringstream low, high;
            low << intercept + x - 0.01 * x;
            high << intercept + x + 0.012;
            levels += (x > 1 ? ", " : "") + level(x, {low.str(), high.str()});
        }
        return "{\"name\": \"" + name + "\", \"calibration\": [" + levels + "]}";
    };
    const struct {
        const char *name;
        double shift;
        bool common;
    } cases[] = {{"same", 0.0, true}, {"shifted", 0.5, false}};
    for (const auto &c : cases) {
        const std::string path = written(c.name, linStudy({calibration("A", 0.1), calibration("B", 0.1 + c.shift)}));
        const cli::JsonObject json = jsonOf({"--json", path});
        const cli::JsonObject &comparison = json.value("seriesComparison").toObject();
        // The slopes are the same in both cases; only the intercepts move.
        EXPECT_GT(comparison.value("equalSlopes").toObject().value("p").toDouble(), 0.05) << c.name;
        EXPECT_EQ(comparison.value("equalIntercepts").toObject().value("p").toDouble() >= 0.05, c.common) << c.name;
        const std::string text = run({"--profile", path}).out;
        EXPECT_EQ(text.find("una calibración común serviría") != std::string::npos, c.common) << c.name << text;
        EXPECT_EQ(text.find("cada serie necesita su propia calibración") != std::string::npos, !c.common) << c.name;
        fs::remove(path);
    }
}

} // namespace
