#include "cli/batch.h"

#include "cli/linfile.h"

#include "cli/acceptancelimits.h"
#include "cli/analysismodules.h"
#include "cli/batchsummary.h"
#include "cli/commandregistry.h"
#include "cli/headless.h"
#include "cli/outputfile.h"
#include "cli/outputs.h"
#include "cli/printrecord.h"
#include "cli/resultsjson.h"

#include "stats/errors.h"
#include "stats/real.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace fs = std::filesystem;

namespace {

// The formats of --formats as a sentence: "report, json, … y quadratic".
std::string acceptedFormats()
{
    std::string text;
    for (size_t i = 0; i < BatchFormats().size(); ++i)
        text += (i == 0 ? "" : i + 1 == BatchFormats().size() ? " y " : ", ") + BatchFormats()[i];
    return text;
}

bool isStudyName(const fs::path &p)
{
    const std::string ext = p.extension().string();
    return ext == ".w04" || ext == ".W04" || IsLinPath(ext);
}

// A .lin study once per series; a study that cannot be read once, for its
// row to say why.
void addFound(std::vector<FoundStudy> &found, const std::string &path, const std::string &name)
{
    int series = 1;
    if (IsLinPath(path)) {
        try {
            series = static_cast<int>(ParseLinFile(stats::ReadFileBytes(path)).series.size());
        } catch (const stats::CommandError &) {
        }
    }
    if (series == 1) {
        found.push_back({path, name, ""});
        return;
    }
    for (int s = 1; s <= series; ++s)
        found.push_back({path, name + "#" + std::to_string(s), "", s});
}

// What a command printed on standard error, as one line of the summary.
std::string oneLine(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

const char *const kCancelledMessage = kNotEvaluatedMessage;

// Counts and the rows waiting for their turn in the summary, which keeps
// the order of the study names whatever order the threads finish in.
class Collector {
public:
    Collector(BatchSummaryWriter &summary, std::size_t total, std::size_t window,
              const std::function<void(const BatchProgress &)> &progress,
              const std::function<void(const SummaryRow &)> &onRow)
        : m_summary(summary), m_window(window), m_progress(progress), m_onRow(onRow),
          m_start(std::chrono::steady_clock::now())
    {
        m_counts.total = total;
    }

    // The next study to evaluate, waiting while the rows ahead of the
    // summary fill the window; false when none is left or the run stops.
    bool take(std::size_t &index, const std::atomic<bool> *cancel)
    {
        std::unique_lock lock(m_mutex);
        m_turn.wait(lock, [&] { return m_next < m_written + m_window || m_next >= m_counts.total; });
        if (m_next >= m_counts.total || (cancel && cancel->load()))
            return false;
        index = m_next++;
        return true;
    }

    void done(std::size_t index, SummaryRow row)
    {
        std::lock_guard lock(m_mutex);
        const bool notEvaluated = row.message == kCancelledMessage;
        m_counts.refused += row.state == RowState::Refused;
        m_counts.errors += row.state == RowState::Error && !notEvaluated;
        m_counts.notEvaluated += notEvaluated;
        ++m_counts.done;
        m_pending.emplace(index, std::move(row));
        while (!m_pending.empty() && m_pending.begin()->first == m_written) {
            m_summary.append(m_pending.begin()->second);
            if (m_onRow)
                m_onRow(m_pending.begin()->second);
            m_pending.erase(m_pending.begin());
            ++m_written;
        }
        m_counts.elapsedSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        if (m_progress)
            m_progress(m_counts);
        m_turn.notify_all();
    }

    // Studies never taken (a cancelled run) are told as such, in order.
    std::size_t taken() const { return m_next; }
    BatchProgress counts() const { return m_counts; }

private:
    BatchSummaryWriter &m_summary;
    std::size_t m_window;
    const std::function<void(const BatchProgress &)> &m_progress;
    const std::function<void(const SummaryRow &)> &m_onRow;
    std::chrono::steady_clock::time_point m_start;
    std::mutex m_mutex;
    std::condition_variable m_turn;
    std::map<std::size_t, SummaryRow> m_pending;
    std::size_t m_next = 0, m_written = 0;
    BatchProgress m_counts;
};

// Writes an output of a study (its folder made) the way every batch file
// is written; never over a study.
void writeOutput(const std::string &path, const std::string &bytes, const Output &output, const FoundStudy &found)
{
    const std::string extension = std::string(output.suffix.substr(output.suffix.find_last_of('.')));
    if (const OutputRefusal refusal = CheckOutputFile(path, {extension}, {{found.path, "el estudio que se lee"}}))
        throw stats::OutputFileError(refusal.message);
    WriteBatchFile(path, bytes);
}

// One study: read once, analysed once, its row, and each output asked of it
// rendered from that analysis and written. A text output is written
// whenever it has text, as a redirection of its single command keeps it;
// the drawn ones only for a study that is correct so far.
SummaryRow evaluate(const FoundStudy &found, const BatchRequest &request, const stats::AnalysisOptions &options,
                    const OutputDrawer &drawer)
{
    SummaryRow row;
    row.name = found.name;
    if (!found.problem.empty()) {
        row.state = RowState::Error;
        row.message = found.problem;
        return row;
    }
    stats::ReportCommandErrors(
        [&] {
            // The digest, the columns and every output are of the same
            // bytes, even if the file changes during the run.
            stats::AnalysisOptions series = options;
            series.series = found.series;
            const AnalysedStudy study = AnalyseStudy(found.path, stats::ReadFileBytes(found.path), series);
            row.sha256 = study.record.sha256;
            FillStudyColumns(row, study);
            const JsonRun json = JsonOfStudy(study);
            FillResultColumns(row, json.status, oneLine(json.message), json.document);
            for (const std::string &format : BatchFormats()) {
                if (!request.wants(format))
                    continue;
                for (const Output *output : BatchOutputs(format, request)) {
                    // An evaluation of every series is written once, named
                    // after the study rather than a series of it.
                    std::string name = found.name;
                    const std::string_view id = output->id.starts_with("page-") ? output->id.substr(5) : output->id;
                    if (const AnalysisModule *module = AnalysisModuleNamed(id); module && module->wholeStudy) {
                        if (found.series > 1)
                            continue;
                        if (IsLinPath(found.path))
                            name = name.substr(0, name.rfind('#'));
                    }
                    const std::string path = request.outputDir + "/" + name + std::string(output->suffix);
                    if (output->id == "json") {
                        writeOutput(path, JsonText(json.document), *output, found);
                        continue;
                    }
                    const bool drawn = output->kind == OutputKind::Drawn;
                    if (drawn && (row.state != RowState::Correct || !drawer))
                        continue;
                    const Rendered rendered = RenderOutput(*output, study, {}, drawer);
                    if (!rendered.bytes.empty())
                        writeOutput(path, rendered.bytes, *output, found);
                    if (rendered.status != kExitDone && row.state == RowState::Correct)
                        NoteFailure(row, rendered.status, oneLine(rendered.message));
                }
            }
        },
        [&](const std::string &message) {
            row.state = RowState::Error;
            row.message = message;
        });
    return row;
}

// Interrupting a run from the terminal stops it as the dialog's Cancel does.
std::atomic<bool> g_interrupted{false};
extern "C" void onInterrupt(int) { g_interrupted.store(true); }

} // namespace

bool BatchRequest::wants(const std::string &format) const
{
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

bool ParseBatchFormats(const std::string &list, std::vector<std::string> &formats, std::string &problem)
{
    formats.clear();
    std::stringstream words(list);
    std::string word;
    while (std::getline(words, word, ',')) {
        if (std::find(BatchFormats().begin(), BatchFormats().end(), word) == BatchFormats().end()) {
            problem = "Formato desconocido en --formats: «" + word +
                      "» (admite " + acceptedFormats() + ", separados por comas).";
            return false;
        }
        if (std::find(formats.begin(), formats.end(), word) != formats.end()) {
            problem = "El formato " + word + " aparece dos veces en --formats.";
            return false;
        }
        formats.push_back(word);
    }
    if (formats.empty() || list.back() == ',') {
        problem = "Falta un formato en --formats.";
        return false;
    }
    return true;
}

bool BatchRequestOf(const CommandLine &line, char sep, BatchRequest &request, std::string &problem)
{
    request = {};
    request.paths = line.operands;
    request.outputDir = *line.option("--output");
    if (const std::string *formats = line.option("--formats"))
        if (!ParseBatchFormats(*formats, request.formats, problem))
            return false;
    return CriteriaOptionsOf(line, sep, request.criteria, problem);
}

std::vector<FoundStudy> FindStudies(const std::vector<std::string> &paths, const std::string &outputDir)
{
    std::vector<FoundStudy> found;
    std::map<std::string, int> roots; // PATH names given so far
    std::error_code ec;
    const fs::path output = fs::weakly_canonical(outputDir, ec);
    for (const std::string &given : paths) {
        const fs::path path(given);
        std::string root = path.filename().string();
        if (root.empty() || root == "." || root == "..")
            root = fs::weakly_canonical(path, ec).filename().string();
        if (const int seen = roots[root]++)
            root += "~" + std::to_string(seen + 1);
        if (!fs::is_directory(path, ec)) {
            addFound(found, given, root);
            continue;
        }
        fs::recursive_directory_iterator it(path, ec), end;
        if (ec)
            found.push_back({given, root, "No se pudo leer la carpeta: " + stats::SystemErrorText(ec.value()) + "."});
        for (; it != end; it.increment(ec)) {
            if (ec) {
                found.push_back({it->path().string(), root + "/" + it->path().lexically_relative(path).string(),
                                 "No se pudo leer la carpeta: " + stats::SystemErrorText(ec.value()) + "."});
                ec.clear();
                continue;
            }
            std::error_code same;
            if (it->is_directory(same) && fs::equivalent(it->path(), output, same)) {
                it.disable_recursion_pending();
                continue;
            }
            if (isStudyName(it->path()) && !it->is_directory(same))
                addFound(found, it->path().string(), root + "/" + it->path().lexically_relative(path).string());
        }
    }
    std::sort(found.begin(), found.end(), [](const FoundStudy &a, const FoundStudy &b) { return a.name < b.name; });
    return found;
}

const std::vector<std::string> &BatchFormats()
{
    static const std::vector<std::string> formats = [] {
        std::vector<std::string> f = {"report", "json"};
        auto evaluations = [&f](Placement placement) {
            for (const AnalysisModule &m : AnalysisModules())
                if (m.placement == placement && !m.textSuffix.empty())
                    f.emplace_back(m.id);
        };
        evaluations(Placement::WithTheLine);
        f.insert(f.end(), {"graphs", "pages"});
        evaluations(Placement::Beyond);
        return f;
    }();
    return formats;
}

std::vector<const Output *> BatchOutputs(const std::string &format, const BatchRequest &request)
{
    std::vector<const Output *> outputs;
    auto add = [&outputs](std::string_view id) { outputs.push_back(&OutputNamed(id)); };
    if (format == "graphs") {
        add("graph-regression");
        add("graph-residuals");
    } else if (format == "pages") {
        // An evaluation's page comes with its own format only.
        for (const char *page : {"page-general", "page-inference", "page-error"})
            add(page);
        for (const AnalysisModule &m : AnalysisModules())
            if (!m.pageSuffix.empty() && request.wants(std::string(m.id)))
                add("page-" + std::string(m.id));
    } else if (std::find(BatchFormats().begin(), BatchFormats().end(), format) != BatchFormats().end()) {
        add(format);
    }
    return outputs;
}

int RunBatch(const BatchRequest &request, std::ostream &err, char sep, const OutputDrawer &drawer,
             const std::function<void(const BatchProgress &)> &progress, const std::atomic<bool> *cancel,
             const std::function<void(const SummaryRow &)> &onRow)
{
    const stats::AnalysisOptions analysis{.decimalSeparator = sep, .criteria = request.criteria};
    std::unique_ptr<BatchSummaryWriter> summary;
    try {
        summary = std::make_unique<BatchSummaryWriter>(request.outputDir);
    } catch (const stats::CommandError &e) {
        err << e.what() << '\n';
        return kExitFailed;
    }
    const std::vector<FoundStudy> studies = FindStudies(request.paths, request.outputDir);
    // The C library sets its time zone up on the first local time asked
    // for (a PDF's date); done here, before the workers, it is never set
    // up by two of them at once.
    tzset();
    const std::size_t threads = std::max(1u, std::thread::hardware_concurrency());
    Collector collector(*summary, studies.size(), 4 * threads, progress, onRow);
    std::vector<std::thread> pool;
    for (std::size_t t = 0; t < std::min(threads, std::max<std::size_t>(studies.size(), 1)); ++t)
        pool.emplace_back([&] {
            std::size_t i = 0;
            while (collector.take(i, cancel))
                collector.done(i, evaluate(studies[i], request, analysis, drawer));
            stats::ReleaseThreadConstants();
        });
    for (std::thread &thread : pool)
        thread.join();
    const bool cancelled = collector.taken() < studies.size();
    for (std::size_t i = collector.taken(); i < studies.size(); ++i)
        collector.done(i, SummaryRow{studies[i].name, "", RowState::Error, kCancelledMessage, {}});
    try {
        summary->publish();
    } catch (const stats::CommandError &e) {
        err << e.what() << '\n';
        return kExitFailed;
    }
    const BatchProgress counts = collector.counts();
    err << SummaryLine(counts, cancelled, summary->path()) << '\n';
    if (cancelled || counts.errors)
        return kExitFailed;
    return counts.refused ? kExitRefused : kExitDone;
}

std::string ProgressLine(const BatchProgress &p)
{
    auto clock = [](double seconds) {
        const long s = static_cast<long>(seconds + 0.5);
        char text[32];
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
        return std::string(text);
    };
    std::string line = "Evaluados " + std::to_string(p.done) + " de " + std::to_string(p.total) + " · rechazados " +
                       std::to_string(p.refused) + " · con error " + std::to_string(p.errors) + " · " +
                       clock(p.elapsedSeconds);
    if (p.done > 0 && p.done < p.total)
        line += " · faltan unos " + clock(p.elapsedSeconds / double(p.done) * double(p.total - p.done));
    return line;
}

std::string SummaryLine(const BatchProgress &p, bool cancelled, const std::string &summaryPath)
{
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", p.elapsedSeconds);
    const std::size_t correct = p.done - p.refused - p.errors - p.notEvaluated;
    return std::string(cancelled ? "Evaluación cancelada: " : "") + std::to_string(p.total) + " estudios en " +
           seconds + " s: " + std::to_string(correct) + " correctos, " + std::to_string(p.refused) +
           " rechazados, " + std::to_string(p.errors) + " con error" +
           (p.notEvaluated ? ", " + std::to_string(p.notEvaluated) + " sin evaluar" : std::string()) +
           ". Resumen: " + summaryPath;
}

int RunBatchCommand(const CommandLine &line, std::ostream &, std::ostream &err, char sep, const OutputDrawer &drawer)
{
    BatchRequest request;
    std::string problem;
    if (!BatchRequestOf(line, sep, request, problem))
        return UsageError(err, problem, line.command);
    const bool terminal = &err == &std::cerr && isatty(STDERR_FILENO);
    auto lastDrawn = std::chrono::steady_clock::time_point();
    const auto progress = [&](const BatchProgress &p) {
        const auto now = std::chrono::steady_clock::now();
        if (!terminal || (now - lastDrawn < std::chrono::milliseconds(100) && p.done < p.total))
            return;
        lastDrawn = now;
        err << "\r\033[K" << ProgressLine(p) << std::flush;
    };
    g_interrupted = false;
    auto previousInt = std::signal(SIGINT, onInterrupt);
    auto previousTerm = std::signal(SIGTERM, onInterrupt);
    if (terminal)
        err << ProgressLine({}) << std::flush;
    std::ostringstream messages;
    const int status = RunBatch(request, messages, sep, drawer, progress, &g_interrupted);
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
    if (terminal)
        err << "\r\033[K";
    err << messages.str() << std::flush;
    return status;
}

} // namespace cli
