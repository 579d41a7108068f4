// What a graph puts on its surface, recorded as it is painted: every text
// reads and stands apart, and nothing hides an observation, a fitted point
// or the line, on screen at every size and on the printed page.
#include "render/graphbuild.h"
#include "render/plotengine.h"
#include "stats/numberformat.h"
#include "support/recordingdevice.h"
#include "support/studies.h"

#include <QImage>
#include <QPen>
#include <QtTest>

using render::PlotEngine;

namespace {

// A study drawn from a rule: `levels` amounts from `start` by `step`, each
// with `replicates` recoveries on the line a + b x, scattered by `noise`
// (relative to the step) with a fixed pseudo-random sequence.
struct Generated {
    const char *name;
    int levels, replicates;
    double start, step, a, b, noise;
};

stats::StudyData generate(const Generated &g, bool longTexts)
{
    std::vector<std::string> replicates, x, y;
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return ((seed >> 16) & 0x7fff) / 32767.0 - 0.5;
    };
    auto text = [](double v) { return QString::number(v, 'g', 12).toStdString(); };
    for (int level = 0; level < g.levels; ++level) {
        replicates.push_back(std::to_string(g.replicates));
        const double amount = g.start + level * g.step;
        for (int i = 0; i < g.replicates; ++i) {
            x.push_back(text(amount));
            y.push_back(text(g.a + g.b * amount + next() * g.noise * std::fabs(g.step * g.b)));
        }
    }
    stats::StudyData study = testing_studies::makeStudy(replicates, x, y);
    if (longTexts) {
        study.methodText = "Valoración de ácido acetilsalicílico ÑÚ"; // 40 characters
        study.analystText = "María José Peñaloza Íñiguez de Azcárate";
    } else {
        study.methodText = "Paracetamol";
        study.analystText = "Ana";
    }
    study.dateText = "06/12/2026";
    study.unitsText = "µg/mL";
    return study;
}

const Generated kStudies[] = {
    {"3 levels of 1", 3, 1, 80, 20, -0.5, 1.0, 0.3},
    {"4 levels of 3", 4, 3, 10, 10, 0.2, 0.98, 0.4},
    {"5 levels of 5", 5, 5, 50, 25, 1, 1.01, 0.5},
    {"3 levels of 2, negative amounts", 3, 2, -30, 15, 0, 1, 0.3},
    {"4 levels of 2, micrograms", 4, 2, 1e-6, 1e-6, 0, 1, 0.2},
    {"5 levels of 4, billions", 5, 4, 1e9, 5e8, 2e7, 0.99, 0.3},
    {"negative slope", 5, 3, 10, 10, 120, -1.0, 0.3},
    {"residual at a corner", 3, 5, 0.45, 0.15, 0, 1, 0.6},
};

struct Drawn {
    QRectF rect;
    QString text;
    double em = 0;
};

QString describe(const Drawn &t) { return QStringLiteral("\"%1\" at %2,%3 %4x%5").arg(t.text).arg(t.rect.x()).arg(t.rect.y()).arg(t.rect.width()).arg(t.rect.height()); }

bool lineMeets(const QLineF &line, const QRectF &r)
{
    // Sampled finely enough for device pixels.
    const int steps = std::max(1, int(line.length()));
    for (int i = 0; i <= steps; ++i)
        if (r.contains(line.pointAt(double(i) / steps)))
            return true;
    return false;
}

