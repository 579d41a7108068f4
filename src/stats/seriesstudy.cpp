#include "stats/seriesstudy.h"

#include "stats/conversions.h"
#include "stats/errors.h"

namespace stats {

namespace {

// What the editor's file holds: 3 to 5 levels, its observations within the
// reader's limit.
constexpr int kMaxW04Levels = 5;

std::string count(std::size_t n) { return std::to_string(n); }

std::string where(const SeriesStudy &study, int series, StandardKind kind, int level)
{
    return "En " + SeriesName(study, series) + ", " + StandardKindName(kind) + ", nivel " + std::to_string(level);
}

std::string levelsProblem(const SeriesStudy &study, int s, StandardKind kind)
{
    const std::vector<StudyLevel> &levels = study.series[static_cast<std::size_t>(s - 1)].levels(kind);
    const std::size_t k = levels.size();
    if (kind == StandardKind::Calibration && k > 0 && k < kMinCalibrationLevels)
        return "En " + SeriesName(study, s) + " hay " + count(k) +
               " niveles de calibración: se necesitan 3 o más (o ninguno, en un método absoluto).";
    if (k > kMaxSeriesLevels)
        return "En " + SeriesName(study, s) + " hay " + count(k) + " niveles de " + StandardKindName(kind) +
               ": el máximo es " + std::to_string(kMaxSeriesLevels) + ".";
    for (std::size_t j = 0; j < k; ++j) {
        const StudyLevel &level = levels[j];
        const int l = static_cast<int>(j) + 1;
        if (level.empty())
            return where(study, s, kind, l) + ": no hay ningún punto (se necesita de 1 a " +
                   std::to_string(kMaxLevelPoints) + ").";
        if (level.size() > kMaxLevelPoints)
            return where(study, s, kind, l) + ": hay " + count(level.size()) + " puntos; el máximo es " +
                   std::to_string(kMaxLevelPoints) + ".";
        for (std::size_t i = 0; i < level.size(); ++i)
            for (const auto &[axis, text] : {std::pair{"x", &level[i].x}, std::pair{"y", &level[i].y}})
                if (!IsStudyNumber(*text))
                    return where(study, s, kind, l) + ", punto " + count(i + 1) + ": " + axis + " = «" +
                           QuotedValue(*text) + "» no es un número.";
    }
    return {};
}

} // namespace

const char *StandardKindName(StandardKind kind)
{
    return kind == StandardKind::Calibration ? "calibración" : "validación";
}

std::string SeriesName(const SeriesStudy &study, int series)
{
    const std::string &name = study.series.at(static_cast<std::size_t>(series - 1)).name;
    return "la serie " + std::to_string(series) + (name.empty() ? "" : " («" + QuotedValue(name) + "»)");
}

// The reader takes a point or a comma, whatever the locale's separator.
bool IsStudyNumber(const std::string &text)
{
    Rational value;
    return TryStrToRational(text, '.', value);
}

std::string SeriesStudyProblem(const SeriesStudy &study)
{
    if (study.series.empty())
        return "El estudio no tiene ninguna serie (se necesita de 1 a " + std::to_string(kMaxSeries) + ").";
    if (study.series.size() > kMaxSeries)
        return "El estudio tiene " + count(study.series.size()) + " series: el máximo es " +
               std::to_string(kMaxSeries) + ".";
    for (std::size_t s = 0; s < study.series.size(); ++s) {
        const StudySeries &series = study.series[s];
        const int number = static_cast<int>(s) + 1;
        if (series.calibration.empty() && series.validation.empty())
            return "En " + SeriesName(study, number) + " no hay estándares de calibración ni de validación.";
        for (StandardKind kind : {StandardKind::Calibration, StandardKind::Validation})
            if (std::string problem = levelsProblem(study, number, kind); !problem.empty())
                return problem;
    }
    return {};
}

std::string SeriesKindProblem(const SeriesStudy &study, int series, StandardKind kind)
{
    return levelsProblem(study, series, kind);
}

SeriesStudy SeriesStudyFromFile(const StudyFile &file)
{
    SeriesStudy study{.method = file.method, .analyst = file.analyst, .date = file.date, .units = file.units};
    StudySeries series;
    std::size_t next = 0;
    std::vector<std::string> plain;
    for (const std::string &typed : file.replicates) {
        const int r = StrToInt(typed);
        plain.push_back(std::to_string(r));
        StudyLevel level;
        for (int i = 0; i < r && next < file.x.size(); ++i, ++next)
            level.push_back({.x = file.x[next], .y = next < file.y.size() ? file.y[next] : std::string()});
        series.calibration.push_back(std::move(level));
    }
    study.series.push_back(std::move(series));
    EditorState editor{.predictionSlope = file.predictionSlope,
                       .predictionIntercept = file.predictionIntercept,
                       .predictionCount = file.predictionCount,
                       .predictionX = file.predictionX,
                       .predictionY = file.predictionY,
                       .title = file.title,
                       .xLabel = file.xLabel,
                       .yLabel = file.yLabel};
    if (file.levels != std::to_string(file.replicates.size()))
        editor.levels = file.levels;
    if (plain != file.replicates)
        editor.replicates = file.replicates;
    study.editor = std::move(editor);
    return study;
}

const char *PointActionName(PointEvent::Action action)
{
    return action == PointEvent::Action::Excluded ? "excluded" : "included";
}

void ExcludePoint(StudyPoint &point, const Exclusion &exclusion)
{
    point.excluded = exclusion;
    point.history.push_back({PointEvent::Action::Excluded, exclusion.reason, exclusion.by, exclusion.at});
}

void IncludePoint(StudyPoint &point, const std::string &by, const std::string &at)
{
    const std::string reason = point.excluded ? point.excluded->reason : std::string();
    point.excluded.reset();
    point.history.push_back({PointEvent::Action::Included, reason, by, at});
}

std::string W04Misfit(const SeriesStudy &study)
{
    const std::string why = "El estudio no cabe en un archivo .w04: ";
    if (study.series.size() != 1)
        return why + "tiene " + count(study.series.size()) + " series y un .w04 guarda una.";
    const StudySeries &series = study.series.front();
    if (!series.validation.empty())
        return why + "tiene estándares de validación.";
    const std::size_t k = series.calibration.size();
    if (k < kMinCalibrationLevels || k > kMaxW04Levels)
        return why + "tiene " + count(k) + " niveles de calibración y un .w04 guarda de 3 a 5.";
    std::size_t n = 0;
    for (const StudyLevel &level : series.calibration)
        n += level.size();
    if (n > kMaxFileObservations)
        return why + "tiene " + count(n) + " puntos y un .w04 guarda hasta " + std::to_string(kMaxFileObservations) +
               ".";
    for (std::size_t j = 0; j < k; ++j) {
        const StudyLevel &level = series.calibration[j];
        for (std::size_t i = 0; i < level.size(); ++i)
            if (level[i].excluded || !level[i].history.empty())
                return why + "el punto " + count(i + 1) + " del nivel " + count(j + 1) +
                       (level[i].excluded ? " está excluido" : " guarda el registro de una exclusión") +
                       " y un .w04 no guarda exclusiones.";
    }
    return {};
}

StudyFile StudyFileFromSeries(const SeriesStudy &study)
{
    StudyFile file;
    file.method = study.method;
    file.analyst = study.analyst;
    file.date = study.date;
    file.units = study.units;
    const std::vector<StudyLevel> &levels = study.series.at(0).calibration;
    file.levels = std::to_string(levels.size());
    for (const StudyLevel &level : levels) {
        file.replicates.push_back(std::to_string(level.size()));
        for (const StudyPoint &point : level) {
            file.x.push_back(point.x);
            file.y.push_back(point.y);
        }
    }
    if (const std::optional<EditorState> &e = study.editor) {
        // The counts as typed, where they still name the study's counts.
        int typed = 0;
        if (e->levels && TryStrToInt(*e->levels, typed) && typed == static_cast<int>(levels.size()))
            file.levels = *e->levels;
        if (e->replicates.size() == levels.size())
            for (std::size_t j = 0; j < levels.size(); ++j) {
                if (TryStrToInt(e->replicates[j], typed) && typed == static_cast<int>(levels[j].size()))
                    file.replicates[j] = e->replicates[j];
            }
        CopyEditorState(*e, file);
    }
    return file;
}

void CopyEditorState(const EditorState &state, StudyFile &file)
{
    file.predictionSlope = state.predictionSlope;
    file.predictionIntercept = state.predictionIntercept;
    file.predictionCount = state.predictionCount;
    file.predictionX = state.predictionX;
    file.predictionY = state.predictionY;
    file.title = state.title;
    file.xLabel = state.xLabel;
    file.yLabel = state.yLabel;
}

void CopyEditorState(const StudyFile &file, EditorState &state)
{
    state.predictionSlope = file.predictionSlope;
    state.predictionIntercept = file.predictionIntercept;
    state.predictionCount = file.predictionCount;
    state.predictionX = file.predictionX;
    state.predictionY = file.predictionY;
    state.title = file.title;
    state.xLabel = file.xLabel;
    state.yLabel = file.yLabel;
}

StudyFile CalibrationOfSeries(const SeriesStudy &study, int series)
{
    if (study.series.at(static_cast<std::size_t>(series - 1)).calibration.empty())
        throw StudyRefusal("En " + SeriesName(study, series) +
                           " no hay estándares de calibración (un método absoluto): no hay recta que evaluar.");
    SeriesStudy one = study;
    one.series = {study.series.at(static_cast<std::size_t>(series - 1))};
    StudySeries &kept = one.series.front();
    kept.validation.clear();
    std::vector<StudyLevel> levels;
    for (const StudyLevel &level : kept.calibration) {
        StudyLevel included;
        for (const StudyPoint &point : level)
            if (!point.excluded)
                included.push_back({.x = point.x, .y = point.y});
        if (!included.empty())
            levels.push_back(std::move(included));
    }
    if (levels.size() < kMinCalibrationLevels)
        throw StudyRefusal("En " + SeriesName(study, series) + " hay " + count(levels.size()) +
                           " niveles de calibración con puntos sin excluir: se necesitan 3 o más.");
    kept.calibration = std::move(levels);
    // The typed counts no longer name what is evaluated once points are left out.
    if (one.editor) {
        one.editor->levels.reset();
        one.editor->replicates.clear();
    }
    return StudyFileFromSeries(one);
}

std::vector<ExcludedPoint> ExcludedPoints(const StudySeries &series)
{
    std::vector<ExcludedPoint> points;
    for (StandardKind kind : {StandardKind::Calibration, StandardKind::Validation}) {
        const std::vector<StudyLevel> &levels = series.levels(kind);
        for (std::size_t j = 0; j < levels.size(); ++j)
            for (std::size_t i = 0; i < levels[j].size(); ++i)
                if (levels[j][i].excluded)
                    points.push_back({kind, static_cast<int>(j) + 1, static_cast<int>(i) + 1, levels[j][i]});
    }
    return points;
}

} // namespace stats

