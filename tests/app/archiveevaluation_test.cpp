// Archivo > "Evaluar un archivo de estudios...": the folders asked in turn,
// the run of the command line over the archive, and its summary with the
// rows that failed first, in words and figures for a person; cancelling
// either folder runs nothing; a cancelled run counts what it never evaluated
// apart from the errors.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/scripteddialogs.h"
#include "cli/batch.h"
#include "cli/batchsummary.h"
#include "render/drawingcommands.h"
#include "windows/acceptancelimitsdialog.h"
#include "windows/archiveevaluation.h"
#include "windows/objectnames.h"

#include <QAction>
#include <QCryptographicHash>
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QFile>
#include <QTableWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <sstream>

// Answers the summary window, keeping its headings and its first row.
std::function<int(QDialog &)> firstRowOfTheSummary(QStringList &headings, QStringList &cells)
{
    return [&headings, &cells](QDialog &dialog) {
        auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tablaresumen"));
        for (int c = 0; table && c < table->columnCount(); ++c) {
            headings << table->horizontalHeaderItem(c)->text();
            cells << table->item(0, c)->text();
        }
        return int(QDialog::Accepted);
    };
}

// Calls `seen` with a progress dialog each time one is shown or resized.
class WidthWatch : public QObject {
public:
    explicit WidthWatch(std::function<void(QProgressDialog *)> seen) : seen_(std::move(seen)) {}
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
            if (auto *progress = qobject_cast<QProgressDialog *>(object))
                seen_(progress);
        return false;
    }

