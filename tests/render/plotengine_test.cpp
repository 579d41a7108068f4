// The drawing engine on its own: axis rounding, tick labels, the curve
// store, and what a drawing puts on the surface. The worked studies' graphs
// are compared whole with their reviewed layouts (tests/golden).
#include "render/graphbuild.h"
#include "render/plotengine.h"
#include "support/recordingdevice.h"
#include "support/studies.h"

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QtTest>

#include <clocale>

using render::PlotEngine;

namespace {

// One screen drawing on `image` (a gray 491x315 one when none is given).
render::GraphLayout painted(PlotEngine &engine, QImage *image = nullptr)
{
    QImage own(491, 315, QImage::Format_RGB32);
    QImage &surface = image ? *image : own;
    surface.fill(Qt::gray);
    QPainter painter(&surface);
    return engine.PaintPlot(painter, surface.size());
}

QString label(double value, char separator = '.')
{
    return QString::fromStdString(render::FormatTickLabel(value, separator));
}

// An engine filled from a study the way the graph commands fill it.
void build(PlotEngine &engine, render::Graph graph, const stats::StudyData &study)
{
    const stats::CommandOutcome outcome = render::ComputeGraph(graph, stats::Analyze(study, {}));
    QVERIFY(!outcome.refused());
    render::FillGraph(engine, outcome, study, '.');
}

} // namespace

class PlotEngineTest : public QObject {
    Q_OBJECT

private slots:
    void niceAxisWidensToWholeSteps()
    {
        const struct {
            const char *what;
            double min, max, first, last, step;
        } cases[] = {
            {"amounts added 80 to 120", 80, 120, 80, 120, 5},
            {"recovered 79.5 to 121", 79.5, 121, 75, 125, 5},
            {"3 is an odd multiple of the step", 3, 13, 2, 13, 1},
            {"4 is an even one", 4, 14, 4, 14, 1},
            {"range 5 rounds m to 0", 10, 15, 10, 15, 0.5},
            {"range 6 gives step 1", 10, 16, 10, 16, 1},
            {"studentized residuals", -1.53203, 1.47783, -2, 1.5, 0.5},
            {"residual graph's x", 1, 3, 1, 3, 0.5},
            {"thousands", 1300, 4100, 1200, 4200, 200},
            {"small values", 0.0012, 0.0049, 0.001, 0.005, 0.0005},
            {"0.45 is an odd multiple of 0.05", 0.45, 0.75, 0.4, 0.75, 0.05},
            {"minimum equal to maximum", 5, 5, 5, 5.5, 0.5},
            {"reversed limits do not fail", 10, 0, 10, 9, -1},
        };
        for (const auto &c : cases) {
            const std::optional<render::AxisScale> axis = render::NiceAxis(c.min, c.max);
            QVERIFY2(axis, c.what);
            QCOMPARE(axis->first, c.first);
            QCOMPARE(axis->last, c.last);
            QCOMPARE(axis->step, c.step);
        }
    }

    void niceAxisRefusesWhatItCannotDraw()
    {
        const std::pair<double, double> limits[] = {
            {1e30, 1e30},       // the quotient beyond 64 bits
            {1e17, 1e17 + 10},  // adding the step no longer advances
            // Steps of 10 where doubles are 16 apart: ticks 1 and 2 would fall on one value.
            {110211118888888418.0, 110211118888888555.0},
            {-1e308, 1e308},    // the range overflows
            {0.0, qInf()},
            {qQNaN(), 1.0},
        };
        for (const auto &[min, max] : limits) {
            QVERIFY2(!render::NiceAxis(min, max), qPrintable(QString::number(max)));
            QVERIFY(!render::Drawable({0, 1, min, max}));
        }
    }

    void ticksAreCountedNotAccumulated()
    {
        // -0.3 + 3 * 0.1 by repeated addition is 5.551E-17.
        const render::AxisScale axis{-0.3, 0.3, 0.1};
        QCOMPARE(render::TickValue(axis, 3), 0.0);
        QCOMPARE(label(render::TickValue(axis, 3)), QStringLiteral("0"));
        QCOMPARE(render::TickValue(axis, 5), 0.2);
        QCOMPARE(render::TickValues(axis).size(), size_t(7));
        // (what repeated addition would have labelled)
        QCOMPARE(label(-0.3 + 0.1 + 0.1 + 0.1), QStringLiteral("2.776E-17"));
    }

