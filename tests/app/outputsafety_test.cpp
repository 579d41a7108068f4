// No window writes an output over a study. With a study open from a file,
// "Guardar PDF..." of the verification and printing to a file from the print
// options window or a graph window refuse the open study under any name or
// link, any .w04, a file holding a study and one the user may not write:
// the reason is told before anything is written and the dialog is asked
// again; the files stay as they were.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/pdfwords.h"
#include "support/scripteddialogs.h"
#include "support/studybytes.h"
#include "windows/objectnames.h"
#include "windows/printoptionswindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/verificationwindow.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class OutputSafetyTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QByteArray study;
    QString open, hardLink, other, locked;

    QString write(const QString &name, const QByteArray &bytes)
    {
        testing_files::writeAll(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
    // The names refused, in the order planned, and why.
    QStringList refusals() const
    {
        auto output = [](const QString &path, const char *why) { return "El archivo de salida «" + path + "» " + why; };
        return {output(open, "es un estudio (.w04): no se escribe sobre él."),
                output(hardLink, "es el estudio abierto en el editor: no se escribe sobre él."),
                output(other, "contiene un estudio: no se escribe sobre él."),
                "No se puede escribir el archivo de salida «" + locked + "»: acceso denegado; queda como estaba."};
    }
    void expectUntouched()
    {
        for (const QString &path : {open, hardLink, other})
            QCOMPARE(testing_files::readAll(path), study);
        QCOMPARE(testing_files::readAll(locked), QByteArray("%PDF-1.4 signed\n"));
    }

private slots:
    void initTestCase()
    {
        study = testing_files::readAll(TEST_DATA_DIR "/worked-anova.w04");
        QVERIFY(!study.isEmpty());
        open = write("abierto.w04", study);
        hardLink = dir.filePath("enlace.pdf");
        QCOMPARE(::link(QFile::encodeName(open), QFile::encodeName(hardLink)), 0);
        other = write("otro.pdf", study);
        locked = write("firmado.pdf", "%PDF-1.4 signed\n");
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    void theVerificationReportIsNeverSavedOverAStudy()
    {
        ScriptedDialogs dialogs;
        Application app(dialogs, '.');
        app.frame().openStudyFile(open);
        QVERIFY(dialogs.errors.isEmpty());
        const QString saved = dir.filePath("VERIFICACION.pdf");
        for (const QString &name : {open, hardLink, other, locked, saved})
            dialogs.files.enqueue(name);
        dialogs.onModal = [](QDialog &window) {
            window.findChild<QPushButton *>(objectnames::btnguardarpdf)->click();
            return int(QDialog::Accepted);
        };
        app.frame().action(objectnames::HelpVerifyItem)->trigger();
        QCOMPARE(dialogs.modalDialogs, QStringList{"VerificationWindow"});
        QCOMPARE(dialogs.fileDialogs.size(), 1); // one dialog, kept open after each refusal
        QCOMPARE(dialogs.messages, refusals());
        QVERIFY(dialogs.errors.isEmpty());
        expectUntouched();
        QVERIFY(readPdf(saved).read);
    }

    void printingToAFileNeverReplacesAStudy()
    {
        ScriptedDialogs dialogs;
        Application app(dialogs, '.');
        app.frame().openStudyFile(open);
        const QString printed = dir.filePath("informe.pdf");
        for (const QString &name : {open, hardLink, other, locked, printed})
            dialogs.printFiles.enqueue(name);
        app.frame().action(objectnames::PrintLasser)->trigger();
        app.printOptions().findChild<QPushButton *>("BitBtn1")->click();
        QCOMPARE(dialogs.printDialogs, 5); // shown again after each refusal
        QCOMPARE(dialogs.messages, refusals());
        QVERIFY(readPdf(printed).read);

        // The graph window prints through the same dialog.
        dialogs.clear();
        dialogs.printFiles.enqueue(hardLink); // then Cancel: nothing printed
        app.plot().printGraph();
        QCOMPARE(dialogs.messages, refusals().mid(1, 1));
        QVERIFY(dialogs.errors.isEmpty());
        expectUntouched();
    }
};

QTEST_MAIN(OutputSafetyTest)
#include "outputsafety_test.moc"
