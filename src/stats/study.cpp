#include "stats/study.h"

#include "stats/conversions.h"

#include <algorithm>

namespace stats {

namespace {

std::string cellOf(const std::vector<std::string> &cells, int index)
{
    if (index < 0 || index >= static_cast<int>(cells.size()))
        return {};
    return cells[static_cast<size_t>(index)];
}

ValidationFailure failure(std::string message, int page, StudyControl focus)
{
    return {true, std::move(message), page, focus};
}

} // namespace

std::string StudyData::replicateCell(int column, int row) const
{
    if (column < 0 || column >= replicateColumnCount())
        return {};
    return cellOf(replicateGrid[static_cast<size_t>(column)], row);
}

std::string StudyData::dataCell(int column, int row) const
{
    if (row < 0 || row >= dataRowCount())
        return {};
    return cellOf(dataGrid[static_cast<size_t>(row)], column);
}

std::string DataLevelLabel(int level) { return std::string(10, ' ') + std::to_string(level); }
std::string ReplicateLevelHeading(int level) { return std::string(11, ' ') + std::to_string(level); }

bool StudyData::operator==(const StudyData &other) const
{
    return methodText == other.methodText && analystText == other.analystText && dateText == other.dateText &&
           unitsText == other.unitsText && levelsText == other.levelsText && replicateGrid == other.replicateGrid &&
           dataGrid == other.dataGrid && levelLimit == other.levelLimit &&
           levelFloor == other.levelFloor && series == other.series;
}

StudyData StudyData::Shaped(const std::vector<std::string> &replicates,
                            const std::vector<std::string> &x, const std::vector<std::string> &y)
{
    StudyData study;
    study.replicateGrid.push_back({"     Nivel", " # Replicas"});
    for (size_t j = 0; j < replicates.size(); ++j)
        study.replicateGrid.push_back({ReplicateLevelHeading(static_cast<int>(j + 1)), replicates[j]});

    const size_t rows = std::max(x.size(), y.size());
    study.dataGrid.push_back({"      Nivel", "X", "Y"});
    for (size_t i = 0; i < rows; ++i)
        study.dataGrid.push_back({"", i < x.size() ? x[i] : "", i < y.size() ? y[i] : ""});

    // Level labels: r1 rows of level 1, then r2 rows of level 2, and so on.
    size_t row = 1;
    for (size_t j = 0; j < replicates.size(); ++j) {
        int count = 0;
        if (!TryStrToInt(replicates[j], count))
            count = 0;
        for (int r = 0; r < count && row < study.dataGrid.size(); ++r)
            study.dataGrid[row++][0] = DataLevelLabel(static_cast<int>(j + 1));
    }
    return study;
}

std::string MissingReplicatesMessage(int level) { return "Falta la replicación en el nivel " + std::to_string(level); }

bool LevelCountInRange(int levels, int most, int fewest) { return levels >= fewest && levels <= most; }

long long ReplicateTotal(const StudyTexts &texts, int levels)
{
    long long total = 0;
    for (int j = 1; j <= levels; ++j)
        total += StrToInt(texts.replicateCell(j, 1));
    return total;
}

std::string LevelsOutOfRangeMessage(int most, int fewest)
{
    return "Datos fuera de rango, " + std::to_string(fewest) + "-" + std::to_string(most) + " Niveles";
}

ValidationFailure ValidateStudy(const StudyTexts &texts)
{
    const int maxLevels = texts.mostLevels(), minLevels = texts.fewestLevels();
    const std::string levels = texts.levelCount();
    if (levels.empty())
        return failure("Falta capturar el número de niveles", PageLevels, StudyControl::eniveles);
    const int k = StrToInt(levels);
    if (!LevelCountInRange(k, maxLevels, minLevels))
        return failure(LevelsOutOfRangeMessage(maxLevels, minLevels), PageLevels, StudyControl::eniveles);

    const int columns = texts.replicateColumnCount();
    for (int j = 1; j <= columns - 1; ++j)
        if (texts.replicateCell(j, 1).empty())
            return failure(MissingReplicatesMessage(j), PageLevels, StudyControl::stgniveles);

    // A level without replicates would vanish from every computation.
    // (A text that is not a whole number is left to the conversions below.)
    for (int j = 1; j <= columns - 1; ++j) {
        int r = 0;
        if (TryStrToInt(texts.replicateCell(j, 1), r) && r < 1)
            return failure(kAtLeastOneReplicate, PageLevels, StudyControl::stgniveles);
    }

    if (k != columns - 1)
        return failure(kLevelCellsMismatch, PageLevels, StudyControl::eniveles);

    const int observationRows = texts.dataRowCount() - 1;
    if (ReplicateTotal(texts, k) != observationRows)
        return failure(kDataCellsMismatch, PageLevels, StudyControl::stgniveles);

    for (int row = 1; row <= observationRows; ++row)
        if (texts.dataCell(1, row).empty())
            return failure("Falta el dato " + std::to_string(row) + " de la cantidad adicionada", PageData,
                           StudyControl::stgdatos);
    for (int row = 1; row <= observationRows; ++row)
        if (texts.dataCell(2, row).empty())
            return failure("Falta el dato " + std::to_string(row) + " de la cantidad recuperada", PageData,
                           StudyControl::stgdatos);
    return {};
}

LinearityStudy ReadStudy(const StudyTexts &texts, char decimalSeparator)
{
    LinearityStudy study;
    const int columns = texts.replicateColumnCount();
    long long n = 0;
    for (int j = 1; j <= columns - 1; ++j) {
        const int r = StrToInt(texts.replicateCell(j, 1));
        study.replicates.push_back(r);
        n += r;
    }
    // Validated studies have exactly n data rows; rows beyond the grid read
    // as empty texts and fail their conversion.
    study.observations.reserve(static_cast<size_t>(std::clamp(n, 0LL, 10000LL)));

    int level = 1, inLevel = 0;
    for (int i = 1; i <= n; ++i) {
        while (level <= study.k() && inLevel >= study.replicates[static_cast<size_t>(level - 1)]) {
            ++level;
            inLevel = 0;
        }
        Observation o;
        StrToNumber(texts.dataCell(1, i), decimalSeparator, o.exactX, o.x);
        StrToNumber(texts.dataCell(2, i), decimalSeparator, o.exactY, o.y);
        o.level = level;
        ++inLevel;
        study.observations.push_back(o);
    }
    study.method = texts.method();
    study.analyst = texts.analyst();
    study.date = texts.date();
    study.units = texts.units();
    return study;
}

} // namespace stats

