// The drawing engine on its own: axis rounding, tick labels, the layout of
// the drawing rectangle, the curve store, and what a drawing puts on the
// surface (texts read back from an SVG, lines from an image).
#include "render/graphbuild.h"
#include "render/plotengine.h"
#include "stats/errors.h"
#include "support/studies.h"

#include <QDir>

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QtTest>

#include <clocale>

using render::PlotEngine;

namespace {

struct DrawnText {
    QString text;
    double x = 0, y = 0;
};

// Every text a drawing writes with its position, in drawing order, read
// back from an SVG.
QList<DrawnText> drawnTextsAt(PlotEngine &engine, const QSize &size, bool print = false)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setResolution(96);
    {
        QPainter painter(&svg);
        if (print)
            engine.PrintPlot(painter, size);
        else
            engine.PaintPlot(painter, size);
    }
    QList<DrawnText> texts;
    static const QRegularExpression text(
        QStringLiteral("<text[^>]*\\sx=\"([-\\d.]+)\"\\s+y=\"([-\\d.]+)\"[^>]*>([^<]*)</text>"));
    for (const QRegularExpressionMatch &m : text.globalMatch(QString::fromUtf8(buffer.data())))
        texts.append({m.captured(3).trimmed(), m.captured(1).toDouble(), m.captured(2).toDouble()});
    return texts;
}

QStringList drawnTexts(PlotEngine &engine, const QSize &size, bool print = false)
{
    QStringList texts;
    for (const DrawnText &t : drawnTextsAt(engine, size, print))
        texts << t.text;
    return texts;
}

QImage painted(PlotEngine &engine, const QSize &size = {491, 315})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QPainter painter(&image);
    engine.PaintPlot(painter, size);
    return image;
}

// An engine filled from a study the way the graph commands fill it.
void build(PlotEngine &engine, render::Graph graph, const stats::StudyData &study)
{
    stats::SharedResults shared;
    const stats::CommandOutcome outcome = render::ComputeGraph(graph, study, shared, '.');
    QVERIFY(!outcome.refused());
    render::FillGraph(engine, outcome, study);
}

QStringList numbers(std::initializer_list<const char *> list)
{
    QStringList out;
    for (const char *s : list)
        out << QString::fromLatin1(s);
    return out;
}

} // namespace

