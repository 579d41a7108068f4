#pragma once
// Every output of a study in one table: the texts of the result windows,
// the report, the criteria, the JSON, the two graphs and the four printed
// pages. A study file is read once and analysed once; each output is then
// rendered from that analysis, by the single commands, the batch run and
// the windows alike. A text output renders here; a drawn one (graphs,
// pages) in the window library, which the caller hands in.
#include "cli/printrecord.h"
#include "stats/analysis.h"
#include "stats/outcomes.h"
#include "stats/seriesstudy.h"
#include "stats/studyfile.h"


#include <exception>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cli {

// A study file read once and analysed once, for every output asked of it.
struct AnalysedStudy {
    std::string path;
    std::string bytes;
    std::optional<stats::StudyFile> file;
    std::optional<stats::StudyAnalysis> analysis;
    // A .lin study as read, and the series evaluated (its calibration
    // standards are `file`); a series it does not have is a usage error.
    std::optional<stats::SeriesStudy> lin;
    int series = 1;
    std::string seriesProblem;
    PrintRecord record;
    // What stopped the reading or the analysis, kept for each output to say
    // its own way; "file" when it was the reading, "numeric" the analysis.
    std::exception_ptr error;
    const char *errorKind = "file";
    // The analysis; raises what stopped it.
    const stats::StudyAnalysis &analysed() const;
    // The file's texts as they were read; raises what stopped the reading.
    const stats::StudyFile &studyFile() const;
};
// The study of `bytes`, just read from `path`, analysed with `options`: a
// .lin study (by the extension) through the calibration standards of
// `options.series`, refused as a study that fails its validation when it
// breaks the format or its limits.
AnalysedStudy AnalyseStudy(const std::string &path, std::string bytes, const stats::AnalysisOptions &options);
// The same, reading `path` first.
AnalysedStudy ReadAndAnalyse(const std::string &path, const stats::AnalysisOptions &options);

// What a text output of a .lin study adds at its end: the series evaluated
// and every point left out, with its reason, who and when. Empty for a
// .w04 study.
std::string SeriesTextBlock(const AnalysedStudy &study);

// How a drawn output is written: a graph as PNG or SVG (of its window's
// size, or `width` x `height`) or as its printed PDF page; a page as PDF.
enum class DrawnFormat { Png, Svg, Pdf };
struct RenderOptions {
    DrawnFormat format = DrawnFormat::Pdf;
    int width = 0, height = 0; // 0: the window's size
};

// An output's bytes (status 0), or its refusal (2) or error (1) with the
// message for the user. The JSON carries its error object as bytes too.
struct Rendered {
    int status = 0;
    std::string bytes;
    std::string message;
};

enum class OutputKind { Text, Drawn };

struct Output;
using Renderer = Rendered (*)(const Output &output, const AnalysedStudy &study, const RenderOptions &options);

struct Output {
    std::string_view id;     // what the commands, the batch and the print window name
    OutputKind kind;
    std::string_view suffix; // after the study's name, in a batch run; empty: not written there
    // A text output's outcome, and how its command prints it.
    stats::CommandOutcome (*outcome)(const stats::StudyAnalysis &) = nullptr;
    void (*print)(const stats::CommandOutcome &, std::string &) = nullptr;
    // Renders a text output; null for the drawn ones.
    Renderer render = nullptr;
};

std::span<const Output> Outputs();
// The output named `id`; throws std::out_of_range for a name no row has.
const Output &OutputNamed(std::string_view id);

// What draws the graphs and pages: the window library's renderer.
using OutputDrawer = std::function<Rendered(const Output &, const AnalysedStudy &, const RenderOptions &)>;

// Renders `output`: a text one here, a drawn one by `drawer` (an error
// without one). What stops it (a computation, the drawing) is its status 1
// and message, never an exception.
Rendered RenderOutput(const Output &output, const AnalysedStudy &study, const RenderOptions &options,
                      const OutputDrawer &drawer = nullptr);

} // namespace cli
