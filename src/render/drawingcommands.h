#pragma once
// The commands that draw without a display: a graph or a printed page of a
// study file, written to an image, SVG or PDF file. They run in the window
// library, once a QGuiApplication exists (offscreen platform), and share
// the plumbing below.
#include "cli/outputs.h"
#include "render/documentrecord.h"
#include "stats/criteria.h"
#include "stats/weighting.h"
#include "stats/samples.h"
#include "stats/studyfile.h"

#include <QByteArray>
#include <QPageSize>
#include <QSize>

#include <functional>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPdfWriter;

namespace render {

// `args` are the program's arguments (the command's option first). Same
// exit statuses and messages as the text commands: 0 done, 2 study
// refused, 1 error, 64 bad command line. A refused or failed command leaves
// no output file behind.
int RunDrawingCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
                      char decimalSeparator);

// Draws a graph or a page of a study read and analysed (the drawn rows of
// cli/outputs.h): what the drawing commands, the batch run and the archive
// window render them with. Raises what stopped the study or a computation.
cli::Rendered DrawOutput(const cli::Output &output, const cli::AnalysedStudy &study,
                         const cli::RenderOptions &options);

// Before the QGuiApplication: Qt's own messages (the platform plugin, the
// runtime folder, fonts) stay off standard error, which carries only the
// command's messages. A fatal one still goes there.
void SilenceQtMessages();

// What a drawing command writes, told by the output file's extension.
using OutputFormat = cli::DrawnFormat;
// The format of `path` (.png, .svg, .pdf, any case); empty for another.
std::optional<OutputFormat> OutputFormatOf(const std::string &path);

// "WxH", each side 1 to kMaxOutputSide pixels; empty otherwise.
inline constexpr int kMaxOutputSide = 5000;
std::optional<QSize> ParseOutputSize(const std::string &text);

// Writes `bytes` to `path` through a temporary file beside it, renamed over
// it only when everything was written: a failed write leaves no file, and
// never a half-written one. Throws stats::OutputFileError with the message.
void WriteOutputFile(const std::string &path, const QByteArray &bytes);

// A PDF/A-1b document saying `info` about itself, drawn by `draw` on
// portrait pages of `paper` at 1200 dpi, text kept as text, with the margins
// a printer gives by default. `draw` gets the writer to start further pages;
// it answers false when drawing failed. Throws stats::OutputFileError when
// the document cannot be made.
QByteArray PdfDocument(const QPageSize &paper, const DocumentInfo &info,
                       const std::function<bool(QPainter &, QPdfWriter &)> &draw);

// The command line of a drawing command taken apart (cli::ParseCommandLine):
// the words before the study file (e.g. the graph's kind), the study file,
// --output with the format its extension tells, --size, and the acceptance
// criteria's --target and --limits (cli/acceptancelimits.h).
struct DrawingRequest {
    std::vector<std::string> positional;
    std::string study, output;
    OutputFormat format = OutputFormat::Png;
    std::optional<QSize> size;
    stats::CriteriaOptions criteria; // --target and --limits
    bool criteriaGiven = false;      // either of them
    bool targetGiven = false;        // --target
    stats::WeightingOptions weighting; // --weight
    // The samples file after the study (--print samples) and --confidence.
    std::string samplesPath;
    std::optional<std::vector<stats::Sample>> samples;
    stats::Rational confidence = stats::DefaultConfidence();
    bool confidenceGiven = false;
    int series = 1; // of a .lin study (--series)
    stats::ProfileOptions profile; // --beta and --lambda
    bool profileGiven = false;     // either of them
};
// False with the reason, in Spanish, for a bad command line.
bool ParseDrawingRequest(const std::vector<std::string> &args, char decimalSeparator, DrawingRequest &request,
                         std::string &problem);

// The output check (cli/outputfile.h) of a drawing command, before anything
// is read or drawn: 0 when `output` may be written; otherwise the refusal,
// on `err`, and its status (64, with the usage lines of `command`, or 1).
int RefuseOutput(const std::string &output, const std::vector<std::string> &extensions, const std::string &study,
                 const std::string &command, std::ostream &err);

// A drawing command's work once its command line and output are accepted:
// the study read and analysed once, the output `id` drawn and written as
// --output; a refusal or error on `err`, with its status.
int WriteDrawnOutput(const std::string &id, const DrawingRequest &request, const cli::RenderOptions &options,
                     char decimalSeparator, std::ostream &err);

} // namespace render
