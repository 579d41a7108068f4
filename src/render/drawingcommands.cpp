#include "render/drawingcommands.h"

#include "render/pagesetup.h"
#include "render/printedreports.h"
#include "render/verificationreport.h"

#include "cli/atomicfile.h"
#include "stats/errors.h"
#include "stats/studyfile.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <ostream>

namespace render {

namespace drawing {

stats::StudyData ReadStudyFile(const std::string &path)
{
    return stats::StudyFromFile(stats::ParseStudyFile(stats::ReadFileBytes(path)));
}

int ReportingErrors(std::ostream &err, const std::function<int()> &command)
{
    try {
        return command();
    } catch (const std::exception &e) {
        err << stats::ErrorReportText(e.what()) << '\n';
        return 1;
    }
}

QByteArray PdfDocument(const QPageSize &paper, const std::function<bool(QPainter &, QPdfWriter &)> &draw)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Point));
        QPainter painter;
        if (!painter.begin(&writer))
            throw stats::CommandError("No se pudo empezar el documento PDF.");
        const bool drawn = draw(painter, writer);
        if (!painter.end() || !drawn)
            throw stats::CommandError("No se pudo completar el documento PDF.");
    }
    return bytes;
}

void WriteOutputFile(const std::string &path, const QByteArray &bytes)
{
    writeFileAtomically(QString::fromStdString(path), bytes.toStdString());
}

} // namespace drawing

namespace {

const char *const kPrintUsage = "Uso: linealidad --print general|inference|error ARCHIVO.w04 --output SALIDA.pdf\n";

// --print general|inference|error FILE --output OUT.pdf: the page that
// "Aceptar" prints for that item of the print options window, on the paper
// of the user's locale.
int printCommand(const std::vector<std::string> &args, std::ostream &, std::ostream &err, char separator)
{
    const std::pair<const char *, PrintedReport> kinds[] = {{"general", PrintedReport::GeneralInformation},
                                                             {"inference", PrintedReport::InferenceAndAnova},
                                                             {"error", PrintedReport::ErrorAndResiduals}};
    const auto kind = std::find_if(std::begin(kinds), std::end(kinds),
                                   [&](const auto &k) { return args.size() == 5 && args[1] == k.first; });
    if (kind == std::end(kinds) || args[3] != "--output" || args[4].empty()) {
        err << kPrintUsage;
        return 64;
    }
    return drawing::ReportingErrors(err, [&] {
        const stats::StudyData study = drawing::ReadStudyFile(args[2]);
        stats::SharedResults records;
        const PreparedReport report = PrepareReport(kind->second, study, records, separator);
        if (report.refused()) {
            err << (report.validation.failed ? report.validation.message : stats::kZeroSlopeMessage) << '\n';
            return 2;
        }
        const QByteArray pdf = drawing::PdfDocument(LocaleDefaultPageSize(), [&](QPainter &painter, QPdfWriter &writer) {
            return DrawReportPages(painter, report.pages, [&writer] { return writer.newPage(); });
        });
        drawing::WriteOutputFile(args[4], pdf);
        return 0;
    });
}

// --verify --output OUT.pdf: the verification's table on standard output, as
// without --output, and its report for filing. A failed verification is
// written too: it is evidence as well; the status says which it is.
int verifyCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char)
{
    if (args.size() != 3 || args[1] != "--output" || args[2].empty()) {
        err << "Uso: linealidad --verify [--output VERIFICACION.pdf]\n";
        return 64;
    }
    return drawing::ReportingErrors(err, [&] {
        const cli::VerificationReport report = cli::RunVerification(cli::BuiltInReferences());
        drawing::WriteOutputFile(args[2], VerificationPdf(report, LocaleDefaultPageSize()));
        return cli::PrintVerification(report, out);
    });
}

using Command = int (*)(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator);

struct Entry {
    const char *option;
    Command run;
};

// One entry per drawing command; its option is also listed in
// cli/windowlibrary.cpp, which sends it here.
constexpr Entry kCommands[] = {
    {"--print", printCommand},
    {"--verify", verifyCommand},
};

} // namespace

int RunDrawingCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator)
{
    for (const Entry &entry : kCommands)
        if (entry.run && !args.empty() && args[0] == entry.option)
            return entry.run(args, out, err, separator);
    err << "Orden desconocida: " << (args.empty() ? std::string() : args[0]) << "\nUse --help para ver las órdenes.\n";
    return 64;
}

} // namespace render