    void tickLabels()
    {
        const std::pair<double, const char *> labels[] = {
            {0.0, "0"}, {100.0, "100"}, {12.5, "12.5"}, {1234.5678, "1234.5"}, {0.05, "0.05"},
            {-1234.5, "-1234"}, // the sign counts
            {-1.5, "-1.5"}, {9999.99999, "10000"}, {25000.0, "2.5E+4"},
            {0.005, "5.E-3"},   // the point stays bare
            {0.01, "1.E-2"}, {-20000.0, "-2.E+4"}, {1.5e-300, "1.5E-300"},
            {123456.0, "1.235E+5"}, // four significant digits
        };
        for (const auto &[value, text] : labels)
            QCOMPARE(label(value), QString(text));
    }

    // The separator is the one given, as in every other text of the graph,
    // whatever the C library's locale says.
    void tickLabelsTakeTheSeparatorGiven()
    {
        if (!std::setlocale(LC_ALL, "es_ES.UTF-8"))
            QFAIL("the es_ES.UTF-8 locale is missing: run make deps");
        QCOMPARE(label(12.5), QStringLiteral("12.5"));
        QCOMPARE(label(25000), QStringLiteral("2.5E+4"));
        std::setlocale(LC_ALL, "C.UTF-8");
        const std::pair<double, const char *> comma[] = {
            {12.5, "12,5"}, {25000.0, "2,5E+4"}, {0.005, "5,E-3"}, {100.0, "100"}, {-1.5, "-1,5"}, {0.0, "0"}};
        for (const auto &[value, text] : comma)
            QCOMPARE(label(value, ','), QString(text));

        // A graph filled for a comma locale labels its ticks with commas:
        // every tick label of the same graph under a point, with a comma.
        auto tickTexts = [](char separator) {
            PlotEngine engine(render::RegressionGraph());
            const stats::StudyData study = testing_studies::anovaStudy();
            render::FillGraph(engine,
                              render::ComputeGraph(render::Graph::Regression,
                                                   stats::Analyze(study, {.decimalSeparator = separator})),
                              study, separator);
            const QRegularExpression number(QStringLiteral("^-?[0-9]+([.,][0-9]*)?(E[-+][0-9]+)?$"));
            QStringList ticks;
            for (const render::LaidText &text : painted(engine).texts)
                if (number.match(text.text).hasMatch())
                    ticks << text.text;
            return ticks;
        };
        const QStringList point = tickTexts('.'), commas = tickTexts(',');
        QVERIFY(point.join(' ').contains('.'));
        QCOMPARE(commas, QStringList(point).replaceInStrings(".", ","));
    }

    void curveStoreHoldsEveryObservationAFileMayHold()
    {
        PlotEngine engine(render::RegressionGraph());
        for (int i = 0; i < kMaxCurvePoints; ++i)
            QVERIFY(engine.AddPoint(1, i, i));
        // Every validation standard of the largest .lin study, for the profile.
        QVERIFY(kMaxCurvePoints >= 20 * 20 * 12);
        QVERIFY(engine.notice().isEmpty());
        QVERIFY(!engine.AddPoint(1, 1000, 1000));
        QCOMPARE(engine.notice(), QStringLiteral("Limite de datos excedido"));
        QCOMPARE(engine.state().curves[0].pointCount(), kMaxCurvePoints);
        for (int curve : {0, kCurveCount + 1}) {
            PlotEngine other(render::RegressionGraph());
            QVERIFY(!other.AddPoint(curve, 1, 1));
            QCOMPARE(other.notice(), QStringLiteral("Curva fuera de intervalo."));
            // Written on the next drawing, then gone.
            QCOMPARE(painted(other).texts.back().text, QStringLiteral("Curva fuera de intervalo."));
            QVERIFY(other.notice().isEmpty());
        }
    }

    void aStudyOfMoreThan55ObservationsDrawsThemAll()
    {
        std::vector<std::string> x, y;
        for (int level = 1; level <= 3; ++level)
            for (int i = 0; i < 20; ++i) {
                x.push_back(std::to_string(level * 10));
                y.push_back(std::to_string(level * 10) + "." + std::to_string(i));
            }
        y.back() = "47"; // the 60th observation sets the top of the Y axis
        const stats::StudyData study = testing_studies::makeStudy({"20", "20", "20"}, x, y);
        PlotEngine engine(render::RegressionGraph());
        build(engine, render::Graph::Regression, study);
        QCOMPARE(engine.state().curves[0].pointCount(), 60);
        QCOMPARE(engine.state().curves[1].pointCount(), 60);
        QCOMPARE(engine.RequestedLimits().yMax, 47.0);
        QCOMPARE(painted(engine).axisLimits.yMax, 50.0);
    }