// Everything wrong with one recorded drawing on `surface` (inside its
// one-pixel border on screen).
QStringList faults(const RecordedPage &page, const QRectF &surface, bool screen, double dpi)
{
    QStringList found;
    std::vector<Drawn> texts;
    for (const RecordedText &t : page.texts)
        texts.push_back({QRectF(t.baseline.x(), t.baseline.y() - t.ascent, t.width, t.ascent + t.descent), t.text,
                         t.pointSize * dpi / 72.0});
    const QRectF inside = screen ? surface.adjusted(1, 1, -1, -1) : surface;
    std::vector<QRectF> markers;
    for (const QRectF &shape : page.shapes)
        if (!(screen && shape.width() >= surface.width() - 2)) // not the background and its border
            markers.push_back(shape);
    const double unit = screen ? 1 : dpi / 96;
    for (size_t i = 0; i < texts.size(); ++i) {
        const Drawn &t = texts[i];
        if (!inside.contains(t.rect))
            found << "outside the surface: " + describe(t);
        if (t.em < 8 * unit - 0.01)
            found << QStringLiteral("em %1: ").arg(t.em) + describe(t);
        for (size_t j = i + 1; j < texts.size(); ++j)
            if (t.rect.intersects(texts[j].rect))
                found << "over each other: " + describe(t) + " and " + describe(texts[j]);
        for (size_t k = 0; k < page.lines.size(); ++k) {
            const double half = page.lineWidths[k] / 2;
            if (lineMeets(page.lines[k], t.rect.adjusted(-half, -half, half, half)))
                found << QStringLiteral("a line (%1,%2)-(%3,%4) crosses ")
                                 .arg(page.lines[k].x1()).arg(page.lines[k].y1()).arg(page.lines[k].x2()).arg(page.lines[k].y2()) +
                             describe(t);
        }
        for (const QRectF &shape : markers)
            if (shape.intersects(t.rect))
                found << QStringLiteral("a marker at %1,%2 under ").arg(shape.center().x()).arg(shape.center().y()) +
                             describe(t);
    }
    for (const QRectF &shape : markers) {
        if (shape.width() < 4 * unit + 1)
            found << QStringLiteral("marker of %1 pixels").arg(shape.width());
        if (!inside.contains(shape))
            found << QStringLiteral("marker cut at %1,%2").arg(shape.center().x()).arg(shape.center().y());
    }
    return found;
}

void fill(PlotEngine &engine, render::Graph graph, const stats::StudyData &study, bool quadratic = false)
{
    const stats::CommandOutcome outcome = render::ComputeGraph(graph, stats::Analyze(study, {}));
    QVERIFY2(!outcome.refused(), outcome.lines.empty() ? "refused" : outcome.lines.front().c_str());
    render::FillGraph(engine, outcome, study, '.', quadratic);
}

// A study whose recoveries bend away from the line.
stats::StudyData curvedStudy()
{
    std::vector<std::string> replicates, x, y;
    for (int level = 0; level < 5; ++level) {
        replicates.push_back("3");
        for (int i = 0; i < 3; ++i) {
            const double amount = 50 + 25 * level;
            x.push_back(QString::number(amount).toStdString());
            y.push_back(QString::number(amount + 0.004 * (amount - 100) * (amount - 100) + 0.3 * (i - 1), 'f', 2).toStdString());
        }
    }
    stats::StudyData study = testing_studies::makeStudy(replicates, x, y);
    study.methodText = "Paracetamol";
    study.analystText = "Ana";
    study.dateText = "06/12/2026";
    study.unitsText = "mg";
    return study;
}

// The screen drawings and the printed page of `engine`, recorded, each
// with the surface it was drawn on.
std::vector<std::pair<RecordedPage, QRectF>> drawings(PlotEngine &engine)
{
    std::vector<std::pair<RecordedPage, QRectF>> all;
    for (const QSize size : {QSize(491, 315), QSize(982, 630), QSize(1920, 1080)}) {
        RecordingDevice screen(96, QSizeF(size) / 96);
        {
            QPainter painter(&screen);
            engine.PaintPlot(painter, size);
        }
        all.emplace_back(screen.pages().front(), QRectF(QPointF(0, 0), size));
    }
    RecordingDevice paper(600, QSizeF(10.5, 8));
    const QSize page(paper.width(), paper.height());
    {
        QPainter painter(&paper);
        engine.PrintPlot(painter, page);
    }
    all.emplace_back(paper.pages().front(), QRectF(engine.printRect(page, 600)));
    return all;
}

} // namespace

class GraphLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void everyTextReadsAndNothingHidesTheData_data()
    {
        QTest::addColumn<int>("study");
        QTest::addColumn<bool>("residuals");
        QTest::addColumn<int>("grid");
        QTest::addColumn<bool>("texts");
        QTest::addColumn<bool>("quadratic");
        for (int s = 0; s < int(std::size(kStudies)); ++s)
            for (bool residuals : {false, true})
                for (int grid = 0; grid < 4; ++grid) {
                    const bool texts = (s + grid) % 2 == 0;
                    const bool quadratic = !residuals && grid % 2 == 1; // the curve and its legend line
                    QTest::addRow("%s, %s, grid %d%s%s", kStudies[s].name, residuals ? "residuals" : "regression", grid,
                                  texts ? ", title and labels" : "", quadratic ? ", quadratic curve" : "")
                        << s << residuals << grid << texts << quadratic;
                }
    }
    void everyTextReadsAndNothingHidesTheData()
    {
        QFETCH(int, study);
        QFETCH(bool, residuals);
        QFETCH(int, grid);
        QFETCH(bool, texts);
        QFETCH(bool, quadratic);
        const render::Graph graph = residuals ? render::Graph::Residuals : render::Graph::Regression;
        PlotEngine engine(render::KindOf(graph));
        if (texts) {
            engine.SetTitle(QStringLiteral("Valoración de ácido acetilsalicílico, lote 2026-117"));
            engine.SetXLabel(QStringLiteral("mg adicionados por matraz"));
            engine.SetYLabel(QStringLiteral("mg recuperados"));
        }
        fill(engine, graph, generate(kStudies[study], texts), quadratic);
        engine.state().gridStyle = static_cast<GridStyle>(grid);
        QStringList all;
        for (const QSize size : {QSize(491, 315), QSize(982, 630), QSize(1473, 945), QSize(1920, 1080)}) {
            RecordingDevice screen(96, QSizeF(size) / 96);
            {
                QPainter painter(&screen);
                engine.PaintPlot(painter, size);
            }
            for (const QString &f : faults(screen.pages().front(), QRectF(QPointF(0, 0), size), true, 96))
                all << QStringLiteral("%1x%2: ").arg(size.width()).arg(size.height()) + f;
        }
        // The printed page: letter paper in landscape, at 600 dpi.
        RecordingDevice paper(600, QSizeF(10.5, 8));
        const QSize page(paper.width(), paper.height());
        {
            QPainter painter(&paper);
            engine.PrintPlot(painter, page);
        }
        for (const QString &f : faults(paper.pages().front(), engine.printRect(page, 600), false, 600))
            all << "page: " + f;
        all.removeDuplicates();
        QVERIFY2(all.isEmpty(), qPrintable(all.mid(0, 12).join('\n')));
    }

    // The quadratic curve beside the line is told from it: drawn in a colour
    // and with dashes of its own, on screen and on paper, and named by a
    // legend line that gives its equation after a stroke of its pen.
    void theQuadraticCurveIsToldFromTheLine()
    {
        const stats::StudyData study = curvedStudy();
        const stats::StudyAnalysis analysis = stats::Analyze(study, {});
        QVERIFY(analysis.quadratic().value && !analysis.quadratic().value->notFitted);
        const stats::QuadraticResult &q = *analysis.quadratic().value;
        auto f = [](const stats::Real &v) { return QString::fromStdString(stats::FormatGeneral(v, 6, '.')); };
        const QString equation =
            QStringLiteral("Cuadrática: Y = %1(X²) + %2(X) + (%3)").arg(f(q.c2), f(q.c1), f(q.c0));
        PlotEngine engine(render::RegressionGraph());
        fill(engine, render::Graph::Regression, study, true);
        for (const auto &[page, surface] : drawings(engine)) {
            const QString where = QStringLiteral("%1x%2: ").arg(surface.width()).arg(surface.height());
            QStringList all = faults(page, surface, surface.x() == 0, surface.x() == 0 ? 96 : 600);
            QVERIFY2(all.isEmpty(), qPrintable(where + all.mid(0, 12).join('\n')));
            // The line and the axes in black, solid; the curve in its own pen.
            std::vector<size_t> curve;
            for (size_t i = 0; i < page.lines.size(); ++i)
                if (page.linePens[i].color() != Qt::black || page.linePens[i].style() != Qt::SolidLine)
                    curve.push_back(i);
            QVERIFY2(curve.size() > 10, qPrintable(where + QString::number(curve.size()) + " lines unlike the line's"));
            const QPen pen = page.linePens[curve.front()];
            QVERIFY2(pen.color() != Qt::black && pen.style() != Qt::SolidLine, qPrintable(where + pen.color().name()));
            for (const size_t i : curve)
                QVERIFY2(page.linePens[i].color() == pen.color() && page.linePens[i].style() == pen.style(), qPrintable(where));
            // The legend line, in the curve's colour, after a stroke of its pen
            // that stands level with it and ends just before it.
            const auto named = std::find_if(page.texts.begin(), page.texts.end(),
                                            [&](const RecordedText &t) { return t.text == equation; });
            QVERIFY2(named != page.texts.end(), qPrintable(where + "no «" + equation + "»"));
            const QRectF cell(named->baseline.x(), named->baseline.y() - named->ascent, named->width,
                              named->ascent + named->descent);
            const bool keyed = std::any_of(curve.begin(), curve.end(), [&](size_t i) {
                const QLineF &l = page.lines[i];
                return l.y1() == l.y2() && l.y1() > cell.top() && l.y1() < cell.bottom() &&
                       std::max(l.x1(), l.x2()) < cell.left() && std::max(l.x1(), l.x2()) > cell.left() - 2 * cell.height() &&
                       std::fabs(l.x2() - l.x1()) >= cell.height();
            });
            QVERIFY2(keyed, qPrintable(where + "no stroke before «" + equation + "»"));
        }
        // Without the curve, neither the curve nor its legend line.
        fill(engine, render::Graph::Regression, study, false);
        for (const auto &[page, surface] : drawings(engine)) {
            for (const QPen &pen : page.linePens)
                QVERIFY(pen.color() == Qt::black);
            QVERIFY(std::none_of(page.texts.begin(), page.texts.end(),
                                 [](const RecordedText &t) { return t.text.startsWith(QStringLiteral("Cuadrática")); }));
        }
    }

    // The same drawing in inches at every printer resolution.
    void thePageIsTheSameInInchesAtEveryResolution()
    {
        PlotEngine engine(render::RegressionGraph());
        fill(engine, render::Graph::Regression, testing_studies::inferenceStudy());
        engine.state().gridStyle = GridStyle::Strong;
        // Where each text, the plot and a marker stand, in inches.
        std::vector<std::vector<double>> pages;
        for (int dpi : {300, 600, 1200}) {
            RecordingDevice paper(dpi, QSizeF(11, 8.5));
            QPainter painter(&paper);
            const render::GraphLayout g = engine.PrintPlot(painter, QSize(paper.width(), paper.height()));
            QVERIFY(g.lineWidth >= dpi / 300.0 - 0.01);
            for (const render::LaidLine &line : g.lines)
                if (line.kind == render::LineKind::Tick)
                    QCOMPARE(line.line.dx() + line.line.dy(), dpi / 20);
            std::vector<double> inches;
            for (const render::LaidText &t : g.texts)
                inches.insert(inches.end(), {t.rect.x() / double(dpi), t.rect.y() / double(dpi), t.rect.width() / double(dpi)});
            const render::PlotMetrics &m = g.metrics;
            for (int v : {m.plotLeft, m.plotTop, m.plotWidth, m.plotHeight, g.markers.front().radius * 10})
                inches.push_back(v / double(dpi));
            pages.push_back(inches);
        }
        for (const std::vector<double> &other : {pages[0], pages[2]}) {
            QCOMPARE(other.size(), pages[1].size());
            for (size_t i = 0; i < other.size(); ++i)
                QVERIFY2(std::fabs(other[i] - pages[1][i]) < 0.08, qPrintable(QString::number(i)));
        }
    }
};

QTEST_MAIN(GraphLayoutTest)
#include "graphlayout_test.moc"
