#pragma once
// The .w04 study file: one value per line, Windows-1252, CR LF after every
// line. Study, then the prediction window's state, then the graph titles.
#include "stats/study.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stats {

// Every value of a study file as text (UTF-8), in file order.
struct StudyFile {
    std::string method, analyst, date, units, levels = "3";
    std::vector<std::string> replicates;      // one per level
    std::vector<std::string> x, y;            // one per observation
    std::string predictionSlope = "12345678"; // caption of the slope label
    std::string predictionIntercept = "12345678";
    std::string predictionCount = "3";        // as typed
    std::vector<std::string> predictionX, predictionY; // one per prediction row
    std::string title, xLabel, yLabel;        // regression graph
};

// The reader's limits; files this program writes stay far below them.
inline constexpr int kMaxFileLevels = 20;
inline constexpr int kMaxFileObservations = 150;
inline constexpr int kMaxFilePredictions = 20;
inline constexpr size_t kMaxFileLineLength = 1000; // characters (bytes) of one line

// Reads a whole file. A line ends at CR LF, CR or LF; Ctrl-Z ends the data;
// missing lines read as empty. Throws ConversionError for a count line that
// is not a whole number and StudyFileError for counts beyond the limits, a
// line longer than kMaxFileLineLength or a control character in any line.
StudyFile ParseStudyFile(std::string_view bytes);

// The file's bytes. Throws StudyFileError naming the field when a text has a
// character that Windows-1252 cannot hold or a line break.
std::string SerializeStudyFile(const StudyFile &file);

// The study part of a file from the editor's texts (after ValidateStudy):
// replicate columns 1..L with L from the level count, every data row.
StudyFile StudyFileFromTexts(const StudyTexts &texts);

// The bytes of the file at `path` (UTF-8 path). Throws StudyFileError with a
// message for the user when it is missing, not a plain file, larger than
// `largest` bytes (before or while it is read) or unreadable.
inline constexpr std::uintmax_t kMaxStudyFileBytes = 16u << 20; // a study is a few kilobytes
std::string ReadFileBytes(const std::string &path, std::uintmax_t largest = kMaxStudyFileBytes);

// The study as Open shapes the editor from a file.
StudyData StudyFromFile(const StudyFile &file);

} // namespace stats
