#include "cli/verification.h"

#include "cli/atomicfile.h"
#include "cli/embeddedfiles.h"
#include "cli/linfile.h"
#include "cli/outputs.h"
#include "cli/resultsjson.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/resultfields.h"
#include "stats/studyfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>
#include <optional>
#include <ostream>
#include <sstream>

namespace cli {

namespace {

struct Expected {
    Criterion criterion;
    std::string pointer, value;
};

// One study block of the references.
struct ReferenceStudy {
    VerificationStudy info;
    std::string file;
    bool typedIn = false; // "replicates" given: the study is validated and run as the commands run it
    std::vector<std::string> replicates, x, y;
    std::vector<Expected> expected;
    std::vector<std::string> unreadable; // lines of the block that could not be read
};

std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> result;
    std::istringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        result.push_back(field);
    return result;
}

std::vector<ReferenceStudy> parseReferences(const std::string &text, std::vector<std::string> &unreadable)
{
    std::vector<ReferenceStudy> studies;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::vector<std::string> f = fields(line);
        const std::string &key = f[0];
        auto bad = [&] {
            const std::string where = "línea " + std::to_string(number) + ": " + line;
            (studies.empty() ? unreadable : studies.back().unreadable).push_back(where);
        };
        if (key == "study" && f.size() == 3) {
            studies.push_back({{f[1], f[2], ""}, "", false, {}, {}, {}, {}, {}});
            continue;
        }
        if (studies.empty()) {
            bad();
            continue;
        }
        ReferenceStudy &s = studies.back();
        if (key == "origin" && f.size() == 2)
            s.info.origin = f[1];
        else if (key == "file" && f.size() == 2)
            s.file = f[1];
        else if (key == "replicates" && f.size() >= 2) {
            s.typedIn = true;
            s.replicates.assign(f.begin() + 1, f.end());
        } else if (key == "point" && f.size() == 3) {
            s.x.push_back(f[1]);
            s.y.push_back(f[2]);
        } else if (f.size() == 3 && (key == "certified" || key == "printed" || key == "verdict"))
            s.expected.push_back({key == "certified" ? Criterion::Certified
                                  : key == "printed" ? Criterion::Printed
                                                     : Criterion::Verdict,
                                  f[1], f[2]});
        else
            bad();
    }
    return studies;
}