namespace stats {

SeriesNote SeriesNoteOf(const SeriesStudy &study, int series)
{
    const StudySeries &s = study.series.at(static_cast<std::size_t>(series - 1));
    SeriesNote note{.number = series, .count = static_cast<int>(study.series.size()), .name = s.name, .excluded = {}};
    for (const ExcludedPoint &p : ExcludedPoints(s)) {
        const Exclusion &e = *p.value.excluded;
        note.excluded.push_back({StandardKindName(p.kind), p.level, p.point, p.value.x, p.value.y, e.reason, e.by, e.at});
    }
    return note;
}

std::string SeriesNoteText(const SeriesNote &note)
{
    std::string block = " \nSERIE EVALUADA: " + std::to_string(note.number) + " de " + std::to_string(note.count) +
                        (note.name.empty() ? "" : " («" + ShownText(note.name) + "»)") +
                        ", sus estándares de calibración\n";
    if (note.excluded.empty())
        return block + "Ningún punto excluido.\n";
    block += " \nPUNTOS EXCLUIDOS\n";
    for (const SeriesNote::LeftOut &p : note.excluded)
        block += "  " + p.kind + ", nivel " + std::to_string(p.level) + ", punto " + std::to_string(p.point) +
                 ": x = " + ShownText(p.x) + ", y = " + ShownText(p.y) + "; " + ShownText(p.reason) + " (" +
                 ShownText(p.by) + ", " + ShownText(p.at) + ")\n";
    return block;
}

std::vector<std::string> SeriesNoteLines(const SeriesNote &note)
{
    std::vector<std::string> lines;
    const std::string text = SeriesNoteText(note);
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

} // namespace stats