    // The screen shows the limits asked for widened to whole steps, the page
    // those widened once more, whatever was drawn or printed before; nothing
    // drawn changes the graph.
    void theLimitsDrawnFollowFromTheGraphAlone()
    {
        PlotEngine engine(render::RegressionGraph());
        build(engine, render::Graph::Regression, testing_studies::inferenceStudy());
        auto print = [&] {
            RecordingDevice paper(600, QSizeF(11, 8.5));
            QPainter painter(&paper);
            return engine.PrintPlot(painter, QSize(paper.width(), paper.height())).axisLimits;
        };
        const PlotLimits printed{80, 120, 70, 125};
        QCOMPARE(print(), printed); // before any screen drawing
        QCOMPARE(painted(engine).axisLimits, (PlotLimits{80, 120, 75, 125}));
        QCOMPARE(print(), printed);
        QCOMPARE(print(), printed);
        // Limits 0..34.9 are shown 0..36 in steps of 2 and printed 0..40.
        engine.state().requestedLimits = {0, 34.9, 0, 34.9};
        engine.state().limitsComputed = true;
        QCOMPARE(painted(engine).axisLimits, (PlotLimits{0, 36, 0, 36}));
        QCOMPARE(print(), (PlotLimits{0, 40, 0, 40}));
    }

    void gridStylesDrawTheirLines_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<double>("minShare");
        QTest::addColumn<double>("maxShare");
        QTest::newRow("Ninguno: tick marks only") << 0 << 0.0 << 0.05;
        QTest::newRow("Ligero: dotted") << 1 << 0.2 << 0.45;
        QTest::newRow("Medio: dashed") << 2 << 0.5 << 0.8;
        QTest::newRow("Fuerte: solid") << 3 << 0.95 << 1.0;
    }
    void gridStylesDrawTheirLines()
    {
        QFETCH(int, style);
        QFETCH(double, minShare);
        QFETCH(double, maxShare);
        PlotEngine engine(render::RegressionGraph());
        build(engine, render::Graph::Regression, testing_studies::inferenceStudy());
        engine.state().gridStyle = static_cast<GridStyle>(style);
        QImage image(982, 630, QImage::Format_RGB32);
        const render::GraphLayout g = painted(engine, &image);
        const render::PlotMetrics m = g.metrics;
        // The column of the X tick 85 (no point stands there) down the plot
        // area, clear of the axis and of the fitted line's crossing.
        const int px = m.plotLeft + qRound(5 * m.plotWidth / 40.0);
        // Rows where a text stands are left out: the grid gives way to it.
        int dark = 0, rows = 0;
        for (int y = m.plotTop; y < m.plotTop + m.plotHeight * 3 / 4; ++y) {
            const bool underText = std::any_of(g.texts.begin(), g.texts.end(),
                                               [&](const render::LaidText &t) { return t.rect.adjusted(-2, -2, 2, 2).contains(px, y); });
            if (underText)
                continue;
            ++rows;
            dark += qGray(image.pixel(px, y)) < 128;
        }
        const double share = double(dark) / rows;
        QVERIFY2(share >= minShare && share <= maxShare, qPrintable(QString::number(share)));
        // The tick mark below the axis is there whatever the style.
        const int base = m.plotTop + m.plotHeight;
        QVERIFY(qGray(image.pixel(px, base + 3)) < 128);
    }

    void paintingFillsTheSurfaceWithABorder()
    {
        PlotEngine engine(render::ResidualGraph());
        build(engine, render::Graph::Residuals, testing_studies::anovaStudy());
        QImage image(300, 200, QImage::Format_RGB32);
        painted(engine, &image);
        QCOMPARE(qGray(image.pixel(0, 100)), 0);
        QCOMPARE(qGray(image.pixel(299, 100)), 0);
        QCOMPARE(qGray(image.pixel(150, 199)), 0);
        QCOMPARE(qGray(image.pixel(2, 2)), 255);
    }
};

QTEST_MAIN(PlotEngineTest)
#include "plotengine_test.moc"
