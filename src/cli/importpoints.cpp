#include "cli/importpoints.h"

#include "cli/convertfile.h"
#include "cli/headless.h"
#include "cli/linfile.h"

#include "stats/conversions.h"
#include "stats/errors.h"

#include <algorithm>
#include <map>
#include <optional>
#include <ostream>

namespace cli {

namespace {

using stats::StudyRefusal;

[[noreturn]] void refuse(std::size_t line, const std::string &why)
{
    throw StudyRefusal("Línea " + std::to_string(line) + ": " + why);
}

// A line's fields; a field may be quoted as spreadsheets quote it ("a;b",
// "dice ""hola""").
std::vector<std::string> fields(std::string_view line, char separator, std::size_t number)
{
    std::vector<std::string> out(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                out.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                out.back() += c;
            }
        } else if (c == '"' && out.back().empty()) {
            quoted = true;
        } else if (c == separator) {
            out.emplace_back();
        } else {
            out.back() += c;
        }
    }
    if (quoted)
        refuse(number, "unas comillas sin cerrar.");
    for (std::string &f : out) {
        const auto first = f.find_first_not_of(" ");
        f = first == std::string::npos ? std::string() : f.substr(first, f.find_last_not_of(" ") - first + 1);
    }
    return out;
}

// "Calibración", "VALIDACION"… in lower case without the accent.
std::string folded(std::string text)
{
    for (const auto &[accented, plain] : {std::pair{"ó", "o"}, std::pair{"Ó", "o"}}) {
        for (std::size_t at; (at = text.find(accented)) != std::string::npos;)
            text.replace(at, std::string(accented).size(), plain);
    }
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

struct Columns {
    int series = -1, kind = -1, level = -1, x = -1, y = -1;
};

Columns columnsOf(const std::vector<std::string> &header)
{
    Columns c;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = folded(header[i]);
        int *column = name == "serie" ? &c.series
                      : name == "tipo"  ? &c.kind
                      : name == "nivel" ? &c.level
                      : name == "x"     ? &c.x
                      : name == "y"     ? &c.y
                                        : nullptr;
        if (!column)
            refuse(1, "la columna «" + stats::QuotedValue(header[i]) +
                          "» no es ninguna de serie, tipo, nivel, x e y.");
        if (*column >= 0)
            refuse(1, "la columna «" + header[i] + "» está dos veces.");
        *column = static_cast<int>(i);
    }
    for (const auto &[column, name] : {std::pair{c.series, "serie"}, std::pair{c.kind, "tipo"},
                                       std::pair{c.x, "x"}, std::pair{c.y, "y"}})
        if (column < 0)
            refuse(1, std::string("falta la columna «") + name + "» (la cabecera es serie;tipo;nivel;x;y).");
    return c;
}

// Where each point goes: its series, then its kind's levels by key.
struct Building {
    std::vector<std::string> seriesNames;
    std::vector<std::map<std::string, std::size_t>> levelIndex[2]; // per series, per kind: key → level
};

// A decimal comma where the separator is a comma comes quoted ("1,5").
std::string number(const std::string &text, std::size_t line, const char *axis)
{
    if (!stats::IsStudyNumber(text))
        refuse(line, std::string(axis) + " = «" + stats::QuotedValue(text) + "» no es un número.");
    return text;
}

// The exact value as a key: "1", "1.0" and "1,0" are the same x.
std::string exactKey(const std::string &text)
{
    stats::Rational value;
    stats::TryStrToRational(text, '.', value);
    return value.get_str();
}

} // namespace

