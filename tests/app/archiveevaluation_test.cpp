// Archivo > "Evaluar un archivo de estudios...": the folders asked in turn,
// the run of the command line over the archive, and its summary with the
// rows that failed first; cancelling either folder runs nothing.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/scripteddialogs.h"
#include "windows/objectnames.h"

#include <QAction>
#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

class ArchiveEvaluationTest : public QObject {
    Q_OBJECT

private slots:
    void summaryShowsFailuresFirst()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath("archivo"), results = dir.filePath("resultados");
        QDir().mkpath(archive + "/sub");
        QFile::copy(TEST_DATA_DIR "/worked-anova.w04", archive + "/a.w04");
        QFile::copy(TEST_DATA_DIR "/worked-20levels.w04", archive + "/sub/b.w04");
        QFile bad(archive + "/c.w04");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("no es un estudio\r\n");
        bad.close();

        ScriptedDialogs dialogs;
        Application app(dialogs, '.');
        MainWindow &frame = app.frame();
        QStringList shown;
        dialogs.onModal = [&](QDialog &dialog) {
            auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tablaresumen"));
            for (int r = 0; table && r < table->rowCount(); ++r)
                shown << table->item(r, 0)->text() + "|" + table->item(r, 2)->text();
            return int(QDialog::Accepted);
        };
        auto *command = frame.findChild<QAction *>(QString(objectnames::FileEvaluateArchiveItem));
        QVERIFY(command && command->isEnabled());

        dialogs.files << archive << QString(); // the results' folder cancelled: nothing runs
        command->trigger();
        QCOMPARE(dialogs.modalDialogs, QStringList());
        QVERIFY(!QFile::exists(results + "/resumen.csv"));

        dialogs.files << archive << results;
        command->trigger();
        QCOMPARE(dialogs.modalDialogs, QStringList{"resumenlote"});
        QCOMPARE(shown, (QStringList{"archivo/c.w04|error", "archivo/sub/b.w04|rechazado", "archivo/a.w04|correcto"}));
        QVERIFY(QFile::exists(results + "/resumen.csv"));
        QVERIFY(QFile::exists(results + "/archivo/a.w04.informe.txt"));
        QVERIFY(dialogs.errors.isEmpty());
    }
};

QTEST_MAIN(ArchiveEvaluationTest)
#include "archiveevaluation_test.moc"
