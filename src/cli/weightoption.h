#pragma once
// The weight an analyst chooses on a command line: --weight W.
#include "stats/weighting.h"

#include <string>

namespace cli {

struct CommandLine;

// False with the reason, naming the accepted weights, for a --weight that is
// none of them; without --weight the rule of the evaluation chooses.
bool WeightingOptionsOf(const CommandLine &line, stats::WeightingOptions &options, std::string &problem);

} // namespace cli
