// The study editor, driven as the analyst drives it: keys, Tab, Enter, clicks
// on tabs, cells and buttons, with the window shown and active.
#include "cli/analysismodules.h"
#include "windows/objectnames.h"
#include "windows/studyeditor.h"

#include "stats/study.h"
#include "support/editortesting.h"
#include "support/scripteddialogs.h"
#include "support/studies.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace user;
using testing_studies::makeStudy;

namespace {

const QString kLevelCellsMismatch =
    "El número de celdas de captura para las replicaciones, no coincide con el número de niveles.";
const QString kDataCellsMismatch =
    "El número de celdas de captura para los datos, no coincide con el número de replicas por nivel.";

std::vector<std::string> numbers(int count, int from = 1)
{
    std::vector<std::string> values;
    for (int i = 0; i < count; ++i)
        values.push_back(std::to_string(from + i));
    return values;
}

} // namespace

class StudyEditorTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<StudyEditor> editor;

    QLineEdit *field(const char *name) const { return editor->findChild<QLineEdit *>(name); }
    StringGrid *grid(const char *name) const { return editor->findChild<StringGrid *>(name); }
    QPushButton *button(const char *name) const { return editor->findChild<QPushButton *>(name); }
    QTabWidget *notebook() const { return editor->findChild<QTabWidget *>(objectnames::thoja); }
    QTabBar *tabs() const { return notebook()->tabBar(); }
    int page() const { return notebook()->currentIndex(); }
    void clickTab(int index) { click(tabs(), tabs()->tabRect(index).center()); }

    // The control that holds the focus, by name.
    QString focused() const
    {
        using namespace objectnames;
        static const QStringList controls = {emetodo, eanalista, efecha, uadicionada, eniveles, btnsinumero, stgniveles,
                                             botonok, stgdatos};
        for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (w == tabs() || controls.contains(w->objectName()))
                return w == tabs() ? QString(thoja) : w->objectName();
        return "(none)";
    }

    // Types the replicate counts from the first level on, a Tab between two.
    void typeReplicates(const QStringList &counts)
    {
        clickCell(grid(objectnames::stgniveles), 1, 1);
        for (int i = 0; i < counts.size(); ++i) {
            if (i > 0)
                key(Qt::Key_Tab);
            if (!counts[i].isEmpty())
                type(counts[i]);
        }
    }

    // From the general page to the data page with the given replicates.
    void acceptReplicates(const QStringList &counts)
    {
        clickTab(stats::PageLevels);
        typeReplicates(counts);
        key(Qt::Key_Return); // in the last column: on to "Aceptar replicaciones"
        QCOMPARE(focused(), QString(objectnames::botonok));
        click(button(objectnames::botonok));
    }

