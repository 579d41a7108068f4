#pragma once
// The commands that draw without a display: a graph or a printed page of a
// study file, written to an image, SVG or PDF file. They run in the window
// library, once a QGuiApplication exists (offscreen platform).
#include "stats/study.h"

#include <QByteArray>
#include <QPageSize>

#include <functional>
#include <iosfwd>
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

// Pieces every drawing command shares.
namespace drawing {

// The study of a file, read as Open reads it. Throws stats::CommandError
// (with the text commands' messages) when the file cannot be read.
stats::StudyData ReadStudyFile(const std::string &path);

// Runs `command`; an error that abandons it goes to `err` as the text
// commands write it, and the status is 1.
int ReportingErrors(std::ostream &err, const std::function<int()> &command);

// A PDF drawn by `draw` on portrait pages of `paper` at 1200 dpi, text kept
// as text, with the margins a printer gives by default. `draw` gets the
// writer to start further pages; it answers false when drawing failed.
QByteArray PdfDocument(const QPageSize &paper, const std::function<bool(QPainter &, QPdfWriter &)> &draw);

// Writes `bytes` to `path` through a temporary file renamed over it: a
// failure leaves no file behind (and never a half-written one). Throws
// stats::StudyFileError.
void WriteOutputFile(const std::string &path, const QByteArray &bytes);

} // namespace drawing

} // namespace render
