// The print options window: its choice of report, one print job per
// "Aceptar" read back from the PDF it printed, the print dialog's Cancel, and
// the studies it refuses before any job starts.
#include "windows/objectnames.h"
#include "windows/printoptionswindow.h"
#include "windows/sampleswindow.h"

#include "support/editortesting.h"
#include "support/pdfwords.h"
#include "support/scripteddialogs.h"
#include "support/studies.h"
#include "windows/studyeditor.h"

#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
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

    void cancelarHidesTheWindowAndKeepsItsChoice()
    {
        QVERIFY(window->isWindow() && !window->isModal());
        QVERIFY(item(0)->isChecked());
        item(2)->click();
        user::click(button("BitBtn2"));
        QVERIFY(!window->isVisible());
        window->show();
        QVERIFY(item(2)->isChecked());
        QCOMPARE(window->selectedReport(), render::PrintedReport::ErrorAndResiduals);
        QCOMPARE(dialogs.printDialogs, 0);
    }

    void eachAceptarPrintsOneJobOfOnePage()
    {
        print(1, QString()); // the print dialog cancelled: nothing printed
        QVERIFY(QDir(dir->path()).isEmpty());
        print(1, pdf("anova.pdf"));
        print(2, pdf("error.pdf"));
        print(0, pdf("general.pdf"));
        QCOMPARE(dialogs.printDialogs, 4);
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
        QVERIFY(window->isVisible()); // ready for another report

        // The chosen report, each page as the reviewed outputs hold it (tests/golden).
        const QList<std::pair<QString, QString>> pages = {{"anova.pdf", "Inferencia de Pendiente y Ordenada al Origen"},
                                                          {"error.pdf", "Evaluación del Error Sistemático Constante"},
                                                          {"general.pdf", "Información General"}};
        for (const auto &[file, heading] : pages) {
            const PdfDocument page = readPdf(pdf(file));
            QVERIFY2(page.read, "pdftotext (poppler-utils) reads the printed page");
            QCOMPARE(page.pages, 1);
            QVERIFY2(page.lines(0).contains(heading), qPrintable(file));
        }
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

    // The samples page prints every sample typed in the samples window, in
    // its place: one whose response is not a number with what its row says.
    void theSamplesPagePrintsEverySampleTyped()
    {
        SamplesWindow samples(testing_studies::anovaStudy(), '.', dialogs);
        samples.setSamples({{"A", {"1.5"}}, {"B", {"abc"}}, {"C", {"2.5"}}});
        // The row's own words, after the row it names («fila 2: »): the page names the sample.
        const QString shown = samples.grid()->item(1, SamplesWindow::Flags)->text();
        QVERIFY2(shown.startsWith("fila 2: ") && shown.contains("abc"), qPrintable(shown));
        const QString reason = shown.mid(QStringLiteral("fila 2: ").size());
        window->setSamplesSource([&](stats::AnalysisOptions &options) { samples.samplesInto(options); });
        print(int(render::EvaluationPage("samples")), pdf("muestras.pdf"));
        const PdfDocument page = readPdf(pdf("muestras.pdf"));
        QVERIFY2(page.read, "pdftotext (poppler-utils) reads the printed page");
        QStringList names; // the first word of each table row
        for (const QString &line : page.lines(0))
            if (QStringList{"A", "B", "C"}.contains(line.section(' ', 0, 0)))
                names << line.section(' ', 0, 0);
        QCOMPARE(names, (QStringList{"A", "B", "C"}));
        QVERIFY2(page.text().simplified().contains("B: NO SE PUDO CALCULAR: " + reason), qPrintable(page.text()));
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
