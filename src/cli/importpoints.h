#pragma once
// linealidad --import: a study's points from a spreadsheet's text, one
// point a line under a header that names the columns serie, tipo, nivel
// (optional), x and y.
#include "stats/seriesstudy.h"

#include <iosfwd>
#include <string>
#include <string_view>

namespace cli {

struct ImportTexts {
    std::string method, analyst, date, units;
};

// The study of a text: the separator (";", tab or ",") is the one the header
// uses; numbers with a point or a comma (quoted where the separator is a
// comma); tipo "calibración" or "validación", with or without the accent,
// in any case; a series is named by its text and made in order of
// appearance, as are levels by their nivel, or without that column by their
// x (the same number makes the same level). LF or CR LF. Throws
// stats::StudyRefusal naming the line.
stats::SeriesStudy ImportPoints(std::string_view text, const ImportTexts &texts);

// Reads `input`, writes the study as `output` (.lin, a file that does not
// exist yet). Status 0; 2 a refused text (the reason on `err`); 1 a file
// that cannot be read or written; 64 an output that is not a new .lin.
int RunImportCommand(const std::string &input, const std::string &output, const ImportTexts &texts,
                     std::ostream &err);

} // namespace cli
