// The samples window shows what the engine computed for each typed row,
// beside it, as it is typed or pasted; a row that cannot be read says why in
// its place and the others still compute; a confidence out of range is
// refused; a samples file reads into the grid whole or not at all, and the
// grid saves through the save dialog that never writes over a study.
#include "stats/conversions.h"
#include "stats/outcomes.h"
#include "stats/samplesfile.h"
#include "stats/studyfile.h"
#include "support/editortesting.h"
#include "support/processrun.h"
#include "support/scripteddialogs.h"
#include "windows/sampleswindow.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kStudyPath = QStringLiteral(TEST_DATA_DIR "/worked-inference.w04");
const stats::StudyData kStudy = stats::StudyFromFile(stats::ParseStudyFile(stats::ReadFileBytes(TEST_DATA_DIR "/worked-inference.w04")));

stats::Sample sample(const std::string &name, const std::vector<std::string> &responses)
{
    stats::Sample s{name, {}};
    for (const std::string &r : responses)
        s.responses.push_back(stats::StrToRational(r, '.'));
    return s;
}

// What the engine shows beside each sample, at `confidence`.
QList<QStringList> engineRows(const std::vector<stats::Sample> &samples,
                              const stats::Rational &confidence = stats::DefaultConfidence())
{
    stats::AnalysisOptions options;
    options.samples = samples;
    options.confidence = confidence;
    const stats::StudyAnalysis a = stats::Analyze(kStudy, options);
    QList<QStringList> rows;
    for (const stats::SampleResult &r : a.samples.value->samples) {
        rows << QStringList();
        const stats::CellRow cells = stats::SampleCells(r, '.');
        for (size_t c = 1; c < cells.size(); ++c)
            rows.back() << QString::fromStdString(cells[c]);
    }
    return rows;
}

QStringList shownRow(const SamplesWindow &window, int row)
{
    QStringList cells;
    for (int c = SamplesWindow::M; c < SamplesWindow::ColumnCount; ++c)
        cells << window.grid()->item(row, c)->text();
    return cells;
}

void typeRow(SamplesWindow &window, int row, const QString &name, const QString &responses)
{
    window.grid()->setItem(row, SamplesWindow::Name, new QTableWidgetItem(name));
    window.grid()->setItem(row, SamplesWindow::Responses, new QTableWidgetItem(responses));
}

} // namespace

class SamplesWindowTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;

