// A printout names the study as it is when it is printed: the file it was
// read from or saved to, with its digest, while that file on disk is still
// the study; the name and "(modificado, sin guardar)" once the study was
// edited, "(el archivo cambió en el disco)" once another program replaced
// the file, "Estudio sin guardar" for a new study; never a digest that is
// not the file's. The print options window and the graph windows say the
// same, and a PDF printed to a file says what it is and claims PDF/A-1b.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/pdfwords.h"
#include "support/processrun.h"
#include "support/scripteddialogs.h"
#include "windows/printoptionswindow.h"
#include "windows/regressiongraphwindow.h"

#include <QCryptographicHash>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

class PrintRecordTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    int printed = 0;

    static QString digest16(const QString &path)
    {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromLatin1(QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex().left(16));
    }
    // The identification line of the first page of what `print` printed.
    template <typename Print>
    QString recordLine(Print print, QString *pdf = nullptr)
    {
        const QString file = dir.filePath(QStringLiteral("impreso%1.pdf").arg(++printed));
        dialogs.printFiles.enqueue(file);
        print();
        if (pdf)
            *pdf = file;
        for (const QString &line : readPdf(file).lines(0))
            if (line.contains(QStringLiteral(" · Impreso ")))
                return line;
        return QStringLiteral("sin línea de identificación en ") + file;
    }

private slots:
    void printoutsNameTheStudyAsItIsWhenPrinted()
    {
        const QString path = dir.filePath(QStringLiteral("estudio.w04"));
        QVERIFY(QFile::copy(TEST_DATA_DIR "/worked-anova.w04", path));
        Application app(dialogs, '.');
        MainWindow &frame = app.frame();
        frame.openStudyFile(path);
        auto report = [&] { app.printOptions().printSelected(); };
        auto graph = [&] { app.plot().printGraph(); };

        // As read: its name and digest, and the PDF says what it is.
        QString pdf;
        QVERIFY(recordLine(report, &pdf).startsWith("estudio.w04 · SHA-256 " + digest16(path) + " · linealidad "));
        const QString info = toolOutput("pdfinfo", {pdf}).simplified();
        QVERIFY2(info.contains("Title: Información General: estudio.w04 Subject: Valoración de paracetamol "
                               "Author: Ana Pérez Creator: linealidad "),
                 qPrintable(info));
        QVERIFY(toolOutput("pdfinfo", {"-meta", pdf}).contains(R"(pdfaid:part="1" pdfaid:conformance="B")"));
        QVERIFY(recordLine(graph).startsWith("estudio.w04 · SHA-256 " + digest16(path) + " · "));

        // Edited: the name, and no digest of a file that is not what is printed.
        frame.setStudyMark(StudyEditorHost::StudyMark::Modified);
        QVERIFY(recordLine(report).startsWith(QStringLiteral("estudio.w04 (modificado, sin guardar) · linealidad ")));
        QVERIFY(recordLine(graph).startsWith(QStringLiteral("estudio.w04 (modificado, sin guardar) · linealidad ")));

        // Saved under another name: that file's digest.
        const QString other = dir.filePath(QStringLiteral("copia.w04"));
        dialogs.files.enqueue(other);
        QVERIFY(frame.saveAs());
        QVERIFY(recordLine(report).startsWith("copia.w04 · SHA-256 " + digest16(other) + " · "));

        // Replaced on disk by another program: the file is no longer the study.
        QFile replaced(other);
        QVERIFY(replaced.open(QIODevice::Append));
        replaced.write("\r\n");
        replaced.close();
        QVERIFY(recordLine(graph).startsWith(QStringLiteral("copia.w04 (el archivo cambió en el disco) · linealidad ")));

        // A new study has no file.
        frame.setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        qobject_cast<QMdiSubWindow *>(frame.editor()->parentWidget())->close();
        frame.newStudy();
        QVERIFY(recordLine(report).startsWith(QStringLiteral("Estudio sin guardar · linealidad ")));
        QVERIFY(dialogs.errors.isEmpty());
    }
};

QTEST_MAIN(PrintRecordTest)
#include "printrecord_test.moc"
