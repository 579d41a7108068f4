#pragma once
// A whole archive of studies in one run: every study found under the given
// paths is read and analysed once, in parallel, the outputs asked of it
// rendered as a single run renders them and written under the output
// folder, and one row per study gathered in resumen.csv. A bad study never
// stops the run.
#include "cli/outputs.h"
#include "stats/criteria.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

struct CommandLine;

// What one run was asked.
struct BatchRequest {
    std::vector<std::string> paths; // study files or folders
    std::string outputDir;
    std::vector<std::string> formats = {"report", "json"}; // of BatchFormats()
    // T and the limits of --target and --limits, read once for the run.
    stats::CriteriaOptions criteria;
    bool wants(const std::string &format) const;
};

// What --formats may ask: report, json, graphs, pages, and each evaluation
// that a batch run writes, with the line's or after the pages.
const std::vector<std::string> &BatchFormats();

// False with the reason, in Spanish, for a bad --formats list.
bool ParseBatchFormats(const std::string &list, std::vector<std::string> &formats, std::string &problem);
// The request of a parsed --batch command line (its limits file read);
// false with the reason.
bool BatchRequestOf(const CommandLine &line, char decimalSeparator, BatchRequest &request, std::string &problem);

// A study found: its path on disk and the name it has in the summary, the
// path under its PATH argument ("lote-3/a.w04"), which names its outputs.
struct FoundStudy {
    std::string path;
    std::string name;
    std::string problem; // a folder that could not be searched: its error row
    int series = 1;      // of a .lin study: one row, and one name, per series
};
// Every *.w04 / *.W04 and *.lin under `paths` (folders searched
// recursively, links to folders not followed, the output folder skipped),
// sorted by name; a .lin study of several series once per series, named
// with "#" and its number ("dias.lin#2").
// Each name is the PATH's last component followed by the path below it; a
// second PATH with the same last component gets "~2", and so on, so that
// two studies never share a name.
std::vector<FoundStudy> FindStudies(const std::vector<std::string> &paths, const std::string &outputDir);

// The outputs of a format, in order, given which formats the run asks: the
// page of an evaluation of its own (criteria, weighting, quadratic) is among
// "pages" only when that evaluation is asked too. Each is written as the
// study's name followed by its suffix ("lote-3/a.w04.informe.txt").
std::vector<const Output *> BatchOutputs(const std::string &format, const BatchRequest &request);

// The message of each study a cancelled run never took.
inline constexpr char kNotEvaluatedMessage[] = "No evaluado: se canceló la evaluación.";

struct BatchProgress {
    // `errors` leaves out the studies a cancelled run did not evaluate,
    // which `notEvaluated` counts (their rows say "error" all the same).
    std::size_t done = 0, total = 0, refused = 0, errors = 0, notEvaluated = 0;
    double elapsedSeconds = 0;
};

// Runs the whole request. `progress` is called from one thread at a time,
// after each study; setting `cancel` stops the run after the studies under
// way (those written stay; the rest get a row saying they were not
// evaluated). Exit status: 0 all correct, 2 some refused and none in error,
// 1 any error or a cancelled run; an output folder that cannot be written
// is an error before any study is read. (A bad request is refused, 64,
// before it is made: BatchRequestOf.)
// `onRow` (optional) gets each row as it joins the summary, in order.
struct SummaryRow;
int RunBatch(const BatchRequest &request, std::ostream &err, char decimalSeparator, const OutputDrawer &drawer,
             const std::function<void(const BatchProgress &)> &progress, const std::atomic<bool> *cancel,
             const std::function<void(const SummaryRow &)> &onRow = nullptr);

// The line kept up to date on a terminal, and the last line of every run.
std::string ProgressLine(const BatchProgress &progress);
std::string SummaryLine(const BatchProgress &progress, bool cancelled, const std::string &summaryPath);

// linealidad --batch on a terminal or a pipe: progress on `err` only when it
// is a terminal, the summary line always.
int RunBatchCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char decimalSeparator,
                    const OutputDrawer &drawer);

} // namespace cli
