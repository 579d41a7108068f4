#pragma once
// The printed page every drawing shares: the user's locale's paper, quarter-
// inch margins, 600 dots per inch. The printers of the windows and the PDF
// files of the headless commands start from it, so a PDF written without a
// display is the page the window prints.
#include <QPageLayout>
#include <QPageSize>

namespace render {

// Device pixels per inch of a printed page (a printable height of 4800 on
// letter paper in landscape).
inline constexpr int kPageResolution = 600;

// The paper of the user's locale (LC_PAPER; Letter or A4 when the C library
// does not say).
QPageSize LocalePageSize();

// That paper in `orientation`, with margins of a quarter inch.
QPageLayout DefaultPageLayout(QPageLayout::Orientation orientation);

} // namespace render
