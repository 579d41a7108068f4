// libFuzzer target: arbitrary bytes as a study file, read the way Open reads
// it and run through every result command; and the same bytes as typed texts
// for the number conversions. Any crash, sanitizer report or broken
// invariant is a finding.
#include "stats/outcomes.h"
#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/studyfile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Values are written at the end of their line or cell.
void noInfinityOrNaN(const stats::Lines &lines)
{
    for (const std::string &line : lines)
        check(!endsWith(line, "NAN") && !endsWith(line, "INF"));
}

void runCommands(const stats::StudyData &study, char separator)
{
    using Command = stats::CommandOutcome (*)(const stats::StudyAnalysis &);
    const stats::StudyAnalysis analysis = stats::Analyze(study, {.decimalSeparator = separator});
    for (Command run : {stats::ReportOutcome, stats::InferenceOutcome, stats::AnovaOutcome, stats::ResidualsOutcome,
                        stats::SystematicErrorOutcome, stats::CriteriaOutcome, stats::RegressionGraphOutcome,
                        stats::ResidualGraphOutcome}) {
        try {
            const stats::CommandOutcome outcome = run(analysis);
            if (run == stats::ReportOutcome || run == stats::CriteriaOutcome)
                continue; // these also show typed texts (the units), which may say anything
            noInfinityOrNaN(outcome.lines);
            for (const auto &row : outcome.grid)
                noInfinityOrNaN(stats::Lines(row.begin(), row.end()));
            for (const auto &column : outcome.columns)
                noInfinityOrNaN(column);
        } catch (const stats::ConversionError &) {
        } catch (const stats::FloatingPointError &) {
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);

    // Conversions of a typed text.
    int whole = 0;
    double number = 0;
    const std::string text = bytes.substr(0, 64);
    if (stats::TryStrToInt(text, whole))
        check(stats::StrToInt(text) == whole);
    if (stats::TryStrToFloat(text, ',', number)) {
        check(number == number && number - number == 0.0); // finite
        check(!stats::FormatGeneral(number, 6, ',').empty());
    }
    // A text reads the same under a point locale and a comma locale.
    double underPoint = 0;
    const bool readsUnderPoint = stats::TryStrToFloat(text, '.', underPoint);
    check(readsUnderPoint == stats::TryStrToFloat(text, ',', number));
    check(!readsUnderPoint || underPoint == number);
    // The exact reading accepts what the double reading accepts, and its
    // nearest double is the double's value or its neighbour (that one goes
    // through an extended value first).
    stats::Rational exact;
    double nearest = 0;
    check(stats::TryStrToNumber(text, '.', exact, nearest) == readsUnderPoint);
    if (readsUnderPoint) {
        check(nearest == underPoint || std::nextafter(nearest, underPoint) == underPoint);
        const std::string shown = stats::FormatGeneral(stats::Real(exact), 6, '.');
        check(!shown.empty() && shown.find("NAN") == std::string::npos && shown.find("INF") == std::string::npos);
    }

    // The file, as Open reads it.
    try {
        const stats::StudyFile file = stats::ParseStudyFile(bytes);
        // What was read writes back and reads again unchanged.
        const std::string written = stats::SerializeStudyFile(file);
        check(stats::SerializeStudyFile(stats::ParseStudyFile(written)) == written);
        const stats::StudyData study = stats::StudyFromFile(file);
        runCommands(study, '.');
        runCommands(study, ',');
    } catch (const stats::ConversionError &) {
    } catch (const stats::StudyFileError &) {
    }
    return 0;
}
