#pragma once
// What the analyst gives on a command line for the unknown samples: the
// samples file and the confidence of their intervals (--confidence C).
#include "stats/analysis.h"
#include "stats/samplesfile.h"

#include <string>

namespace cli {

struct CommandLine;

// The samples of the file at `path` (null: none) and --confidence of
// `line`, into `options`. False with the reason, in Spanish and naming the
// file or the value, for a file that cannot be read or is refused, or a
// confidence that is not above 0.5 and below 1.
bool SamplesOptionsOf(const CommandLine &line, const std::string *path, stats::AnalysisOptions &options,
                      std::string &problem);

// The samples of the file at `path`; throws stats::CommandError naming the
// file and what is wrong with it.
std::vector<stats::Sample> ReadSamplesFile(const std::string &path);
// The same, as the texts of its samples (for the samples window).
std::vector<stats::SampleTexts> ReadSamplesFileTexts(const std::string &path);

} // namespace cli
