// The result windows hold exactly the lines the engine produced, and
// behave as their users expect (the report closes at the first key or click,
// the analysis of variance grid tabs through its cells).
#include "stats/commands.h"
#include "support/studies.h"
#include "windows/anovawindow.h"
#include "windows/inferencewindow.h"
#include "windows/reportwindow.h"
#include "windows/residualswindow.h"
#include "windows/resultwindow.h"
#include "windows/systematicerrorwindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

namespace {

QStringList qLines(const stats::Lines &lines)
{
    QStringList result;
    for (const std::string &line : lines)
        result << QString::fromStdString(line);
    return result;
}

} // namespace

class ResultWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void inferenceWindowShowsTheFourteenLinesAndTheEmptyOne()
    {
        stats::SharedResults shared;
        const stats::CommandOutcome o = stats::RunInference(testing_studies::inferenceStudy(), shared, '.');
        InferenceWindow window(o.lines);
        const QStringList lines = resultwindow::lines(window.memresult());
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines, qLines(o.lines));
        QCOMPARE(window.windowTitle(), QStringLiteral("Error Sistematico Proporcional del Método Analítico"));
        QVERIFY(window.memresult()->isReadOnly());
        QCOMPARE(window.memresult()->textInteractionFlags(), Qt::NoTextInteraction);
        QCOMPARE(window.findChild<QAction *>("Cerrar1")->text(), QStringLiteral("Cerrar"));
    }

    void anovaWindowFillsItsGridAndCentresTheConclusions()
    {
        stats::SharedResults shared;
        const stats::CommandOutcome o = stats::RunAnova(testing_studies::anovaStudy(), shared, '.');
        AnovaWindow window(o.grid, o.lines);
        QTableWidget *grid = window.stganova();
        QCOMPARE(grid->rowCount(), 7);
        QCOMPARE(grid->columnCount(), 6);
        QCOMPARE(grid->columnWidth(0), 170);
        QCOMPARE(grid->columnWidth(1), 100);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 6; ++c)
                QCOMPARE(grid->item(r, c)->text(), QString::fromStdString(o.grid[size_t(r)][size_t(c)]));
        QCOMPARE(window.memoa()->toPlainText().split('\n'), qLines(o.lines));
        QCOMPARE(window.memoa()->alignment(), Qt::AlignCenter);
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    }

    void anovaGridTabsCellByCellAndLeavesFromTheLastCell()
    {
        stats::SharedResults shared;
        const stats::CommandOutcome o = stats::RunAnova(testing_studies::anovaStudy(), shared, '.');
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
        grid->setCurrentCell(6, 3);
        QTest::keyClick(grid, Qt::Key_Tab);
        QCOMPARE(grid->currentColumn(), 4);
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

    void residualWindowShowsEveryObservationOfAFullStudy()
    {
        std::vector<std::string> x, y;
        for (int i = 0; i < 25; ++i) {
            x.push_back(std::to_string(80 + 10 * (i / 5)));
            y.push_back(std::to_string(80 + 10 * (i / 5)) + "." + std::to_string(i % 7));
        }
        const stats::StudyData study = testing_studies::makeStudy({"5", "5", "5", "5", "5"}, x, y);
        stats::SharedResults shared;
        const stats::CommandOutcome o = stats::RunResiduals(study, shared, '.');
        ResidualsWindow window(o.columns);
        QVERIFY(!window.isEnabled());
        for (int b = 0; b < 4; ++b) {
            QPlainTextEdit *box = window.box(b);
            QCOMPARE(resultwindow::lines(box), qLines(o.columns[static_cast<size_t>(b)]));
            QCOMPARE(resultwindow::lines(box).size(), 27);
            // All 27 lines inside the box, and the box inside the window's 615 pixels.
            const int needed = 27 * box->fontMetrics().lineSpacing();
            QVERIFY2(box->viewport()->height() >= needed || box->height() >= needed + 4,
                     qPrintable(QString::number(box->height())));
            QVERIFY(box->geometry().bottom() < 615 - 30);
        }
    }

    void systematicErrorWindowWrapsWithoutScrollBars()
    {
        stats::SharedResults shared;
        const stats::CommandOutcome o = stats::RunSystematicError(testing_studies::biasedStudy(), shared, '.');
        SystematicErrorWindow window(o.lines);
        QCOMPARE(window.windowTitle(), QStringLiteral("Evaluación del Error"));
        QCOMPARE(resultwindow::lines(window.mmerrorp()), qLines(o.lines));
        QCOMPARE(window.mmerrorp()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QCOMPARE(window.mmerrorp()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    }

    void reportClosesAtTheFirstKeyOrClickButNotFromItsScrollBars()
    {
        stats::SharedResults shared;
        const stats::CommandOutcome o = stats::RunReport(testing_studies::anovaStudy(), shared, '.');
        for (int way = 0; way < 3; ++way) {
            auto *frame = new QWidget;
            frame->setAttribute(Qt::WA_DeleteOnClose);
            QPointer<QWidget> guard(frame);
            auto *report = new ReportWindow(o.lines, frame);
            frame->resize(435, 300);
            report->resize(435, 300);
            frame->show();
            QVERIFY(QTest::qWaitForWindowExposed(frame));
            QCOMPARE(resultwindow::lines(report->mminforme()), qLines(o.lines));
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

QTEST_MAIN(ResultWindowsTest)
#include "resultwindows_test.moc"
