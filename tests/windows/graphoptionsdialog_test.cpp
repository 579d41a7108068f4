// The options dialog of the graphs: what marks the study modified, Enter
// and Escape in any field, and the cancelled edits given back.
#include "windows/graphoptionsdialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

class OptionsDialogTest : public QObject {
    Q_OBJECT

    // Shows the dialog the way the graphs do (modal) without blocking the test.
    static void openWithFocus(GraphOptionsDialog &dialog, const char *field, int page)
    {
        dialog.findChild<QTabWidget *>("TabbedNotebook1")->setCurrentIndex(page);
        dialog.open();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *edit = dialog.findChild<QLineEdit *>(field);
        QVERIFY(edit);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
    }

private slots:
    void typingMarksTheStudyOnlyInTheTitle()
    {
        const struct {
            const char *what, *field;
            int page;
            QString start, typed;
            bool backspace;
            int marks;
        } cases[] = {
            {"characters in the title", "TitleEdit", 0, "", "Lote 7", false, 6},
            {"backspace in the title", "TitleEdit", 0, "abc", "", true, 1},
            {"title already full", "TitleEdit", 0, QString(60, 'a'), "b", false, 1},
            {"X label", "XLblEdit", 0, "", "mg", false, 0},
            {"Y label", "YLblEdit", 0, "ab", "mg", true, 0},
            {"a limit", "XMinEdit", 1, "", "12", false, 0},
        };
        for (const auto &c : cases) {
            GraphOptionsDialog dialog;
            int count = 0;
            connect(&dialog, &GraphOptionsDialog::titleTyped, [&count] { ++count; });
            auto *edit = dialog.findChild<QLineEdit *>(c.field);
            edit->setText(c.start);
            openWithFocus(dialog, c.field, c.page);
            edit->end(false);
            QTest::keyClicks(edit, c.typed);
            if (c.backspace)
                QTest::keyClick(edit, Qt::Key_Backspace);
            QVERIFY2(count == c.marks, c.what);
            // An accented letter is a typed character like any other.
            QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
            QVERIFY2(count == (QByteArray(c.field) == "TitleEdit" ? c.marks + 1 : 0), c.what);
            QVERIFY(dialog.isVisible());
        }
    }

    // Enter is the OK button's, not a typed character.
    void enterInAnyFieldClosesWithOk()
    {
        const std::tuple<const char *, int, QString> cases[] = {
            {"TitleEdit", 0, ""}, {"XLblEdit", 0, "mg"}, {"YLblEdit", 0, ""}, {"XMinEdit", 1, "80"}, {"YMaxEdit", 1, ""}};
        for (const auto &[field, page, text] : cases) {
            GraphOptionsDialog dialog;
            int marks = 0;
            connect(&dialog, &GraphOptionsDialog::titleTyped, [&marks] { ++marks; });
            dialog.findChild<QLineEdit *>(field)->setText(text);
            openWithFocus(dialog, field, page);
            QTest::keyClick(dialog.findChild<QLineEdit *>(field), Qt::Key_Return);
            QVERIFY2(dialog.result() == QDialog::Accepted && !dialog.isVisible(), field);
            QCOMPARE(marks, 0);
        }
    }

    // Only what was accepted stays: Escape, Cancelar and the close button
    // give back every text, the limits and the grid the dialog was shown with.
    void closedWithoutOkGivesBackWhatItHeld()
    {
        for (const QString how : {"Escape", "Cancelar", "close button", "OK"}) {
            GraphOptionsDialog dialog;
            int marks = 0, cancelled = 0, accepted = 0;
            connect(&dialog, &GraphOptionsDialog::titleTyped, [&marks] { ++marks; });
            connect(&dialog, &GraphOptionsDialog::titleEditCancelled, [&cancelled] { ++cancelled; });
            connect(&dialog, &GraphOptionsDialog::titlesAccepted, [&accepted] { ++accepted; });
            dialog.setTitleText(QStringLiteral("Antes"));
            dialog.setLimitTexts("0", "10", "0", "12");
            dialog.setReferenceIndex(2);
            openWithFocus(dialog, "TitleEdit", 0);
            auto *title = dialog.findChild<QLineEdit *>("TitleEdit");
            title->selectAll();
            QTest::keyClicks(title, QStringLiteral("Despues"));
            QTest::keyClicks(dialog.findChild<QLineEdit *>("XLblEdit"), QStringLiteral("ug/mL"));
            dialog.findChild<QLineEdit *>("XMaxEdit")->setText("20");
            dialog.setReferenceIndex(3);
            if (how == "Escape")
                QTest::keyClick(title, Qt::Key_Escape);
            else if (how == "Cancelar")
                dialog.findChild<QPushButton *>("CancelBtn")->click();
            else if (how == "close button")
                dialog.close();
            else
                dialog.findChild<QPushButton *>("OKBtn")->click();
            QVERIFY(!dialog.isVisible());
            QCOMPARE(marks, 7); // each typed character, as it is typed
            const bool ok = how == "OK";
            QVERIFY2(dialog.result() == (ok ? QDialog::Accepted : QDialog::Rejected), qPrintable(how));
            QCOMPARE(cancelled, ok ? 0 : 1);
            QCOMPARE(accepted, ok ? 1 : 0);
            QCOMPARE(dialog.titleText(), ok ? QStringLiteral("Despues") : QStringLiteral("Antes"));
            QCOMPARE(dialog.xLabelText(), ok ? QStringLiteral("ug/mL") : QString());
            QCOMPARE(dialog.xMaxText(), ok ? QStringLiteral("20") : QStringLiteral("10"));
            QCOMPARE(dialog.referenceIndex(), ok ? 3 : 2);
        }
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "graphoptionsdialog_test.moc"
