#pragma once
// The .lin study file: UTF-8 JSON, one object with the format's name and
// version, the study's texts and its series of calibration and validation
// standards (stats/seriesstudy.h). Numbers are strings holding the number as
// typed; a JSON number is read from its literal text, never through a
// double. Members this program does not know are kept for the save.
#include "stats/seriesstudy.h"

#include <string>
#include <string_view>

namespace cli {

inline constexpr char kLinFormat[] = "linealidad-estudio";
inline constexpr int kLinVersion = 1;

// The study of a file's bytes. Throws stats::StudyRefusal with the reason in
// Spanish (not JSON, another format or a newer version, a member of the
// wrong kind, a limit broken, a number that is not one).
stats::SeriesStudy ParseLinFile(std::string_view bytes);

// The file's bytes: indented by two spaces, one point a line, the members
// in the order above and then those kept.
std::string SerializeLinFile(const stats::SeriesStudy &study);

// Whether `bytes` are a .lin study by its format's name, whether or not
// this program can evaluate it: a file no output may replace.
bool NamesLinFormat(std::string_view bytes);

// Whether `path` names a .lin file (by its extension, in any case).
bool IsLinPath(std::string_view path);

} // namespace cli
