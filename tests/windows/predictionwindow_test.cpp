// The prediction window: the equation of the worked study, the count of
// predictions, the Tab rule of its grid and its state in the study file.
#include "windows/objectnames.h"
#include "windows/predictionwindow.h"

#include "stats/regression.h"
#include "stats/studyfile.h"
#include "support/editortesting.h"
#include "support/scripteddialogs.h"
#include "support/studies.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

using namespace user;

namespace {

stats::RegressionResult workedRegression()
{
    stats::RegressionResult r;
    bool zero = false;
    stats::ComputeRegression(stats::ReadStudy(testing_studies::inferenceStudy(), '.'), r, zero);
    return r;
}

} // namespace

class PredictionWindowTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<PredictionWindow> window;

    QLabel *label(const char *name) const { return window->findChild<QLabel *>(name); }
    QLineEdit *epredice() const { return window->findChild<QLineEdit *>(objectnames::epredice); }
    StringGrid *grid() const { return window->findChild<StringGrid *>(objectnames::stgpredice); }
    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(name); }
    static QColor colour(const QLabel *l) { return l->palette().color(QPalette::WindowText); }
    QString focused() const
    {
        for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (QStringList{objectnames::epredice, objectnames::btnok, objectnames::stgpredice, objectnames::btncalcula, objectnames::BtBtncerrar}.contains(w->objectName()))
                return w->objectName();
        return "(none)";
    }
    // Types the x values from row 1 on, a Tab between two (down column 0).
    void typeX(const QStringList &values)
    {
        clickCell(grid(), 0, 1);
        for (int i = 0; i < values.size(); ++i) {
            if (i > 0) {
                key(Qt::Key_Tab);
                key(Qt::Key_Tab);
            }
            if (!values[i].isEmpty())
                type(values[i]);
        }
    }

