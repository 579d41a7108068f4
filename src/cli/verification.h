#pragma once
// The installation verification: the reference studies compiled into the
// program (verification/references.txt) run through the same commands as the
// windows, and every computed quantity compared with its reference value.
#include "cli/installationfacts.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// How a quantity is judged.
enum class Criterion {
    Certified, // at least kCertifiedDigits agreeing significant digits
    Printed,   // the printed text equals the reference text
    Verdict,   // the identifier equals the reference
    File,      // a study file written again is the same bytes
};

inline constexpr double kCertifiedDigits = 9.0;

struct VerificationRow {
    int study = 0;            // index into VerificationReport::studies
    std::string quantity;     // Spanish name
    std::string pointer;      // JSON pointer into the study's results (linealidad --json)
    Criterion criterion = Criterion::Printed;
    std::string reference;    // as the references write it
    std::string obtained;     // full precision, the printed text, or the identifier
    double lre = -1.0;        // agreeing significant digits; negative where not a number
    bool passed = false;
};

struct VerificationStudy {
    std::string key, title, origin;
};

struct VerificationReport {
    InstallationFacts facts;
    std::vector<VerificationStudy> studies;
    std::vector<VerificationRow> rows;

    int passedCount() const;
    bool passed() const { return !rows.empty() && passedCount() == static_cast<int>(rows.size()); }
    // "Verificación correcta: N de N" or "Verificación FALLIDA: ..." naming
    // the failing rows.
    std::string verdict() const;
    // "Norris: Pendiente"
    std::string rowName(const VerificationRow &row) const;
};

// The references compiled into the program.
std::string BuiltInReferences();

// Runs the studies of `references` (the format of verification/references.txt;
// files named there are those compiled in). A line that cannot be read, a
// study that cannot be computed or a quantity that is missing is a failing row.
VerificationReport RunVerification(const std::string &references);

// Agreeing significant digits of `obtained` with `reference`: the log
// relative error, -log10(|obtained - reference| / |reference|) (absolute
// where the reference is 0), from 0 to `digits`.
double LogRelativeError(double obtained, double reference, int digits);

// Significant digits of a number as written ("0.429796848199937E-03": 15).
int SignificantDigits(const std::string &number);

// The columns of the table, as every report of the verification shows them.
std::string LreText(const VerificationRow &row);
std::string CriterionText(Criterion criterion);
const char *ResultText(const VerificationRow &row);

// The table and the verdict as text (linealidad --verify); returns the exit
// status: 0 when every quantity passed, 1 otherwise.
int PrintVerification(const VerificationReport &report, std::ostream &out);

} // namespace cli
