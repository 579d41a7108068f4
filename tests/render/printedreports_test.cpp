// The three printed pages, drawn on a recording device and read back with
// their positions: what a page keeps from the study before, texts that never
// overlap or leave the page, the same layout in inches at any resolution.
// The worked studies' pages (long statistics, 25 and 40 observations, 20
// levels among them) are compared whole with their reviewed copies
// (tests/golden).
#include "render/pageflow.h"
#include "render/printedreports.h"
#include "stats/numberformat.h"
#include "stats/studyfile.h"
#include "support/recordingdevice.h"
#include "support/studies.h"

#include <QtTest>

#include <algorithm>

using render::PrintedReport;
using render::EvaluationPage;
using testing_studies::makeStudy;

namespace {

constexpr double kLetterPrintable[] = {8.0, 10.5};
constexpr double kA4Printable[] = {7.87, 11.29};

// Where a text stands, in the units of the page: L = 1/6 inch, W = 1/50 inch.
struct Seen {
    QString text;
    double line;   // top of the text, in lines
    double column; // start, in columns
    double end;    // end, in columns
    double points;
};

struct Rendered {
    std::vector<std::vector<Seen>> pages;
    std::vector<std::vector<QLineF>> rules; // in inches
    double pageColumns = 0;                 // page width in columns
    std::vector<RecordedPage> raw;
    double dpi = 0;
};

Rendered drawn(PrintedReport report, const stats::StudyTexts &study, double dpi = 600,
                const double (&inches)[2] = kA4Printable)
{
    const render::PreparedReport prepared = render::PrepareReport(report, stats::Analyze(study, {}));
    if (prepared.refused())
        qFatal("the study was refused");
    RecordingDevice device(dpi, QSizeF(inches[0], inches[1]));
    {
        QPainter painter(&device);
        render::DrawReportPages(painter, prepared.pages, [&device] { return device.newPage(); });
    }
    Rendered r;
    r.dpi = dpi;
    r.raw = device.pages();
    const double line = dpi / 6, column = dpi / 50;
    r.pageColumns = device.width() / column;
    for (const RecordedPage &page : device.pages()) {
        std::vector<Seen> seen;
        for (const RecordedText &t : page.texts)
            seen.push_back({t.text, (t.baseline.y() - t.ascent) / line, t.baseline.x() / column,
                            (t.baseline.x() + t.width) / column, t.pointSize});
        std::stable_sort(seen.begin(), seen.end(), [](const Seen &a, const Seen &b) {
            return std::round(a.line) != std::round(b.line) ? a.line < b.line : a.column < b.column;
        });
        r.pages.push_back(seen);
        std::vector<QLineF> rules;
        for (const QLineF &l : page.lines)
            rules.push_back(QLineF(l.p1() / dpi, l.p2() / dpi));
        r.rules.push_back(rules);
    }
    return r;
}

// No two texts share any point, and every text is inside the page. The body
// (Arial 10) keeps whole text boxes apart; the header's two lines of Arial 12,
// taller than the line unit, keep their glyphs apart.
void expectNoOverlap(const Rendered &r)
{
    const double pageWidth = r.pageColumns * r.dpi / 50;
    for (const RecordedPage &page : r.raw) {
        std::vector<std::pair<QRectF, QRectF>> seen;
        for (const RecordedText &t : page.texts) {
            const QRectF box(t.baseline.x(), t.baseline.y() - t.ascent, t.width, t.ascent + t.descent);
            QVERIFY2(box.left() >= 0 && box.right() <= pageWidth + 0.5, qPrintable(t.text));
            for (const auto &[otherBox, otherInk] : seen) {
                QVERIFY2(!t.ink.intersects(otherInk), qPrintable(t.text));
                if (t.pointSize == 10)
                    QVERIFY2(!box.intersects(otherBox), qPrintable(t.text));
            }
            seen.emplace_back(t.pointSize == 10 ? box : QRectF(), t.ink);
        }
    }
}

QStringList textsOnLine(const Rendered &r, int page, int line)
{
    QStringList texts;
    for (const Seen &s : r.pages[size_t(page)])
        if (std::lround(s.line) == line)
            texts << s.text;
    return texts;
}

stats::StudyData named(stats::StudyData s)
{
    s.methodText = "Valoración de ácido cítrico";
    s.analystText = "M. Ñúñez";
    s.dateText = "12/03/2024";
    s.unitsText = "mg/mL";
    return s;
}

// Five levels of five replicates.
stats::StudyData fullStudy(int replicates = 5)
{
    std::vector<std::string> counts, x, y;
    for (int level = 1; level <= 5; ++level) {
        counts.push_back(std::to_string(replicates));
        for (int r = 0; r < replicates; ++r) {
            x.push_back(std::to_string(level * 20));
            y.push_back(std::to_string(level * 20) + "." + std::to_string((level * 7 + r * 3) % 10));
        }
    }
    return named(makeStudy(counts, x, y));
}

// Five levels of three replicates whose spread grows with the amount: the
// variance is not constant and a weighting is recommended.
stats::StudyData growingSpread()
{
    return makeStudy({"3", "3", "3", "3", "3"},
                     {"1", "1", "1", "5", "5", "5", "10", "10", "10", "50", "50", "50", "100", "100", "100"},
                     {"1.02", "0.99", "1.01", "5.10", "4.93", "5.04", "10.21", "9.85", "10.08", "51.3", "48.6", "50.9",
                      "103.8", "96.9", "101.2"});
}

// The most observations a file holds: twenty levels, the first five of nine replicates.
stats::StudyData mostObservations()
{
    std::vector<std::string> counts(20, "7"), x, y;
    counts[0] = counts[1] = counts[2] = counts[3] = counts[4] = "9";
    for (int level = 1, i = 0; level <= 20; ++level)
        for (int r = 0; r < std::stoi(counts[size_t(level - 1)]); ++r, ++i) {
            x.push_back(std::to_string(level * 10));
            y.push_back(std::to_string(level * 10) + "." + std::to_string(100 + i * 37 % 900));
        }
    return makeStudy(counts, x, y);
}

// Criteria with a T and limits whose texts are as long as six digits make them.
stats::CriteriaOptions longLimits()
{
    stats::CriteriaOptions options;
    options.target = stats::Rational(7, 3);
    options.limits.rangeLowPercent = 12.3456789;
    options.limits.rangeHighPercent = 1.23456789e15;
    options.limits.minR = 0.000123456789;
    options.limits.maxInterceptPercent = 1.23456789e-7;
    options.limits.maxLevelBias = 1.23456789e-7;
    options.limits.maxResponseFactorRsd = 123456789;
    options.limits.minLackOfFitP = 0.987654321;
    options.limits.minMandelP = 1.23456789e-7;
    return options;
}

// Where each body text of `pages` asks to stand on its line, before the
// drawing moves anything aside: no two texts of a line overlap (a table's
// figure may follow a longer one to its left, as the drawing places it), and
// no text lies below the body's last line. What does not hold goes to `faults`.
void textsApart(const std::vector<render::PageBody> &pages, const QString &what, QStringList &faults)
{
    RecordingDevice device(600, QSizeF(kA4Printable[0], kA4Printable[1]));
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(83); // 10 points at 600 dpi
    const QFontMetricsF metrics(font, &device);
    const double pageWidth = kA4Printable[0] * 600, column = 12;
    auto span = [&](const render::PageText &t) {
        const double width = metrics.horizontalAdvance(t.text);
        const double x = t.column == render::PageText::kCentred        ? std::trunc((pageWidth - width) / 2)
                         : t.column == render::PageText::kRightAligned ? pageWidth - width
                                                                       : t.column * column;
        return std::pair(x, x + width);
    };
    for (size_t p = 0; p < pages.size(); ++p)
        for (const render::PageText &a : pages[p]) {
            const QString where = QStringLiteral("%1, página %2, línea %3: «%4»").arg(what).arg(p + 1).arg(a.line).arg(a.text);
            if (a.line < 1 || a.line > render::kLastBodyLine)
                faults << where;
            for (const render::PageText &b : pages[p]) {
                if (&a == &b || a.line != b.line || a.text.isEmpty() || b.text.isEmpty())
                    continue;
                const auto [aStart, aEnd] = span(a);
                const auto [bStart, bEnd] = span(b);
                const bool apart = aEnd <= bStart || bEnd <= aStart || (aStart > bStart && a.followsLeft);
                if (!apart && !(bStart > aStart && b.followsLeft))
                    faults << where + " y «" + b.text + "»";
            }
        }
}

} // namespace