std::optional<double> number(const std::string &text)
{
    double value = 0.0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// The value at a JSON pointer ("/residuals/0/studentized"); null where
// there is none.
Json at(const JsonObject &root, const std::string &pointer)
{
    Json value = root;
    std::istringstream in(pointer);
    std::string part;
    std::getline(in, part, '/'); // before the first slash
    while (std::getline(in, part, '/')) {
        if (value.isObject()) {
            value = Json(value.toObject().value(part));
        } else if (value.isArray()) {
            const std::optional<double> index = number(part);
            const JsonArray &array = value.toArray();
            if (!index || !(*index > -1 && *index < static_cast<double>(array.size())))
                return {};
            value = Json(array[static_cast<size_t>(*index)]);
        } else {
            return {};
        }
    }
    return value;
}

// A quantity's Spanish name and the digits the result texts print it with.
struct Quantity {
    std::string name;
    int digits = 6;
};

// The quantities by their place in the results: every field of the result
// tables, and what the verification adds to them.
Quantity quantityAt(const std::string &pointer)
{
    static const std::map<std::string, Quantity> quantities = [] {
        std::map<std::string, Quantity> all = {
            {"/regression/slopeStandardDeviation", {"Desviación estándar de la pendiente"}},
            {"/regression/interceptStandardDeviation", {"Desviación estándar de la ordenada"}},
            {"/anova/significance", {"Conclusión: relación entre las variables"}},
            {"/anova/linearFit", {"Conclusión: modelo lineal"}},
            {"/recovery/applies", {"La evaluación procede"}},
            {"/recovery/systematicError", {"Error sistemático"}},
            {"/recovery/bestCase", {"Mejor de los casos"}},
            {"/recovery/worstCase", {"Peor de los casos"}},
        };
        for (const stats::RegressionField &f : stats::RegressionFields())
            all[std::string("/regression/") + f.key] = {f.name, f.digits};
        for (const stats::RecoveryField &f : stats::RecoveryFields())
            all[std::string("/recovery/") + f.key] = {f.name, f.digits};
        for (const stats::QuadraticField &f : stats::QuadraticFields())
            all[std::string("/quadratic/") + f.key] = {std::string("Modelo cuadrático: ") + f.name};
        for (const char *source : {"regression", "error"})
            for (const char *column : {"df", "ss", "ms", "f", "p"})
                all[std::string("/quadratic/anova/") + source + "/" + column] = {
                    std::string("Modelo cuadrático: ") + (source[0] == 'r' ? "regresión" : "residuos") + ", " +
                    (column[0] == 'd' ? "grados de libertad" : column[0] == 's' ? "suma de cuadrados"
                     : column[0] == 'm' ? "cuadrado medio" : column[0] == 'f' ? "F" : "P")};
        for (const stats::AnovaField &f : stats::AnovaFields()) {
            const stats::AnovaSource &source = stats::AnovaSources()[f.source];
            const stats::AnovaColumn &column = stats::AnovaColumns()[f.column];
            all[std::string("/anova/") + source.key + "/" + column.key] = {std::string(source.name) + ": " + column.name};
        }
        return all;
    }();
    if (const auto found = quantities.find(pointer); found != quantities.end())
        return found->second;
    // "/residuals/0/studentized"
    std::vector<std::string> parts;
    std::istringstream in(pointer);
    for (std::string part; std::getline(in, part, '/');)
        parts.push_back(part);
    // "/profile/models/3/levels/0/relativeLower", "/profile/models/3/range/lower"
    static const std::map<std::string, std::string> profileFields = {
        {"mean", "media"},
        {"relativeBias", "sesgo relativo (%)"},
        {"cvr", "CV de repetibilidad (%)"},
        {"cvIP", "CV de precisión intermedia (%)"},
        {"ktol", "factor de tolerancia"},
        {"relativeLower", "límite de tolerancia inferior (%)"},
        {"relativeUpper", "límite de tolerancia superior (%)"},
        {"relativeU", "incertidumbre expandida (%)"},
        {"lower", "LIC"},
        {"upper", "LSC"}};
    if (parts.size() >= 5 && parts[1] == "profile" && parts[2] == "models" && profileFields.contains(parts.back()))
        if (const std::optional<double> m = number(parts[3])) {
            std::string name = "Perfil, modelo " + std::to_string(static_cast<int>(*m) + 1);
            if (parts.size() == 7 && parts[4] == "levels")
                if (const std::optional<double> j = number(parts[5]))
                    name += ", nivel " + std::to_string(static_cast<int>(*j) + 1);
            return {name + ": " + profileFields.at(parts.back())};
        }
    if (pointer == "/profile/chosen/model" || pointer == "/profile/chosen/weight")
        return {pointer.ends_with("model") ? "Perfil: modelo elegido" : "Perfil: ponderación del modelo elegido"};
    if (parts.size() == 4 && parts[0].empty() && parts[1] == "residuals")
        if (const std::optional<double> i = number(parts[2]))
            for (const stats::ResidualField &f : stats::ResidualFields())
                if (parts[3] == f.key)
                    return {"Observación " + std::to_string(static_cast<int>(*i) + 1) + ": " + f.name, f.digits};
    return {pointer};
}

VerificationRow judge(int study, const Expected &e, const JsonObject &results)
{
    const Quantity quantity = quantityAt(e.pointer);
    VerificationRow row{study, quantity.name, e.pointer, e.criterion, e.value, "", -1.0, false};
    const Json value = at(results, e.pointer);
    if (e.criterion == Criterion::Verdict) {
        row.obtained = value.isBool()     ? (value.toBool() ? "true" : "false")
                       : value.isString() ? value.toString()
                                          : "(sin valor)";
        row.passed = row.obtained == e.value;
        return row;
    }
    const std::optional<double> reference = number(e.value);
    if (!value.isNumber() || !reference) {
        row.obtained = reference ? "(sin valor)" : "(referencia ilegible)";
        return row;
    }
    const double obtained = value.toDouble();
    row.lre = LogRelativeError(obtained, *reference, SignificantDigits(e.value));
    if (e.criterion == Criterion::Certified) {
        row.obtained = stats::FormatGeneral(obtained, 15, '.');
        row.passed = row.lre >= kCertifiedDigits;
    } else {
        row.obtained = stats::FormatGeneral(obtained, quantity.digits, '.');
        row.passed = row.obtained == e.value;
    }
    return row;
}

// A folder of its own under the system's temporary folder ($TMPDIR, or
// /tmp), removed with what it holds.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/linealidad-XXXXXX";
        if (!mkdtemp(name.data()))
            throw stats::StudyFileError("No se pudo crear una carpeta temporal para el archivo de prueba.");
        path_ = name;
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

// A study file written again and read back from the disk, the way Save and
// Open do it: the same bytes. Gives the bytes read back.
std::string roundTrip(const std::string &bytes, VerificationRow &row)
{
    row.reference = std::to_string(bytes.size()) + " bytes";
    const bool lin = IsLinPath(row.quantity.substr(0, row.quantity.find(" escrito")));
    const std::string written =
        lin ? SerializeLinFile(ParseLinFile(bytes)) : stats::SerializeStudyFile(stats::ParseStudyFile(bytes));
    const TemporaryFolder folder;
    const std::string path = folder.path() + (lin ? "/verificacion.lin" : "/verificacion.w04");
    WriteFileAtomically(path, written);
    const std::string readBack = stats::ReadFileBytes(path);
    const auto [differs, ignored] = std::mismatch(bytes.begin(), bytes.end(), readBack.begin(), readBack.end());
    row.passed = readBack == bytes;
    row.obtained = row.passed ? std::to_string(readBack.size()) + " bytes idénticos"
                              : readBack.size() != bytes.size()
                                  ? std::to_string(readBack.size()) + " bytes"
                                  : "difiere en el byte " + std::to_string(differs - bytes.begin() + 1);
    return readBack;
}

// The study's results as linealidad --json gives them, through the same
// commands as the windows; studies larger than a study holds run the
// computations alone.
JsonObject results(const ReferenceStudy &reference, const std::string &fileBytes)
{
    // A study of several series: every output of it, the profile included.
    if (IsLinPath(reference.file)) {
        const JsonRun run = JsonOfStudy(AnalyseStudy(reference.file, fileBytes, {}));
        if (run.status != 0)
            throw stats::CommandError(run.message);
        return run.document;
    }
    if (!reference.file.empty() || reference.typedIn) {
        stats::StudyData study;
        if (!reference.file.empty())
            study = stats::StudyFromFile(stats::ParseStudyFile(fileBytes));
        else {
            study = stats::StudyData::Shaped(reference.replicates, reference.x, reference.y);
            study.levelsText = std::to_string(reference.replicates.size());
            study.methodText = reference.info.title;
        }
        const JsonOutcome outcome = ResultsJson(stats::Analyze(study, {}));
        if (outcome.refused)
            throw stats::CommandError(outcome.object.value("error").toObject().value("message").toString());
        return outcome.object;
    }
    const stats::StudyData texts =
        stats::StudyData::Shaped(std::vector<std::string>(reference.x.size(), "1"), reference.x, reference.y);
    const stats::LinearityStudy study = stats::ReadStudy(texts, '.');
    stats::RegressionResult r;
    bool slopeIsZero = false;
    stats::ComputeRegression(study, r, slopeIsZero);
    if (slopeIsZero)
        throw stats::CommandError(stats::kZeroSlopeMessage);
    stats::AnovaAndResiduals records;
    stats::ComputeAnovaResiduals(study, records.anova, slopeIsZero, records.residuals);
    // The standard deviations of slope and intercept, from their t statistics.
    JsonObject regression = RegressionJson(r);
    regression["slopeStandardDeviation"] = (r.slope.toDouble() - 1.0) / r.slopeT.toDouble();
    regression["interceptStandardDeviation"] = r.intercept.toDouble() / r.interceptT.toDouble();
    return {{"regression", regression},
            {"anova", AnovaJson(records.anova)},
            {"residuals", ResidualsJson(records.residuals)},
            {"quadratic", QuadraticJson(stats::ComputeQuadratic(study, {}))}};
}

size_t displayWidth(const std::string &text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string padded(const std::string &text, size_t width)
{
    const size_t shown = displayWidth(text);
    return text + std::string(shown < width ? width - shown : 1, ' ');
}

} // namespace

int VerificationReport::passedCount() const
{
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const VerificationRow &r) { return r.passed; }));
}

