#pragma once
// The three printed reports of a study: the general information with the
// data, the slope/intercept inference with the analysis of variance, and the
// systematic error evaluation with the residual analysis. Each is computed
// first (so that a refused study never starts a print job), then drawn as
// text at line and column positions on any QPainter: a printer, a PDF, an
// image.
#include "cli/analysismodules.h"
#include "cli/printrecord.h"
#include "stats/outcomes.h"

#include <QString>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

class QPainter;

namespace render {

// The items of the print options window, in order: the line's three pages,
// then one per evaluation, in the order of its rows (EvaluationPage).
enum class PrintedReport { GeneralInformation, InferenceAndAnova, ErrorAndResiduals };

// One text of a page body: its line, and its column in column units, or
// centred, or right-aligned.
struct PageText {
    static constexpr int kCentred = -1;
    static constexpr int kRightAligned = -2;
    int line = 0;
    int column = 0;
    QString text;
    // A figure of a table row whose designed column is narrower than a long
    // figure to its left: it stands right of that figure instead.
    bool followsLeft = false;
};
using PageBody = std::vector<PageText>;

// Lines 56 to 59 hold the footer; a body never goes below this line.
inline constexpr int kLastBodyLine = 54;
// The pages laid out by their content keep their texts left of this column:
// the printable width of A4 with quarter-inch margins (388 columns) less a
// margin as wide as the body's left one.
inline constexpr int kLastBodyColumn = 360;

struct PreparedReport {
    stats::ValidationFailure validation; // pages 2 to 4: the study was refused
    bool zeroSlope = false;              // pages 2 to 4: the slope is zero
    bool refused() const { return validation.failed || zeroSlope; }
    // One body per printed page; more than one only for a study with more
    // observations than one page holds.
    std::vector<PageBody> pages;
};

// Lays out the page bodies of `report` from the study's analysis, or says
// why the study is refused for it (as the windows it prints would). The
// general information page needs no computation; the acceptance criteria
// are those the analysis judged (its T and limits). Raises
// stats::ConversionError or stats::FloatingPointError where a computation
// the page prints failed.
PreparedReport PrepareReport(PrintedReport report, const stats::StudyAnalysis &analysis);

// Draws the pages, each inside the common frame (header, rules, footer) with
// the identification line of `record` below it, on a painter already begun
// on its device; `newPage` moves the device to the next page and answers
// false when it cannot.
bool DrawReportPages(QPainter &painter, const std::vector<PageBody> &pages, const std::function<bool()> &newPage,
                     const cli::PrintRecord &record);
// The same for a study that has no file.
bool DrawReportPages(QPainter &painter, const std::vector<PageBody> &pages, const std::function<bool()> &newPage);

// Each page as the outputs, the print options window and the documents name
// it, in the order of PrintedReport.
struct PrintedPage {
    PrintedReport report;
    std::string_view id; // its output (cli/outputs.h)
    QString name;        // its document's title
    QString caption;     // its item in the print options window
    const cli::AnalysisModule *module = nullptr; // an evaluation's page: what it prints
};
std::span<const PrintedPage> PrintedPages();

// The report's name, as its item in the print options window says it.
QString ReportName(PrintedReport report);
// The page of the evaluation whose id is `id` (cli/analysismodules.h).
PrintedReport EvaluationPage(std::string_view id);

} // namespace render
