#pragma once
// Worked studies used across the engine tests.
#include "stats/conversions.h"
#include "stats/study.h"

#include <string>
#include <vector>

namespace testing_studies {

// A figure exactly as a decimal text names it ("0.0100001").
inline stats::Real decimal(const std::string &text) { return stats::StrToRational(text, '.'); }

inline stats::StudyData makeStudy(const std::vector<std::string> &replicates, const std::vector<std::string> &x,
                                  const std::vector<std::string> &y)
{
    stats::StudyData s = stats::StudyData::Shaped(replicates, x, y);
    s.levelsText = std::to_string(replicates.size());
    return s;
}

// Three levels of three replicates: the inference example.
inline stats::StudyData inferenceStudy()
{
    return makeStudy({"3", "3", "3"}, {"80", "80", "80", "100", "100", "100", "120", "120", "120"},
                     {"79.5", "80.3", "80.1", "99.2", "100.4", "100.9", "119.1", "120.6", "121.0"});
}

// Three levels of two replicates: the analysis of variance example.
inline stats::StudyData anovaStudy()
{
    return makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                     {"1.02", "0.97", "2.10", "2.02", "2.95", "3.05"});
}

// The same amounts added, recovered about 4 % short: systematic error present.
inline stats::StudyData biasedStudy()
{
    return makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                     {"0.95", "0.96", "1.91", "1.93", "2.86", "2.88"});
}

} // namespace testing_studies
