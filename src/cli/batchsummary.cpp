#include "cli/batchsummary.h"

#include "cli/acceptancelimits.h"
#include "cli/headless.h"
#include "cli/outputfile.h"

#include "stats/criteria.h"
#include "stats/errors.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <QJsonObject>
#include <QLocale>

#include <cerrno>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace fs = std::filesystem;

const std::vector<const char *> kSummaryColumns = {
    "archivo", "sha256",  "estado", "mensaje", "metodo", "analista", "fecha",         "unidades",         "niveles", "n",
    "pendiente", "ordenada", "r2", "syx", "cv", "significacion", "ajuste_lineal", "error_sistematico", "criterios"};

namespace {

enum Column { Method, Analyst, Date, Units, Levels, N, Slope, Intercept, R2, Syx, Cv, Significance, Fit, Systematic,
              Criteria, ColumnCount };

[[noreturn]] void fail(const std::string &what, const std::string &path, int error)
{
    throw stats::OutputFileError("No se pudo " + what + " «" + path + "»: " + stats::SystemErrorText(error) + ".");
}

void writeAll(int fd, const std::string &bytes, const std::string &path)
{
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail("escribir", path, n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

// An unnamed file in `folder`: it has no name to leave behind.
int openUnnamed(const std::string &folder)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        std::error_code kind;
        if (fs::exists(folder, kind) && !fs::is_directory(folder, kind))
            throw stats::OutputFileError("No se pudo crear la carpeta «" + folder +
                                         "»: ya hay un archivo con ese nombre.");
        fail("crear la carpeta", folder, ec.value());
    }
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0)
        fail("escribir en la carpeta", folder, errno);
    return fd;
}

// Gives the unnamed file its name: directly when the name is free, else
// through a fresh name renamed over the old file.
void name(int fd, const std::string &path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return;
    if (errno != EEXIST)
        fail("escribir", path, errno);
    thread_local std::mt19937 random{std::random_device{}()};
    const std::string temporary = path + "." + std::to_string(random() % 1000000);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) != 0)
        fail("escribir", path, errno);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("reemplazar", path, error);
    }
}

std::string number(const QJsonValue &v)
{
    return v.isDouble() ? QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest).toStdString()
                        : std::string();
}

std::string identifier(const QJsonValue &v) { return v.isString() ? v.toString().toStdString() : std::string(); }

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

void FillResultColumns(SummaryRow &row, int status, const std::string &message, const QJsonObject &o)
{
    row.values.resize(ColumnCount);
    if (status != kExitDone) {
        NoteFailure(row, status, message);
        return;
    }
    const QJsonObject study = o["study"].toObject(), regression = o["regression"].toObject();
    const QJsonObject anova = o["anova"].toObject();
    row.values[Levels] = number(study["levels"]);
    row.values[N] = number(study["n"]);
    row.values[Slope] = number(regression["slope"]);
    row.values[Intercept] = number(regression["intercept"]);
    row.values[R2] = number(regression["rSquared"]);
    row.values[Syx] = number(regression["sdRegression"]);
    row.values[Cv] = number(regression["coefficientOfVariation"]);
    row.values[Significance] = identifier(anova["significance"]);
    row.values[Fit] = identifier(anova["linearFit"]);
    row.values[Systematic] = identifier(o["recovery"].toObject()["systematicError"]);
    row.values[Criteria] = identifier(o["criteria"].toObject()["verdict"]);
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

std::string CsvLine(const SummaryRow &row)
{
    static const char *const states[] = {"correcto", "rechazado", "error"};
    std::string line = CsvField(row.name) + ',' + row.sha256 + ',' + states[static_cast<int>(row.state)] + ',' +
                       CsvField(row.message);
    for (std::size_t c = 0; c < ColumnCount; ++c)
        line += ',' + CsvField(c < row.values.size() ? row.values[c] : std::string());
    return line + "\r\n";
}

void WriteBatchFile(const std::string &path, const std::string &bytes)
{
    const int fd = openUnnamed(fs::path(path).parent_path().string());
    try {
        writeAll(fd, bytes, path);
        name(fd, path);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

BatchSummaryWriter::BatchSummaryWriter(const std::string &outputDir)
    : m_dir(outputDir), m_path(outputDir + "/resumen.csv")
{
    m_fd = openUnnamed(m_dir);
    std::string header;
    for (const char *column : kSummaryColumns)
        header += std::string(header.empty() ? "" : ",") + column;
    write(header + "\r\n");
}

BatchSummaryWriter::~BatchSummaryWriter()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void BatchSummaryWriter::append(const SummaryRow &row) { write(CsvLine(row)); }

void BatchSummaryWriter::write(const std::string &bytes) { writeAll(m_fd, bytes, m_path); }

// Every output of the run reaches the disk before the summary that lists
// them is named.
void BatchSummaryWriter::publish()
{
    if (const OutputRefusal refusal = CheckOutputFile(m_path, {".csv"}))
        throw stats::OutputFileError(refusal.message);
    if (::syncfs(m_fd) != 0 || ::fsync(m_fd) != 0)
        fail("guardar en el disco", m_path, errno);
    name(m_fd, m_path);
    const int folder = ::open(m_dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

} // namespace cli
