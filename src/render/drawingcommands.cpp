#include "render/drawingcommands.h"

#include "cli/analysismodules.h"

#include "cli/acceptancelimits.h"
#include "cli/atomicfile.h"
#include "cli/batch.h"
#include "cli/commandregistry.h"
#include "cli/headless.h"
#include "cli/outputfile.h"
#include "cli/profileoptions.h"
#include "cli/weightoption.h"
#include "cli/samplesoptions.h"
#include "render/graphcommand.h"
#include "render/page.h"
#include "render/printedreports.h"
#include "render/verificationreport.h"
#include "stats/errors.h"

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cctype>

#include <cstdio>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string_view>
#include <utility>

namespace render {

namespace {

// Fontconfig and HarfBuzz set up their shared state (the configuration's
// lock, the table of languages) on the first text any thread lays out,
// with no lock the other threads could wait on: the first text of a run is
// laid out alone, before any drawing.
void layOutFirstText()
{
    QImage image(64, 16, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(QFont(QStringLiteral("Arial")));
    painter.drawText(QPointF(0, 12), QStringLiteral("Linealidad 0123456789 áé"));
}

cli::Rendered drawPage(PrintedReport kind, const cli::AnalysedStudy &study)
{
    const stats::StudyAnalysis &analysis = study.analysed();
    const PreparedReport report = PrepareReport(kind, analysis);
    if (report.refused())
        return {cli::kExitRefused, {}, report.validation.failed ? report.validation.message : stats::kZeroSlopeMessage};
    const DocumentInfo info =
        StudyDocumentInfo(ReportName(kind), study.record, analysis.texts.analyst(), analysis.texts.method());
    const QByteArray pdf = PdfDocument(LocalePageSize(), info, [&](QPainter &painter, QPdfWriter &writer) {
        return DrawReportPages(painter, report.pages, [&writer] { return writer.newPage(); }, study.record);
    });
    return {cli::kExitDone, pdf.toStdString(), {}};
}

// --print general|inference|error|criteria|weighting|quadratic FILE --output
// OUT.pdf: the page that "Aceptar" prints for that item of the print options
// window, on the paper of the user's locale; the criteria with --target and
// --limits, the weighting with --weight, the quadratic model with --limits.
// The pages --print knows, as a sentence: "general, inference, … o quadratic".
std::string pageNames()
{
    const auto pages = PrintedPages();
    std::string names;
    for (size_t i = 0; i < pages.size(); ++i)
        names += (i == 0 ? "" : i + 1 == pages.size() ? " o " : ", ") + std::string(pages[i].id.substr(5));
    return names;
}

int printCommand(const std::vector<std::string> &args, std::ostream &, std::ostream &err, char separator)
{
    DrawingRequest request;
    std::string problem;
    if (!ParseDrawingRequest(args, separator, request, problem))
        return cli::UsageError(err, problem, args[0]);
    const std::string id = "page-" + request.positional[0];
    const auto pages = PrintedPages();
    const auto page = std::find_if(pages.begin(), pages.end(), [&](const PrintedPage &p) { return p.id == id; });
    if (page == pages.end())
        return cli::UsageError(err, "La página es " + pageNames() + ": " + request.positional[0], args[0]);
    // Each page takes the options of its evaluation: T is the criteria's
    // alone, the limits also choose the quadratic model.
    const unsigned takes = page->module ? page->module->options : 0;
    if (request.targetGiven && !(takes & cli::TakesTarget) && takes & cli::TakesLimits)
        return cli::UsageError(err, "--target es de la página criteria; la página " + request.positional[0] +
                                        " admite --limits.", args[0]);
    if (request.criteriaGiven && !(takes & (cli::TakesTarget | cli::TakesLimits)))
        return cli::UsageError(err, "--target y --limits son de la página criteria.", args[0]);
    if (request.weighting.weight && !(takes & cli::TakesWeight))
        return cli::UsageError(err, "--weight es de la página weighting.", args[0]);
    if (request.profileGiven && !(takes & cli::TakesProfile))
        return cli::UsageError(err, "--beta y --lambda son de la página profile.", args[0]);
    const bool samplesPage = takes & cli::TakesSamples;
    if (samplesPage && request.samplesPath.empty())
        return cli::UsageError(err, "Falta el archivo de muestras.", args[0]);
    if (!samplesPage && !request.samplesPath.empty())
        return cli::UsageError(err, "Argumento inesperado: " + request.samplesPath, args[0]);
    if (!samplesPage && request.confidenceGiven)
        return cli::UsageError(err, "--confidence es de la página samples.", args[0]);
    if (const int refused = RefuseOutput(request.output, cli::kPdfExtension, request.study, args[0], err))
        return refused;
    return WriteDrawnOutput(id, request, {}, separator, err);
}

// --verify --output OUT.pdf: the verification's table on standard output, as
// without --output, and its report for filing. A failed verification is
// written too: it is evidence as well; the status says which it is.
int verifyCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char)
{
    cli::CommandLine line;
    std::string problem;
    if (!cli::ParseCommandLine(args, line, problem))
        return cli::UsageError(err, problem, args[0]);
    const std::string output = line.option("--output") ? *line.option("--output") : std::string();
    if (const int refused = RefuseOutput(output, cli::kPdfExtension, {}, args[0], err))
        return refused;
    return cli::RunCatchingErrors(err, [&] {
        const cli::VerificationReport report = cli::RunVerification(cli::BuiltInReferences());
        WriteOutputFile(output, VerificationPdf(report, LocalePageSize()));
        return cli::PrintVerification(report, out);
    });
}

int batchCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator)
{
    cli::CommandLine line;
    std::string problem;
    if (!cli::ParseCommandLine(args, line, problem))
        return cli::UsageError(err, problem, args[0]);
    return cli::RunBatchCommand(line, out, err, separator, DrawOutput);
}

using DrawingRunner = int (*)(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
                               char separator);

// The work of each command the table of commands (cli/commandregistry.cpp)
// sends here: those of kind Drawing, and those that draw with an option.
constexpr std::pair<const char *, DrawingRunner> kRunners[] = {
    {"--graph", RunGraphCommand},
    {"--print", printCommand},
    {"--verify", verifyCommand},
    {"--batch", batchCommand},
};

void quietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int RunDrawingCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator)
{
    if (const cli::Command *command = args.empty() ? nullptr : cli::FindCommand(args[0]))
        for (const auto &[option, run] : kRunners)
            if (command->option == std::string_view(option))
                return run(args, out, err, separator);
    err << "Orden desconocida: " << (args.empty() ? std::string() : args[0]) << "\nUse --help para ver las órdenes.\n";
    return cli::kExitUsage;
}

