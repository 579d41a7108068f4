#include "cli/profileoptions.h"

#include "cli/headless.h"

#include "stats/errors.h"

namespace cli {

bool ProfileOptionsOf(const CommandLine &line, stats::ProfileOptions &options, std::string &problem)
{
    for (const auto &[option, parse, value] :
         {std::tuple{"--beta", &stats::ParseProfileBeta, &options.beta},
          std::tuple{"--lambda", &stats::ParseProfileLambda, &options.lambda}}) {
        const std::string *text = line.option(option);
        if (!text)
            continue;
        try {
            *value = parse(*text);
        } catch (const stats::CommandError &e) {
            problem = std::string(option) + " " + *text + ": " + e.what();
            return false;
        }
    }
    return true;
}

} // namespace cli