private slots:
    void init()
    {
        dialogs.clear();
        window = std::make_unique<PredictionWindow>(dialogs, '.');
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(focused(), QString(objectnames::epredice));
    }
    void cleanup() { window.reset(); }

    void theWorkedStudyGivesItsEquationAndPrediction()
    {
        window->showEquation(workedRegression());
        QCOMPARE(label(objectnames::lblm)->text(), QString("1.00667"));
        QCOMPARE(colour(label(objectnames::lblm)), QColor(Qt::blue));
        QVERIFY(label(objectnames::lblm1)->isHidden() && label(objectnames::lblm2)->isHidden());
        QCOMPARE(label(objectnames::lblB)->text(), QString("-0.544444"));
        QCOMPARE(colour(label(objectnames::lblB)), QColor(Qt::red));
        QVERIFY(label(objectnames::lblb1)->isVisible() && label(objectnames::lblb2)->isVisible());
        QCOMPARE(label(objectnames::LBLCD)->text(), QString("0.99840357"));

        typeX({"100", "0", "1e3"});
        click(button(objectnames::btncalcula));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(grid()->cell(1, 1), QString("100.123"));
        QCOMPARE(grid()->cell(1, 2), QString("-0.544444"));
        QCOMPARE(grid()->cell(1, 3), QString("1006.13"));
    }

    void aNegativeSlopeIsRedInParentheses()
    {
        stats::RegressionResult r;
        r.slope = stats::Rational(-5, 2);
        r.intercept = 0;
        r.rSquared = stats::Rational(1, 2);
        window->showEquation(r);
        QCOMPARE(colour(label(objectnames::lblm)), QColor(Qt::red));
        QVERIFY(label(objectnames::lblm1)->isVisible());
        QCOMPARE(colour(label(objectnames::lblB)), QColor(Qt::blue));
        QVERIFY(label(objectnames::lblb1)->isHidden());
    }

    void altCComputesAndEscapeDoesNotClose()
    {
        window->showEquation(workedRegression());
        typeX({"100", "90", "80"});
        // Both buttons mark C: the first one, the computation, is pressed.
        key(Qt::Key_C, Qt::AltModifier);
        QTRY_COMPARE(grid()->cell(1, 1), QString("100.123"));
        QVERIFY(window->isVisible());
        epredice()->setFocus();
        key(Qt::Key_Escape);
        QVERIFY(window->isVisible());
    }

    void theCountIsChecked_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("zero") << "0" << "Datos fuera de rango, 1-10 Datos";
        QTest::newRow("eleven") << "11" << "Datos fuera de rango, 1-10 Datos";
        QTest::newRow("empty") << "" << "Falta capturar el número de datos que desea predecir.";
        QTest::newRow("five") << "5" << "";
        QTest::newRow("ten, the most") << "10" << "";
    }
    void theCountIsChecked()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        typeX({"7", "8"});
        click(epredice());
        retype(typed);
        key(Qt::Key_Return); // the default button, "Aceptar"
        QCOMPARE(dialogs.messages, message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(focused(), QString(objectnames::epredice));
        QCOMPARE(grid()->rowCount(), message.isEmpty() ? typed.toInt() + 1 : 4);
        QCOMPARE(grid()->cell(0, 2), QString("8")); // typed x values stay

        // Leaving the field runs the same checks; a refused count keeps the
        // focus and the button does not run.
        dialogs.clear();
        click(button(objectnames::btncalcula));
        QCOMPARE(dialogs.messages, QStringList{message.isEmpty() ? QString("Falta capturar el dato No. 3") : message});
    }

    void aCountThatIsNotANumberIsReportedAndKeepsTheFocus()
    {
        retype("x");
        key(Qt::Key_Tab);
        QCOMPARE(dialogs.errors, QStringList{"'x' is not a valid integer value."});
        QCOMPARE(focused(), QString(objectnames::epredice));
    }

    void aChangedCountNotAcceptedIsAMismatch()
    {
        retype("5");
        click(button(objectnames::btncalcula));
        QCOMPARE(dialogs.messages, QStringList{"El número de celdas de captura no coincide con el número de niveles."});
        QCOMPARE(focused(), QString(objectnames::epredice));
        clickCell(grid(), 0, 1); // entering the grid says the same
        QCOMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages.last(), dialogs.messages.first());
        QCOMPARE(focused(), QString(objectnames::epredice));
    }

    void aMissingOrWrongXComputesNothing()
    {
        window->showEquation(workedRegression());
        typeX({"100", "", "120"});
        click(button(objectnames::btncalcula));
        QCOMPARE(dialogs.messages, QStringList{"Falta capturar el dato No. 2"});
        QCOMPARE(focused(), QString(objectnames::stgpredice));
        clickCell(grid(), 0, 2);
        type("abc");
        click(button(objectnames::btncalcula));
        QCOMPARE(dialogs.errors, QStringList{"'abc' is not a valid floating point value."});
        QCOMPARE(grid()->cell(1, 1), QString());
    }

    void tabLeavesTheGridFromItsLastCell()
    {
        clickCell(grid(), 0, 1);
        for (int i = 0; i < 5; ++i)
            key(Qt::Key_Tab);
        QCOMPARE(grid()->currentColumn(), 1);
        QCOMPARE(grid()->currentRow(), 3);
        QCOMPARE(focused(), QString(objectnames::stgpredice));
        key(Qt::Key_Tab);
        QCOMPARE(focused(), QString(objectnames::btncalcula));
        QCOMPARE(grid()->currentColumn(), 1); // leaving makes column 1 of row 1 current
        QCOMPARE(grid()->currentRow(), 1);
        QVERIFY(grid()->tabMovesBetweenCells());
    }

    // What the study file stores of the window, changed by the user, is a
    // change to the study; what the program shows or loads is not.
    void whatTheUserChangesIsAnEditOfTheStudy_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("edited");
        QTest::newRow("the equation shown") << "equation" << false;
        QTest::newRow("a study file loaded") << "load" << false;
        QTest::newRow("an x typed") << "x" << true;
        QTest::newRow("the count typed") << "count" << true;
        QTest::newRow("another count applied") << "apply 5" << true;
        QTest::newRow("the same count applied") << "apply 3" << false;
        QTest::newRow("predictions computed") << "compute" << true;
        QTest::newRow("the same predictions computed again") << "compute again" << false;
    }
    void whatTheUserChangesIsAnEditOfTheStudy()
    {
        QFETCH(QString, action);
        QFETCH(bool, edited);
        window->showEquation(workedRegression());
        for (int row = 1; row <= 3; ++row)
            grid()->setCell(0, row, QString::number(row));
        if (action == "compute again")
            click(button(objectnames::btncalcula));
        QSignalSpy edits(window.get(), &PredictionWindow::stateEdited);
        if (action == "equation") {
            window->showEquation(workedRegression());
        } else if (action == "load") {
            stats::StudyFile file;
            file.predictionCount = "2";
            file.predictionX = {"1", "2"};
            file.predictionY = {"", ""};
            window->loadFrom(file);
        } else if (action == "x") {
            typeX({"7"});
        } else if (action == "count") {
            type("5");
        } else if (action.startsWith("apply")) {
            epredice()->setText(action.section(' ', 1));
            click(button(objectnames::btnok));
        } else {
            click(button(objectnames::btncalcula));
            QCOMPARE(grid()->cell(1, 1), QString("0.462226"));
        }
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
        QCOMPARE(!edits.isEmpty(), edited);
    }

    void theStudyFileKeepsTheWindowsState()
    {
        stats::StudyFile file;
        file.predictionSlope = "1.00667";
        file.predictionIntercept = "-0.544444";
        file.predictionCount = "5";
        file.predictionX = {"1", "2", "3", "4", "5"};
        file.predictionY = {"a", "b", "c", "d", "e"};
        window->loadFrom(file);
        QCOMPARE(grid()->rowCount(), 6);
        QCOMPARE(label(objectnames::lblB)->text(), QString("-0.544444"));
        QCOMPARE(grid()->cell(1, 5), QString("e"));
        stats::StudyFile stored;
        window->storeInto(stored);
        QCOMPARE(stats::SerializeStudyFile(stored), stats::SerializeStudyFile(file));
    }
};

QTEST_MAIN(PredictionWindowTest)
#include "predictionwindow_test.moc"