private:
    std::function<void(QProgressDialog *)> seen_;
};

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
                shown << QStringList{table->item(r, 0)->text(), table->item(r, 1)->text(), table->item(r, 2)->text(),
                                     table->item(r, 3)->text()}
                             .join('|');
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
        // Name, digest, state and message, each in its column.
        auto digest = [](const QString &path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly)
                       ? QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())
                       : QString();
        };
        QCOMPARE(shown.size(), 3);
        QVERIFY2(shown[0].startsWith("archivo/c.w04|" + digest(archive + "/c.w04") + "|error|") && !shown[0].endsWith('|'),
                 qPrintable(shown[0]));
        QCOMPARE(shown.mid(1), (QStringList{"archivo/sub/b.w04|" + digest(archive + "/sub/b.w04") +
                                                "|rechazado|Datos fuera de rango, 3-5 Niveles",
                                            "archivo/a.w04|" + digest(archive + "/a.w04") + "|correcto|"}));
        QVERIFY(QFile::exists(results + "/resumen.csv"));
        QVERIFY(QFile::exists(results + "/archivo/a.w04.informe.txt"));
        QVERIFY(dialogs.errors.isEmpty());
    }

    // Under a comma locale the window reads as the result windows do; the
    // CSV keeps its identifiers and every digit. The progress dialog keeps
    // one width, wide enough for its longest line, while it runs.
    void summaryShowsVerdictWordsAndLocaleFigures()
    {
        QTemporaryDir dir;
        const QString archive = dir.filePath("archivo"), results = dir.filePath("resultados");
        QDir().mkpath(archive);
        QFile::copy(TEST_DATA_DIR "/worked-anova.w04", archive + "/a.w04");
        ScriptedDialogs dialogs;
        Application app(dialogs, ',');
        QStringList headings, cells;
        dialogs.onModal = firstRowOfTheSummary(headings, cells);
        // Every width the progress dialog is shown or resized to, however
        // quickly the run ends.
        QList<int> widths;
        int needed = 0;
        WidthWatch watch([&](QProgressDialog *progress) {
            widths << progress->width();
            needed = std::max(needed, progress->findChild<QLabel *>()->sizeHint().width());
        });
        qApp->installEventFilter(&watch);
        dialogs.files << archive << results;
        app.frame().findChild<QAction *>(QString(objectnames::FileEvaluateArchiveItem))->trigger();
        qApp->removeEventFilter(&watch);
        QVERIFY(!widths.isEmpty());
        QVERIFY2(std::all_of(widths.begin(), widths.end(), [&](int w) { return w == widths.first(); }),
                 qPrintable(QString::number(widths.size())));
        cli::BatchProgress longest;
        longest.done = 99998;
        longest.total = longest.refused = longest.errors = 99999;
        longest.elapsedSeconds = 3599;
        QLabel label(QString::fromStdString(cli::ProgressLine(longest)));
        QVERIFY(widths.first() >= label.sizeHint().width());

        const QStringList expected = {"Significación", "ALTAMENTE SIGNIFICATIVA", "Ajuste lineal",
                                      "REPRESENTA DE MANERA CORRECTA", "Error sistemático",
                                      "CARECE DE ERROR SISTEMÁTICO", "Pendiente", "1,0025", "Ordenada", "0,0133333",
                                      "r²", "0,99636692", "Sy/x", "0,0605358", "CV (%)", "2,9993", "Niveles", "3",
                                      "Estado", "correcto"};
        for (qsizetype i = 0; i < expected.size(); i += 2)
            QCOMPARE(cells.value(headings.indexOf(expected[i])), expected[i + 1]);
        QFile csv(results + "/resumen.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray written = csv.readAll();
        QVERIFY(written.contains(",highly_significant,adequate,absent,"));
        QVERIFY(written.contains("0.9963669185107464"));
    }

    // Every heading of the window stands over the column of resumen.csv with
    // the same values, read for a person; and the studies are judged against
    // the limits the user stored, the ones the run writes beside the results.
    void everyHeadingStandsOverItsCsvFieldAndTheStoredLimitsJudge()
    {
        QTemporaryDir dir, settingsDir;
        QCoreApplication::setOrganizationName(QStringLiteral("Ostrevia"));
        QCoreApplication::setApplicationName(QStringLiteral("linealidad-test"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        stats::AcceptanceLimits strict;
        strict.minR = 0.99999; // the study's r is 0.99994: it meets every default limit, not this one
        QVERIFY(windows::StoreAcceptanceLimits(strict));
        const QString archive = dir.filePath("archivo"), results = dir.filePath("resultados");
        QDir().mkpath(archive);
        QFile::copy(TEST_DATA_DIR "/worked-40obs.w04", archive + "/a.w04");
        ScriptedDialogs dialogs;
        Application app(dialogs, ',');
        QStringList headings, cells;
        dialogs.onModal = firstRowOfTheSummary(headings, cells);
        dialogs.files << archive << results;
        app.frame().findChild<QAction *>(QString(objectnames::FileEvaluateArchiveItem))->trigger();
        QFile csv(results + "/resumen.csv");
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = csv.readAll().split('\n');
        const QStringList keys = QString::fromUtf8(lines.value(0)).trimmed().split(',');
        const QStringList fields = QString::fromUtf8(lines.value(1)).trimmed().split(',');
        QCOMPARE(headings.size(), keys.size());
        QCOMPARE(cells.size(), fields.size());
        const std::map<QString, QString> headingOf = {
            {"archivo", "Archivo"}, {"estado", "Estado"}, {"metodo", "Método"}, {"niveles", "Niveles"},
            {"pendiente", "Pendiente"}, {"r2", "r²"}, {"criterios", "Criterios"}, {"homocedasticidad", "Varianza"},
            {"ponderacion", "Ponderación"}, {"sx0", "sx0"}, {"vx0", "Vx0 (%)"},
            {"limite_cuantificacion", "Límite de cuantificación"}, {"modelo", "Modelo"}};
        for (const auto &[key, heading] : headingOf)
            QCOMPARE(headings.value(keys.indexOf(key)), heading);
        const QStringList verdicts = {"significacion", "ajuste_lineal", "error_sistematico", "criterios",
                                      "homocedasticidad", "ponderacion", "modelo"};
        for (qsizetype c = 0; c < keys.size(); ++c) {
            const QString field = fields[c], cell = cells[c];
            bool isNumber = false;
            const double value = field.toDouble(&isNumber);
            if (isNumber && c > 0) { // a figure: the same value in six significant digits (r² eight)
                const double shown = QString(cell).replace(',', '.').toDouble();
                QVERIFY2(std::abs(shown - value) <= 5e-6 * std::abs(value), qPrintable(keys[c] + ": " + cell));
            } else if (verdicts.contains(keys[c]) && !field.startsWith("1/")) {
                // an identifier: shown in the result windows' Spanish words, never as itself
                QVERIFY2(!cell.isEmpty() && cell == cell.toUpper(), qPrintable(keys[c] + ": " + cell));
            } else {
                QCOMPARE(cell, field);
            }
        }
        const std::map<QString, QString> words = {
            {"Criterios", "NO CUMPLE"}, {"Varianza", "HOMOCEDÁSTICA"}, {"Ponderación", "SIN PONDERAR"},
            {"Modelo", "RECTA"}, {"Significación", "ALTAMENTE SIGNIFICATIVA"}};
        for (const auto &[heading, word] : words)
            QCOMPARE(cells.value(headings.indexOf(heading)), word);
        QFile limits(results + "/limites.json");
        QVERIFY(limits.open(QIODevice::ReadOnly));
        QVERIFY(limits.readAll().contains("0.99999"));
    }

    // A run cancelled before it took a study: every one counted "sin
    // evaluar", none "con error", and the window says so in its state column.
    void aCancelledRunCountsWhatItNeverEvaluatedApart()
    {
        QTemporaryDir dir;
        for (const char *name : {"a.w04", "b.w04", "c.w04"})
            QFile::copy(TEST_DATA_DIR "/worked-anova.w04", dir.filePath(name));
        cli::BatchRequest request;
        request.paths = {dir.path().toStdString()};
        request.outputDir = dir.filePath("resultados").toStdString();
        request.formats = {"json"};
        const std::atomic<bool> cancel{true};
        std::vector<cli::SummaryRow> rows;
        std::ostringstream err;
        const int status = cli::RunBatch(request, err, '.', render::DrawOutput, nullptr, &cancel,
                                         [&rows](const cli::SummaryRow &row) { rows.push_back(row); });
        QCOMPARE(status, 1);
        QVERIFY2(QString::fromStdString(err.str()).contains(" 0 correctos, 0 rechazados, 0 con error, 3 sin evaluar. "),
                 err.str().c_str());
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(windows::SummaryCells(rows[0], '.').value(2), QStringLiteral("sin evaluar"));

        cli::BatchProgress mixed;
        mixed.done = mixed.total = 5;
        mixed.refused = 1;
        mixed.errors = 1;
        mixed.notEvaluated = 2;
        QCOMPARE(cli::SummaryLine(mixed, true, "r.csv"),
                 std::string("Evaluación cancelada: 5 estudios en 0.0 s: 1 correctos, 1 rechazados, 1 con error, "
                             "2 sin evaluar. Resumen: r.csv"));
        mixed.notEvaluated = 0;
        mixed.errors = 3;
        QCOMPARE(cli::SummaryLine(mixed, false, "r.csv"),
                 std::string("5 estudios en 0.0 s: 1 correctos, 1 rechazados, 3 con error. Resumen: r.csv"));

        // The time left is what the studies not yet evaluated will take at
        // the pace so far, not the whole run's.
        cli::BatchProgress running;
        running.done = 1;
        running.total = 4;
        running.elapsedSeconds = 61;
        QCOMPARE(cli::ProgressLine(running),
                 std::string("Evaluados 1 de 4 · rechazados 0 · con error 0 · 1:01 · faltan unos 3:03"));
        running.done = 4;
        QCOMPARE(cli::ProgressLine(running), std::string("Evaluados 4 de 4 · rechazados 0 · con error 0 · 1:01"));
    }
};

QTEST_MAIN(ArchiveEvaluationTest)
#include "archiveevaluation_test.moc"
