#include "cli/outputs.h"

#include "cli/analysismodules.h"
#include "cli/headless.h"
#include "cli/linfile.h"
#include "cli/resultsjson.h"

#include "stats/conversions.h"
#include "stats/errors.h"

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace cli {

namespace {

void lines(const stats::CommandOutcome &outcome, std::string &out)
{
    for (const std::string &line : outcome.lines)
        out += line + '\n';
}

// The analysis of variance: the table's rows, cells apart by tabs, then the
// conclusions.
void tableAndLines(const stats::CommandOutcome &outcome, std::string &out)
{
    for (const auto &row : outcome.grid) {
        for (size_t c = 0; c < row.size(); ++c)
            out += (c ? "\t" : "") + row[c];
        out += '\n';
    }
    lines(outcome, out);
}

// The residuals: their columns side by side, apart by tabs.
void columns(const stats::CommandOutcome &outcome, std::string &out)
{
    for (size_t i = 0; i < outcome.columns[0].size(); ++i) {
        for (size_t c = 0; c < outcome.columns.size(); ++c)
            out += (c ? "\t" : "") + outcome.columns[c][i];
        out += '\n';
    }
}

Rendered text(const Output &output, const AnalysedStudy &study, const RenderOptions &)
{
    const stats::CommandOutcome outcome = output.outcome(study.analysed());
    if (outcome.refused())
        return {kExitRefused, {}, outcome.refusalMessage()};
    Rendered rendered;
    output.print(outcome, rendered.bytes);
    const AnalysisModule *module = AnalysisModuleNamed(output.id);
    rendered.bytes = stats::ShownText(rendered.bytes) + (module && module->wholeStudy ? "" : SeriesTextBlock(study));
    return rendered;
}

Rendered json(const Output &, const AnalysedStudy &study, const RenderOptions &)
{
    const JsonRun run = JsonOfStudy(study);
    return {run.status, JsonText(run.document), run.message};
}

using enum OutputKind;

// The line's own outputs; each evaluation of the registry adds its text and
// its page after them.
const Output kLineOutputs[] = {
    {.id = "report", .kind = Text, .suffix = ".informe.txt", .outcome = stats::ReportOutcome, .print = lines,
     .render = text},
    {.id = "inference", .kind = Text, .suffix = "", .outcome = stats::InferenceOutcome, .print = lines,
     .render = text},
    {.id = "anova", .kind = Text, .suffix = "", .outcome = stats::AnovaOutcome, .print = tableAndLines,
     .render = text},
    {.id = "residuals", .kind = Text, .suffix = "", .outcome = stats::ResidualsOutcome, .print = columns,
     .render = text},
    {.id = "systematic-error", .kind = Text, .suffix = "", .outcome = stats::SystematicErrorOutcome,
     .print = lines, .render = text},
    {.id = "json", .kind = Text, .suffix = ".json", .render = json},
    {.id = "graph-regression", .kind = Drawn, .suffix = ".regresion.pdf", .outcome = stats::RegressionGraphOutcome},
    {.id = "graph-residuals", .kind = Drawn, .suffix = ".residuales.pdf", .outcome = stats::ResidualGraphOutcome},
    // Of every series: a batch run writes the profile's text and page.
    {.id = "graph-profile", .kind = Drawn, .suffix = "", .outcome = stats::ProfileGraphOutcome},
    {.id = "page-general", .kind = Drawn, .suffix = ".general.pdf"},
    {.id = "page-inference", .kind = Drawn, .suffix = ".inferencia.pdf"},
    {.id = "page-error", .kind = Drawn, .suffix = ".error.pdf"},
};

struct OutputTable {
    std::vector<std::string> pageIds; // the evaluations' page names, kept for the rows' views
    std::vector<Output> rows;
};

const OutputTable &outputTable()
{
    static const OutputTable table = [] {
        OutputTable t;
        t.rows.assign(std::begin(kLineOutputs), std::end(kLineOutputs));
        t.pageIds.reserve(AnalysisModules().size());
        for (const AnalysisModule &m : AnalysisModules()) {
            t.rows.push_back(
                {.id = m.id, .kind = Text, .suffix = m.textSuffix, .outcome = m.outcome, .print = lines, .render = text});
            t.pageIds.push_back("page-" + std::string(m.id));
            t.rows.push_back({.id = t.pageIds.back(), .kind = Drawn, .suffix = m.pageSuffix});
        }
        return t;
    }();
    return table;
}

} // namespace

const stats::StudyAnalysis &AnalysedStudy::analysed() const
{
    if (error)
        std::rethrow_exception(error);
    return *analysis;
}

const stats::StudyFile &AnalysedStudy::studyFile() const
{
    if (!file)
        std::rethrow_exception(error);
    return *file;
}

AnalysedStudy AnalyseStudy(const std::string &path, std::string bytes, const stats::AnalysisOptions &options)
{
    AnalysedStudy study;
    study.path = path;
    study.bytes = std::move(bytes);
    study.record = RecordOfFileRead(path, study.bytes);
    study.series = options.series;
    try {
        if (!IsLinPath(path)) {
            if (options.series != 1) {
                study.seriesProblem = "--series " + std::to_string(options.series) +
                                      ": un estudio .w04 tiene una sola serie.";
                return study;
            }
            study.file = stats::ParseStudyFile(study.bytes);
            study.errorKind = "numeric";
            study.analysis = stats::Analyze(stats::StudyFromFile(*study.file), options);
            return study;
        }
        try {
            study.lin = ParseLinFile(study.bytes);
            const int count = static_cast<int>(study.lin->series.size());
            if (options.series > count) {
                study.seriesProblem = "--series " + std::to_string(options.series) + ": el estudio tiene " +
                                      std::to_string(count) + (count == 1 ? " serie." : " series.");
                return study;
            }
            study.file = stats::CalibrationOfSeries(*study.lin, options.series);
        } catch (const stats::StudyRefusal &e) {
            // The series may lack a line (an absolute method) and the study
            // still have its profile.
            stats::StudyAnalysis refused;
            refused.options = options;
            if (study.lin) {
                refused = stats::WholeStudyAnalysis(*study.lin, options);
                refused.texts.series = stats::SeriesNoteOf(*study.lin, options.series);
            }
            refused.validation = {.failed = true, .message = e.what()};
            study.analysis = std::move(refused);
            return study;
        }
        study.errorKind = "numeric";
        stats::AnalysisOptions whole = options;
        whole.wholeStudy = std::make_shared<const stats::SeriesStudy>(*study.lin);
        stats::StudyData calibration = stats::StudyFromFile(*study.file);
        calibration.levelLimit = stats::kMaxSeriesLevels;
        calibration.series = stats::SeriesNoteOf(*study.lin, options.series);
        study.analysis = stats::Analyze(calibration, whole);
    } catch (...) {
        study.error = std::current_exception();
    }
    return study;
}

AnalysedStudy ReadAndAnalyse(const std::string &path, const stats::AnalysisOptions &options)
{
    std::string bytes;
    try {
        bytes = stats::ReadFileBytes(path);
    } catch (...) {
        AnalysedStudy study;
        study.path = path;
        study.error = std::current_exception();
        return study;
    }
    return AnalyseStudy(path, std::move(bytes), options);
}

std::span<const Output> Outputs() { return outputTable().rows; }

const Output &OutputNamed(std::string_view id)
{
    const std::vector<Output> &rows = outputTable().rows;
    const auto found = std::find_if(rows.begin(), rows.end(), [&](const Output &o) { return o.id == id; });
    if (found == rows.end())
        throw std::out_of_range("no output " + std::string(id));
    return *found;
}

std::string SeriesTextBlock(const AnalysedStudy &study)
{
    return study.lin ? stats::SeriesNoteText(stats::SeriesNoteOf(*study.lin, study.series)) : std::string();
}

Rendered RenderOutput(const Output &output, const AnalysedStudy &study, const RenderOptions &options,
                      const OutputDrawer &drawer)
{
    if (!study.seriesProblem.empty())
        return {kExitUsage, {}, study.seriesProblem};
    Rendered rendered;
    stats::ReportCommandErrors(
        [&] {
            if (output.render)
                rendered = output.render(output, study, options);
            else if (drawer)
                rendered = drawer(output, study, options);
            else
                throw stats::CommandError("La salida " + std::string(output.id) + " no está disponible.");
        },
        [&](const std::string &message) { rendered = {kExitFailed, {}, message}; });
    return rendered;
}

} // namespace cli
