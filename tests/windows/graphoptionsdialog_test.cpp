// The options dialog of the graphs: what marks the study modified, Enter
// and Escape in any field, and the cancelled edits kept for Save.
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
    void typingMarksTheStudyOnlyInTheTitle_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("backspace");
        QTest::addColumn<int>("marks");
        QTest::newRow("characters in the title") << "TitleEdit" << 0 << "" << "Lote 7" << false << 6;
        QTest::newRow("backspace in the title") << "TitleEdit" << 0 << "abc" << "" << true << 1;
        QTest::newRow("title already full") << "TitleEdit" << 0 << QString(60, 'a') << "b" << false << 1;
        QTest::newRow("X label") << "XLblEdit" << 0 << "" << "mg" << false << 0;
        QTest::newRow("Y label") << "YLblEdit" << 0 << "ab" << "mg" << true << 0;
        QTest::newRow("a limit") << "XMinEdit" << 1 << "" << "12" << false << 0;
    }
    void typingMarksTheStudyOnlyInTheTitle()
    {
        QFETCH(QString, field);
        QFETCH(int, page);
        QFETCH(QString, start);
        QFETCH(QString, typed);
        QFETCH(bool, backspace);
        QFETCH(int, marks);
        GraphOptionsDialog dialog;
        int count = 0;
        connect(&dialog, &GraphOptionsDialog::titleTyped, [&count] { ++count; });
        dialog.findChild<QLineEdit *>(field)->setText(start);
        openWithFocus(dialog, field.toLatin1().constData(), page);
        auto *edit = dialog.findChild<QLineEdit *>(field);
        edit->end(false);
        QTest::keyClicks(edit, typed);
        if (backspace)
            QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(count, marks);
        // An accented letter is a typed character like any other.
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_Eacute, QStringLiteral("é"), Qt::NoModifier);
        QCOMPARE(count, field == "TitleEdit" ? marks + 1 : 0);
        QVERIFY(dialog.isVisible());
    }

    void enterInAnyFieldClosesWithOk_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty title") << "TitleEdit" << 0 << "";
        QTest::newRow("X label") << "XLblEdit" << 0 << "mg";
        QTest::newRow("empty Y label") << "YLblEdit" << 0 << "";
        QTest::newRow("X min") << "XMinEdit" << 1 << "80";
        QTest::newRow("empty Y max") << "YMaxEdit" << 1 << "";
    }
    void enterInAnyFieldClosesWithOk()
    {
        QFETCH(QString, field);
        QFETCH(int, page);
        QFETCH(QString, text);
        GraphOptionsDialog dialog;
        int marks = 0;
        connect(&dialog, &GraphOptionsDialog::titleTyped, [&marks] { ++marks; });
        dialog.findChild<QLineEdit *>(field)->setText(text);
        openWithFocus(dialog, field.toLatin1().constData(), page);
        QTest::keyClick(dialog.findChild<QLineEdit *>(field), Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(marks, 0); // Enter is the OK button's, not a typed character
    }

    void escapeCancelsAndTheTextsStay()
    {
        GraphOptionsDialog dialog;
        int marks = 0;
        connect(&dialog, &GraphOptionsDialog::titleTyped, [&marks] { ++marks; });
        dialog.setTitleText(QStringLiteral("Antes"));
        openWithFocus(dialog, "TitleEdit", 0);
        auto *title = dialog.findChild<QLineEdit *>("TitleEdit");
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Despues"));
        QTest::keyClicks(dialog.findChild<QLineEdit *>("XLblEdit"), QStringLiteral("ug/mL"));
        QTest::keyClick(title, Qt::Key_Escape);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(marks, 7); // the mark stays although the edit was cancelled

        // Shown again: the cancelled edits are still there for Save to read.
        QCOMPARE(dialog.titleText(), QStringLiteral("Despues"));
        QCOMPARE(dialog.xLabelText(), QStringLiteral("ug/mL"));
        openWithFocus(dialog, "TitleEdit", 0);
        QCOMPARE(dialog.titleText(), QStringLiteral("Despues"));
        dialog.findChild<QPushButton *>("CancelBtn")->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "graphoptionsdialog_test.moc"