std::string VerificationReport::rowName(const VerificationRow &row) const
{
    const std::string study =
        row.study >= 0 && row.study < static_cast<int>(studies.size()) ? studies[static_cast<size_t>(row.study)].title
                                                                        : "Valores de referencia";
    return study + ": " + row.quantity;
}

std::string VerificationReport::verdict() const
{
    const std::string total = std::to_string(rows.size());
    if (passed())
        return "Verificación correcta: " + total + " de " + total;
    std::string failing;
    int listed = 0;
    for (const VerificationRow &row : rows)
        if (!row.passed && listed++ < 5)
            failing += (failing.empty() ? "" : "; ") + rowName(row);
    const int failed = static_cast<int>(rows.size()) - passedCount();
    if (failed > 5)
        failing += "; y " + std::to_string(failed - 5) + " más";
    if (rows.empty())
        failing = "no hay valores de referencia";
    return "Verificación FALLIDA: " + std::to_string(failed) + " de " + total + " no coinciden (" + failing + ")";
}

std::string BuiltInReferences() { return std::string(EmbeddedFileBytes("references.txt")); }

int SignificantDigits(const std::string &number)
{
    int digits = 0, leading = 0;
    bool started = false;
    for (char c : number) {
        if (c == 'e' || c == 'E')
            break;
        if (c < '0' || c > '9')
            continue;
        if (c != '0')
            started = true;
        if (started)
            ++digits;
        else
            ++leading;
    }
    return started ? digits : std::max(1, leading);
}

