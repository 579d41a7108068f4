#include "render/drawingcommands.h"

#include "cli/atomicfile.h"
#include "cli/headless.h"
#include "render/graphcommand.h"
#include "render/page.h"
#include "render/printedreports.h"
#include "render/verificationreport.h"
#include "stats/errors.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cctype>

#include <cstdio>
#include <ostream>

namespace render {

namespace {

// --print general|inference|error FILE --output OUT.pdf: the page that
// "Aceptar" prints for that item of the print options window, on the paper
// of the user's locale.
int printCommand(const std::vector<std::string> &args, std::ostream &, std::ostream &err, char separator)
{
    const std::pair<const char *, PrintedReport> kinds[] = {{"general", PrintedReport::GeneralInformation},
                                                             {"inference", PrintedReport::InferenceAndAnova},
                                                             {"error", PrintedReport::ErrorAndResiduals}};
    DrawingRequest request;
    std::string problem;
    const bool parsed = ParseDrawingRequest(args, 1, request, problem);
    const auto kind = std::find_if(std::begin(kinds), std::end(kinds), [&](const auto &k) {
        return !request.positional.empty() && request.positional[0] == k.first;
    });
    if (parsed && kind == std::end(kinds))
        problem = "Indique general, inference o error.";
    else if (parsed && (request.format != OutputFormat::Pdf || request.size))
        problem = "La página se escribe en PDF (--output SALIDA.pdf, sin --size).";
    if (!problem.empty() || !parsed) {
        err << problem << "\nUso: linealidad --print general|inference|error ARCHIVO.w04 --output SALIDA.pdf\n";
        return cli::kExitUsage;
    }
    return cli::RunCatchingErrors(err, [&] {
        const stats::StudyData study = stats::StudyFromFile(cli::ReadStudyFile(request.study));
        stats::SharedResults records;
        const PreparedReport report = PrepareReport(kind->second, study, records, separator);
        if (report.refused()) {
            err << (report.validation.failed ? report.validation.message : stats::kZeroSlopeMessage) << '\n';
            return cli::kExitRefused;
        }
        const QByteArray pdf = PdfDocument(LocalePageSize(), [&](QPainter &painter, QPdfWriter &writer) {
            return DrawReportPages(painter, report.pages, [&writer] { return writer.newPage(); });
        });
        WriteOutputFile(request.output, pdf);
        return cli::kExitDone;
    });
}

// --verify --output OUT.pdf: the verification's table on standard output, as
// without --output, and its report for filing. A failed verification is
// written too: it is evidence as well; the status says which it is.
int verifyCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char)
{
    if (args.size() != 3 || args[1] != "--output" || args[2].empty()) {
        err << "Uso: linealidad --verify [--output VERIFICACION.pdf]\n";
        return cli::kExitUsage;
    }
    return cli::RunCatchingErrors(err, [&] {
        const cli::VerificationReport report = cli::RunVerification(cli::BuiltInReferences());
        WriteOutputFile(args[2], VerificationPdf(report, LocalePageSize()));
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
    {"--graph", RunGraphCommand},
    {"--print", printCommand},
    {"--verify", verifyCommand},
};

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

bool endsWith(const std::string &text, const char *suffix)
{
    const std::string end(suffix);
    if (text.size() < end.size())
        return false;
    for (size_t i = 0; i < end.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i])
            return false;
    return true;
}

} // namespace

int RunDrawingCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator)
{
    for (const Entry &entry : kCommands)
        if (!args.empty() && args[0] == entry.option)
            return entry.run(args, out, err, separator);
    err << "Orden desconocida: " << (args.empty() ? std::string() : args[0]) << "\nUse --help para ver las órdenes.\n";
    return cli::kExitUsage;
}

void SilenceQtMessages() { qInstallMessageHandler(quietHandler); }

std::optional<OutputFormat> OutputFormatOf(const std::string &path)
{
    if (endsWith(path, ".png"))
        return OutputFormat::Png;
    if (endsWith(path, ".svg"))
        return OutputFormat::Svg;
    if (endsWith(path, ".pdf"))
        return OutputFormat::Pdf;
    return {};
}

std::optional<QSize> ParseOutputSize(const std::string &text)
{
    const size_t x = text.find_first_of("xX");
    if (x == std::string::npos)
        return {};
    auto side = [](const std::string &digits) -> int {
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return 0;
        const int value = std::stoi(digits);
        return value <= kMaxOutputSide ? value : 0;
    };
    const int width = side(text.substr(0, x)), height = side(text.substr(x + 1));
    if (width < 1 || height < 1)
        return {};
    return QSize(width, height);
}

void WriteOutputFile(const std::string &path, const QByteArray &bytes)
{
    writeFileAtomically(QString::fromLocal8Bit(path.c_str()), bytes.toStdString());
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

bool ParseDrawingRequest(const std::vector<std::string> &args, size_t positionalCount, DrawingRequest &request,
                         std::string &problem)
{
    size_t i = 1;
    for (; i < args.size() && request.positional.size() < positionalCount; ++i)
        request.positional.push_back(args[i]);
    if (i >= args.size() || args[i].rfind("--", 0) == 0) {
        problem = "Falta el archivo del estudio.";
        return false;
    }
    request.study = args[i++];
    bool haveOutput = false;
    for (; i < args.size(); ++i) {
        const std::string &option = args[i];
        if ((option != "--output" && option != "--size") || i + 1 >= args.size()) {
            problem = "Opción no reconocida o sin valor: " + option;
            return false;
        }
        const std::string &value = args[++i];
        if (option == "--output") {
            if (haveOutput) {
                problem = "--output aparece dos veces.";
                return false;
            }
            haveOutput = true;
            request.output = value;
            const std::optional<OutputFormat> format = OutputFormatOf(value);
            if (!format) {
                problem = "El archivo de salida debe terminar en .png, .svg o .pdf: " + value;
                return false;
            }
            request.format = *format;
        } else {
            if (request.size) {
                problem = "--size aparece dos veces.";
                return false;
            }
            request.size = ParseOutputSize(value);
            if (!request.size) {
                problem = "Tamaño no válido (ANCHOxALTO, de 1 a " + std::to_string(kMaxOutputSide) +
                          " píxeles por lado): " + value;
                return false;
            }
        }
    }
    if (!haveOutput) {
        problem = "Falta --output SALIDA.";
        return false;
    }
    return true;
}

} // namespace render