class PlotEngineTest : public QObject {
    Q_OBJECT

private slots:
    void niceAxisWidensToWholeSteps_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("last");
        QTest::addColumn<double>("step");
        QTest::newRow("amounts added 80 to 120") << 80.0 << 120.0 << 80.0 << 120.0 << 5.0;
        QTest::newRow("recovered 79.5 to 121") << 79.5 << 121.0 << 75.0 << 125.0 << 5.0;
        QTest::newRow("3 is an odd multiple of the step") << 3.0 << 13.0 << 2.0 << 13.0 << 1.0;
        QTest::newRow("4 is an even one") << 4.0 << 14.0 << 4.0 << 14.0 << 1.0;
        QTest::newRow("range 5 rounds m to 0") << 10.0 << 15.0 << 10.0 << 15.0 << 0.5;
        QTest::newRow("range 6 gives step 1") << 10.0 << 16.0 << 10.0 << 16.0 << 1.0;
        QTest::newRow("studentized residuals") << -1.53203 << 1.47783 << -2.0 << 1.5 << 0.5;
        QTest::newRow("residual graph's x") << 1.0 << 3.0 << 1.0 << 3.0 << 0.5;
        QTest::newRow("shown 75..125 prints from 70") << 75.0 << 125.0 << 70.0 << 125.0 << 5.0;
        QTest::newRow("shown 0..36 prints to 40") << 0.0 << 36.0 << 0.0 << 40.0 << 5.0;
        QTest::newRow("data 0..34.9 shows 0..36") << 0.0 << 34.9 << 0.0 << 36.0 << 2.0;
        QTest::newRow("thousands") << 1300.0 << 4100.0 << 1200.0 << 4200.0 << 200.0;
        QTest::newRow("small values") << 0.0012 << 0.0049 << 0.001 << 0.005 << 0.0005;
        QTest::newRow("0.45 is an odd multiple of 0.05") << 0.45 << 0.75 << 0.4 << 0.75 << 0.05;
        QTest::newRow("minimum equal to maximum") << 5.0 << 5.0 << 5.0 << 5.5 << 0.5;
        QTest::newRow("reversed limits do not fail") << 10.0 << 0.0 << 10.0 << 9.0 << -1.0;
    }
    void niceAxisWidensToWholeSteps()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(double, first);
        QFETCH(double, last);
        QFETCH(double, step);
        const std::optional<render::AxisTicks> ticks = render::NiceAxis(min, max);
        QVERIFY(ticks);
        QCOMPARE(min, first);
        QCOMPARE(ticks->first, first);
        QCOMPARE(max, last);
        QCOMPARE(ticks->step, step);
    }

    void niceAxisRefusesWhatItCannotDraw_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::newRow("quotient beyond 64 bits") << 1e30 << 1e30;
        QTest::newRow("adding the step no longer advances") << 1e17 << 1e17 + 10;
        // Steps of 10 where doubles are 16 apart: ticks 1 and 2 would fall on one value.
        QTest::newRow("ticks that would coincide") << 110211118888888418.0 << 110211118888888555.0;
        QTest::newRow("range overflows") << -1e308 << 1e308;
        QTest::newRow("infinite") << 0.0 << qInf();
        QTest::newRow("not a number") << qQNaN() << 1.0;
    }
    void niceAxisRefusesWhatItCannotDraw()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        const double min0 = min, max0 = max;
        QVERIFY(!render::NiceAxis(min, max));
        QVERIFY(min == min0 || (std::isnan(min) && std::isnan(min0)));
        QVERIFY(max == max0);
        QVERIFY(!PlotEngine::Drawable({0, 1, min0, max0}));
    }

    void ticksAreCountedNotAccumulated()
    {
        // -0.3 + 3 * 0.1 by repeated addition is 5.551E-17.
        const render::AxisTicks ticks{-0.3, 0.1};
        QCOMPARE(render::TickValue(ticks, 3), 0.0);
        QCOMPARE(render::FormatTickLabel(render::TickValue(ticks, 3)), QStringLiteral("0"));
        QCOMPARE(render::TickValue(ticks, 5), 0.2);
        // (what repeated addition would have labelled)
        QCOMPARE(render::FormatTickLabel(-0.3 + 0.1 + 0.1 + 0.1), QStringLiteral("2.776E-17"));
    }

    void tickLabels_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("label");
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("100") << 100.0 << "100";
        QTest::newRow("12.5") << 12.5 << "12.5";
        QTest::newRow("1234.5678") << 1234.5678 << "1234.5";
        QTest::newRow("0.05") << 0.05 << "0.05";
        QTest::newRow("-1234.5: the sign counts") << -1234.5 << "-1234";
        QTest::newRow("-1.5") << -1.5 << "-1.5";
        QTest::newRow("rounds up to 10000") << 9999.99999 << "10000";
        QTest::newRow("25000") << 25000.0 << "2.5E+4";
        QTest::newRow("0.005: the point stays bare") << 0.005 << "5.E-3";
        QTest::newRow("0.01") << 0.01 << "1.E-2";
        QTest::newRow("-20000") << -20000.0 << "-2.E+4";
        QTest::newRow("three-digit exponent") << 1.5e-300 << "1.5E-300";
        QTest::newRow("four significant digits") << 123456.0 << "1.235E+5";
    }
    void tickLabels()
    {
        QFETCH(double, value);
        QFETCH(QString, label);
        QCOMPARE(render::FormatTickLabel(value), label);
    }

    void tickLabelsKeepThePointInAnyLocale()
    {
        if (!std::setlocale(LC_ALL, "es_ES.UTF-8"))
            QFAIL("the es_ES.UTF-8 locale is missing: run make deps");
        QCOMPARE(render::FormatTickLabel(12.5), QStringLiteral("12.5"));
        QCOMPARE(render::FormatTickLabel(25000), QStringLiteral("2.5E+4"));
        std::setlocale(LC_ALL, "C.UTF-8");
    }

    void powerGoesThroughTheLogarithm()
    {
        QCOMPARE(render::Power(2, 10), 1024.0);
        QCOMPARE(render::Power(10, -2), 0.01);
        QCOMPARE(render::PowerOfTen(3), 1000.0);
        QCOMPARE(render::PowerOfTen(-1), 0.1);
        const std::pair<double, const char *> faults[] = {{0.0, "Floating point division by zero"},
                                                           {-8.0, "Invalid floating point operation"}};
        for (const auto &[base, message] : faults) {
            try {
                render::Power(base, 3);
                QFAIL("no fault");
            } catch (const stats::FloatingPointError &e) {
                QCOMPARE(QString(e.what()), QString(message));
            }
        }
    }

    void setupMetricsFollowsTheHeight_data()
    {
        QTest::addColumn<bool>("regression");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<QList<int>>("fonts");
        QTest::addColumn<int>("plotHeight");
        // At the initial size the formulas give 5 and 7 pixel cells and a
        // 1-pixel marker: the smallest readable cell (an 8-pixel em) and a
        // 2-pixel marker take their place.
        QTest::newRow("window at its initial size") << true << 96 << QRect(0, 0, 491, 315)
                                                    << QList<int>{10, 10, 20, 2} << 265;
        QTest::newRow("residual window") << false << 96 << QRect(0, 0, 491, 315) << QList<int>{10, 10, 20, 2}
                                         << 285;
        QTest::newRow("window at twice its size") << true << 96 << QRect(0, 0, 982, 630)
                                                  << QList<int>{11, 15, 22, 2} << 578;
        // On paper the 30 pixels are screen pixels: 188 at 600 dpi.
        QTest::newRow("printed page 4800 high") << true << 600 << QRect(250, 400, 6100, 4400)
                                                << QList<int>{80, 110, 160, 20} << 4052;
        QTest::newRow("printed residuals") << false << 600 << QRect(250, 400, 6150, 4400)
                                           << QList<int>{80, 110, 160, 20} << 4177;
    }
    void setupMetricsFollowsTheHeight()
    {
        QFETCH(bool, regression);
        QFETCH(int, dpi);
        QFETCH(QRect, rect);
        QFETCH(QList<int>, fonts);
        QFETCH(int, plotHeight);
        QImage device(8, 8, QImage::Format_RGB32);
        device.setDotsPerMeterX(qRound(dpi / 0.0254));
        device.setDotsPerMeterY(qRound(dpi / 0.0254));
        const bool paper = dpi != 96;
        const double unit = dpi / 96.0;
        PlotEngine engine(regression ? render::RegressionGraph() : render::ResidualGraph());
        render::PlotMetrics m = engine.SetupMetrics(device, rect, paper);
        QCOMPARE((QList<int>{m.fontSmall, m.fontLarge, m.titleGap, m.markerRadius}), fonts);
        QCOMPARE(m.plotHeight, plotHeight);
        QCOMPARE(m.plotTop, rect.top() + qRound(4 * unit));
        // The font's character cell is at most fontSmall device pixels, and its em at least 8 screen pixels.
        const QFont small = render::PlotFont(render::EmForCell(m.fontSmall));
        const QFontMetrics metrics(small, &device);
        const QFontMetricsF exact(small, &device);
        QVERIFY2(exact.ascent() + exact.descent() <= m.fontSmall && exact.height() >= m.fontSmall - 2,
                 qPrintable(QString::number(exact.height())));
        QVERIFY(small.pixelSize() >= 8 * unit);
        const int hashes = metrics.horizontalAdvance(QStringLiteral("#######"));
        QCOMPARE(m.plotWidth, rect.width() - hashes - qRound((regression ? 55 : 90) * unit));
        QCOMPARE(m.plotLeft, rect.left() + metrics.horizontalAdvance(QStringLiteral(" ###.##")));

        // A title moves the plot down by its gap; labels take their room.
        const render::PlotMetrics plain = m;
        engine.SetTitle(QStringLiteral("Lote 7"));
        m = engine.SetupMetrics(device, rect, paper);
        QCOMPARE(m.plotTop, plain.plotTop + plain.titleGap);
        QCOMPARE(m.plotHeight, plain.plotHeight - plain.titleGap);
        engine.SetXLabel(QStringLiteral("mg"));
        engine.SetYLabel(QStringLiteral("mg"));
        m = engine.SetupMetrics(device, rect, paper);
        QCOMPARE(m.plotHeight, plain.plotHeight - plain.titleGap - plain.fontSmall);
        QCOMPARE(m.plotLeft, plain.plotLeft + 2 * plain.fontSmall);
        QCOMPARE(m.plotWidth, plain.plotWidth - metrics.horizontalAdvance(QStringLiteral("###.##")));
    }

    void curveStoreHoldsEveryObservationAFileMayHold()
    {
        PlotEngine engine(render::RegressionGraph());
        for (int i = 0; i < kMaxCurvePoints; ++i)
            QVERIFY(engine.AddPoint(1, i, i));
        QVERIFY(kMaxCurvePoints >= 150);
        QVERIFY(engine.notice().isEmpty());
        QVERIFY(!engine.AddPoint(1, 1000, 1000));
        QCOMPARE(engine.notice(), QStringLiteral("Limite de datos excedido"));
        QCOMPARE(engine.state().curves[0].pointCount(), kMaxCurvePoints);
        for (int curve : {0, 5}) {
            PlotEngine other(render::RegressionGraph());
            QVERIFY(!other.AddPoint(curve, 1, 1));
            QCOMPARE(other.notice(), QStringLiteral("Curva fuera de intervalo."));
            // Written on the next drawing, then gone.
            QVERIFY(drawnTexts(other, {491, 315}).contains(QStringLiteral("Curva fuera de intervalo.")));
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
        painted(engine);
        QCOMPARE(engine.state().requestedLimits.yMax, 47.0);
        QCOMPARE(engine.state().axisLimits.yMax, 50.0);
    }

    void resetEmptiesTheCurvesAndKeepsTheTexts()
    {
        PlotEngine engine(render::RegressionGraph());
        engine.SetTitle(QStringLiteral("Lote"));
        engine.AddPoint(3, 1, 2);
        engine.SetMarker(3, 7);
        engine.state().gridStyle = GridStyle::Strong;
        engine.ComputeLimits();
        engine.ResetPlot();
        QCOMPARE(engine.state().curves[2].pointCount(), 0);
        QCOMPARE(engine.state().curves[2].marker, MarkerCode(2));
        QCOMPARE(engine.state().curves[2].lineStyle, LineStyleCode(3));
        QCOMPARE(engine.state().gridStyle, GridStyle::None);
        QVERIFY(!engine.state().limitsComputed);
        QCOMPARE(engine.state().axisLimits, PlotLimits{});
        QCOMPARE(engine.state().title, QStringLiteral("Lote"));
    }

    void regressionGraphOfTheWorkedStudy()
    {
        PlotEngine engine(render::RegressionGraph());
        build(engine, render::Graph::Regression, testing_studies::inferenceStudy());
        // Curve 2 is the fitted line through the amounts added.
        QVERIFY(qAbs(engine.state().curves[1].points[0].y - (80 * 1.0066666667 - 0.5444444444)) < 1e-8);
        QCOMPARE(engine.state().curves[0].points[8].y, 121.0);
        QCOMPARE(engine.state().curves[0].marker, MarkerCode(4));
        QCOMPARE(engine.state().curves[0].lineStyle, LineStyleCode(0));
        QCOMPARE(engine.state().curves[1].marker, MarkerCode(1));
        const QStringList texts = drawnTexts(engine, {491, 315});
        QCOMPARE(engine.state().axisLimits, (PlotLimits{80, 120, 75, 125}));
        for (const char *line : {"Ostrevia", "Control de Calidad", "Linealidad del Método",
                                    "Y = 1.00667(X) + (-0.544444)", "Sx/y = 0.745356", "CVx/y = 0.744",
                                    "(r^2) = 0.998404", "Realizó _____________________", "Revisó _____________________"})
            QVERIFY2(texts.contains(QString::fromUtf8(line)), qPrintable(QString::fromUtf8(line) + " in " + texts.join('|')));
        QStringList expected = numbers({"75", "80", "85", "90", "95", "100", "105", "110", "115", "120", "125"});
        QStringList xLabels = numbers({"80", "85", "90", "95", "100", "105", "110", "115", "120"});
        // Y labels come after the X labels, each run in order.
        const int firstY = texts.lastIndexOf(QStringLiteral("120")) - 9;
        QCOMPARE(texts.mid(texts.indexOf(QStringLiteral("80")), 9), xLabels);
        QCOMPARE(texts.mid(firstY, 11), expected);
        // X labels run left to right under the axis, Y labels bottom to top beside it.
        const QList<DrawnText> placed = drawnTextsAt(engine, {491, 315});
        for (int i = 1; i < 9; ++i) {
            const int x = texts.indexOf(QStringLiteral("80")) + i;
            QVERIFY(placed[x].x > placed[x - 1].x && placed[x].y == placed[x - 1].y);
        }
        for (int i = 1; i < 11; ++i)
            QVERIFY(placed[firstY + i].y < placed[firstY + i - 1].y);
        QVERIFY(placed[firstY].y > placed[texts.indexOf(QStringLiteral("80"))].y - 20);

        // The printed page widens the limits of the screen once more.
        const QStringList printed = drawnTexts(engine, {6350, 4800}, true);
        QCOMPARE(engine.state().axisLimits, (PlotLimits{80, 120, 70, 125}));
        QVERIFY(printed.contains(QStringLiteral("70")));
    }

    void residualGraphOfTheWorkedStudy()
    {
        stats::StudyData study = testing_studies::anovaStudy();
        study.unitsText = "mg";
        PlotEngine engine(render::ResidualGraph());
        engine.SetXLabel(QStringLiteral("typed in the options"));
        build(engine, render::Graph::Residuals, study);
        QCOMPARE(engine.state().xLabel, QStringLiteral("mg"));
        QVERIFY(qAbs(engine.state().curves[0].points[1].y - -0.991313) < 1e-6);
        const QStringList texts = drawnTexts(engine, {491, 315});
        QCOMPARE(engine.state().axisLimits, (PlotLimits{1, 3, -2, 1.5}));
        QVERIFY(texts.contains(QStringLiteral("Análisis de Residuales")));
        QVERIFY(texts.contains(QStringLiteral("Realizó _________________________")));
        QVERIFY(!texts.join('|').contains(QStringLiteral("Sx/y")));
        const QStringList x = numbers({"1", "1.5", "2", "2.5", "3"});
        const QStringList y = numbers({"-2", "-1.5", "-1", "-0.5", "0", "0.5", "1", "1.5"});
        const int xAt = texts.indexOf(QStringLiteral("2.5")) - 3;
        QCOMPARE(texts.mid(xAt, 5), x);
        QCOMPARE(texts.mid(texts.indexOf(QStringLiteral("-2")), 8), y);
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
        const QImage image = painted(engine, {982, 630});
        const render::PlotMetrics m = engine.lastLayout().metrics;
        // The column of the X tick 85 (no point stands there) down the plot
        // area, clear of the axis and of the fitted line's crossing.
        const int px = m.plotLeft + qRound(5 * m.plotWidth / 40.0);
        // Rows where a text stands are left out: the grid gives way to it.
        int dark = 0, rows = 0;
        for (int y = m.plotTop; y < m.plotTop + m.plotHeight * 3 / 4; ++y) {
            const bool underText = std::any_of(engine.lastLayout().texts.begin(), engine.lastLayout().texts.end(),
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

    // For looking at: LINEALIDAD_SHOTS=dir saves both worked graphs, with a
    // title, labels and a grid, at the window's size and at twice that.
    void shots()
    {
        const QString dir = qEnvironmentVariable("LINEALIDAD_SHOTS");
        if (dir.isEmpty())
            QSKIP("LINEALIDAD_SHOTS not set");
        for (render::Graph graph : {render::Graph::Regression, render::Graph::Residuals}) {
            PlotEngine engine(render::KindOf(graph));
            engine.SetTitle(QStringLiteral("Valoración de paracetamol"));
            engine.SetYLabel(QStringLiteral("Recuperado"));
            engine.SetXLabel(QStringLiteral("mg adicionados"));
            stats::StudyData study = graph == render::Graph::Regression ? testing_studies::inferenceStudy()
                                                                        : testing_studies::anovaStudy();
            study.methodText = "Valoración";
            study.analystText = "Ana Pérez";
            study.dateText = "06/12/2026";
            build(engine, graph, study);
            engine.state().gridStyle = GridStyle::Light;
            const QString name = graph == render::Graph::Regression ? "regression" : "residuals";
            for (int scale : {1, 2}) {
                engine.state().limitsComputed = false;
                engine.state().axisLimits = {};
                painted(engine, QSize(491, 315) * scale).save(dir + "/" + name + QString::number(scale) + ".png");
            }
        }
    }

    void paintingFillsTheSurfaceWithABorder()
    {
        PlotEngine engine(render::ResidualGraph());
        build(engine, render::Graph::Residuals, testing_studies::anovaStudy());
        const QImage image = painted(engine, {300, 200});
        QCOMPARE(qGray(image.pixel(0, 100)), 0);
        QCOMPARE(qGray(image.pixel(299, 100)), 0);
        QCOMPARE(qGray(image.pixel(150, 199)), 0);
        QCOMPARE(qGray(image.pixel(2, 2)), 255);
    }
};

QTEST_MAIN(PlotEngineTest)
#include "plotengine_test.moc"
