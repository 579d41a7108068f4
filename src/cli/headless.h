#pragma once
// The headless commands: read a study file the way Open does, run what the
// matching result command runs and print what its window would hold.
#include "stats/studyfile.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// Exit statuses of every command without windows.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;  // file, conversion or computation error
inline constexpr int kExitRefused = 2; // the study was refused (validation or zero slope)
inline constexpr int kExitUsage = 64;  // bad command line

// A command line taken apart: the command (its option), the words it takes
// (a graph's kind, the study file), and its options with their values.
struct CommandLine {
    std::string command;
    std::vector<std::string> operands;
    std::vector<std::pair<std::string, std::string>> options; // each once
    const std::string *option(const std::string &name) const;
};
// False with the reason, in Spanish, for a command line the program does not
// take: an unknown option, a missing file or value, a word too many, an
// option before the command or one the command does not take.
bool ParseCommandLine(const std::vector<std::string> &args, CommandLine &line, std::string &problem);

// The series --series names (1 without it); 0 for a value that is not a
// series number (ParseCommandLine refuses it).
int SeriesOf(const CommandLine &line);

// A refused command line: `problem`, then the usage lines of `command` (all
// of them when it is not one), on `err`. Returns kExitUsage.
int UsageError(std::ostream &err, const std::string &problem, const std::string &command);

// The study file at `path` read the way Open reads it, every value before
// anything is used. Throws stats::CommandError with the message for the user.
stats::StudyFile ReadStudyFile(const std::string &path);

// Runs a command's work and returns its status; an error that abandons it
// goes to `err` in the words of the general error report, status 1.
int RunCatchingErrors(std::ostream &err, const std::function<int()> &work);

// What was printed reached its destination: a full disk, a full device or a
// closed standard output is an error (its message on `err`, status 1), not a
// silent empty result.
int OutputWritten(std::ostream &out, std::ostream &err);

// Runs a text command (commandregistry.h). Exit status 0 on success, 2 for a
// refusal of the study (validation or zero slope), 1 for an error (file,
// conversion, floating point, output that cannot be written), 64 for a bad
// command line. On a refusal or error nothing goes to `out`.
int RunHeadless(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char decimalSeparator);

// The decimal separator of the user's locale.
char LocaleDecimalSeparator();

} // namespace cli
