#pragma once
// linealidad --graph regression|residuals FILE.w04 --output OUT.png|.svg|.pdf [--size WxH]
#include "cli/outputs.h"
#include "cli/printrecord.h"
#include "render/documentrecord.h"
#include "render/graphbuild.h"

#include <QByteArray>
#include <QSize>

#include <iosfwd>
#include <string>
#include <vector>

namespace render {

int RunGraphCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
                    char decimalSeparator);

// The graph of `study` as `options` ask, or why it cannot be drawn.
// Raises what stopped the study's reading or a computation it shows.
cli::Rendered DrawGraph(const GraphKind &kind, const cli::AnalysedStudy &study, const cli::RenderOptions &options);

// The size of the graph windows' drawing surface when they first open.
inline const QSize kGraphWindowSize(491, 315); // the described graphs' (GraphKind::windowSize)

// The screen drawing at `size` as a PNG image or an SVG document, or, for
// PDF, the page "Imprimir" prints. The images carry
// the record's identification line in their metadata (a PNG text chunk,
// the SVG's description), the printed page on the page itself.
QByteArray PngOfGraph(PlotEngine &engine, const QSize &size, const cli::PrintRecord &record);
QByteArray SvgOfGraph(PlotEngine &engine, const QSize &size, const cli::PrintRecord &record);
QByteArray PdfOfGraph(const PlotEngine &engine, const DocumentInfo &info, const cli::PrintRecord &record);

// The printed page of a graph: the engine's drawing in its rectangle, and
// the record's identification line in the top margin above it.
void PrintGraphPage(const PlotEngine &engine, QPainter &painter, const QSize &page, const cli::PrintRecord &record);

// The name of a graph's printout, for its document's title.
QString GraphName(Graph graph);

} // namespace render