private slots:
    void init()
    {
        dialogs.clear();
        dialogs.answers.clear();
        host = std::make_unique<RecordingHost>(dialogs);
        editor = std::make_unique<StudyEditor>(*host, ',');
        editor->show();
        editor->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(editor.get()));
    }

    void cleanup()
    {
        editor.reset();
        host.reset();
    }

    // A new editor, used for the first time, presents the general page with
    // the calculations of its pop-up menu off.
    void aNewEditorStartsOnTheMethodWithItsMenuOff()
    {
        QCOMPARE(editor->windowTitle(), QString("Nuevo"));
        QCOMPARE(page(), 0);
        QCOMPARE(focused(), QString(objectnames::emetodo));
        // The calculations, the predictions and the evaluations that have an entry there.
        const auto evaluations = cli::AnalysisModules();
        QCOMPARE(editor->popupActions().size(),
                 7 + std::count_if(evaluations.begin(), evaluations.end(), [](const auto &m) { return m.popup; }));
        for (QAction *action : editor->popupActions())
            QVERIFY(!action->isEnabled());
    }

    void enterWalksThroughTheGeneralFields()
    {
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::emetodo)); // empty: stays
        QVERIFY(host->mark == StudyEditorHost::StudyMark::Modified);
        type("Valoración de ácido acetilsalicílico");
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::eanalista));
        type("Ana");
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::efecha));
        type("12/03/2024");
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::uadicionada));
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::uadicionada));
        type("mg");
        key(Qt::Key_Return);
        QCOMPARE(page(), 1);
        QCOMPARE(focused(), QString(objectnames::eniveles));
        QCOMPARE(editor->method(), std::string("Valoración de ácido acetilsalicílico"));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void levelCountIsCheckedOnLeaving_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << "" << "Falta capturar número de Niveles";
        QTest::newRow("letter") << "x" << "El valor de captura no es un valor numérico.";
        QTest::newRow("two") << "2" << "Datos fuera de rango, 3-5 Niveles";
        QTest::newRow("six") << "6" << "Datos fuera de rango, 3-5 Niveles";
        QTest::newRow("three") << "3" << "";
        QTest::newRow("five") << "5" << "";
    }
    void levelCountIsCheckedOnLeaving()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        clickTab(stats::PageLevels);
        QCOMPARE(focused(), QString(objectnames::eniveles));
        retype(typed);
        key(Qt::Key_Tab);
        QCOMPARE(dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(focused(), QString(message.isEmpty() ? objectnames::btnsinumero : objectnames::eniveles));
        QCOMPARE(field(objectnames::eniveles)->text(), typed); // a refused count is left for correction
    }

    void acceptingTheLevelsShapesTheReplicateGrid()
    {
        clickTab(stats::PageLevels);
        typeReplicates({"2", "3", "4"});
        click(field(objectnames::eniveles));
        retype("4");
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::btnsinumero));
        key(Qt::Key_Return);
        QCOMPARE(focused(), QString(objectnames::stgniveles));
        QCOMPARE(editor->replicateColumnCount(), 5);
        QCOMPARE(editor->replicateCell(4, 0), std::string("4"));
        QCOMPARE(editor->replicateCell(3, 1), std::string("4")); // typed counts stay
        QCOMPARE(editor->replicateCell(4, 1), std::string(""));
        QVERIFY(dialogs.messages.isEmpty());

        key(Qt::Key_Tab);
        key(Qt::Key_Return); // Enter goes to the button from the last column only
        QCOMPARE(focused(), QString(objectnames::stgniveles));
        QVERIFY(grid(objectnames::stgniveles)->tabMovesBetweenCells());
        key(Qt::Key_Tab);
        key(Qt::Key_Tab); // into the last column: Tab is switched off there
        type("1");
        key(Qt::Key_Tab);
        QCOMPARE(focused(), QString(objectnames::botonok));
        click(field(objectnames::eniveles));
        retype("3");
        click(button(objectnames::btnsinumero));
        QCOMPARE(editor->replicateColumnCount(), 4);
        QCOMPARE(editor->replicateCell(2, 1), std::string("3"));
    }

    void replicateCountsAreCheckedOnLeaving_data()
    {
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("error");
        QTest::newRow("accepted") << QStringList{"3", "3", "3"} << "" << "";
        QTest::newRow("empty") << QStringList{"3", "", "3"} << "Falta el dato 2" << "";
        QTest::newRow("letters") << QStringList{"3", "ab", "3"} << "El dato2 no es un valor numérico." << "";
        QTest::newRow("six") << QStringList{"3", "6", "3"} << "Datos fuera de rango, maximo 5 Réplicas" << "";
        QTest::newRow("zero") << QStringList{"0", "3", "3"} << "Datos fuera de rango, mínimo 1 Réplica" << "";
        QTest::newRow("above five first") << QStringList{"0", "6", "3"}
                                          << "Datos fuera de rango, maximo 5 Réplicas" << "";
        QTest::newRow("not whole") << QStringList{"3", "2,5", "3"} << ""
                                   << "'2,5' is not a valid integer value.";
    }
    void replicateCountsAreCheckedOnLeaving()
    {
        QFETCH(QStringList, counts);
        QFETCH(QString, message);
        QFETCH(QString, error);
        clickTab(stats::PageLevels);
        typeReplicates(counts);
        QVERIFY(!grid(objectnames::stgniveles)->tabMovesBetweenCells()); // a key in the last column
        key(Qt::Key_Tab);
        QCOMPARE(dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(dialogs.errors, error.isEmpty() ? QStringList() : QStringList{error});
        const bool refused = !message.isEmpty() || !error.isEmpty();
        QCOMPARE(focused(), QString(refused ? objectnames::stgniveles : objectnames::botonok));
        // Leaving resets the grid whatever the outcome.
        QVERIFY(grid(objectnames::stgniveles)->tabMovesBetweenCells());
        QCOMPARE(grid(objectnames::stgniveles)->currentColumn(), 1);
        QCOMPARE(grid(objectnames::stgniveles)->currentRow(), 1);
    }

    void enteringTheReplicatesWithoutAcceptingTheLevels()
    {
        clickTab(stats::PageLevels);
        retype("4");
        clickCell(grid(objectnames::stgniveles), 1, 1);
        // Only the enter check speaks: the replicates grid, which the focus
        // leaves again at once, runs no leave check ("Falta el dato 1").
        QCOMPARE(dialogs.messages, QStringList{kLevelCellsMismatch});
        QCOMPARE(focused(), QString(objectnames::eniveles));
    }

    void acceptingTheReplicatesShapesTheDataGrid()
    {
        acceptReplicates({"3", "3", "3"});
        QCOMPARE(page(), 2);
        QCOMPARE(focused(), QString(objectnames::stgdatos));
        QCOMPARE(host->dataGridEntries, 1);
        QCOMPARE(editor->dataRowCount(), 10);
        for (int row = 1; row <= 9; ++row) {
            type(QString::number(row));
            key(Qt::Key_Tab);
            type(QString::number(row) + ",5");
            key(Qt::Key_Tab);
        }
        QCOMPARE(focused(), QString(objectnames::thoja)); // Tab out of the last cell
        QVERIFY(dialogs.messages.isEmpty());
        // Ctrl+Tab from the last page goes round to the first, Ctrl+Shift+Tab back.
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(page(), stats::PageGeneral);
        QCOMPARE(focused(), QString(objectnames::emetodo));
        key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(page(), stats::PageData);
        QCOMPARE(focused(), QString(objectnames::stgdatos));

        clickTab(stats::PageLevels);
        typeReplicates({"2", "5", "3"});
        key(Qt::Key_Return);
        click(button(objectnames::botonok));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(page(), 2);
        QCOMPARE(editor->dataRowCount(), 11);
        const char *levels[] = {"1", "1", "2", "2", "2", "2", "2", "3", "3", "3"};
        for (int row = 1; row <= 10; ++row)
            QCOMPARE(editor->dataCell(0, row), std::string(10, ' ') + levels[row - 1]);
        // Typed values stay with their level: level 1 keeps its first two
        // pairs, level 2 its three and gains two empty rows, level 3 is whole.
        const char *x[] = {"1", "2", "4", "5", "6", "", "", "7", "8", "9"};
        for (int row = 1; row <= 10; ++row)
            QCOMPARE(editor->dataCell(1, row), std::string(x[row - 1]));
        QCOMPARE(editor->dataCell(2, 3), std::string("4,5"));
        QCOMPARE(editor->dataCell(2, 10), std::string("9,5"));
        QCOMPARE(editor->dataCell(1, 0), std::string("    X")); // headings as they were
    }

    void acceptingReplicatesOfAnotherLevelCount()
    {
        clickTab(stats::PageLevels);
        typeReplicates({"3", "3", "3"});
        click(field(objectnames::eniveles));
        retype("4");
        click(button(objectnames::botonok));
        QCOMPARE(dialogs.messages, QStringList{kLevelCellsMismatch});
        QCOMPARE(focused(), QString(objectnames::eniveles));
        QCOMPARE(page(), 1);
        QCOMPARE(editor->dataRowCount(), 10);
    }

    void selectingTheDataPageChecksTheDesign_data()
    {
        QTest::addColumn<QStringList>("counts");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("backTo");
        QTest::newRow("three of three") << QStringList{"3", "3", "3"} << "" << objectnames::stgdatos;
        QTest::newRow("three of two") << QStringList{"2", "2", "2"} << kDataCellsMismatch << objectnames::eniveles;
        QTest::newRow("no replicates") << QStringList{} << "Falta la replicación en el nivel 1" << objectnames::stgniveles;
    }
    void selectingTheDataPageChecksTheDesign()
    {
        QFETCH(QStringList, counts);
        QFETCH(QString, message);
        QFETCH(QString, backTo);
        clickTab(stats::PageLevels);
        if (!counts.isEmpty())
            typeReplicates(counts);
        clickTab(stats::PageData);
        QCOMPARE(dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(page(), message.isEmpty() ? 2 : 1);
        QCOMPARE(focused(), backTo);
        QCOMPARE(host->dataGridEntries, 1);
    }

    void dataGridKeysEnableCommandsAndItsLeaveCheck()
    {
        acceptReplicates({"3", "3", "3"});
        StringGrid *data = grid(objectnames::stgdatos);
        type("1");
        key(Qt::Key_Tab);
        type("2");
        QCOMPARE(host->dataGridKeys, QList<bool>({false, false, false}));
        QVERIFY(data->tabMovesBetweenCells());
        clickCell(data, 2, 9);
        type("5");
        QCOMPARE(host->dataGridKeys.last(), true);
        QVERIFY(!data->tabMovesBetweenCells());
        key(Qt::Key_Tab);
        QCOMPARE(dialogs.messages, QStringList{"Falta capturar algun dato "});
        QCOMPARE(focused(), QString(objectnames::stgdatos));
        QCOMPARE(data->currentColumn(), 1);
        QCOMPARE(data->currentRow(), 1);
        QVERIFY(data->tabMovesBetweenCells());

        for (int row = 1; row <= 9; ++row) {
            type(row == 4 ? "cuatro" : QString::number(row));
            key(Qt::Key_Tab);
            type("7");
            key(Qt::Key_Tab);
        }
        QCOMPARE(dialogs.messages.last(), QString("Algun dato capturado no es un valor numérico."));
        QCOMPARE(focused(), QString(objectnames::stgdatos));
        clickCell(data, 1, 4);
        type("4");
        // An empty recovered amount is missing data too.
        data->setCell(2, 6, QString());
        clickTab(stats::PageGeneral);
        QCOMPARE(dialogs.messages.last(), QString("Falta capturar algun dato "));
        QCOMPARE(focused(), QString(objectnames::stgdatos));
        data->setCell(2, 6, "7");
        clickTab(stats::PageGeneral);
        QCOMPARE(dialogs.messages.size(), 3);
        QCOMPARE(focused(), QString(objectnames::emetodo));
    }

    // Leaving the data grid checks every observation row, the first and the
    // last as much as those between.
    void leavingTheDataGridChecksEveryRow_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("byKeyboard"); // every cell typed, and Tab out of the last
        const QString missing = "Falta capturar algun dato ";
        const QString wrong = "Algun dato capturado no es un valor numérico.";
        for (bool byKeyboard : {false, true}) {
            const char *how = byKeyboard ? "typed" : "filled";
            QTest::addRow("%s, all numbers", how) << 1 << 1 << "1" << QString() << byKeyboard;
            for (int row : {1, 5, 9})
                for (int column : {1, 2}) {
                    const char *which = column == 1 ? "x" : "y";
                    QTest::addRow("%s, %s of row %d empty", how, which, row)
                        << column << row << QString() << missing << byKeyboard;
                    QTest::addRow("%s, %s of row %d not a number", how, which, row)
                        << column << row << "7,5,1" << wrong << byKeyboard;
                }
        }
    }
    void leavingTheDataGridChecksEveryRow()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(bool, byKeyboard);
        acceptReplicates({"3", "3", "3"});
        StringGrid *data = grid(objectnames::stgdatos);
        for (int r = 1; r <= 9; ++r)
            for (int c = 1; c <= 2; ++c) {
                const QString value = c == column && r == row ? text : QString::number(r) + (c == 2 ? ",5" : "");
                if (!byKeyboard) {
                    data->setCell(c, r, value);
                    continue;
                }
                if (!value.isEmpty())
                    type(value);
                if (r < 9 || c < 2)
                    key(Qt::Key_Tab);
            }
        if (byKeyboard) {
            QCOMPARE(data->currentRow(), 9);
            key(Qt::Key_Tab); // out of the last cell
        } else {
            clickCell(data, 2, 9);
            clickTab(stats::PageGeneral);
        }
        QCOMPARE(dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
        const QString onwards = byKeyboard ? objectnames::thoja : objectnames::emetodo;
        QCOMPARE(focused(), message.isEmpty() ? onwards : QString(objectnames::stgdatos));
        QCOMPARE(page(), message.isEmpty() && !byKeyboard ? 0 : 2);
    }

    // Escape sequences, bell, backspace, tabs and the C1 controls never
    // get into a field or a cell by paste (they would reach files and reports).
    void pastingLeavesControlCharactersOut()
    {
        QGuiApplication::clipboard()->setText(QString::fromUtf8("Val\x1b[2J\a\bor\tació\x7fn\u0085\n"));
        click(field(objectnames::emetodo));
        field(objectnames::emetodo)->paste();
        QCOMPARE(field(objectnames::emetodo)->text(), QString::fromUtf8("Val[2Joración"));

        acceptReplicates({"3", "3", "3"});
        QGuiApplication::clipboard()->setText(QString::fromUtf8("1\x1b.5\x07"));
        QLineEdit *cell = grid(objectnames::stgdatos)->cellEditor();
        QVERIFY(cell);
        cell->paste();
        QCOMPARE(cell->text(), QString("1.5"));
    }

    void rightClickOnTheDataGridShowsThePopupMenu()
    {
        acceptReplicates({"3", "3", "3"});
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                grid(objectnames::stgdatos)->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(grid(objectnames::stgdatos)->cellEditor(), &event);
        QTRY_VERIFY(editor->popupMenu()->isVisible());
        editor->popupMenu()->hide();
    }

    void pageTabsRunTheLeaveCheckFirst()
    {
        clickTab(stats::PageLevels);
        QCOMPARE(focused(), QString(objectnames::eniveles));
        clickTab(stats::PageGeneral);
        QCOMPARE(focused(), QString(objectnames::emetodo));
        key(Qt::Key_Tab);
        QCOMPARE(focused(), QString(objectnames::eanalista));
        key(Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(focused(), QString(objectnames::emetodo));
        key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(page(), 1);
        QCOMPARE(focused(), QString(objectnames::eniveles));
        retype("x");
        clickTab(stats::PageGeneral);
        QCOMPARE(dialogs.messages, QStringList{"El valor de captura no es un valor numérico."});
        QCOMPARE(page(), 1);
        QCOMPARE(focused(), QString(objectnames::eniveles));
    }

    void clickOnAButtonRefusedByALeaveCheckIsLost()
    {
        clickTab(stats::PageLevels);
        retype("9");
        click(button(objectnames::btnsinumero));
        QCOMPARE(dialogs.messages, QStringList{"Datos fuera de rango, 3-5 Niveles"});
        QCOMPARE(focused(), QString(objectnames::eniveles));
        QCOMPARE(editor->replicateColumnCount(), 4); // the button did not run
        key(Qt::Key_E, Qt::AltModifier); // its access key, likewise
        QTest::qWait(200);
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(focused(), QString(objectnames::eniveles));
        QCOMPARE(editor->replicateColumnCount(), 4);
        retype("5");
        key(Qt::Key_E, Qt::AltModifier);
        QTRY_COMPARE(editor->replicateColumnCount(), 6);
        QCOMPARE(focused(), QString(objectnames::stgniveles));
    }

    // The engine names the failing control; the editor turns to its page and focuses it.
    void validationFailuresTurnThePageAndMoveTheFocus_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("expectedPage");
        QTest::addColumn<QString>("control");
        QTest::newRow("six levels") << 0 << "Datos fuera de rango, 3-5 Niveles" << 1 << objectnames::eniveles;
        QTest::newRow("ten rows for nine") << 1 << kDataCellsMismatch << 1 << objectnames::stgniveles;
        QTest::newRow("missing x") << 2 << "Falta el dato 5 de la cantidad adicionada" << 2 << objectnames::stgdatos;
    }
    void validationFailuresTurnThePageAndMoveTheFocus()
    {
        QFETCH(int, which);
        QFETCH(QString, message);
        QFETCH(int, expectedPage);
        QFETCH(QString, control);
        stats::StudyData s = makeStudy({"3", "3", "3"}, numbers(9), numbers(9, 10));
        switch (which) {
        case 0: s.levelsText = "6"; break;
        case 1: s.dataGrid.push_back({"", "1", "1"}); break;
        case 2: s.dataGrid[2][2] = ""; s.dataGrid[5][1] = ""; break;
        }
        editor->loadStudy(s);
        const stats::ValidationFailure failure = stats::ValidateStudy(*editor);
        QVERIFY(failure.failed);
        editor->showValidationFailure(failure);
        QCOMPARE(dialogs.messages, QStringList{message});
        QCOMPARE(page(), expectedPage);
        QCOMPARE(focused(), control);
    }

    void validationFailureRunsNoLeaveCheck()
    {
        editor->loadStudy(makeStudy({"3", "3", "3"}, numbers(9), {"1", ""}));
        clickTab(stats::PageData);
        QCOMPARE(focused(), QString(objectnames::stgdatos));
        field(objectnames::eniveles)->clear();
        editor->showValidationFailure(stats::ValidateStudy(*editor));
        // The data grid, left with an empty cell, says nothing.
        QCOMPARE(dialogs.messages, QStringList{"Falta capturar el número de niveles"});
        QCOMPARE(focused(), QString(objectnames::eniveles));
        key(Qt::Key_Tab); // the level count's own check still runs when the user leaves it
        QCOMPARE(dialogs.messages.last(), QString("Falta capturar número de Niveles"));
    }

    void aStudyFromAFileFillsTheEditorAsOpenShapesIt()
    {
        stats::StudyData s = makeStudy({"2", "5", "3"}, numbers(10), numbers(10, 20));
        s.methodText = std::string(70, 'm'); // longer than the field takes when typed
        editor->loadStudy(s);
        QCOMPARE(editor->method(), std::string(70, 'm'));
        QCOMPARE(editor->replicateCell(2, 0), std::string("           2"));
        QCOMPARE(editor->dataCell(0, 7), std::string("          2"));
        QVERIFY(!stats::ValidateStudy(*editor).failed);
        const stats::LinearityStudy read = stats::ReadStudy(*editor, ',');
        QCOMPARE(read.n(), 10);
        QCOMPARE(read.observations[6].level, 2);
        QCOMPARE(read.observations[7].level, 3);
        QCOMPARE(read.observations[7].y, 27.0);
        QVERIFY(host->mark == StudyEditorHost::StudyMark::Unchanged);
    }

    void deletingOrPastingMarksTheStudyModified()
    {
        editor->loadStudy(makeStudy({"3", "3", "3"}, numbers(9), numbers(9)));
        field(objectnames::emetodo)->setText("abc");
        QVERIFY(host->mark == StudyEditorHost::StudyMark::Unchanged);
        field(objectnames::emetodo)->setCursorPosition(0);
        key(Qt::Key_Delete);
        QCOMPARE(field(objectnames::emetodo)->text(), QString("bc"));
        QVERIFY(host->mark == StudyEditorHost::StudyMark::Modified);
    }

    void aCountThatIsNotAWholeNumberGoesToTheErrorReport()
    {
        clickTab(stats::PageLevels);
        clickCell(grid(objectnames::stgniveles), 1, 1);
        stats::StudyData s = makeStudy({"3", "3", "3"}, numbers(9), numbers(9));
        s.levelsText = "x";
        editor->loadStudy(s);
        click(button(objectnames::botonok));
        QCOMPARE(dialogs.errors, QStringList{"'x' is not a valid integer value."});
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(page(), 1);
        QCOMPARE(editor->dataRowCount(), 10);
    }

    void realMessageBoxesDoNotStartTheirChecksAgain()
    {
        // The real boxes take the focus away and give it back.
        QtUserDialogs real;
        RecordingHost realHost(real);
        StudyEditor window(realHost, ',');
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QStringList shown;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->accept();
            }
        });
        closer.start(10);
        // The offscreen platform has no window manager to give the window
        // back its activation when a box closes; this does it as one would.
        auto reactivated = [&] {
            window.activateWindow();
            return QTest::qWaitForWindowActive(&window);
        };
        auto *tabBar = window.findChild<QTabWidget *>(objectnames::thoja)->tabBar();
        click(tabBar, tabBar->tabRect(stats::PageLevels).center());
        QTRY_COMPARE(focused(), QString(objectnames::eniveles));
        retype("x");
        key(Qt::Key_Tab);
        QVERIFY(reactivated());
        QCOMPARE(focused(), QString(objectnames::eniveles));
        QTest::qWait(50);
        QCOMPARE(shown, QStringList{"El valor de captura no es un valor numérico."});

        retype("4");
        auto *levels = window.findChild<StringGrid *>(objectnames::stgniveles);
        clickCell(levels, 1, 1);
        QVERIFY(reactivated());
        QCOMPARE(focused(), QString(objectnames::eniveles));
        QTest::qWait(50);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last(), kLevelCellsMismatch);
        QCOMPARE(window.findChild<QTabWidget *>(objectnames::thoja)->currentIndex(), 1);
    }

    void dataGridShowsItsBarOnlyWhenNeededAndItsWholeColumns()
    {
        StringGrid *data = grid(objectnames::stgdatos);
        editor->loadStudy(makeStudy({"3", "3", "3"}, numbers(9), numbers(9, 101)));
        notebook()->setCurrentIndex(stats::PageData);
        QCoreApplication::processEvents();
        QVERIFY(data->isVisible());
        // Nine observations fit: no bar, and no empty strip beside the columns.
        QVERIFY(!data->verticalScrollBar()->isVisible());
        QCOMPARE(data->viewport()->width(), 3 * data->columnWidth(1));

        // Five levels of five: the bar, the whole columns, the heading in view at the bottom.
        const stats::StudyData full = makeStudy({"5", "5", "5", "5", "5"}, numbers(25), numbers(25, 101));
        editor->loadStudy(full);
        notebook()->setCurrentIndex(stats::PageData);
        QCoreApplication::processEvents();
        QVERIFY(data->verticalScrollBar()->isVisible());
        QVERIFY(data->viewport()->width() >= 3 * data->columnWidth(1));
        QTRY_VERIFY(data->parentWidget()->rect().contains(data->geometry())); // its panel grows with it
        clickCell(data, 2, 25);
        QCOMPARE(data->currentRow(), 25);
    }
};

QTEST_MAIN(StudyEditorTest)
#include "studyeditor_test.moc"