cli::Rendered DrawOutput(const cli::Output &output, const cli::AnalysedStudy &study,
                         const cli::RenderOptions &options)
{
    static std::once_flag firstText;
    std::call_once(firstText, layOutFirstText);
    constexpr std::string_view graph = "graph-";
    if (output.id.starts_with(graph))
        if (const GraphKind *kind = GraphKindNamed(output.id.substr(graph.size())))
            return DrawGraph(*kind, study, options);
    for (const PrintedPage &page : PrintedPages())
        if (output.id == page.id)
            return drawPage(page.report, study);
    throw stats::CommandError("La salida " + std::string(output.id) + " no se dibuja.");
}

int WriteDrawnOutput(const std::string &id, const DrawingRequest &request, const cli::RenderOptions &options,
                     char separator, std::ostream &err)
{
    stats::AnalysisOptions analysis{
        .decimalSeparator = separator, .criteria = request.criteria, .weighting = request.weighting};
    analysis.samples = request.samples;
    analysis.confidence = request.confidence;
    analysis.series = request.series;
    analysis.profile = request.profile;
    const cli::Rendered rendered =
        cli::RenderOutput(cli::OutputNamed(id), cli::ReadAndAnalyse(request.study, analysis), options, DrawOutput);
    if (rendered.status != cli::kExitDone) {
        err << rendered.message << '\n';
        return rendered.status;
    }
    return cli::RunCatchingErrors(err, [&] {
        WriteOutputFile(request.output, QByteArray::fromStdString(rendered.bytes));
        return cli::kExitDone;
    });
}

