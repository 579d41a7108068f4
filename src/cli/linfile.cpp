#include "cli/linfile.h"

#include "cli/json.h"

#include "stats/errors.h"

#include <algorithm>
#include <initializer_list>

namespace cli {

namespace {

using stats::StudyRefusal;

[[noreturn]] void refuse(const std::string &why) { throw StudyRefusal("El estudio .lin no se puede leer: " + why); }

std::string readError(const JsonReadError &error)
{
    return "no es un documento JSON válido (byte " + std::to_string(error.offset + 1) + ").";
}

// A member's text: a string, or a number by its literal.
std::string text(const Json &value, const std::string &what)
{
    if (value.isString())
        return value.toString();
    if (const std::string *literal = value.numberLiteral())
        return *literal;
    refuse(what + " no es un texto.");
}

std::string optionalText(const JsonObject &object, std::string_view key, const std::string &what)
{
    return object.contains(key) ? text(object.value(key), what) : std::string();
}

const JsonArray &array(const Json &value, const std::string &what)
{
    if (!value.isArray())
        refuse(what + " no es una lista.");
    return value.toArray();
}

const JsonObject &object(const Json &value, const std::string &what)
{
    if (!value.isObject())
        refuse(what + " no es un objeto.");
    return value.toObject();
}

std::vector<std::string> texts(const Json &value, const std::string &what)
{
    std::vector<std::string> out;
    for (const Json &item : array(value, what))
        out.push_back(text(item, what));
    return out;
}

stats::ExtraMembers extraMembers(const JsonObject &o, std::initializer_list<std::string_view> known)
{
    stats::ExtraMembers extra;
    for (const auto &[key, value] : o.members())
        if (std::find(known.begin(), known.end(), key) == known.end())
            extra.emplace_back(key, CompactJson(value));
    return extra;
}

stats::StudyPoint point(const Json &value, const std::string &where)
{
    const JsonObject &p = object(value, where);
    for (const char *axis : {"x", "y"})
        if (!p.contains(axis))
            refuse(where + ": falta «" + axis + "».");
    stats::StudyPoint point{.x = text(p.value("x"), where + ", x"), .y = text(p.value("y"), where + ", y")};
    if (p.contains("excluded") && !p.value("excluded").isNull()) {
        const std::string what = where + ", «excluded»";
        const JsonObject &e = object(p.value("excluded"), what);
        point.excluded = stats::Exclusion{.reason = optionalText(e, "reason", what + ", reason"),
                                          .by = optionalText(e, "by", what + ", by"),
                                          .at = optionalText(e, "at", what + ", at")};
    }
    if (p.contains("history") && !p.value("history").isNull()) {
        const std::string what = where + ", «history»";
        for (const Json &item : array(p.value("history"), what)) {
            const JsonObject &e = object(item, what);
            const std::string action = optionalText(e, "action", what + ", action");
            stats::PointEvent event{.action = stats::PointEvent::Action::Excluded,
                                    .reason = optionalText(e, "reason", what + ", reason"),
                                    .by = optionalText(e, "by", what + ", by"),
                                    .at = optionalText(e, "at", what + ", at")};
            if (action == stats::PointActionName(stats::PointEvent::Action::Included))
                event.action = stats::PointEvent::Action::Included;
            else if (action != stats::PointActionName(stats::PointEvent::Action::Excluded))
                refuse(what + ": «" + action + "» no es «excluded» ni «included».");
            point.history.push_back(std::move(event));
        }
    }
    point.extra = extraMembers(p, {"x", "y", "excluded", "history"});
    return point;
}

std::vector<stats::StudyLevel> levels(const JsonObject &series, const char *key, const std::string &where,
                                      stats::StandardKind kind)
{
    std::vector<stats::StudyLevel> levels;
    if (!series.contains(key) || series.value(key).isNull())
        return levels;
    const JsonArray &all = array(series.value(key), where + ", «" + key + "»");
    // The limits are checked on the whole study; a file far beyond them is
    // not read to the end.
    if (all.size() > stats::kMaxSeriesLevels)
        refuse(where + " hay " + std::to_string(all.size()) + " niveles de " + stats::StandardKindName(kind) +
               ": el máximo es " + std::to_string(stats::kMaxSeriesLevels) + ".");
    for (std::size_t j = 0; j < all.size(); ++j) {
        const std::string level = where + ", " + stats::StandardKindName(kind) + ", nivel " + std::to_string(j + 1);
        const JsonArray &points = array(all[j], level);
        if (points.size() > stats::kMaxLevelPoints)
            refuse(level + ": hay " + std::to_string(points.size()) + " puntos; el máximo es " +
                   std::to_string(stats::kMaxLevelPoints) + ".");
        stats::StudyLevel read;
        for (std::size_t i = 0; i < points.size(); ++i)
            read.push_back(point(points[i], level + ", punto " + std::to_string(i + 1)));
        levels.push_back(std::move(read));
    }
    return levels;
}

stats::EditorState editorState(const Json &value)
{
    const std::string what = "«w04»";
    const JsonObject &e = object(value, what);
    stats::EditorState state;
    if (e.contains("levels"))
        state.levels = text(e.value("levels"), what + ", levels");
    if (e.contains("replicates"))
        state.replicates = texts(e.value("replicates"), what + ", replicates");
    if (e.contains("prediction")) {
        const JsonObject &p = object(e.value("prediction"), what + ", prediction");
        if (p.contains("slope"))
            state.predictionSlope = text(p.value("slope"), what + ", prediction, slope");
        if (p.contains("intercept"))
            state.predictionIntercept = text(p.value("intercept"), what + ", prediction, intercept");
        if (p.contains("count"))
            state.predictionCount = text(p.value("count"), what + ", prediction, count");
        if (p.contains("x"))
            state.predictionX = texts(p.value("x"), what + ", prediction, x");
        if (p.contains("y"))
            state.predictionY = texts(p.value("y"), what + ", prediction, y");
    }
    if (e.contains("graph")) {
        const JsonObject &g = object(e.value("graph"), what + ", graph");
        state.title = optionalText(g, "title", what + ", graph, title");
        state.xLabel = optionalText(g, "xLabel", what + ", graph, xLabel");
        state.yLabel = optionalText(g, "yLabel", what + ", graph, yLabel");
    }
    return state;
}

// ---- Writing -------------------------------------------------------------

std::string quoted(const std::string &value) { return CompactJson(Json(value)); }

std::string textList(const std::vector<std::string> &values)
{
    JsonArray list;
    for (const std::string &v : values)
        list.emplace_back(v);
    return CompactJson(list);
}

// Members written one a line at `indent`, each line but the last with its comma.
struct Members {
    std::string &out;
    std::string indent;
    bool first = true;
    void add(const std::string &key, const std::string &value)
    {
        out += (first ? "" : ",\n") + indent + quoted(key) + ": " + value;
        first = false;
    }
    // Kept as read, on the member's line.
    void addExtra(const stats::ExtraMembers &extra)
    {
        for (const auto &[key, json] : extra)
            add(key, json);
    }
};

std::string pointText(const stats::StudyPoint &p)
{
    std::string out = "{\"x\": " + quoted(p.x) + ", \"y\": " + quoted(p.y);
    if (p.excluded)
        out += ", \"excluded\": {\"reason\": " + quoted(p.excluded->reason) + ", \"by\": " + quoted(p.excluded->by) +
               ", \"at\": " + quoted(p.excluded->at) + "}";
    if (!p.history.empty()) {
        out += ", \"history\": [";
        for (std::size_t i = 0; i < p.history.size(); ++i) {
            const stats::PointEvent &e = p.history[i];
            out += std::string(i ? ", " : "") + "{\"action\": " + quoted(stats::PointActionName(e.action)) +
                   ", \"reason\": " + quoted(e.reason) + ", \"by\": " + quoted(e.by) + ", \"at\": " + quoted(e.at) + "}";
        }
        out += "]";
    }
    for (const auto &[key, json] : p.extra)
        out += ", " + quoted(key) + ": " + json;
    return out + "}";
}

std::string levelsText(const std::vector<stats::StudyLevel> &levels)
{
    std::string out = "[";
    for (std::size_t j = 0; j < levels.size(); ++j) {
        out += j ? ",\n        [" : "\n        [";
        for (std::size_t i = 0; i < levels[j].size(); ++i)
            out += (i ? ",\n          " : "\n          ") + pointText(levels[j][i]);
        out += levels[j].empty() ? "]" : "\n        ]";
    }
    return out + (levels.empty() ? "]" : "\n      ]");
}

std::string editorText(const stats::EditorState &e)
{
    std::string out = "{\n";
    Members m{out, "    "};
    if (e.levels)
        m.add("levels", quoted(*e.levels));
    if (!e.replicates.empty())
        m.add("replicates", textList(e.replicates));
    m.add("prediction", "{\"slope\": " + quoted(e.predictionSlope) + ", \"intercept\": " +
                            quoted(e.predictionIntercept) + ", \"count\": " + quoted(e.predictionCount) +
                            ", \"x\": " + textList(e.predictionX) + ", \"y\": " + textList(e.predictionY) + "}");
    m.add("graph", "{\"title\": " + quoted(e.title) + ", \"xLabel\": " + quoted(e.xLabel) +
                       ", \"yLabel\": " + quoted(e.yLabel) + "}");
    return out + "\n  }";
}

} // namespace

stats::SeriesStudy ParseLinFile(std::string_view bytes)
{
    Json document;
    JsonReadError error;
    if (!ReadJson(bytes, document, error, true))
        refuse(readError(error));
    const JsonObject &o = object(document, "el documento");
    const Json &format = o.value("format");
    if (!format.isString() || format.toString() != kLinFormat)
        refuse("su formato no es «" + std::string(kLinFormat) + "».");
    const Json &version = o.value("version");
    const std::string *literal = version.numberLiteral();
    if (!literal || literal->find_first_not_of("0123456789") != std::string::npos || literal->size() > 9)
        refuse("su versión no es un número entero.");
    if (std::stoi(*literal) > kLinVersion)
        refuse("está en la versión " + *literal + " del formato y este programa lee hasta la versión " +
               std::to_string(kLinVersion) + "; actualice el programa.");
    stats::SeriesStudy study{.method = optionalText(o, "method", "«method»"),
                             .analyst = optionalText(o, "analyst", "«analyst»"),
                             .date = optionalText(o, "date", "«date»"),
                             .units = optionalText(o, "units", "«units»")};
    const JsonArray &series = array(o.value("series"), "«series»");
    if (series.size() > stats::kMaxSeries)
        refuse("tiene " + std::to_string(series.size()) + " series: el máximo es " +
               std::to_string(stats::kMaxSeries) + ".");
    for (std::size_t s = 0; s < series.size(); ++s) {
        const std::string where = "en la serie " + std::to_string(s + 1);
        const JsonObject &so = object(series[s], where);
        study.series.push_back({.name = optionalText(so, "name", where + ", «name»"),
                                .calibration = levels(so, "calibration", where, stats::StandardKind::Calibration),
                                .validation = levels(so, "validation", where, stats::StandardKind::Validation),
                                .extra = extraMembers(so, {"name", "calibration", "validation"})});
    }
    if (o.contains("w04"))
        study.editor = editorState(o.value("w04"));
    study.extra = extraMembers(o, {"format", "version", "method", "analyst", "date", "units", "series", "w04"});
    if (const std::string problem = stats::SeriesStudyProblem(study); !problem.empty())
        throw StudyRefusal(problem);
    return study;
}

std::string SerializeLinFile(const stats::SeriesStudy &study)
{
    std::string out = "{\n";
    Members top{out, "  "};
    top.add("format", quoted(kLinFormat));
    top.add("version", std::to_string(kLinVersion));
    top.add("method", quoted(study.method));
    top.add("analyst", quoted(study.analyst));
    top.add("date", quoted(study.date));
    top.add("units", quoted(study.units));
    std::string series = "[";
    for (std::size_t s = 0; s < study.series.size(); ++s) {
        const stats::StudySeries &one = study.series[s];
        series += s ? ",\n    {\n" : "\n    {\n";
        Members m{series, "      "};
        m.add("name", quoted(one.name));
        if (!one.calibration.empty())
            m.add("calibration", levelsText(one.calibration));
        if (!one.validation.empty())
            m.add("validation", levelsText(one.validation));
        m.addExtra(one.extra);
        series += "\n    }";
    }
    top.add("series", series + (study.series.empty() ? "]" : "\n  ]"));
    if (study.editor)
        top.add("w04", editorText(*study.editor));
    top.addExtra(study.extra);
    return out + "\n}\n";
}

bool NamesLinFormat(std::string_view bytes)
{
    Json document;
    JsonReadError error;
    return ReadJson(bytes, document, error, true) && document.toObject().value("format").toString() == kLinFormat;
}

bool IsLinPath(std::string_view path)
{
    if (path.size() < 4)
        return false;
    std::string end(path.substr(path.size() - 4));
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".lin";
}

} // namespace cli