double LogRelativeError(double obtained, double reference, int digits)
{
    if (obtained == reference)
        return digits;
    const double error = reference != 0.0 ? std::fabs(obtained - reference) / std::fabs(reference)
                                          : std::fabs(obtained);
    if (!std::isfinite(error))
        return 0.0;
    return std::clamp(-std::log10(error), 0.0, static_cast<double>(digits));
}

VerificationReport RunVerification(const std::string &references)
{
    VerificationReport report;
    report.facts = CurrentInstallationFacts();
    std::vector<std::string> unreadable;
    const std::vector<ReferenceStudy> referenceStudies = parseReferences(references, unreadable);
    auto failure = [&](int study, const std::string &what, const std::string &why) {
        report.rows.push_back({study, what, "", Criterion::Verdict, "", why, -1.0, false});
    };
    for (const std::string &line : unreadable)
        failure(-1, "Línea ilegible", line);
    for (const ReferenceStudy &reference : referenceStudies) {
        const int index = static_cast<int>(report.studies.size());
        report.studies.push_back(reference.info);
        for (const std::string &line : reference.unreadable)
            failure(index, "Línea ilegible", line);
        try {
            std::string bytes;
            if (!reference.file.empty()) {
                const std::string_view embedded = EmbeddedFileBytes(reference.file);
                if (embedded.empty())
                    throw stats::StudyFileError("No se encuentra el archivo de referencia " + reference.file);
                VerificationRow row{index, "Archivo " + reference.file + " escrito y releído", "",
                                    Criterion::File, "", "", -1.0, false};
                bytes = roundTrip(std::string(embedded), row);
                report.rows.push_back(row);
            }
            const JsonObject obtained = results(reference, bytes);
            for (const Expected &e : reference.expected)
                report.rows.push_back(judge(index, e, obtained));
        } catch (const stats::CommandError &e) {
            // Every quantity of a study that could not be computed fails, named.
            const std::string why = stats::ErrorReportText(e.what());
            if (reference.expected.empty())
                failure(index, "Cálculo del estudio", why);
            for (const Expected &expected : reference.expected)
                report.rows.push_back({index, quantityAt(expected.pointer).name, expected.pointer, expected.criterion,
                                       expected.value, why, -1.0, false});
        }
    }
    return report;
}