stats::SeriesStudy ImportPoints(std::string_view text, const ImportTexts &texts)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from < text.size();) {
        std::size_t to = text.find('\n', from);
        if (to == std::string_view::npos)
            to = text.size();
        std::string_view line = text.substr(from, to - from);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.push_back(line);
        from = to + 1;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (lines.empty())
        refuse(1, "falta la cabecera serie;tipo;nivel;x;y.");
    const char separator = lines[0].find(';') != std::string_view::npos    ? ';'
                           : lines[0].find('\t') != std::string_view::npos ? '\t'
                                                                           : ',';
    const Columns c = columnsOf(fields(lines[0], separator, 1));
    const std::size_t width = fields(lines[0], separator, 1).size();
    stats::SeriesStudy study{.method = texts.method, .analyst = texts.analyst, .date = texts.date, .units = texts.units};
    Building b;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::size_t line = i + 1;
        if (lines[i].empty())
            refuse(line, "está vacía.");
        const std::vector<std::string> f = fields(lines[i], separator, line);
        if (f.size() != width)
            refuse(line, "tiene " + std::to_string(f.size()) + " campos y la cabecera " + std::to_string(width) + ".");
        const std::string &name = f[static_cast<std::size_t>(c.series)];
        if (name.empty())
            refuse(line, "falta la serie.");
        const std::string kindText = folded(f[static_cast<std::size_t>(c.kind)]);
        if (kindText != "calibracion" && kindText != "validacion")
            refuse(line, "el tipo «" + stats::QuotedValue(f[static_cast<std::size_t>(c.kind)]) +
                             "» no es calibración ni validación.");
        const int kind = kindText == "calibracion" ? 0 : 1;
        const std::string x = number(f[static_cast<std::size_t>(c.x)], line, "x");
        const std::string y = number(f[static_cast<std::size_t>(c.y)], line, "y");
        std::string key = c.level >= 0 ? f[static_cast<std::size_t>(c.level)] : exactKey(x);
        if (c.level >= 0 && key.empty())
            refuse(line, "falta el nivel.");

        auto found = std::find(b.seriesNames.begin(), b.seriesNames.end(), name);
        if (found == b.seriesNames.end()) {
            if (b.seriesNames.size() == stats::kMaxSeries)
                refuse(line, "la serie «" + stats::QuotedValue(name) + "» sería la " +
                                 std::to_string(stats::kMaxSeries + 1) + "ª: el máximo es " +
                                 std::to_string(stats::kMaxSeries) + ".");
            b.seriesNames.push_back(name);
            b.levelIndex[0].emplace_back();
            b.levelIndex[1].emplace_back();
            study.series.push_back({.name = name});
        }
        const std::size_t s = static_cast<std::size_t>(std::distance(b.seriesNames.begin(),
                                                                      std::find(b.seriesNames.begin(),
                                                                                b.seriesNames.end(), name)));
        std::vector<stats::StudyLevel> &levels = kind == 0 ? study.series[s].calibration : study.series[s].validation;
        const char *kindName = kind == 0 ? "calibración" : "validación";
        auto &index = b.levelIndex[kind][s];
        auto at = index.find(key);
        if (at == index.end()) {
            if (levels.size() == stats::kMaxSeriesLevels)
                refuse(line, "la serie «" + stats::QuotedValue(name) + "» tendría " +
                                 std::to_string(stats::kMaxSeriesLevels + 1) + " niveles de " + kindName +
                                 ": el máximo es " + std::to_string(stats::kMaxSeriesLevels) + ".");
            at = index.emplace(key, levels.size()).first;
            levels.emplace_back();
        }
        stats::StudyLevel &level = levels[at->second];
        if (level.size() == stats::kMaxLevelPoints)
            refuse(line, "el nivel " + std::to_string(at->second + 1) + " de " + kindName + " de la serie «" +
                             stats::QuotedValue(name) + "» tendría " + std::to_string(stats::kMaxLevelPoints + 1) +
                             " puntos: el máximo es " + std::to_string(stats::kMaxLevelPoints) + ".");
        level.push_back({.x = x, .y = y});
    }
    if (study.series.empty())
        refuse(2, "no hay ningún punto bajo la cabecera.");
    if (const std::string problem = stats::SeriesStudyProblem(study); !problem.empty())
        throw StudyRefusal(problem);
    return study;
}

int RunImportCommand(const std::string &input, const std::string &output, const ImportTexts &texts,
                     std::ostream &err)
{
    if (!IsLinPath(output)) {
        err << "La SALIDA de --import es un estudio .lin: debe terminar en .lin: " << output << "\n";
        return kExitUsage;
    }
    return WriteNewStudyFile(output, "--import", err,
                             [&] { return SerializeLinFile(ImportPoints(stats::ReadFileBytes(input), texts)); });
}

} // namespace cli
