#include "render/graphbuild.h"

#include "stats/conversions.h"
#include "stats/seriesstudy.h"

namespace render {

const GraphKind &KindOf(Graph graph) { return GraphKinds()[static_cast<std::size_t>(graph)]; }

namespace {

void fillFurtherCurves(PlotEngine &engine, const std::vector<stats::GraphCurve> &curves, FrameTexts &frame)
{
    using Look = stats::GraphCurve::Look;
    for (std::size_t k = 0; k < curves.size() && k < kCurveCount; ++k) {
        const stats::GraphCurve &c = curves[k];
        const int number = static_cast<int>(k) + 1;
        for (std::size_t i = 0; i < c.x.size(); ++i)
            engine.AddPoint(number, c.x[i], c.y[i]);
        engine.SetLineStyle(number, c.look == Look::Markers  ? 0
                                    : c.look == Look::Dotted ? 1
                                    : c.look == Look::Dashed ? 2
                                                             : 3);
        engine.SetMarker(number, c.look == Look::Markers ? kHollowCircle : 0);
        if (c.highlighted)
            engine.SetLineColour(number, kRangeColour);
        else if (c.look == Look::Dashed)
            engine.SetLineColour(number, kToleranceColour);
        if (!c.legend.empty())
            frame.keys.push_back({QString::fromStdString(c.legend), number});
    }
}

} // namespace

stats::CommandOutcome ComputeGraph(Graph graph, const stats::StudyAnalysis &analysis)
{
    return KindOf(graph).compute(analysis);
}

void FillGraph(PlotEngine &engine, const stats::CommandOutcome &outcome, const stats::StudyTexts &study,
               char decimalSeparator, bool quadratic)
{
    const stats::GraphPoints &points = outcome.graph;
    engine.ResetPlot();
    engine.setDecimalSeparator(decimalSeparator);
    if (engine.kind().unitsAsXLabel)
        engine.SetXLabel(QString::fromStdString(study.units()));
    FrameTexts frame;
    frame.method = QString::fromStdString(study.method());
    frame.analyst = QString::fromStdString(study.analyst());
    frame.date = QString::fromStdString(study.date());
    for (const std::string &line : outcome.lines)
        frame.legend << QString::fromStdString(line);
    if (!points.curves.empty()) {
        fillFurtherCurves(engine, points.curves, frame);
        if (engine.state().yLabel.isEmpty())
            engine.SetYLabel(QStringLiteral("Error relativo (%)"));
        engine.setFrameTexts(frame);
        return;
    }
    for (size_t i = 0; i < points.x.size(); ++i)
        engine.AddPoint(2, points.x[i], points.line[i]);
    engine.SetLineStyle(2, 3);
    engine.SetMarker(2, kHollowCircle);
    for (size_t i = 0; i < points.x.size(); ++i)
        engine.AddPoint(1, points.x[i], points.observed[i]);
    engine.SetLineStyle(1, 0);
    engine.SetMarker(1, kHollowTriangle);
    // The curve beside the line is told from it by its colour and dashes,
    // on paper printed in black too, and named in the legend.
    const bool curve = quadratic && !points.curveX.empty();
    if (curve) {
        for (size_t i = 0; i < points.curveX.size(); ++i)
            engine.AddPoint(3, points.curveX[i], points.curveY[i]);
        engine.SetLineStyle(3, 2);
        engine.SetLineColour(3, kQuadraticCurveColour);
    }
    // The points of a .lin series left out of the computations: where they
    // stand, as hollow squares, on the graph of what was typed.
    std::vector<PlotPoint> excluded;
    if (const stats::SeriesNote *note = study.seriesNote(); note && &engine.kind() == &RegressionGraph())
        for (const stats::SeriesNote::LeftOut &p : note->excluded) {
            double x = 0, y = 0;
            if (p.kind == stats::StandardKindName(stats::StandardKind::Calibration) &&
                stats::TryStrToFloat(p.x, '.', x) && stats::TryStrToFloat(p.y, '.', y))
                excluded.push_back({x, y});
        }
    for (const PlotPoint &p : excluded)
        engine.AddPoint(4, p.x, p.y);
    engine.SetLineStyle(4, 0);
    engine.SetMarker(4, kHollowSquare);
    if (curve)
        frame.keys.push_back({QString::fromStdString(points.curveLegend), 3});
    if (!excluded.empty())
        frame.keys.push_back({excluded.size() == 1 ? QStringLiteral("Cuadrado: un punto excluido de los cálculos")
                                                   : QStringLiteral("Cuadrados: %1 puntos excluidos de los cálculos")
                                                         .arg(excluded.size()),
                              4});
    engine.setFrameTexts(frame);
}

} // namespace render
