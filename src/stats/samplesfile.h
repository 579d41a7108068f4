#pragma once
// The samples file: UTF-8 text, one sample a line, its name and then its 1 to
// 20 responses, apart by semicolons or tabs; numbers with a point or a comma.
// Empty lines and lines starting with "#" are skipped; a first line whose
// responses are not numbers is a heading. Anything else is refused with the
// number of its line: a file is taken whole or not at all.
#include "stats/errors.h"
#include "stats/real.h"

#include <span>
#include <string>
#include <vector>

namespace stats {

inline constexpr int kMaxSampleResponses = 20;

// An unknown sample: its name and the responses measured for it.
struct Sample {
    std::string name;
    std::vector<Rational> responses; // 1 to kMaxSampleResponses, as typed
};

inline constexpr size_t kMaxSamplesFileBytes = 1024 * 1024;
inline constexpr size_t kMaxSamplesLineBytes = 4096;

class SamplesFileError : public CommandError {
public:
    using CommandError::CommandError;
};

std::vector<Sample> ParseSamplesFile(const std::string &bytes);

// A sample as the analyst typed it: its name and its response texts.
struct SampleTexts {
    std::string name;
    std::vector<std::string> responses;
    bool operator==(const SampleTexts &) const = default;
};

// The same file's samples as their texts (trimmed), for a window to show.
std::vector<SampleTexts> ParseSamplesFileTexts(const std::string &bytes);

// The sample a row of typed texts names: responses read with
// `decimalSeparator` (or a point). What the file reader would refuse in a
// line is refused here too, in its words ("'abc' no es un número."), as a
// ConversionError: a missing name, a name that would not read back as
// written, no response or more than 20, a response that is not a number.
Sample SampleOf(const SampleTexts &texts, char decimalSeparator);

// The file of typed samples, numbers with a point, one line each; a sample
// SampleOf refuses refuses the file (SamplesFileError, in its words), so
// that the file reads back as written.
std::string SamplesFileText(std::span<const SampleTexts> samples, char decimalSeparator);

} // namespace stats
