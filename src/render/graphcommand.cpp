#include "render/graphcommand.h"

#include "cli/headless.h"
#include "cli/outputfile.h"
#include "render/drawingcommands.h"
#include "render/page.h"
#include "stats/errors.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <ostream>

namespace render {

namespace {

const QString kDocumentTitle = QStringLiteral("Linealidad del Método");

// 96 dots per inch, as the windows draw.
constexpr int kScreenDotsPerMeter = 3780;

QImage screenImage(PlotEngine &engine, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kScreenDotsPerMeter);
    image.setDotsPerMeterY(kScreenDotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        engine.PaintPlot(painter, size);
    }
    return image;
}

} // namespace

QByteArray PngOfGraph(PlotEngine &engine, const QSize &size, const cli::PrintRecord &record)
{
    QImage image = screenImage(engine, size);
    image.setText(QStringLiteral("Description"), QString::fromStdString(record.line(1, 1)));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw stats::OutputFileError("No se pudo escribir la imagen PNG.");
    return buffer.data();
}

QByteArray SvgOfGraph(PlotEngine &engine, const QSize &size, const cli::PrintRecord &record)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(96);
    svg.setTitle(kDocumentTitle);
    svg.setDescription(QString::fromStdString(record.line(1, 1)));
    QPainter painter;
    if (!painter.begin(&svg))
        throw stats::OutputFileError("No se pudo escribir el documento SVG.");
    engine.PaintPlot(painter, size);
    painter.end();
    return buffer.data();
}

void PrintGraphPage(const PlotEngine &engine, QPainter &painter, const QSize &page, const cli::PrintRecord &record)
{
    engine.PrintPlot(painter, page);
    // The drawing starts 400 pixels of a 600 dpi page below the top of the
    // printable area and 250 from its left: the line stands in that margin,
    // aligned with the drawing's left edge.
    const double dpi = painter.device()->logicalDpiY() > 0 ? painter.device()->logicalDpiY() : kPageResolution;
    const double inch = dpi;
    DrawRecordLine(painter, QString::fromStdString(record.line(1, 1)), QPointF(inch * 250 / 600, inch * 120 / 600),
                   page.width() - inch * 300 / 600, dpi * 7 / 72);
}

QString GraphName(Graph graph)
{
    return KindOf(graph).documentName;
}

QByteArray PdfOfGraph(const PlotEngine &engine, const DocumentInfo &info, const cli::PrintRecord &record)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPageResolution);
        pdf.setPageLayout(DefaultPageLayout(QPageLayout::Landscape));
        BeginArchivalPdf(pdf, info);
        QPainter painter;
        if (!BeginPdfPainter(painter, pdf))
            throw stats::OutputFileError("No se pudo escribir el documento PDF.");
        PrintGraphPage(engine, painter, QSize(pdf.width(), pdf.height()), record);
        if (!painter.end())
            throw stats::OutputFileError("No se pudo escribir el documento PDF.");
    }
    return WithDocumentInfo(buffer.data(), info);
}

cli::Rendered DrawGraph(const GraphKind &kind, const cli::AnalysedStudy &study, const cli::RenderOptions &options)
{
    const stats::StudyAnalysis &analysis = study.analysed();
    const stats::CommandOutcome outcome = kind.compute(analysis);
    if (outcome.refused())
        return {cli::kExitRefused, {}, outcome.refusalMessage()};
    PlotEngine engine(kind);
    if (kind.takesFileTitles) {
        // The titles a study file gives the regression graph when it is opened.
        const stats::StudyFile &file = study.studyFile();
        engine.SetTitle(QString::fromStdString(file.title));
        engine.SetXLabel(QString::fromStdString(file.xLabel));
        engine.SetYLabel(QString::fromStdString(file.yLabel));
    }
    FillGraph(engine, outcome, analysis.texts, analysis.decimalSeparator);
    if (!engine.PointsDrawable())
        return {cli::kExitRefused, {}, kPointsNotDrawable};
    const QSize size = options.width > 0 ? QSize(options.width, options.height) : kind.windowSize;
    QByteArray bytes;
    switch (options.format) {
    case cli::DrawnFormat::Png:
        bytes = PngOfGraph(engine, size, study.record);
        break;
    case cli::DrawnFormat::Svg:
        bytes = SvgOfGraph(engine, size, study.record);
        break;
    case cli::DrawnFormat::Pdf:
        bytes = PdfOfGraph(engine,
                           StudyDocumentInfo(kind.documentName, study.record, analysis.texts.analyst(),
                                             analysis.texts.method()),
                           study.record);
        break;
    }
    return {cli::kExitDone, bytes.toStdString(), {}};
}

int RunGraphCommand(const std::vector<std::string> &args, std::ostream &, std::ostream &err, char separator)
{
    DrawingRequest request;
    std::string problem;
    if (!ParseDrawingRequest(args, separator, request, problem))
        return cli::UsageError(err, problem, args[0]);
    if (!GraphKindNamed(request.positional[0]))
        return cli::UsageError(err, "La gráfica es regression, residuals o profile: " + request.positional[0], args[0]);
    if (request.profileGiven && request.positional[0] != "profile")
        return cli::UsageError(err, "--beta y --lambda son de la gráfica profile.", args[0]);
    if (const int refused = RefuseOutput(request.output, cli::kGraphExtensions, request.study, args[0], err))
        return refused;
    const std::string id = "graph-" + request.positional[0];
    cli::RenderOptions options{.format = request.format};
    if (request.size) {
        options.width = request.size->width();
        options.height = request.size->height();
    }
    return WriteDrawnOutput(id, request, options, separator, err);
}

} // namespace render
