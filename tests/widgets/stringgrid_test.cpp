// The data-entry grid: always editing, heading cells that are never current,
// Tab between cells or out of the grid, and enter/leave of the grid as a whole.
#include "widgets/stringgrid.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

class StringGridTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    QPushButton *before = nullptr;
    StringGrid *grid = nullptr;
    QPushButton *after = nullptr;

    static QWidget *focus() { return QApplication::focusWidget(); }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) { QTest::keyClick(focus(), k, m); }
    static void type(const QString &text) { QTest::keyClicks(focus(), text); }
    bool gridHasFocus() const { return focus() && (focus() == grid || grid->isAncestorOf(focus())); }
    QPoint at(int column, int row) const { return grid->visualRect(grid->model()->index(row, column)).center(); }

private slots:
    void init()
    {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        before = new QPushButton("before");
        grid = new StringGrid(3, 4);
        after = new QPushButton("after");
        layout->addWidget(before);
        layout->addWidget(grid);
        layout->addWidget(after);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        before->setFocus();
    }
    void cleanup() { window.reset(); }

    void typingGoesIntoTheCurrentCellAtOnce()
    {
        QSignalSpy typed(grid, &StringGrid::keyTyped);
        grid->setFocus();
        QCOMPARE(grid->currentColumn(), 1);
        QCOMPARE(grid->currentRow(), 1);
        QVERIFY(grid->cellEditor());
        QVERIFY(grid->cellEditor()->hasFocus());
        type("12,5");
        // No commit step: the cell reads what the editor shows while typing.
        QCOMPARE(grid->cell(1, 1), QString("12,5"));
        QCOMPARE(typed.count(), 4);
        QCOMPARE(typed.first().first().toChar(), QChar('1'));
        key(Qt::Key_Backspace);
        QCOMPARE(grid->cell(1, 1), QString("12,"));
        QCOMPARE(typed.last().first().toChar(), QChar(8));
        key(Qt::Key_Return);
        QCOMPARE(typed.last().first().toChar(), QChar(13));
        QVERIFY(grid->cellEditor() && grid->cellEditor()->hasFocus()); // Enter leaves the editor open
        // Left and Right move the caret inside the text and leave the cell only from its end.
        key(Qt::Key_Left);
        type("9");
        QCOMPARE(grid->cell(1, 1), QString("129,"));
        key(Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), 1);
        key(Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), 2);
        // Entering a cell selects its text: Right first only ends the selection.
        key(Qt::Key_Left);
        QCOMPARE(grid->currentColumn(), 1);
        QVERIFY(grid->cellEditor()->hasSelectedText());
        key(Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), 1);
        QVERIFY(!grid->cellEditor()->hasSelectedText());
        key(Qt::Key_Right);
        QCOMPARE(grid->currentColumn(), 2);
    }

    void headingCellsAreNeverCurrent()
    {
        grid->setCell(0, 0, "  Nivel");
        QCOMPARE(grid->cell(0, 0), QString("  Nivel"));
        grid->moveTo(0, 2);
        QCOMPARE(grid->currentColumn(), 1);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at(0, 2));
        QCOMPARE(grid->currentColumn(), 1);
        QCOMPARE(grid->currentRow(), 1);
        grid->setFocus();
        key(Qt::Key_Up);
        key(Qt::Key_Left);
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), 1);
        // New rows get heading cells too.
        grid->setRowCount(6);
        QCOMPARE(grid->item(5, 0)->flags(), Qt::NoItemFlags);
    }

    void tabMovesAlongRowsAndWraps()
    {
        grid->setFocus();
        const QList<QPair<int, int>> expected = {{2, 1}, {1, 2}, {2, 2}, {1, 3}, {2, 3}, {1, 1}};
        for (const auto &[column, row] : expected) {
            key(Qt::Key_Tab);
            QCOMPARE(grid->currentColumn(), column);
            QCOMPARE(grid->currentRow(), row);
            QVERIFY(gridHasFocus());
        }
        key(Qt::Key_Backtab);
        QCOMPARE(grid->currentColumn(), 2);
        QCOMPARE(grid->currentRow(), 3);
    }

    void tabLeavesWhenSwitchedOff()
    {
        QSignalSpy typed(grid, &StringGrid::keyTyped);
        grid->setFocus();
        grid->setTabMovesBetweenCells(false);
        key(Qt::Key_Tab);
        QCOMPARE(focus(), after);
        QCOMPARE(typed.count(), 0); // Tab that leaves is not typed into the grid
        grid->setFocus();
        key(Qt::Key_Backtab);
        QCOMPARE(focus(), before);
    }

    void headingRowStaysWhileTheCellsScroll()
    {
        grid->setRowCount(13);
        grid->setCell(0, 0, "Nivel");
        grid->setCell(1, 0, "X");
        grid->setCell(2, 0, "Y");
        grid->setFixedHeight(5 * grid->rowHeight(0) + 2 * grid->frameWidth());
        QCoreApplication::processEvents();
        const int heading = grid->rowHeight(0);
        const QRect top(grid->viewport()->geometry().topLeft(), QSize(grid->viewport()->width(), heading));
        const QImage before = grid->grab(top).toImage();
        grid->setFocus();
        key(Qt::Key_PageDown); // to the last row
        QCOMPARE(grid->currentRow(), 12);
        QVERIFY(grid->verticalScrollBar()->value() > 0);
        QCOMPARE(grid->grab(top).toImage(), before);
        // Every row can be brought into view below the heading, upwards and downwards.
        for (int row : {1, 12, 2, 7}) {
            grid->moveTo(1, row);
            const QRect cell = grid->visualRect(grid->model()->index(row, 1));
            QVERIFY2(cell.top() >= heading && cell.bottom() < grid->viewport()->height(), qPrintable(QString::number(row)));
        }
        QCOMPARE(grid->grab(top).toImage(), before);
    }

    void editorStaysWithTheCellText()
    {
        grid->setFocus();
        type("7");
        after->setFocus();
        grid->setCell(1, 1, "8"); // set from outside while the editor is still open
        grid->setFocus();
        QCOMPARE(grid->cellEditor()->text(), QString("8"));
        type("9");
        QCOMPARE(grid->cell(1, 1), QString("9")); // the editor selected all on entering
    }
};

QTEST_MAIN(StringGridTest)
#include "stringgrid_test.moc"
