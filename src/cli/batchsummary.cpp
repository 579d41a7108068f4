#include "cli/batchsummary.h"

#include "cli/acceptancelimits.h"
#include "cli/analysismodules.h"
#include "cli/atomicfile.h"
#include "cli/batch.h"
#include "cli/headless.h"
#include "cli/linfile.h"
#include "cli/outputfile.h"
#include "cli/outputs.h"

#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace cli {

namespace fs = std::filesystem;

namespace {

// The study's texts, first among the values: read from its file.
enum StudyColumn { Method, Analyst, Date, Units };
constexpr std::size_t kLeading = 4;

const VerdictWords kSignificance[] = {{"no_dependence", "NO HAY DEPENDENCIA"},
                                      {"significant", "SIGNIFICATIVA"},
                                      {"highly_significant", "ALTAMENTE SIGNIFICATIVA"}};
const VerdictWords kFit[] = {{"adequate", "REPRESENTA DE MANERA CORRECTA"},
                             {"inadequate", "NO REPRESENTA DE MANERA CORRECTA"},
                             {"not_assessed", "NO EVALUADO"}};
const VerdictWords kSystematic[] = {{"present", "PRESENTA ERROR SISTEMÁTICO"},
                                    {"absent", "CARECE DE ERROR SISTEMÁTICO"}};

using enum SummaryKind;
const SummaryColumn kLineColumns[] = {
    {"archivo", "Archivo", Text},
    {"sha256", "SHA-256", Text},
    {"estado", "Estado", Text},
    {"mensaje", "Mensaje", Text},
    {"metodo", "Método", Text},
    {"analista", "Analista", Text},
    {"fecha", "Fecha", Text},
    {"unidades", "Unidades", Text},
    {"niveles", "Niveles", Figure6, "study/levels"},
    {"n", "n", Figure6, "study/n"},
    {"pendiente", "Pendiente", Figure6, "regression/slope"},
    {"ordenada", "Ordenada", Figure6, "regression/intercept"},
    {"r2", "r²", Figure8, "regression/rSquared"},
    {"syx", "Sy/x", Figure6, "regression/sdRegression"},
    {"cv", "CV (%)", Figure6, "regression/coefficientOfVariation"},
    {"significacion", "Significación", Verdict, "anova/significance", kSignificance},
    {"ajuste_lineal", "Ajuste lineal", Verdict, "anova/linearFit", kFit},
    {"error_sistematico", "Error sistemático", Verdict, "recovery/systematicError", kSystematic},
};

std::string verdictWords(const SummaryColumn &column, const std::string &id)
{
    for (const auto &[key, words] : column.words)
        if (id == key)
            return words;
    return id;
}

// The value at a column's path in --json's object: a figure as the JSON
// writes it, an identifier as it stands; empty where the object has none
// (null: not assessed).
std::string jsonValue(const JsonObject &object, const SummaryColumn &column)
{
    const std::string_view path = column.json;
    const JsonObject *level = &object;
    for (std::size_t from = 0;;) {
        const std::size_t to = std::min(path.find('/', from), path.size());
        const Json &value = level->value(path.substr(from, to - from));
        if (to < path.size()) {
            level = &value.toObject();
            from = to + 1;
            continue;
        }
        if (column.kind == Figure6 || column.kind == Figure8)
            return value.isNumber() ? ShortestNumberText(value.toDouble()) : std::string();
        if (value.isBool())
            return value.toBool() ? "true" : "false";
        return value.toString();
    }
}

} // namespace

const std::vector<SummaryColumn> &SummaryColumns()
{
    static const std::vector<SummaryColumn> columns = [] {
        std::vector<SummaryColumn> all(std::begin(kLineColumns), std::end(kLineColumns));
        std::vector<const AnalysisModule *> modules;
        for (const AnalysisModule &module : AnalysisModules())
            modules.push_back(&module);
        std::stable_sort(modules.begin(), modules.end(), [](const AnalysisModule *a, const AnalysisModule *b) {
            return a->summaryRank < b->summaryRank;
        });
        for (const AnalysisModule *module : modules)
            all.insert(all.end(), module->summary.begin(), module->summary.end());
        return all;
    }();
    return columns;
}

namespace {

// The output folder and those above it, made when missing.
void makeFolders(const std::string &folder)
{
    if (folder.empty())
        return;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ec)
        return;
    std::error_code kind;
    if (fs::exists(folder, kind) && !fs::is_directory(folder, kind))
        throw stats::OutputFileError("No se pudo crear la carpeta «" + folder + "»: ya hay un archivo con ese nombre.");
    throw stats::OutputFileError("No se pudo crear la carpeta «" + folder + "»: " + stats::SystemErrorText(ec.value()) +
                                 ".");
}

// A failed save of a batch file, in the words the batch run uses.
stats::OutputFileError batchWords(const SaveError &e, const std::string &path)
{
    const std::string why = stats::SystemErrorText(e.error()) + ".";
    switch (e.step()) {
    case SaveError::Step::Open:
        return stats::OutputFileError("No se pudo escribir en la carpeta «" + fs::path(path).parent_path().string() +
                                      "»: " + why);
    case SaveError::Step::Write:
        break;
    case SaveError::Step::Sync:
        return stats::OutputFileError("No se pudo guardar en el disco «" + path + "»: " + why);
    case SaveError::Step::Replace:
        return stats::OutputFileError("No se pudo reemplazar «" + path + "»: " + why);
    }
    return stats::OutputFileError("No se pudo escribir «" + path + "»: " + why);
}

} // namespace

