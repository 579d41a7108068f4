// The print options window: its choice of report, one print job per
// "Aceptar" read back from the PDF it printed, the print dialog's Cancel, and
// the studies it refuses before any job starts.
#include "windows/objectnames.h"
#include "windows/printoptionswindow.h"

#include "support/editortesting.h"
#include "support/pdfwords.h"
#include "support/scripteddialogs.h"
#include "support/studies.h"
#include "windows/studyeditor.h"

#include <QButtonGroup>
#include <QFile>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class PrintOptionsWindowTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<RecordingHost> host;
    std::unique_ptr<StudyEditor> editor;
    std::unique_ptr<PrintOptionsWindow> window;
    std::unique_ptr<QTemporaryDir> dir;

    QRadioButton *item(int i) const { return window->findChild<QRadioButton *>(QString("opcion%1").arg(i)); }
    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(name); }
    QString pdf(const QString &name) const { return dir->filePath(name); }
    // Chooses the report and presses "Aceptar", the print dialog answering with `file` ("" = Cancel).
    void print(int report, const QString &file)
    {
        item(report)->click();
        dialogs.printFiles.enqueue(file);
        user::click(button("BitBtn1"));
    }

private slots:
    void init()
    {
        dialogs = ScriptedDialogs();
        dir = std::make_unique<QTemporaryDir>();
        host = std::make_unique<RecordingHost>(dialogs);
        editor = std::make_unique<StudyEditor>(*host, '.');
        editor->loadStudy(testing_studies::anovaStudy());
        window = std::make_unique<PrintOptionsWindow>(dialogs, '.');
        window->setStudySource([this] { return editor.get(); });
        window->show();
    }
    void cleanup()
    {
        window.reset();
        editor.reset();
    }

    void looksAsDescribedAndKeepsItsChoice()
    {
        QCOMPARE(window->objectName(), QStringLiteral("Fopprt1"));
        QCOMPARE(window->windowTitle(), QStringLiteral("opciones"));
        QCOMPARE(window->size(), QSize(350, 229));
        QVERIFY(window->isWindow() && !window->isModal());
        QCOMPARE(window->findChild<QGroupBox *>("opcion")->title(), QStringLiteral("Imprimir en Lasser:"));
        const QStringList captions = {"Imprime Información General", "Imprime Inferencia y Anova",
                                      "Imprime Evaluación del Error y Residuales"};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(item(i)->text(), captions[i]);
        QVERIFY(item(0)->isChecked());
        QCOMPARE(button("BitBtn1")->text(), QStringLiteral("Aceptar"));
        QCOMPARE(button("BitBtn2")->text(), QStringLiteral("Cancelar"));
        QVERIFY(!button("BitBtn1")->icon().isNull() && !button("BitBtn2")->icon().isNull());

        item(2)->click();
        user::click(button("BitBtn2")); // Cancelar hides the window
        QVERIFY(!window->isVisible());
        window->show();
        QVERIFY(item(2)->isChecked());
        QCOMPARE(window->selectedReport(), render::PrintedReport::ErrorAndResiduals);
        QCOMPARE(dialogs.printDialogs, 0);
    }

    void eachAceptarPrintsOneJobOfOnePage()
    {
        print(1, pdf("anova.pdf"));
        print(2, pdf("error.pdf"));
        print(0, pdf("general.pdf"));
        QCOMPARE(dialogs.printDialogs, 3);
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
        QVERIFY(window->isVisible()); // ready for another report

        const PdfDocument anova = readPdf(pdf("anova.pdf"));
        QVERIFY2(anova.read, "pdftotext (poppler-utils) reads the printed page");
        QCOMPARE(anova.pages, 1);
        // The chosen report, each page as the reviewed outputs hold it (tests/golden).
        QVERIFY(anova.lines(0).contains("Inferencia de Pendiente y Ordenada al Origen"));
        const PdfDocument error = readPdf(pdf("error.pdf"));
        QCOMPARE(error.pages, 1);
        QVERIFY(error.lines(0).contains("Evaluación del Error Sistemático Constante"));
        const PdfDocument general = readPdf(pdf("general.pdf"));
        QCOMPARE(general.pages, 1);
        QVERIFY(general.lines(0).contains("Información General"));
    }

    void aCancelledPrintDialogPrintsNothing()
    {
        print(1, QString());
        QCOMPARE(dialogs.printDialogs, 1);
        QVERIFY(QDir(dir->path()).isEmpty());
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
    }

    void aRefusedStudyStartsNoJob()
    {
        // Pages 2 and 3 validate first: the editor's message, page and focus.
        stats::StudyData incomplete = testing_studies::anovaStudy();
        incomplete.dataGrid[4][1] = "";
        editor->loadStudy(incomplete);
        editor->show();
        for (int report : {1, 2}) {
            dialogs.clear();
            print(report, pdf("never.pdf"));
            QCOMPARE(dialogs.messages, QStringList{"Falta el dato 4 de la cantidad adicionada"});
            QCOMPARE(editor->findChild<QTabWidget *>(objectnames::thoja)->currentIndex(), 2);
        }
        // The general information prints an incomplete study as it stands.
        dialogs.printFiles.clear();
        print(0, pdf("incomplete.pdf"));
        QVERIFY(QFile::exists(pdf("incomplete.pdf")));
        QFile::remove(pdf("incomplete.pdf"));

        editor->loadStudy(testing_studies::makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"}));
        for (int report : {1, 2}) {
            dialogs.clear();
            dialogs.printFiles.clear();
            print(report, pdf("never.pdf"));
            QCOMPARE(dialogs.messages, QStringList{"La pendiente es cero, imposible realizar cálculos."});
        }

        stats::StudyData badLevels = testing_studies::anovaStudy();
        badLevels.levelsText = "x";
        editor->loadStudy(badLevels);
        dialogs.clear();
        dialogs.printFiles.clear();
        print(0, pdf("never.pdf"));
        QCOMPARE(dialogs.errors, QStringList{"'x' is not a valid integer value."});

        QCOMPARE(dialogs.printDialogs, 1); // only the incomplete study's general page
        QVERIFY(QDir(dir->path()).isEmpty());
    }

    void withoutAStudyAceptarDoesNothing()
    {
        window->setStudySource([] { return nullptr; });
        print(0, pdf("never.pdf"));
        QCOMPARE(dialogs.printDialogs, 0);
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
    }
};

QTEST_MAIN(PrintOptionsWindowTest)
#include "printoptionswindow_test.moc"
