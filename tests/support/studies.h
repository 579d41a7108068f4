#pragma once
// Worked studies used across the engine tests.
#include "stats/study.h"

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testing_studies {

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

#ifdef NIST_NORRIS_FILE
// NIST StRD "Norris": 36 observations, each as a level of one replicate
// (only the line matters for it). Empty when the data file cannot be read.
inline stats::StudyData norrisStudy()
{
    std::ifstream in(NIST_NORRIS_FILE);
    std::vector<std::string> x, y;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string yv, xv;
        fields >> yv >> xv;
        y.push_back(yv);
        x.push_back(xv);
    }
    return makeStudy(std::vector<std::string>(x.size(), "1"), x, y);
}
#endif

} // namespace testing_studies
