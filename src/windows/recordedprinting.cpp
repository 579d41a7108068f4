#include "windows/recordedprinting.h"

#include "cli/atomicfile.h"
#include "stats/studyfile.h"

#include <QByteArray>
#include <QPrinter>

void BeginRecordedPrint(QPrinter &printer, const render::DocumentInfo &info)
{
    printer.setPdfVersion(QPrinter::PdfVersion_A1b);
    printer.setDocName(info.title);
    printer.setCreator(info.creator);
}

void FinishRecordedPrint(const QPrinter &printer, const render::DocumentInfo &info)
{
    if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
        return; // a printer: the pages carry the record
    const std::string path = printer.outputFileName().toStdString();
    const std::string written = stats::ReadFileBytes(path, 1u << 30);
    const QByteArray completed =
        render::WithDocumentInfo(QByteArray(written.data(), static_cast<qsizetype>(written.size())), info);
    cli::WriteFileAtomically(path, completed.toStdString());
}
