// The result windows hold exactly what the engine produced, and behave as
// their users expect (the report closes at the first key or click, the
// analysis of variance grid tabs through its cells).
#include "stats/outcomes.h"
#include "stats/studyfile.h"
#include "support/studies.h"
#include "windows/anovawindow.h"
#include "windows/inferencewindow.h"
#include "windows/documentwindow.h"
#include "windows/reportwindow.h"
#include "windows/residualswindow.h"
#include "windows/resultwindow.h"
#include "windows/systematicerrorwindow.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>
#include <QTextEdit>
#include <QtTest>

#include <functional>

namespace {

// Everything a window shows: its text boxes line by line, then its grid cell by cell.
QStringList shown(const QWidget &window)
{
    QStringList all;
    for (const QPlainTextEdit *box : window.findChildren<QPlainTextEdit *>())
        all << windows::TextLines(box);
    for (const QTextEdit *box : window.findChildren<QTextEdit *>())
        all << box->toPlainText().split('\n');
    for (const QTableWidget *grid : window.findChildren<QTableWidget *>())
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                all << grid->item(r, c)->text();
    return all;
}

// Everything the engine gave, in the same order (a grid only where the window has one).
QStringList given(const stats::CommandOutcome &o, bool grid)
{
    QStringList all;
    for (const stats::Lines &lines : o.columns)
        for (const std::string &line : lines)
            all << QString::fromStdString(line);
    for (const std::string &line : o.lines)
        all << QString::fromStdString(line);
    for (const auto &row : o.grid)
        for (const std::string &cell : row)
            if (grid)
                all << QString::fromStdString(cell);
    return all;
}

std::string readFile(const char *path)
{
    QFile f(QString::fromUtf8(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

stats::StudyData fullStudy()
{
    std::vector<std::string> x, y;
    for (int i = 0; i < 25; ++i) {
        x.push_back(std::to_string(80 + 10 * (i / 5)));
        y.push_back(std::to_string(80 + 10 * (i / 5)) + "." + std::to_string(i % 7));
    }
    return testing_studies::makeStudy({"5", "5", "5", "5", "5"}, x, y);
}

} // namespace

class ResultWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void everyWindowShowsExactlyTheEnginesLines()
    {
        using Run = stats::CommandOutcome (*)(const stats::StudyAnalysis &);
        using Make = std::function<QWidget *(const stats::CommandOutcome &)>;
        const QList<std::tuple<Run, stats::StudyData, Make>> windows = {
            {stats::InferenceOutcome, testing_studies::inferenceStudy(), [](auto &o) { return new InferenceWindow(o.lines); }},
            {stats::AnovaOutcome, testing_studies::anovaStudy(), [](auto &o) { return new AnovaWindow(o.grid, o.lines); }},
            {stats::ResidualsOutcome, fullStudy(), [](auto &o) { return new ResidualsWindow(o.columns); }},
            {stats::SystematicErrorOutcome, testing_studies::biasedStudy(),
             [](auto &o) { return new SystematicErrorWindow(o.lines); }},
            {stats::ReportOutcome, testing_studies::anovaStudy(), [](auto &o) { return new ReportWindow(o.lines); }},
            {stats::QuadraticOutcome, fullStudy(), [](auto &o) { return new DocumentWindow(*cli::AnalysisModuleNamed("quadratic"), o.lines); }}};
        for (const auto &[run, study, make] : windows) {
            const stats::CommandOutcome o = run(stats::Analyze(study, {}));
            const std::unique_ptr<QWidget> window(make(o));
            QCOMPARE(shown(*window), given(o, window->findChild<QTableWidget *>()));
            for (const QPlainTextEdit *box : window->findChildren<QPlainTextEdit *>())
                QVERIFY(box->isReadOnly()); // results are read, never edited
        }
    }

    // The quadratic model's tables are aligned in characters: the window
    // keeps them in columns, and scrolls rather than wrap. This test runs
    // where "monospace" is a proportional font (see main), as it is on a
    // machine where it names a font of several widths.
    void quadraticWindowKeepsItsColumns()
    {
        const stats::CommandOutcome o = stats::QuadraticOutcome(stats::Analyze(fullStudy(), {}));
        DocumentWindow window(*cli::AnalysisModuleNamed("quadratic"), o.lines);
        QCOMPARE(window.objectName(), QStringLiteral("TFcuadratico"));
        QCOMPARE(window.look().caption, QStringLiteral("Modelo cuadrático"));
        QCOMPARE(window.look().helpContext, 18);
        QCOMPARE(window.text()->lineWrapMode(), QPlainTextEdit::NoWrap);
        const QStringList lines = windows::TextLines(window.text());
        QVERIFY(lines.contains(QStringLiteral("MODELO ELEGIDO: RECTA")));
        // The heading and each row of the comparison start their columns alike.
        const qsizetype heading = lines.indexOf(QRegularExpression(QStringLiteral("^ +Recta +Cuadrático$")));
        QVERIFY(heading > 0);
        const qsizetype column = lines[heading].indexOf(QStringLiteral("Recta"));
        for (qsizetype row = heading + 1; row <= heading + 3; ++row)
            QVERIFY2(lines[row].at(column - 2) == ' ' && lines[row].at(column) != ' ', qPrintable(lines[row]));
        // On screen, every line's character at a column starts where the
        // heading's does: the same count of characters is the same width,
        // whatever they are (digits, signs, accented letters, ·, ²).
        const QFontMetricsF metrics(window.text()->font(), window.text());
        for (const QString &line : lines) {
            const qsizetype at = std::min(column, line.size());
            QVERIFY2(qAbs(metrics.horizontalAdvance(line.left(at)) - metrics.horizontalAdvance(lines[heading].left(at))) < 0.01,
                     qPrintable(line + " / " + QFontInfo(window.text()->font()).family()));
            QVERIFY2(qAbs(metrics.horizontalAdvance(line) - line.size() * metrics.horizontalAdvance(' ')) < 0.01,
                     qPrintable(line));
        }
    }

    void anovaGridTabsCellByCellAndLeavesFromTheLastCell()
    {
        const stats::CommandOutcome o = stats::AnovaOutcome(stats::Analyze(testing_studies::anovaStudy(), {}));
        QWidget host;
        auto *window = new AnovaWindow(o.grid, o.lines, &host);
        auto *after = new QLineEdit(&host);
        after->move(0, 320);
        host.resize(700, 360);
        host.show();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        QTableWidget *grid = window->stganova();
        grid->setFocus();
        QVERIFY(grid->selectedItems().isEmpty()); // "FUENTE" is not shown as selected
        grid->setCurrentCell(6, 4);
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(grid->currentColumn(), 5);
        QCOMPARE(grid->currentRow(), 6);
        QVERIFY(grid->hasFocus());
        QTest::keyClick(grid, Qt::Key_Tab); // from the last cell: out of the grid
        QVERIFY(!grid->hasFocus());
        QCOMPARE(grid->currentRow(), 0);
        QCOMPARE(grid->currentColumn(), 5);
        QVERIFY(grid->tabKeyNavigation());
        grid->setFocus();
        grid->setCurrentCell(2, 5);
        QTest::keyClick(grid, Qt::Key_Tab); // last column, not the last row: moves on
        QVERIFY(grid->hasFocus());
        QVERIFY(grid->selectedItems().isEmpty());
    }

    // Every line of each column inside its box, a full study and one of 40
    // observations alike; the sheet takes no input, and the window scrolls it
    // by the wheel to its last line.
    void residualWindowShowsOrScrollsToEveryObservation()
    {
        const stats::StudyFile file = stats::ParseStudyFile(readFile(TEST_DATA_DIR "/worked-40obs.w04"));
        for (const auto &[study, lines] : {std::pair(fullStudy(), 27), std::pair(stats::StudyFromFile(file), 42)}) {
            ResidualsWindow window(stats::ResidualsOutcome(stats::Analyze(study, {})).columns);
            window.resize(609, 615);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(!window.sheet()->isEnabled());
            for (int b = 0; b < 4; ++b) {
                QPlainTextEdit *box = window.box(b);
                QCOMPARE(windows::TextLines(box).size(), lines);
                const int needed = lines * box->fontMetrics().lineSpacing();
                QVERIFY2(box->viewport()->height() >= needed, qPrintable(QString::number(box->height())));
                QVERIFY(box->geometry().bottom() < window.sheet()->height());
            }
            QScrollBar *bar = window.scrollArea()->verticalScrollBar();
            QCOMPARE(bar->maximum() > 0, lines > 27);
            for (int turn = 0; turn < 40; ++turn) {
                QWheelEvent wheel(QPointF(200, 200), window.mapToGlobal(QPointF(200, 200)), QPoint(), QPoint(0, -120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                // To the widget under the pointer, as the window system delivers it.
                QSpontaneKeyEvent::setSpontaneous(&wheel);
                QApplication::sendEvent(window.childAt(200, 200), &wheel);
            }
            QCOMPARE(bar->value(), bar->maximum());
            // The last line's bottom within the window's view of the sheet.
            const int lastLine = window.box(3)->mapTo(window.sheet(), QPoint(0, 0)).y() + 4 +
                                 lines * window.box(3)->fontMetrics().lineSpacing();
            QVERIFY2(lastLine - bar->value() <= window.scrollArea()->viewport()->height(),
                     qPrintable(QStringLiteral("%1 below %2").arg(lastLine - bar->value()).arg(window.scrollArea()->viewport()->height())));
        }
    }

    void reportClosesAtTheFirstKeyOrClickButNotFromItsScrollBars()
    {
        const stats::CommandOutcome o = stats::ReportOutcome(stats::Analyze(testing_studies::anovaStudy(), {}));
        for (int way = 0; way < 3; ++way) {
            auto *frame = new QWidget;
            frame->setAttribute(Qt::WA_DeleteOnClose);
            QPointer<QWidget> guard(frame);
            auto *report = new ReportWindow(o.lines, frame);
            frame->resize(435, 300);
            report->resize(435, 300);
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame));
            if (way == 0) {
                QScrollBar *bar = report->mminforme()->verticalScrollBar();
                QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 5));
                QVERIFY(frame->isVisible());
                frame->close();
            } else if (way == 1) {
                report->mminforme()->setFocus();
                QTest::keyClick(report->mminforme(), Qt::Key_Down);
            } else {
                QTest::mouseClick(report->mminforme()->viewport(), Qt::LeftButton);
            }
            QTRY_VERIFY(guard.isNull());
        }
    }
};

int main(int argc, char **argv)
{
    // "monospace" names a proportional font here, as on a machine whose
    // default fixed font is one of several widths.
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("fonts.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="pattern">
    <test name="family"><string>monospace</string></test>
    <edit name="family" mode="assign_replace" binding="strong"><string>Liberation Sans</string></edit>
  </match>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
</fontconfig>
)") < 0)
        return 1;
    file.close();
    qputenv("FONTCONFIG_FILE", config.toUtf8());
    QApplication application(argc, argv);
    ResultWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "resultwindows_test.moc"