class PrintedReportsTest : public QObject {
    Q_OBJECT

private slots:
    void generalInformationNeedsOnlyAWholeLevelCount()
    {
        // An incomplete study prints as it stands: the empty cells print nothing.
        stats::StudyData incomplete = named(testing_studies::inferenceStudy());
        incomplete.dataGrid[4][2] = "";
        incomplete.replicateGrid[2][1] = "";
        const Rendered r = drawn(PrintedReport::GeneralInformation, incomplete);
        QCOMPARE(textsOnLine(r, 0, 21), (QStringList{" # Replicas", "3", "3"}));
        QCOMPARE(textsOnLine(r, 0, 29), (QStringList{QString::fromStdString(stats::DataLevelLabel(2)), "100"}));

        // The level count limits the replicate columns printed.
        stats::StudyData fewer = incomplete;
        fewer.levelsText = "2";
        QCOMPARE(textsOnLine(drawn(PrintedReport::GeneralInformation, fewer), 0, 20),
                 (QStringList{"     Nivel", "           1", "           2"}));
        // (one that is not a whole number stops the page: printoptionswindow_test.cpp)
    }

    void withoutReplicatesNoLackOfFitRowsNorModelLines()
    {
        const Rendered r = drawn(PrintedReport::InferenceAndAnova,
                                  named(makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"1.1", "1.9", "3.2"})));
        for (int line : {32, 33, 36, 37})
            QVERIFY2(textsOnLine(r, 0, line).isEmpty(), qPrintable(QString::number(line)));
        QCOMPARE(textsOnLine(r, 0, 31).value(0), QStringLiteral("Error de Regresión"));
        QCOMPARE(textsOnLine(r, 0, 35).size(), 1);
    }

    void theLayoutIsTheSameInInchesAtAnyResolution()
    {
        const stats::StudyData study = fullStudy();
        for (PrintedReport report : {PrintedReport::GeneralInformation, PrintedReport::InferenceAndAnova,
                                     PrintedReport::ErrorAndResiduals, EvaluationPage("criteria")}) {
            const Rendered at600 = drawn(report, study, 600);
            const Rendered at1200 = drawn(report, study, 1200);
            QCOMPARE(at600.pages[0].size(), at1200.pages[0].size());
            for (size_t i = 0; i < at600.pages[0].size(); ++i) {
                const Seen &a = at600.pages[0][i], &b = at1200.pages[0][i];
                QCOMPARE(a.text, b.text);
                QVERIFY2(std::abs(a.line - b.line) < 0.01 && std::abs(a.column - b.column) < 0.01 &&
                             std::abs(a.end - b.end) < 0.01,
                         qPrintable(a.text));
            }
            QCOMPARE(at600.rules, at1200.rules);
            // The header rule 20 design pixels below line 7, the footer rule
            // on line 59, both across the page.
            QCOMPARE(at600.rules[0], (std::vector<QLineF>{
                                         QLineF(0, 7.0 / 6 + 20.0 / 600, kA4Printable[0], 7.0 / 6 + 20.0 / 600),
                                         QLineF(0, 59.0 / 6, kA4Printable[0], 59.0 / 6)}));
            // A coarse printer on Letter paper keeps it all on the page too,
            // and so do the pages of 40 observations, of 20 levels and of a
            // lack-of-fit statistic long enough to reach its probability.
            expectNoOverlap(drawn(report, study, 300, kLetterPrintable));
            expectNoOverlap(drawn(report, fullStudy(8)));
        }
        std::vector<std::string> counts(20, "1"), x;
        for (int i = 1; i <= 20; ++i)
            x.push_back(std::to_string(i));
        expectNoOverlap(drawn(PrintedReport::GeneralInformation, named(makeStudy(counts, x, x))));
        expectNoOverlap(drawn(PrintedReport::InferenceAndAnova,
                              named(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                                              {"0.5", "1.5", "1.5", "2.5", "2.52", "3.52"}))));
    }

    // The inversion interval is unbounded where t² s²/(b² Sxx) is 1 or more,
    // and the samples page warns of it then and only then. On x = 1 to 5,
    // y = 1.0, 2.9, 2.2, 4.6, 4.4 (exact fractions, t from mpmath's inverse
    // incomplete beta): g = 0.496468 at 90 %, 0.907896 at 95 %, 3.05826 at
    // 99 % and 14.9729 at 99.9 %.
    void theSamplesPageWarnsOfAnUnboundedInversionIntervalExactlyWhenItIs()
    {
        const stats::StudyData study =
            named(makeStudy({"1", "1", "1", "1", "1"}, {"1", "2", "3", "4", "5"}, {"1.0", "2.9", "2.2", "4.6", "4.4"}));
        const struct {
            stats::Rational confidence;
            bool unbounded;
        } cases[] = {{stats::Rational(9, 10), false},
                     {stats::Rational(19, 20), false},
                     {stats::Rational(99, 100), true},
                     {stats::Rational(999, 1000), true}};
        for (const auto &c : cases) {
            const render::PreparedReport prepared = render::PrepareReport(
                EvaluationPage("samples"),
                stats::Analyze(study, {.samples = std::vector<stats::Sample>{{"A", {stats::Rational(3)}}},
                                       .confidence = c.confidence}));
            QVERIFY(!prepared.refused());
            bool warned = false, unboundedCell = false;
            for (const render::PageBody &page : prepared.pages)
                for (const render::PageText &t : page) {
                    warned |= t.text.startsWith(QStringLiteral("INTERVALO POR INVERSIÓN NO ACOTADO"));
                    unboundedCell |= t.text == QStringLiteral("NO ACOTADO");
                }
            const QString what = QString::fromStdString(stats::FormatGeneral(stats::Real(c.confidence), 6, '.'));
            QVERIFY2(warned == c.unbounded, qPrintable(what));
            QVERIFY2(unboundedCell == c.unbounded, qPrintable(what));
        }
    }

    // Every sample typed is on the samples page in its place; one that could
    // not be read with its name in the table and its reason below it.
    void theSamplesPageListsTheUnreadSamplesInTheirPlaces()
    {
        const render::PreparedReport prepared = render::PrepareReport(
            EvaluationPage("samples"),
            stats::Analyze(fullStudy(), {.samples = std::vector<stats::Sample>{{"A", {stats::Rational(41)}},
                                                                                {"C", {stats::Rational(62)}}},
                                         .unreadSamples = {{0, "Z", "primero"}, {1, "B", "entre"}, {2, "D", "al final"}}}));
        QCOMPARE(prepared.pages.size(), size_t(1));
        QStringList names, reasons;
        for (const render::PageText &t : prepared.pages[0]) {
            if (t.column == 30 && t.text.size() == 1)
                names << t.text;
            if (t.text.contains(QStringLiteral(": NO SE PUDO CALCULAR: ")))
                reasons << t.text;
        }
        QCOMPARE(names, (QStringList{"Z", "A", "B", "C", "D"}));
        QCOMPARE(reasons, (QStringList{"Z: NO SE PUDO CALCULAR: primero", "B: NO SE PUDO CALCULAR: entre",
                                       "D: NO SE PUDO CALCULAR: al final"}));
    }

    void aBlockThatDoesNotFitMovesWholeAndATableRepeatsItsHeading()
    {
        // A body of six lines (10 to 15), each page finished with a mark below it.
        render::PageFlow flow(10, 15, [](render::PageBody &body) { body.push_back({16, 0, QStringLiteral("pie")}); });
        flow.add(render::TextBlock({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 30));
        std::vector<std::vector<QString>> rows = {{QStringLiteral("x"), QStringLiteral("y")}};
        for (int i = 1; i <= 5; ++i)
            rows.push_back({QString::number(i), QString::number(10 * i)});
        flow.add(render::TableBlock(QStringLiteral("T"), rows, {30, 60}, 1)); // title, blank, heading, 5 rows
        flow.add(render::TextBlock({QStringLiteral("z")}, 30, 2));
        flow.add(render::TextBlock({QStringLiteral("w")}, 30, 1));
        QStringList laid;
        const std::vector<render::PageBody> pages = flow.pages();
        for (size_t p = 0; p < pages.size(); ++p)
            for (const render::PageText &t : pages[p])
                laid << QStringLiteral("%1:%2:%3").arg(p + 1).arg(t.line).arg(t.text);
        // The table does not fit under "c" with its title, heading and first
        // row: all of it moves; its heading comes again over the rows that
        // go on; a gap is kept between blocks but never at a page's top.
        const QStringList expected = {
            "1:10:a", "1:11:b", "1:12:c", "1:16:pie",
            "2:10:T", "2:12:x", "2:12:y", "2:13:1", "2:13:10", "2:14:2", "2:14:20", "2:15:3", "2:15:30", "2:16:pie",
            "3:10:x", "3:10:y", "3:11:4", "3:11:40", "3:12:5", "3:12:50", "3:15:z", "3:16:pie",
            "4:10:w", "4:16:pie"};
        QCOMPARE(laid, expected);
    }

    // Every text of every kind of page stays inside the page's margins, on
    // A4 and on Letter with the quarter-inch margins of the printers' page:
    // the body from column 28, where its first texts start, to the right edge
    // of the printable area (where the footer ends), the header and the
    // footer inside the printable area, and nothing squeezed to fit. Every
    // study of the test data, one of growing spread (a long verdict of the
    // variance), the most observations a file holds, criteria with long
    // limits and samples, one of them unread.
    void everyTextOfEveryPageLiesInsideTheMargins()
    {
        std::vector<std::pair<QString, stats::StudyData>> studies;
        for (const QFileInfo &file : QDir(QStringLiteral(TEST_DATA_DIR)).entryInfoList({"*.w04"})) {
            QFile in(file.filePath());
            QVERIFY(in.open(QIODevice::ReadOnly));
            studies.emplace_back(file.fileName(), named(stats::StudyFromFile(stats::ParseStudyFile(in.readAll().toStdString()))));
        }
        studies.emplace_back(QStringLiteral("varianza creciente"), named(growingSpread()));
        studies.emplace_back(QStringLiteral("150 observaciones"), named(mostObservations()));
        stats::AnalysisOptions options;
        options.criteria = longLimits();
        options.samples = std::vector<stats::Sample>{{"Lote 2026-117", {stats::Rational(1), stats::Rational(2)}},
                                                     {"B", {stats::Rational(-5)}}};
        options.unreadSamples = {{1, "Lote 2026-118", "'1,2,3' is not a valid floating point value"}};
        const double margin = 28.0 / 50; // inches
        QStringList faults;
        for (const auto &paper : {std::pair(QStringLiteral("A4"), QSizeF(8.27 - 0.5, 11.69 - 0.5)),
                                  std::pair(QStringLiteral("Letter"), QSizeF(8.0, 10.5))})
            for (const auto &[name, study] : studies)
                for (const render::PrintedPage &kind : render::PrintedPages()) {
                    const render::PreparedReport prepared = render::PrepareReport(kind.report, stats::Analyze(study, options));
                    if (prepared.refused())
                        continue;
                    const double dpi = 600;
                    RecordingDevice device(dpi, paper.second);
                    {
                        QPainter painter(&device);
                        render::DrawReportPages(painter, prepared.pages, [&device] { return device.newPage(); });
                    }
                    for (size_t p = 0; p < device.pages().size(); ++p)
                        for (const RecordedText &t : device.pages()[p].texts) {
                            const double left = t.baseline.x() / dpi, right = (t.baseline.x() + t.width) / dpi;
                            const double line = (t.baseline.y() - t.ascent) / (dpi / 6);
                            const bool body = line > 7.5 && line < 55.5;
                            const double from = body ? margin : 0, to = paper.second.width();
                            // Its width unsqueezed, as the page measures it: in 7200ths of an inch.
                            QFont font(QStringLiteral("Arial"));
                            font.setPixelSize(int(std::lround(t.pointSize * 100)));
                            const double natural = QFontMetricsF(font).horizontalAdvance(t.text) / 7200;
                            if (left < from - 1e-3 || right > to + 1e-3 || t.width / dpi < natural * 0.99)
                                faults << QStringLiteral("%1, %2, %3, página %4: %5 a %6 de %7 pulgadas (sin comprimir %8): «%9»")
                                              .arg(paper.first, name, kind.name).arg(p + 1).arg(left, 0, 'f', 2)
                                              .arg(right, 0, 'f', 2).arg(paper.second.width(), 0, 'f', 2)
                                              .arg(left + natural, 0, 'f', 2).arg(t.text);
                        }
                }
        for (const QString &fault : faults)
            qWarning().noquote() << fault;
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 textos fuera de los márgenes").arg(faults.size())));
    }

    void noTwoTextsShareALineNorPassTheBodysLastLine()
    {
        // Every study of the test data, and one with the most observations a
        // file holds, on every page; the criteria with the default limits and
        // with limits whose texts are as long as six digits make them.
        std::vector<std::pair<QString, stats::StudyData>> studies;
        for (const QFileInfo &file : QDir(QStringLiteral(TEST_DATA_DIR)).entryInfoList({"*.w04"})) {
            QFile in(file.filePath());
            QVERIFY(in.open(QIODevice::ReadOnly));
            studies.emplace_back(file.fileName(), stats::StudyFromFile(stats::ParseStudyFile(in.readAll().toStdString())));
        }
        QVERIFY(studies.size() >= 10);
        const stats::StudyData most = mostObservations();
        QCOMPARE(most.dataRowCount() - 1, stats::kMaxFileObservations);
        studies.emplace_back(QStringLiteral("150 observaciones"), named(most));
        const stats::CriteriaOptions longLimits = ::longLimits();
        QStringList faults;
        for (const auto &[name, study] : studies)
            for (PrintedReport report : {PrintedReport::GeneralInformation, PrintedReport::InferenceAndAnova,
                                         PrintedReport::ErrorAndResiduals, EvaluationPage("criteria")})
                for (const stats::CriteriaOptions &options : {stats::CriteriaOptions(), longLimits}) {
                    const render::PreparedReport prepared =
                        render::PrepareReport(report, stats::Analyze(study, {.criteria = options}));
                    if (!prepared.refused())
                        textsApart(prepared.pages, name + " " + render::ReportName(report), faults);
                }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_MAIN(PrintedReportsTest)
#include "printedreports_test.moc"
