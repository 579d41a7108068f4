#include "cli/weightoption.h"

#include "cli/headless.h"

namespace cli {

bool WeightingOptionsOf(const CommandLine &line, stats::WeightingOptions &options, std::string &problem)
{
    const std::string *weight = line.option("--weight");
    if (!weight)
        return true;
    options.weight = stats::WeightNamed(*weight);
    if (!options.weight)
        problem = "--weight " + *weight + ": la ponderación es una de " + stats::WeightIdList() + ".";
    return options.weight.has_value();
}

} // namespace cli