std::string LreText(const VerificationRow &row)
{
    if (row.lre < 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", row.lre);
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), ',', '.'); // whatever the C locale says
    return shown;
}

std::string CriterionText(Criterion criterion)
{
    switch (criterion) {
    case Criterion::Certified:
        return "LRE >= 9";
    case Criterion::Printed:
        return "texto impreso";
    case Criterion::Verdict:
        return "identificador";
    case Criterion::File:
        return "bytes";
    }
    return "";
}

const char *ResultText(const VerificationRow &row) { return row.passed ? "correcto" : "FALLA"; }

int PrintVerification(const VerificationReport &report, std::ostream &out)
{
    const InstallationFacts &f = report.facts;
    out << "VERIFICACIÓN DE LA INSTALACIÓN\n"
        << "linealidad " << f.programVersion << ", revisión " << f.sourceRevision << ", compilado el " << f.buildDate
        << "\n"
        << "Criterios: valores certificados, al menos 9 cifras significativas coincidentes (LRE);\n"
        << "           estudios resueltos, el texto impreso idéntico (6 cifras; r^2, 8).\n";
    size_t nameWidth = 8, referenceWidth = 10, obtainedWidth = 8;
    for (const VerificationRow &row : report.rows) {
        nameWidth = std::max(nameWidth, displayWidth(row.quantity));
        referenceWidth = std::max(referenceWidth, displayWidth(row.reference));
        obtainedWidth = std::max(obtainedWidth, displayWidth(row.obtained));
    }
    auto line = [&](const std::string &name, const std::string &reference, const std::string &obtained,
                    const std::string &lre, const std::string &criterion, const std::string &result) {
        out << "  " << padded(name, nameWidth + 2) << padded(reference, referenceWidth + 2)
            << padded(obtained, obtainedWidth + 2) << padded(lre, 6) << padded(criterion, 15) << result << '\n';
    };
    for (int study = -1; study < static_cast<int>(report.studies.size()); ++study) {
        const bool any = std::any_of(report.rows.begin(), report.rows.end(),
                                     [study](const VerificationRow &r) { return r.study == study; });
        if (!any)
            continue;
        out << '\n';
        if (study >= 0) {
            out << report.studies[static_cast<size_t>(study)].title << '\n'
                << "  Origen: " << report.studies[static_cast<size_t>(study)].origin << '\n';
        } else {
            out << "Valores de referencia\n";
        }
        line("Magnitud", "Referencia", "Obtenido", "LRE", "Criterio", "Resultado");
        for (const VerificationRow &row : report.rows)
            if (row.study == study)
                line(row.quantity, row.reference, row.obtained, LreText(row), CriterionText(row.criterion),
                     ResultText(row));
    }
    out << '\n' << report.verdict() << '\n';
    return report.passed() ? 0 : 1;
}

} // namespace cli
