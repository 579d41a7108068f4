#pragma once
// What the analyst sets for the acceptance criteria on a command line: the
// amount at 100 % (--target T) and a limits file (--limits L.json), a JSON
// object holding any of the limits by their keys (stats::LimitFields());
// the limits it leaves out keep their defaults.
#include "cli/json.h"
#include "stats/criteria.h"

#include <cstddef>
#include <string>

namespace cli {

struct CommandLine;

// A limits file larger than this is no limits file.
inline constexpr std::size_t kLargestLimitsFile = 64 * 1024;

// What a limit must be to mean anything, in Spanish ("un número entero de 1
// a 25"), or empty when `value` may be that limit: its bounds in the table of
// criteria. The dialog, the limits file and the user's settings hold to the
// same rules.
std::string LimitRule(const stats::LimitField &field, double value);

// The limits `path` holds over the defaults. False with the reason, in
// Spanish and naming the file or the key, for a file that cannot be read,
// is too large, is not a JSON object, or holds an unknown key, a value that
// is not a finite number or one that breaks its LimitRule().
bool ReadLimitsFile(const std::string &path, stats::AcceptanceLimits &limits, std::string &problem);

// --target and --limits of `line`, when given. False with the reason for a
// target that is not a number greater than zero or a refused limits file.
bool CriteriaOptionsOf(const CommandLine &line, char decimalSeparator, stats::CriteriaOptions &options,
                       std::string &problem);

// The limits as the limits file writes them: every key with its value.
JsonObject LimitsJson(const stats::AcceptanceLimits &limits);

} // namespace cli
