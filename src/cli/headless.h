#pragma once
// The headless commands: read a study file the way Open does, run what the
// matching result command runs and print what its window would hold.
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// True when the arguments ask for a headless command (or --help/--version),
// which must run without any window or display.
bool IsHeadless(const std::vector<std::string> &args);

// Runs it. Exit status 0 on success, 2 for a refusal of the study (validation
// or zero slope), 1 for an error (file, conversion, floating point, output that
// cannot be written), 64 for
// a bad command line. On a refusal or error nothing goes to `out`.
int RunHeadless(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char decimalSeparator);

// The decimal separator of the user's locale.
char LocaleDecimalSeparator();

} // namespace cli
