// "Verificar la instalación..." as a user runs it: the last entry of the
// Ayuda menu, the window with the table and the verdict, and the report
// saved as a PDF through the file dialog.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/pdfwords.h"
#include "support/scripteddialogs.h"
#include "windows/objectnames.h"
#include "windows/verificationwindow.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class VerificationWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void theHelpMenuRunsItAndSavesTheReport()
    {
        ScriptedDialogs dialogs;
        Application app(dialogs, ',');
        app.frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&app.frame()));
        auto *help = app.frame().findChild<QMenu *>("mnuayudaMenu");
        QVERIFY(help);
        QAction *entry = help->actions().last();
        QCOMPARE(entry->objectName(), QString(objectnames::HelpVerifyItem));
        QCOMPARE(entry->text(), QStringLiteral("Verificar la instalación..."));
        QVERIFY(entry->isEnabled()); // with no study open

        const QString pdf = dir.filePath("VERIFICACION.pdf");
        dialogs.files.enqueue(pdf);
        QString verdict;
        int rows = 0;
        dialogs.onModal = [&](QDialog &dialog) {
            auto &window = static_cast<VerificationWindow &>(dialog);
            verdict = window.verdictText();
            rows = window.table()->rowCount();
            window.findChild<QPushButton *>(objectnames::btnguardarpdf)->click();
            return int(QDialog::Accepted);
        };
        entry->trigger();
        QCOMPARE(dialogs.modalDialogs, QStringList{"VerificationWindow"});
        QCOMPARE(verdict, QStringLiteral("Verificación correcta: %1 de %1").arg(rows));
        QCOMPARE(dialogs.fileDialogs,
                 QStringList{"save|Guardar el informe de verificación|Documento PDF (*.pdf)|pdf|VERIFICACION.pdf"});
        QVERIFY(dialogs.errors.isEmpty());
        const PdfDocument doc = readPdf(pdf);
        QVERIFY(doc.read && doc.text().contains(verdict));
    }

    // A failed verification shows which rows failed and its report says so;
    // a cancelled dialog writes nothing, a file that cannot be written is
    // the general error report.
    void aFailedVerificationIsShownAndFiledAsFailed()
    {
        std::string references = cli::BuiltInReferences();
        const std::string wrong = "printed\t/recovery/tCalculated\t-19.25";
        references.replace(references.find(wrong), wrong.size(), "printed\t/recovery/tCalculated\t-19.26");
        ScriptedDialogs dialogs;
        VerificationWindow window(cli::RunVerification(references), dialogs);
        QVERIFY2(window.verdictText().startsWith("Verificación FALLIDA: 1 de "), qPrintable(window.verdictText()));
        QVERIFY(window.verdictText().endsWith("(Ejemplo de error sistemático: Prueba t de Student)"));
        QList<QTableWidgetItem *> failing = window.table()->findItems("FALLA", Qt::MatchExactly);
        QCOMPARE(failing.size(), 1);
        QCOMPARE(window.table()->item(failing[0]->row(), 1)->text(), QStringLiteral("Prueba t de Student"));
        QCOMPARE(window.table()->item(failing[0]->row(), 3)->text(), QStringLiteral("-19.25"));

        window.saveReport(); // cancelled
        QCOMPARE(dialogs.fileDialogs.size(), 1);
        QVERIFY(!QFile::exists(dir.filePath("failed.pdf")));
        dialogs.files.enqueue(dir.filePath("no/such/folder/failed.pdf"));
        window.saveReport();
        QCOMPARE(dialogs.errors.size(), 1);

        const QString pdf = dir.filePath("failed.pdf");
        dialogs.files.enqueue(pdf);
        window.saveReport();
        const QString text = readPdf(pdf).text();
        QVERIFY(text.contains(window.verdictText().left(40)));
        QVERIFY(text.contains("Prueba t de Student -19.26 -19.25"));
        QVERIFY(text.contains("FALLA"));
    }
};

QTEST_MAIN(VerificationWindowTest)
#include "verificationwindow_test.moc"
