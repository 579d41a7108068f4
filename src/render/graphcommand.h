#pragma once
// linealidad --graph regression|residuals FILE.w04 --output OUT.png|.svg|.pdf [--size WxH]
#include "render/graphbuild.h"

#include <QByteArray>
#include <QSize>

#include <iosfwd>
#include <string>
#include <vector>

namespace render {

int RunGraphCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
                    char decimalSeparator);

// The size of the graph windows' drawing surface when they first open.
inline const QSize kGraphWindowSize(491, 315);

// The screen drawing at `size` as a PNG image or an SVG document, or, for
// PDF, the page "Imprimir" prints.
QByteArray PngOfGraph(PlotEngine &engine, const QSize &size);
QByteArray SvgOfGraph(PlotEngine &engine, const QSize &size);
QByteArray PdfOfGraph(const PlotEngine &engine);

} // namespace render
