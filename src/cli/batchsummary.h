#pragma once
// The summary of a batch run, resumen.csv: one row per study (RFC 4180,
// UTF-8, comma-separated, CRLF line ends, numbers as the JSON writes them),
// and the way every batch output reaches the disk.
#include "cli/json.h"
#include "cli/summarycolumn.h"

#include <memory>
#include <string>
#include <vector>

namespace cli {

class AtomicFile;
struct AnalysedStudy;

enum class RowState { Correct, Refused, Error };

struct SummaryRow {
    std::string name;   // archivo: the path under its PATH argument
    std::string sha256;
    RowState state = RowState::Correct;
    std::string message;
    // metodo … modelo, in the order of SummaryColumns() after mensaje;
    // empty where not assessed or refused.
    std::vector<std::string> values;
};

// archivo, sha256, estado, mensaje, then SummaryRow::values in order: the
// study's texts, the line's results, then each evaluation's columns
// (cli/analysismodules.h).
const std::vector<SummaryColumn> &SummaryColumns();

// A row's fields as resumen.csv holds them: identifiers, every digit.
std::vector<std::string> SummaryFields(const SummaryRow &row);
// The same fields for a person, one per column: the result windows' Spanish
// verdict words, figures with 6 significant digits (r² with 8) and the
// user's separator; a study a cancelled run never took reads "sin evaluar".
std::vector<std::string> SummaryCellsForPerson(const SummaryRow &row, char decimalSeparator);

// The study's own texts (method, analyst, date, units) as its file holds
// them; left empty when the file is not a study.
void FillStudyColumns(SummaryRow &row, const AnalysedStudy &study);
// The state, message and results from the document --json prints and its
// exit status.
void FillResultColumns(SummaryRow &row, int status, const std::string &message, const JsonObject &json);
// Another command of the same study failed where --json did not.
void NoteFailure(SummaryRow &row, int status, const std::string &message);

// One field as RFC 4180 writes it: quoted when it holds a comma, a quote or
// a line end, quotes doubled.
std::string CsvField(const std::string &text);
std::string CsvLine(const SummaryRow &row);

// Writes `bytes` as `path` (parent folders made) as every file is saved
// (cli/atomicfile.h): where the filesystem makes unnamed files, a run killed
// at any moment leaves either the whole new file or none, never a
// temporary. Throws stats::OutputFileError in the batch's own words.
void WriteBatchFile(const std::string &path, const std::string &bytes);

// resumen.csv under the output folder, built as an AtomicFile as the rows
// arrive and put in place by publish() after every output of the run has reached the disk.
// The constructor makes the folder and proves it writable (throws
// stats::OutputFileError otherwise), before any study is read.
class BatchSummaryWriter {
public:
    explicit BatchSummaryWriter(const std::string &outputDir);
    ~BatchSummaryWriter();
    BatchSummaryWriter(const BatchSummaryWriter &) = delete;
    BatchSummaryWriter &operator=(const BatchSummaryWriter &) = delete;
    void append(const SummaryRow &row);
    void publish();
    std::string path() const { return m_path; }

private:
    void write(const std::string &bytes);
    std::string m_dir, m_path;
    std::unique_ptr<AtomicFile> m_file;
};


} // namespace cli
