#pragma once
// The evaluations beyond the line, one row each: what it computes and shows
// (its outcome, which carries its document), the options it takes, its
// outputs and batch format, its command and its page, its menu entries and
// its window. The outputs, the commands and --help, the batch formats, the
// printed pages and the menus are all written from these rows, so a new
// evaluation is a new row and the functions it names.
#include "cli/summarycolumn.h"

#include "stats/outcomes.h"

#include <span>
#include <string_view>

namespace cli {

class JsonObject;

// What an evaluation takes beside the study.
enum AnalysisOption : unsigned {
    TakesTarget = 1,  // --target T: the amount at 100 %
    TakesLimits = 2,  // --limits L.json: the stored acceptance limits
    TakesWeight = 4,  // --weight W
    TakesSamples = 8, // a samples file and --confidence C
    TakesProfile = 16, // --beta B and --lambda L
};

// Where its menu entry and its batch format stand: with the line's own
// results (after the report; before the graphs), or among the evaluations
// that follow (after the predictions; after the pages).
enum class Placement { WithTheLine, Beyond };

struct AnalysisModule {
    std::string_view id;   // its text output; its batch format; its page is "page-" + id
    const char *command;   // "--" + id
    const char *name;      // the title of its window, its page's document and print item
    stats::CommandOutcome (*outcome)(const stats::StudyAnalysis &);
    unsigned options = 0;
    Placement placement = Placement::Beyond;
    // A batch run writes its text and (with pages) its page under these
    // names; empty: not written by a batch run.
    std::string_view textSuffix = {}, pageSuffix = {};

    // What it adds to the object --json writes of an analysis whose line
    // was computed: its keys and their values (null where it does not
    // apply). Raises stats::CommandError as its command does.
    void (*json)(const stats::StudyAnalysis &, JsonObject &) = nullptr;
    // Its columns in resumen.csv and the summary window, read from that
    // object. The evaluations' columns follow the line's in the order of
    // their ranks, then of the rows.
    std::span<const SummaryColumn> summary = {};
    int summaryRank = 100;

    // Its command: the usage line(s) after "linealidad ", its lines of
    // --help, and its line(s) under --print.
    const char *usage = nullptr;
    const char *help = nullptr;
    const char *printHelp = nullptr;

    // Its entry in the Cálculos menu (and, with `popup`, in the editor's
    // pop-up menu, named with a "p" before).
    const char *menuEntry = nullptr;
    const char *menuCaption = nullptr;
    const char *hint = nullptr;
    int helpContext = 0;
    bool popup = true;

    // Its window, where it has no window of its own: its document as text,
    // in columns, that scrolls.
    const char *windowName = nullptr;
    const char *textBoxName = nullptr;
    int windowWidth = 640, windowHeight = 560;

    // It evaluates every series of a .lin study, not the one --series names:
    // its text lists the points left out of any series itself.
    bool wholeStudy = false;
};

std::span<const AnalysisModule> AnalysisModules();
// The evaluation whose text output, command or page is `id`; null for none.
const AnalysisModule *AnalysisModuleNamed(std::string_view id);

} // namespace cli
