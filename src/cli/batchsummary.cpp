#include "cli/batchsummary.h"

#include "cli/acceptancelimits.h"
#include "cli/atomicfile.h"
#include "cli/batch.h"
#include "cli/headless.h"
#include "cli/outputfile.h"

#include "stats/criteria.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace cli {

namespace fs = std::filesystem;

namespace {

// The values' columns, after archivo, sha256, estado and mensaje.
enum Column { Method, Analyst, Date, Units, Levels, N, Slope, Intercept, R2, Syx, Cv, Significance, Fit, Systematic,
              Criteria, Homoscedasticity, Weighting, Sx0, Vx0, QuantificationLimit, Model, ColumnCount };
constexpr std::size_t kLeading = 4;

} // namespace

const std::vector<SummaryColumn> &SummaryColumns()
{
    using enum SummaryKind;
    static const std::vector<SummaryColumn> columns = {
        {"archivo", "Archivo", Text},
        {"sha256", "SHA-256", Text},
        {"estado", "Estado", Text},
        {"mensaje", "Mensaje", Text},
        {"metodo", "Método", Text},
        {"analista", "Analista", Text},
        {"fecha", "Fecha", Text},
        {"unidades", "Unidades", Text},
        {"niveles", "Niveles", Figure6},
        {"n", "n", Figure6},
        {"pendiente", "Pendiente", Figure6},
        {"ordenada", "Ordenada", Figure6},
        {"r2", "r²", Figure8},
        {"syx", "Sy/x", Figure6},
        {"cv", "CV (%)", Figure6},
        {"significacion", "Significación", Verdict},
        {"ajuste_lineal", "Ajuste lineal", Verdict},
        {"error_sistematico", "Error sistemático", Verdict},
        {"criterios", "Criterios", Verdict},
        {"homocedasticidad", "Varianza", Verdict},
        {"ponderacion", "Ponderación", Verdict},
        {"sx0", "sx0", Figure6},
        {"vx0", "Vx0 (%)", Figure6},
        {"limite_cuantificacion", "Límite de cuantificación", Figure6},
        {"modelo", "Modelo", Verdict},
    };
    return columns;
}

namespace {

const bool kColumnsMatchValues = [] {
    if (SummaryColumns().size() != kLeading + ColumnCount)
        throw std::logic_error("resumen.csv: a column without its value, or a value without its column");
    return true;
}();

// The words the result windows use for each verdict the summary records;
// a weight's id (1/x, 1/s^2, …) is its own word.
const std::pair<const char *, const char *> kVerdictWords[] = {
    {"no_dependence", "NO HAY DEPENDENCIA"},
    {"significant", "SIGNIFICATIVA"},
    {"highly_significant", "ALTAMENTE SIGNIFICATIVA"},
    {"adequate", "REPRESENTA DE MANERA CORRECTA"},
    {"inadequate", "NO REPRESENTA DE MANERA CORRECTA"},
    {"not_assessed", "NO EVALUADO"},
    {"present", "PRESENTA ERROR SISTEMÁTICO"},
    {"absent", "CARECE DE ERROR SISTEMÁTICO"},
    {"pass", "CUMPLE"},
    {"fail", "NO CUMPLE"},
    {"homoscedastic", "HOMOCEDÁSTICA"},
    {"heteroscedastic", "HETEROCEDÁSTICA"},
    {"none", "SIN PONDERAR"},
    {"linear", "RECTA"},
    {"quadratic", "CUADRÁTICO"},
};

std::string verdictWords(const std::string &id)
{
    for (const auto &[key, words] : kVerdictWords)
        if (id == key)
            return words;
    return id;
}

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

std::string number(const Json &v) { return v.isNumber() ? ShortestNumberText(v.toDouble()) : std::string(); }

std::string identifier(const Json &v) { return v.toString(); }

} // namespace

void FillStudyColumns(SummaryRow &row, const std::string &bytes)
{
    row.values.assign(ColumnCount, std::string());
    try {
        const stats::StudyData study = stats::StudyFromFile(stats::ParseStudyFile(bytes));
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
    row.values.resize(ColumnCount);
    if (status != kExitDone) {
        NoteFailure(row, status, message);
        return;
    }
    const JsonObject &study = o.value("study").toObject(), &regression = o.value("regression").toObject();
    const JsonObject &anova = o.value("anova").toObject();
    row.values[Levels] = number(study.value("levels"));
    row.values[N] = number(study.value("n"));
    row.values[Slope] = number(regression.value("slope"));
    row.values[Intercept] = number(regression.value("intercept"));
    row.values[R2] = number(regression.value("rSquared"));
    row.values[Syx] = number(regression.value("sdRegression"));
    row.values[Cv] = number(regression.value("coefficientOfVariation"));
    row.values[Significance] = identifier(anova.value("significance"));
    row.values[Fit] = identifier(anova.value("linearFit"));
    row.values[Systematic] = identifier(o.value("recovery").toObject().value("systematicError"));
    row.values[Criteria] = identifier(o.value("criteria").toObject().value("verdict"));
    const JsonObject &weighting = o.value("weighting").toObject();
    row.values[Homoscedasticity] = identifier(weighting.value("homogeneity").toObject().value("verdict"));
    row.values[Weighting] = identifier(weighting.value("chosen"));
    row.values[Model] = identifier(o.value("quadratic").toObject().value("choice").toObject().value("model"));
    const JsonObject &detection = o.value("detection").toObject();
    row.values[Sx0] = number(detection.value("sx0"));
    row.values[Vx0] = number(detection.value("vx0"));
    row.values[QuantificationLimit] = number(detection.value("quantificationLimit"));
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
    for (std::size_t c = 0; c < ColumnCount; ++c)
        fields.push_back(c < row.values.size() ? row.values[c] : std::string());
    return fields;
}

std::vector<std::string> SummaryCellsForPerson(const SummaryRow &row, char separator)
{
    std::vector<std::string> cells = SummaryFields(row);
    if (row.message == kNotEvaluatedMessage)
        cells[2] = "sin evaluar";
    for (std::size_t c = kLeading; c < cells.size(); ++c) {
        std::string &cell = cells[c];
        const SummaryKind kind = SummaryColumns()[c].kind;
        if (kind == SummaryKind::Verdict) {
            cell = verdictWords(cell);
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