void SilenceQtMessages() { qInstallMessageHandler(quietHandler); }

std::optional<OutputFormat> OutputFormatOf(const std::string &path)
{
    const size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? std::string() : path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".png")
        return cli::DrawnFormat::Png;
    if (extension == ".svg")
        return cli::DrawnFormat::Svg;
    if (extension == ".pdf")
        return cli::DrawnFormat::Pdf;
    return {};
}

std::optional<QSize> ParseOutputSize(const std::string &text)
{
    // One spelling only: what --help shows, "982x630".
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return {};
    auto side = [](const std::string &digits) -> int {
        if (digits.empty() || digits.size() > 4 || digits[0] == '0' ||
            digits.find_first_not_of("0123456789") != std::string::npos)
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
    cli::WriteFileAtomically(path, bytes.toStdString());
}

QByteArray PdfDocument(const QPageSize &paper, const DocumentInfo &info,
                       const std::function<bool(QPainter &, QPdfWriter &)> &draw)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        BeginArchivalPdf(writer, info);
        writer.setResolution(1200);
        writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Point));
        QPainter painter;
        if (!BeginPdfPainter(painter, writer))
            throw stats::OutputFileError("No se pudo empezar el documento PDF.");
        const bool drawn = draw(painter, writer);
        if (!painter.end() || !drawn)
            throw stats::OutputFileError("No se pudo completar el documento PDF.");
    }
    return WithDocumentInfo(bytes, info);
}

bool ParseDrawingRequest(const std::vector<std::string> &args, char separator, DrawingRequest &request,
                         std::string &problem)
{
    cli::CommandLine line;
    if (!cli::ParseCommandLine(args, line, problem))
        return false;
    // The study after the command's words, then what may follow it.
    const cli::Command &command = *cli::FindCommand(line.command);
    const size_t studyAt = command.operands.size() - command.optionalOperands - 1;
    request.study = line.operands[studyAt];
    request.positional.assign(line.operands.begin(), line.operands.begin() + static_cast<long>(studyAt));
    if (line.operands.size() > studyAt + 1)
        request.samplesPath = line.operands[studyAt + 1];
    request.confidenceGiven = line.option("--confidence");
    request.series = cli::SeriesOf(line);
    stats::AnalysisOptions samples;
    if (!cli::SamplesOptionsOf(line, request.samplesPath.empty() ? nullptr : &request.samplesPath, samples, problem))
        return false;
    request.samples = std::move(samples.samples);
    request.confidence = samples.confidence;
    request.output = *line.option("--output");
    request.format = OutputFormatOf(request.output).value_or(cli::DrawnFormat::Png);
    request.criteriaGiven = line.option("--target") || line.option("--limits");
    request.targetGiven = line.option("--target") != nullptr;
    request.profileGiven = line.option("--beta") || line.option("--lambda");
    if (!cli::CriteriaOptionsOf(line, separator, request.criteria, problem) ||
        !cli::WeightingOptionsOf(line, request.weighting, problem) ||
        !cli::ProfileOptionsOf(line, request.profile, problem))
        return false;
    if (const std::string *size = line.option("--size")) {
        request.size = ParseOutputSize(*size);
        if (!request.size) {
            problem = "Tamaño no válido (ANCHOxALTO, de 1 a " + std::to_string(kMaxOutputSide) +
                      " píxeles por lado, sin ceros a la izquierda, con x minúscula): " + *size;
            return false;
        }
    }
    return true;
}

int RefuseOutput(const std::string &output, const std::vector<std::string> &extensions, const std::string &study,
                 const std::string &command, std::ostream &err)
{
    std::vector<cli::GuardedFile> guarded;
    if (!study.empty())
        guarded.push_back({study, "el estudio que se lee"});
    const cli::OutputRefusal refusal = cli::CheckOutputFile(output, extensions, guarded);
    if (refusal.status == cli::kExitUsage)
        return cli::UsageError(err, refusal.message, command);
    if (refusal)
        err << refusal.message << '\n';
    return refusal.status;
}

} // namespace render