void FillStudyColumns(SummaryRow &row, const AnalysedStudy &analysed)
{
    row.values.assign(SummaryColumns().size() - kLeading, std::string());
    if (const std::optional<stats::SeriesStudy> &lin = analysed.lin) {
        row.values[Method] = lin->method;
        row.values[Analyst] = lin->analyst;
        row.values[Date] = lin->date;
        row.values[Units] = lin->units;
        return;
    }
    if (IsLinPath(analysed.path))
        return; // refused: --json says why
    try {
        const stats::StudyData study = stats::StudyFromFile(stats::ParseStudyFile(analysed.bytes));
        row.values[Method] = study.method();
        row.values[Analyst] = study.analyst();
        row.values[Date] = study.date();
        row.values[Units] = study.units();
    } catch (const stats::CommandError &) {
        // --json says what is wrong with the file.
    }
}

void FillResultColumns(SummaryRow &row, int status, const std::string &message, const JsonObject &o)
{
    const std::vector<SummaryColumn> &columns = SummaryColumns();
    row.values.resize(columns.size() - kLeading);
    if (status != kExitDone) {
        NoteFailure(row, status, message);
        return;
    }
    for (std::size_t c = kLeading; c < columns.size(); ++c)
        if (columns[c].json)
            row.values[c - kLeading] = jsonValue(o, columns[c]);
}

void NoteFailure(SummaryRow &row, int status, const std::string &message)
{
    row.state = status == kExitRefused ? RowState::Refused : RowState::Error;
    row.message = message;
}

std::string CsvField(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

std::vector<std::string> SummaryFields(const SummaryRow &row)
{
    static const char *const states[] = {"correcto", "rechazado", "error"};
    std::vector<std::string> fields = {row.name, row.sha256, states[static_cast<int>(row.state)], row.message};
    for (std::size_t c = kLeading; c < SummaryColumns().size(); ++c)
        fields.push_back(c - kLeading < row.values.size() ? row.values[c - kLeading] : std::string());
    return fields;
}

std::vector<std::string> SummaryCellsForPerson(const SummaryRow &row, char separator)
{
    std::vector<std::string> cells = SummaryFields(row);
    if (row.message == kNotEvaluatedMessage)
        cells[2] = "sin evaluar";
    for (std::size_t c = kLeading; c < cells.size(); ++c) {
        std::string &cell = cells[c];
        const SummaryColumn &column = SummaryColumns()[c];
        const SummaryKind kind = column.kind;
        if (kind == SummaryKind::Verdict) {
            cell = verdictWords(column, cell);
        } else if (kind != SummaryKind::Text && !cell.empty()) {
            // Written as the JSON writes it, a point and every digit,
            // whatever the user's locale.
            double number = 0;
            const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), number);
            if (error == std::errc() && end == cell.data() + cell.size())
                cell = stats::FormatGeneral(number, kind == SummaryKind::Figure8 ? 8 : 6, separator);
        }
    }
    return cells;
}

std::string CsvLine(const SummaryRow &row)
{
    std::string line;
    for (const std::string &field : SummaryFields(row))
        line += (line.empty() ? "" : ",") + CsvField(field);
    return line + "\r\n";
}

void WriteBatchFile(const std::string &path, const std::string &bytes)
{
    makeFolders(fs::path(path).parent_path().string());
    try {
        // Flushed with the whole run before the summary is named.
        AtomicFile file(path, AtomicFile::Flush::WithTheFilesystem);
        file.append(bytes);
        file.commit();
    } catch (const SaveError &e) {
        throw batchWords(e, path);
    }
}

BatchSummaryWriter::BatchSummaryWriter(const std::string &outputDir)
    : m_dir(outputDir), m_path(outputDir + "/resumen.csv")
{
    makeFolders(m_dir);
    try {
        m_file = std::make_unique<AtomicFile>(m_path);
    } catch (const SaveError &e) {
        throw batchWords(e, m_path);
    }
    std::string header;
    for (const SummaryColumn &column : SummaryColumns())
        header += std::string(header.empty() ? "" : ",") + column.key;
    write(header + "\r\n");
}

BatchSummaryWriter::~BatchSummaryWriter() = default;

void BatchSummaryWriter::append(const SummaryRow &row) { write(CsvLine(row)); }

void BatchSummaryWriter::write(const std::string &bytes)
{
    try {
        m_file->append(bytes);
    } catch (const SaveError &e) {
        throw batchWords(e, m_path);
    }
}

// Every output of the run reaches the disk before the summary that lists
// them is named.
void BatchSummaryWriter::publish()
{
    if (const OutputRefusal refusal = CheckOutputFile(m_path, {".csv"}))
        throw stats::OutputFileError(refusal.message);
    try {
        m_file->syncFilesystem();
        m_file->commit();
    } catch (const SaveError &e) {
        throw batchWords(e, m_path);
    }
}

} // namespace cli
