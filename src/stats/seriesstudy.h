#pragma once
// A study as laboratories run it: several series (days, runs), each with
// calibration standards and validation standards, levels of points. The .lin
// file holds it (cli/linfile.h); a .w04 study is the case of one series of
// calibration standards, 3 to 5 levels of at most 5 points.
#include "stats/studyfile.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stats {

inline constexpr int kMaxSeries = 20;
inline constexpr int kMinCalibrationLevels = 3;
inline constexpr int kMaxSeriesLevels = 20; // of each kind
inline constexpr int kMaxLevelPoints = 12;

// Members of the file this program does not know, each as its JSON text:
// kept so that a save writes them back.
using ExtraMembers = std::vector<std::pair<std::string, std::string>>;

// Why a point is left out of every computation; kept with it.
struct Exclusion {
    std::string reason, by, at; // at: ISO 8601 with offset
    bool operator==(const Exclusion &) const = default;
};

// One exclusion of a point or its taking back, kept for as long as the point
// is: a reason given, who and when.
struct PointEvent {
    enum class Action { Excluded, Included };
    Action action = Action::Excluded;
    std::string reason = {}, by = {}, at = {};
    bool operator==(const PointEvent &) const = default;
};
const char *PointActionName(PointEvent::Action action); // "excluded", "included"

// x and y as typed: a point or a comma decimal, an optional exponent.
struct StudyPoint {
    std::string x = {}, y = {};
    std::optional<Exclusion> excluded = {};
    std::vector<PointEvent> history = {}; // every exclusion and inclusion, oldest first
    ExtraMembers extra = {};
    bool operator==(const StudyPoint &) const = default;
};
using StudyLevel = std::vector<StudyPoint>;

enum class StandardKind { Calibration, Validation };

struct StudySeries {
    std::string name = {};
    std::vector<StudyLevel> calibration = {}, validation = {};
    ExtraMembers extra = {};
    const std::vector<StudyLevel> &levels(StandardKind kind) const
    {
        return kind == StandardKind::Calibration ? calibration : validation;
    }
    bool operator==(const StudySeries &) const = default;
};

// What a .w04 file holds beyond its points, kept so that a study converted
// to .lin and back is the same file: the level and replicate counts as
// typed (only where they are not the plain count), the prediction window's
// state and the graph titles.
struct EditorState {
    std::optional<std::string> levels = {};
    std::vector<std::string> replicates = {}; // empty: the plain counts
    std::string predictionSlope = StudyFile().predictionSlope, predictionIntercept = StudyFile().predictionIntercept;
    std::string predictionCount = StudyFile().predictionCount;
    std::vector<std::string> predictionX = {}, predictionY = {};
    std::string title = {}, xLabel = {}, yLabel = {};
    bool operator==(const EditorState &) const = default;
};

// The prediction window's state and the graph titles, from a state into a
// file's fields and back (the typed counts stay where they are).
void CopyEditorState(const EditorState &state, StudyFile &file);
void CopyEditorState(const StudyFile &file, EditorState &state);

struct SeriesStudy {
    std::string method = {}, analyst = {}, date = {}, units = {};
    std::vector<StudySeries> series = {};
    std::optional<EditorState> editor = {};
    ExtraMembers extra = {};
    bool operator==(const SeriesStudy &) const = default;
};

// Leaves the point out (recording who, when and why), or takes it back in
// (recording who and when, with the reason it had been left out for).
void ExcludePoint(StudyPoint &point, const Exclusion &exclusion);
void IncludePoint(StudyPoint &point, const std::string &by, const std::string &at);

// The kind's name as messages say it: "calibración", "validación".
const char *StandardKindName(StandardKind kind);
// "la serie 2 («Día 2»)", or "la serie 2" for one without a name.
std::string SeriesName(const SeriesStudy &study, int series);

// Why the study breaks a limit or holds a number that is not one, naming the
// series, the kind, the level and the point, and the limit; empty when it is
// sound.
std::string SeriesStudyProblem(const SeriesStudy &study);
// The same for one kind of standards of one series (1-based): what must hold
// before that series' calibration standards are evaluated.
std::string SeriesKindProblem(const SeriesStudy &study, int series, StandardKind kind);

// A number's text as a study file may hold it: with a point or with a comma.
bool IsStudyNumber(const std::string &text);

// The .w04 study as one series of calibration standards.
SeriesStudy SeriesStudyFromFile(const StudyFile &file);
// Why the study does not fit a .w04 file (several series, validation
// standards, excluded points or the record of one, other than 3 to 5 levels, more observations
// than the file's reader takes); empty when it does.
std::string W04Misfit(const SeriesStudy &study);
// The .w04 file of a study that fits one (W04Misfit empty).
StudyFile StudyFileFromSeries(const SeriesStudy &study);

// What one series' calibration standards give the evaluations: a study of
// its points that are not excluded, as typed, the editor's state kept.
// Throws StudyRefusal for a series without calibration standards or when
// fewer than 3 levels keep a point.
StudyFile CalibrationOfSeries(const SeriesStudy &study, int series);

// Points left out of a series' calibration standards, as every output lists
// them.
struct ExcludedPoint {
    StandardKind kind;
    int level = 0, point = 0; // 1-based
    StudyPoint value;
};
std::vector<ExcludedPoint> ExcludedPoints(const StudySeries &series);

// The note every output of a series' evaluation carries (1-based series).
SeriesNote SeriesNoteOf(const SeriesStudy &study, int series);
// The note as the text outputs end: " \nSERIE EVALUADA: 2 de 3 («Día 2»), sus
// estándares de calibración\n", then "Ningún punto excluido.\n" or the list
// of the points left out with their reason, who and when.
std::string SeriesNoteText(const SeriesNote &note);
// The same, a line each, for the windows that show lines.
std::vector<std::string> SeriesNoteLines(const SeriesNote &note);

} // namespace stats
