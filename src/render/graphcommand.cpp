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

} // namespace

QByteArray PngOfGraph(PlotEngine &engine, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kScreenDotsPerMeter);
    image.setDotsPerMeterY(kScreenDotsPerMeter);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        engine.PaintPlot(painter, size);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw stats::OutputFileError("No se pudo escribir la imagen PNG.");
    return buffer.data();
}

QByteArray SvgOfGraph(PlotEngine &engine, const QSize &size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(96);
    svg.setTitle(kDocumentTitle);
    QPainter painter;
    if (!painter.begin(&svg))
        throw stats::OutputFileError("No se pudo escribir el documento SVG.");
    engine.PaintPlot(painter, size);
    painter.end();
    return buffer.data();
}

QByteArray PdfOfGraph(const PlotEngine &engine)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPageResolution);
        pdf.setPageLayout(DefaultPageLayout(QPageLayout::Landscape));
        pdf.setTitle(kDocumentTitle);
        pdf.setCreator(QStringLiteral("linealidad"));
        QPainter painter;
        if (!painter.begin(&pdf))
            throw stats::OutputFileError("No se pudo escribir el documento PDF.");
        engine.PrintPlot(painter, QSize(pdf.width(), pdf.height()));
        if (!painter.end())
            throw stats::OutputFileError("No se pudo escribir el documento PDF.");
    }
    return buffer.data();
}

int RunGraphCommand(const std::vector<std::string> &args, std::ostream &, std::ostream &err, char separator)
{
    DrawingRequest request;
    std::string problem;
    if (!ParseDrawingRequest(args, request, problem))
        return cli::UsageError(err, problem, args[0]);
    if (request.positional[0] != "regression" && request.positional[0] != "residuals")
        return cli::UsageError(err, "La gráfica es regression o residuals: " + request.positional[0], args[0]);
    if (const int refused = RefuseOutput(request.output, cli::kGraphExtensions, request.study, args[0], err))
        return refused;
    const Graph graph = request.positional[0] == "regression" ? Graph::Regression : Graph::Residuals;
    return cli::RunCatchingErrors(err, [&] {
        const stats::StudyFile file = cli::ReadStudyFile(request.study);
        const stats::StudyData study = stats::StudyFromFile(file);
        stats::SharedResults shared;
        const stats::CommandOutcome outcome = ComputeGraph(graph, study, shared, separator);
        if (outcome.refused())
            return cli::ReportRefusal(outcome, err);
        PlotEngine engine(KindOf(graph));
        if (graph == Graph::Regression) {
            // The titles a study file gives the regression graph when it is opened.
            engine.SetTitle(QString::fromStdString(file.title));
            engine.SetXLabel(QString::fromStdString(file.xLabel));
            engine.SetYLabel(QString::fromStdString(file.yLabel));
        }
        FillGraph(engine, outcome, study);
        if (!engine.PointsDrawable()) {
            err << kPointsNotDrawable << '\n';
            return cli::kExitRefused;
        }
        const QSize size = request.size.value_or(kGraphWindowSize);
        QByteArray bytes;
        switch (request.format) {
        case OutputFormat::Png:
            bytes = PngOfGraph(engine, size);
            break;
        case OutputFormat::Svg:
            bytes = SvgOfGraph(engine, size);
            break;
        case OutputFormat::Pdf:
            bytes = PdfOfGraph(engine);
            break;
        }
        WriteOutputFile(request.output, bytes);
        return cli::kExitDone;
    });
}

} // namespace render
