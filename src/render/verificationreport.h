#pragma once
// The installation verification as a report a laboratory files: the
// installation's facts, every reference quantity with its values and verdict,
// and lines for the signatures of who ran it and who reviewed it.
#include "cli/printrecord.h"
#include "cli/verification.h"

#include <QByteArray>
#include <QPageSize>

class QPainter;

namespace render {

// Draws the report's pages on a painter already begun on its device;
// `newPage` moves the device to the next page and answers false when it
// cannot. Each page's foot carries the identification line of `record`,
// which ends in "Página i de n".
bool DrawVerificationReport(QPainter &painter, const cli::VerificationReport &report,
                            const std::function<bool()> &newPage, const cli::PrintRecord &record);

// The Qt the windows and drawings run with, "6.4.2", and the one they
// were built with when it differs.
std::string QtVersionText();

// The report as a PDF on `paper`.
QByteArray VerificationPdf(const cli::VerificationReport &report, const QPageSize &paper);

} // namespace render
