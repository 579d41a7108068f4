#pragma once
// linealidad --convert: a study written as the other kind of study file.
#include <functional>
#include <iosfwd>
#include <string>

namespace cli {

// Reads the study at `input` (.w04 or .lin, by its extension) and writes it
// as `output` (.lin or .w04) with the one save primitive. Status 0; 2 when
// the study is refused or does not fit a .w04 (the reason on `err`); 1 for
// a file that cannot be read or written; 64 for an output that is not a
// study file's name, that exists already, or that is the study itself.
int RunConvertCommand(const std::string &input, const std::string &output, std::ostream &err);

// How --convert and --import write a study: `output` must not exist yet
// (64 otherwise, naming `command`); `bytes` reads and builds the file (a
// stats::StudyRefusal: status 2, its reason on `err`; another error: 1),
// written with the one save primitive.
int WriteNewStudyFile(const std::string &output, const char *command, std::ostream &err,
                      const std::function<std::string()> &bytes);

} // namespace cli
