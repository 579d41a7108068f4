#pragma once
// The fields of each result record, one row per field: its JSON key, where it
// lives in the record, the digits it prints with and its Spanish names. The
// JSON, the window texts and the report, the printed pages and the
// verification all walk these tables, so a new field is one row here.
#include "stats/anova.h"
#include "stats/criteria.h"
#include "stats/recovery.h"
#include "stats/regression.h"

#include <span>

namespace stats {

template <class Record>
struct ResultField {
    const char *key; // in the JSON
    Real Record::*member;
    int digits;      // significant digits the windows, the report and the pages print
    const char *name;      // the verification table's name of the quantity
    const char *label;     // what precedes it in the windows and the report, or nullptr
    const char *pageLabel; // what precedes it on the printed page, or nullptr
};

using RegressionField = ResultField<RegressionResult>;
using ResidualField = ResultField<ResidualRow>;
using RecoveryField = ResultField<RecoveryResult>;

// In the order the windows print them.
std::span<const RegressionField> RegressionFields();
std::span<const ResidualField> ResidualFields(); // the observation number aside
std::span<const RecoveryField> RecoveryFields();

// The analysis of variance is a grid: each field is a column (df, ss, ms,
// f, p) of a source of variation, printed with six digits.
struct AnovaSource {
    const char *key;       // its object in the JSON
    const char *label;     // in the window's grid and the report
    const char *pageLabel;
    const char *name;      // the verification's
    bool replicatesOnly;   // without replicates the row is empty (null in the JSON)
};
struct AnovaColumn {
    const char *key;
    const char *label;     // in the report: "SUMA DE CUADRADOS = "
    const char *name;      // the verification's
};
struct AnovaField {
    int source;            // into AnovaSources(): the grid's row, in order
    int column;            // into AnovaColumns(): the grid's column, in order
    Real AnovaResult::*member;
    int pageColumn;        // where the printed page puts it
};

std::span<const AnovaSource> AnovaSources();
std::span<const AnovaColumn> AnovaColumns();
std::span<const AnovaField> AnovaFields(); // source by source, column by column

// The figures of the acceptance criteria. What follows a figure in the
// texts: nothing, the study's units, or a Spanish unit of its own.
enum class CriteriaUnit { None, Amount, Percent, PercentOfTarget, PercentOfResponse };
struct CriteriaField {
    const char *group;  // the JSON object that holds it (responseFactors, mandel), or nullptr
    const char *key;    // in the JSON, or nullptr when the JSON gives it elsewhere
    Figure CriteriaResult::*member;
    int digits;
    CriteriaUnit unit;
    const char *label;  // what precedes it in the window, the text and the page
};
std::span<const CriteriaField> CriteriaFields(); // in the order the texts print them

// Whether the source's row holds figures of this study.
bool SourceShown(const AnovaSource &source, const AnovaResult &anova);

} // namespace stats