private slots:
    void init() { dialogs = ScriptedDialogs(); }

    void showsTheMethodAndEachRowAsTyped()
    {
        SamplesWindow window(kStudy, '.', dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        const stats::StudyAnalysis a = stats::Analyze(kStudy, {});
        QStringList method;
        for (const std::string &line : stats::DetectionLines(*a.detection.value, kStudy.units(), '.'))
            method << QString::fromStdString(line);
        QCOMPARE(windows::TextLines(window.method()), method);

        typeRow(window, 0, "A", "99.5; 100.1 99.8");
        typeRow(window, 2, "Bajo", "60");
        typeRow(window, 3, "Malo", "1,5 x");
        QCOMPARE(shownRow(window, 0), engineRows({sample("A", {"99.5", "100.1", "99.8"})}).at(0));
        const QStringList low = shownRow(window, 2);
        QCOMPARE(low, engineRows({sample("Bajo", {"60"})}).at(0));
        QVERIFY(low.back().contains("FUERA DEL INTERVALO ESTUDIADO"));
        QCOMPARE(shownRow(window, 3).back(), QStringLiteral("'x' is not a valid floating point value"));
        QCOMPARE(shownRow(window, 3).first(), QString());
        QCOMPARE(shownRow(window, 1), QStringList(7, QString())); // nothing typed, nothing shown

        // Another confidence computes every row again; one out of range is refused.
        window.confidence()->setFocus();
        window.confidence()->setText("0.99");
        window.grid()->setFocus();
        QCOMPARE(shownRow(window, 0), engineRows({sample("A", {"99.5", "100.1", "99.8"})}, stats::Rational(99, 100)).at(0));
        for (const char *wrong : {"1", "0.5", "noventa"}) {
            window.confidence()->setFocus();
            window.confidence()->setText(wrong);
            window.grid()->setFocus();
            QCOMPARE(dialogs.messages, QStringList{stats::kConfidenceOutOfRange});
            dialogs.messages.clear();
            QCOMPARE(window.confidence()->text(), QStringLiteral("0.99"));
        }
        QVERIFY(dialogs.errors.isEmpty());
        if (qEnvironmentVariableIsSet("SAMPLES_WINDOW_SHOT")) { // to look at it: the size it opens with
            window.resize(window.look().size);
            window.grab().save(qEnvironmentVariable("SAMPLES_WINDOW_SHOT"));
        }
    }

    // Sample after sample by keyboard: name, Enter or Tab, responses, Enter
    // or Tab, and the next sample's name.
    void typedSampleAfterSampleByKeyboard()
    {
        SamplesWindow window(kStudy, '.', dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTableWidget *grid = window.grid();
        QCOMPARE(QApplication::focusWidget(), grid);
        QCOMPARE(grid->currentRow(), 0);
        QCOMPARE(grid->currentColumn(), int(SamplesWindow::Name));
        // Each key to the widget that has the focus, as a keyboard sends it.
        auto type = [](const QString &text) {
            for (const QChar c : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
        };
        // Enter commits the cell after the event (a queued call of the view).
        auto press = [](Qt::Key key) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCoreApplication::processEvents();
        };
        type("A");
        press(Qt::Key_Return);
        QCOMPARE(grid->currentColumn(), int(SamplesWindow::Responses));
        type("99.5;100.1");
        press(Qt::Key_Return);
        QCOMPARE(grid->currentRow(), 1);
        QCOMPARE(grid->currentColumn(), int(SamplesWindow::Name));
        type("B");
        press(Qt::Key_Tab);
        QCOMPARE(grid->currentColumn(), int(SamplesWindow::Responses));
        type("60");
        press(Qt::Key_Tab);
        QCOMPARE(grid->currentRow(), 2);
        QCOMPARE(grid->currentColumn(), int(SamplesWindow::Name));
        QCOMPARE(shownRow(window, 0), engineRows({sample("A", {"99.5", "100.1"})}).at(0));
        QCOMPARE(shownRow(window, 1), engineRows({sample("B", {"60"})}).at(0));
    }

    void pastedLinesFillRowsFromTheCurrentOne()
    {
        SamplesWindow window(kStudy, '.', dialogs);
        window.grid()->setCurrentCell(1, 0);
        window.paste("Lote 1\t100.2\t99.9\r\nLote 2;80.4\n");
        QCOMPARE(window.grid()->item(1, SamplesWindow::Responses)->text(), QStringLiteral("100.2; 99.9"));
        QCOMPARE(shownRow(window, 2), engineRows({sample("Lote 2", {"80.4"})}).at(0));
        const std::vector<stats::SampleTexts> typed = window.typedSamples();
        QCOMPARE(typed.size(), size_t(2));
        QCOMPARE(typed[0].name, std::string("Lote 1"));
    }

    // Read whole or not at all; saved where the dialog allows, never over a study.
    void readsAndSavesSamplesFiles()
    {
        QTemporaryDir dir;
        SamplesWindow window(kStudy, '.', dialogs);
        typeRow(window, 0, "Antes", "100");
        dialogs.files << writeBytes(dir.filePath("malo.txt"), "A;1\nB;2;z\n");
        window.readFile();
        QCOMPARE(dialogs.errors.size(), 1);
        QVERIFY(dialogs.errors[0].contains("línea 2: 'z' no es un número"));
        QCOMPARE(window.typedSamples().front().name, std::string("Antes"));

        dialogs.files << writeBytes(dir.filePath("bueno.txt"), "Muestra;R1;R2\nM1;99.7;100.3\nM2;80,1\n");
        window.readFile();
        QCOMPARE(window.typedSamples().size(), size_t(2));
        QCOMPARE(shownRow(window, 1), engineRows({sample("M2", {"80.1"})}).at(0));

        // A copy of the study under a .txt name is refused by the dialog; the next name saves.
        QFile::copy(kStudyPath, dir.filePath("estudio.txt"));
        dialogs.files << dir.filePath("estudio.txt") << dir.filePath("guardado.txt");
        window.saveFile();
        QCOMPARE(dialogs.messages.size(), 1);
        QFile original(kStudyPath), copy(dir.filePath("estudio.txt"));
        QVERIFY(original.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), original.readAll());
        QFile saved(dir.filePath("guardado.txt"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("M1;99.7;100.3\nM2;80.1\n"));
    }
};

QTEST_MAIN(SamplesWindowTest)
#include "sampleswindow_test.moc"
