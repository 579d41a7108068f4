#pragma once
// A linearity study as the analyst typed it. The editor's fields and grids
// are its only storage; the engine reads them through StudyTexts, a small
// read-only view that the editor implements over its widgets and StudyData
// over plain strings (files, headless commands, tests).
#include "stats/real.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace stats {

// Which series of a .lin study a study is, and the points left out of it,
// as every output names them (seriesstudy.h makes it).
struct SeriesNote {
    struct LeftOut {
        std::string kind; // "calibración", "validación"
        int level = 0, point = 0; // 1-based
        std::string x, y, reason, by, at;
        bool operator==(const LeftOut &) const = default;
    };
    int number = 1, count = 1;
    std::string name;
    std::vector<LeftOut> excluded;
    bool operator==(const SeriesNote &) const = default;
};

// The editor's controls that a rule can send the focus to.
enum class StudyControl { None, emetodo, eanalista, efecha, uadicionada, eniveles, stgniveles, stgdatos };

// Pages of the editor's notebook.
enum StudyPage { PageGeneral = 0, PageLevels = 1, PageData = 2 };

class StudyTexts {
public:
    virtual ~StudyTexts() = default;
    virtual std::string method() const = 0;      // emetodo
    virtual std::string analyst() const = 0;     // eanalista
    virtual std::string date() const = 0;        // efecha
    virtual std::string units() const = 0;       // uadicionada
    virtual std::string levelCount() const = 0;  // eniveles
    // stgniveles: column 0 holds headings, columns 1.. one level each.
    virtual int replicateColumnCount() const = 0;
    virtual std::string replicateCell(int column, int row) const = 0;
    // stgdatos: row 0 holds headings, column 0 the level labels, 1 x, 2 y.
    virtual int dataRowCount() const = 0;
    virtual std::string dataCell(int column, int row) const = 0;
    // The most levels the study may have: 5 where it is typed or kept as a
    // .w04 file, 20 for one series of a .lin study.
    virtual int mostLevels() const { return 5; }
    // The fewest: 3, or 0 for the standards of a .lin study being typed.
    virtual int fewestLevels() const { return 3; }
    // The series of a .lin study these texts are; null for a .w04 study.
    virtual const SeriesNote *seriesNote() const { return nullptr; }
};

// The study's texts as plain data, grids included with their shapes.
struct StudyData final : StudyTexts {
    std::string methodText, analystText, dateText, unitsText, levelsText = "3";
    std::vector<std::vector<std::string>> replicateGrid; // [column][row], 2 rows
    std::vector<std::vector<std::string>> dataGrid;      // [row][column], 3 columns
    int levelLimit = 5, levelFloor = 3;                  // mostLevels(), fewestLevels()
    std::optional<SeriesNote> series;                    // seriesNote()

    std::string method() const override { return methodText; }
    std::string analyst() const override { return analystText; }
    std::string date() const override { return dateText; }
    std::string units() const override { return unitsText; }
    std::string levelCount() const override { return levelsText; }
    int replicateColumnCount() const override { return static_cast<int>(replicateGrid.size()); }
    std::string replicateCell(int column, int row) const override;
    int dataRowCount() const override { return static_cast<int>(dataGrid.size()); }
    std::string dataCell(int column, int row) const override;
    int mostLevels() const override { return levelLimit; }
    int fewestLevels() const override { return levelFloor; }
    const SeriesNote *seriesNote() const override { return series ? &*series : nullptr; }
    // The same texts in the same shapes.
    bool operator==(const StudyData &other) const;

    // A study shaped the way Open shapes the editor: replicate grid with one
    // column per count, data grid with one row per pair, headings and the
    // level label of every observation row ("          1").
    static StudyData Shaped(const std::vector<std::string> &replicates,
                            const std::vector<std::string> &x, const std::vector<std::string> &y);
};

// The label Open writes in column 0 of a data row: ten blanks and the level.
std::string DataLevelLabel(int level);
// The heading Open writes in row 0 of a replicate column: eleven blanks and the level.
std::string ReplicateLevelHeading(int level);

struct Observation {
    Rational exactX, exactY; // the numbers as typed: every figure is computed from these
    double x = 0.0; // amount added, "cantidad adicionada", as the nearest double
    double y = 0.0; // amount recovered, "cantidad recuperada"
    int level = 0;  // 1..k, derived from the replicate counts
};

struct ExactLine;

struct LinearityStudy {
    std::string method, analyst, date, units;
    std::vector<int> replicates;           // r1..rk, from the replicate grid's columns
    std::vector<Observation> observations; // n = r1 + ... + rk, in grid order
    // The least-squares line, fitted once for the computations that share
    // this study (leastsquares.h). A study is read and computed by one thread.
    mutable std::shared_ptr<const ExactLine> fittedLine;
    int n() const { return static_cast<int>(observations.size()); }
    int k() const { return static_cast<int>(replicates.size()); }
};

// What ValidateStudy found: the message to show, the page to turn to and the
// control to focus. The caller shows it; the engine touches no widget.
struct ValidationFailure {
    bool failed = false;
    std::string message;
    int page = PageGeneral;
    StudyControl focus = StudyControl::None;
};

// Messages that the editor's own checks share with ValidateStudy.
inline constexpr const char *kLevelsOutOfRange = "Datos fuera de rango, 3-5 Niveles";
std::string LevelsOutOfRangeMessage(int most, int fewest = 3); // "Datos fuera de rango, 3-20 Niveles"
inline constexpr const char *kAtLeastOneReplicate = "Datos fuera de rango, mínimo 1 Réplica";
inline constexpr const char *kLevelCellsMismatch =
    "El número de celdas de captura para las replicaciones, no coincide con el número de niveles.";
inline constexpr const char *kDataCellsMismatch =
    "El número de celdas de captura para los datos, no coincide con el número de replicas por nivel.";
std::string MissingReplicatesMessage(int level); // "Falta la replicación en el nivel N"

bool LevelCountInRange(int levels, int most = 5, int fewest = 3); // 3 to 5 (`fewest` to `most`)
// The sum of the replicate counts of levels 1..`levels` (ConversionError for
// a count that is not a whole number).
long long ReplicateTotal(const StudyTexts &texts, int levels);

// The checks that every calculation and save runs first, in their order.
// Conversion errors of the typed counts propagate as ConversionError.
// The level count is checked against texts.fewestLevels() and mostLevels().
ValidationFailure ValidateStudy(const StudyTexts &texts);

// Reads the observations afresh from the texts (x and y of each row in turn).
// Throws ConversionError for a cell that is not a number.
LinearityStudy ReadStudy(const StudyTexts &texts, char decimalSeparator);

} // namespace stats
