#pragma once
// The accuracy profile's settings on a command line: --beta B and --lambda L.
#include "stats/accuracyprofile.h"

#include <string>

namespace cli {

struct CommandLine;

// False with the reason, naming the option, for a value out of its range;
// what is not given keeps its default (β 0.90, λ 15 %).
bool ProfileOptionsOf(const CommandLine &line, stats::ProfileOptions &options, std::string &problem);

} // namespace cli
