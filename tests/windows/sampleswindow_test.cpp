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
    for (const stats::SampleResult &r : a.samples().value->samples) {
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
        for (const std::string &line : stats::DetectionLines(*a.detection().value, kStudy.units(), '.'))
            method << QString::fromStdString(line);
        QCOMPARE(windows::TextLines(window.method()), method);

        typeRow(window, 0, "A", "99.5; 100.1 99.8");
        typeRow(window, 2, "Bajo", "60");
        typeRow(window, 3, "Malo", "1,5 x");
        QCOMPARE(shownRow(window, 0), engineRows({sample("A", {"99.5", "100.1", "99.8"})}).at(0));
        const QStringList low = shownRow(window, 2);
        QCOMPARE(low, engineRows({sample("Bajo", {"60"})}).at(0));
        QVERIFY(low.back().contains("FUERA DEL INTERVALO ESTUDIADO"));
        QCOMPARE(shownRow(window, 3).back(), QStringLiteral("fila 4: 'x' no es un número."));
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
        dialogs.answers << UserDialogs::Answer::No << UserDialogs::Answer::No; // "Antes" is not kept
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

    // A typed row that is no sample says why beside it, naming its row in
    // the words the samples file reader uses for a line; the save refuses
    // the grid with the same words, before its dialog.
    void aRowThatIsNoSampleSaysWhyAsTheFileReaderDoes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("responses");
        QTest::addColumn<QByteArray>("fileLine"); // the same sample in a file; empty: none can be
        QTest::addColumn<QString>("why");
        QTest::newRow("a response not a number") << "Malo" << "1,5 x" << QByteArray("Malo;1,5;x") << "'x' no es un número.";
        QTest::newRow("no name") << "" << "99.5" << QByteArray(";99.5") << "falta el nombre de la muestra.";
        QTest::newRow("a name of blanks") << "   " << "99.5" << QByteArray("   ;99.5") << "falta el nombre de la muestra.";
        QTest::newRow("no response") << "Vacía" << "" << QByteArray("Vacía") << "la muestra 'Vacía' no tiene respuestas.";
        QTest::newRow("21 responses") << "Muchas" << QStringList(21, "1").join(' ')
                                      << ("Muchas" + QByteArray(";1").repeated(21)) << "más de 20 respuestas.";
        QTest::newRow("a name read as a comment") << "#7" << "99" << QByteArray()
                                                  << "el nombre '#7' no puede empezar por # ni llevar ; ni tabuladores.";
    }
    void aRowThatIsNoSampleSaysWhyAsTheFileReaderDoes()
    {
        QFETCH(QString, name);
        QFETCH(QString, responses);
        QFETCH(QByteArray, fileLine);
        QFETCH(QString, why);
        QTemporaryDir dir;
        SamplesWindow window(kStudy, '.', dialogs);
        typeRow(window, 0, "A", "99.5");
        typeRow(window, 2, name, responses);
        QCOMPARE(shownRow(window, 0), engineRows({sample("A", {"99.5"})}).at(0));
        QStringList refused(6, QString());
        refused << "fila 3: " + why;
        QCOMPARE(shownRow(window, 2), refused);

        dialogs.files << dir.filePath("muestras.txt");
        QVERIFY(!window.saveFile());
        QCOMPARE(dialogs.errors, QStringList{"Tabla de muestras, fila 3: " + why});
        QCOMPARE(window.grid()->currentRow(), 2);
        QVERIFY(dialogs.fileDialogs.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath("muestras.txt")));
        QVERIFY(window.hasUnsavedSamples());

        if (fileLine.isEmpty())
            return;
        dialogs.clear();
        dialogs.files.clear();
        dialogs.answers << UserDialogs::Answer::No;
        dialogs.files << writeBytes(dir.filePath("leida.txt"), ("A;99.5\n" + fileLine + "\n").toStdString());
        window.readFile();
        QCOMPARE(dialogs.errors.size(), 1);
        QCOMPARE(dialogs.errors[0].section("»: ", 1), "Archivo de muestras, línea 2: " + why);
    }

    // Samples typed and not saved to a file are not lost without the
    // question Sí / No / Cancelar: not by closing the window, not by
    // reading another file. Sí saves them first, and a save refused or
    // cancelled keeps them; No lets them go; Cancelar keeps everything.
    void unsavedSamplesAreAskedForBeforeTheyGo_data()
    {
        QTest::addColumn<bool>("reading");  // reading another file, or closing the window
        QTest::addColumn<int>("answer");    // UserDialogs::Answer
        QTest::addColumn<bool>("badRow");   // a typed row the file cannot hold
        QTest::addColumn<bool>("saveTo");   // the save dialog gives a name, or is cancelled
        QTest::addColumn<bool>("goesOn");   // the window closes, or the file is read
        QTest::addColumn<bool>("saved");
        using A = UserDialogs::Answer;
        for (bool reading : {false, true}) {
            const char *how = reading ? "reading" : "closing";
            QTest::addRow("%s, Cancelar", how) << reading << int(A::Cancel) << false << true << false << false;
            QTest::addRow("%s, No", how) << reading << int(A::No) << false << true << true << false;
            QTest::addRow("%s, Sí", how) << reading << int(A::Yes) << false << true << true << true;
            QTest::addRow("%s, Sí, save cancelled", how) << reading << int(A::Yes) << false << false << false << false;
            QTest::addRow("%s, Sí, save refused", how) << reading << int(A::Yes) << true << true << false << false;
        }
    }
    void unsavedSamplesAreAskedForBeforeTheyGo()
    {
        QFETCH(bool, reading);
        QFETCH(int, answer);
        QFETCH(bool, badRow);
        QFETCH(bool, saveTo);
        QFETCH(bool, goesOn);
        QFETCH(bool, saved);
        QTemporaryDir dir;
        const QString other = writeBytes(dir.filePath("otra.txt"), "Otra;80\n");
        SamplesWindow window(kStudy, '.', dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        typeRow(window, 0, "Lote 1", "99.5; 100.1");
        if (badRow)
            typeRow(window, 1, "Lote 2", "abc");
        const std::vector<stats::SampleTexts> typed = window.typedSamples();
        QVERIFY(window.hasUnsavedSamples());

        dialogs.answers << UserDialogs::Answer(answer);
        if (UserDialogs::Answer(answer) == UserDialogs::Answer::Yes && !badRow)
            dialogs.files << (saveTo ? dir.filePath("guardadas.txt") : QString());
        if (reading)
            dialogs.files << other;
        if (reading)
            window.readFile();
        else
            window.close();
        QCOMPARE(dialogs.questions, QStringList{"¿Guardar el archivo de muestras?|Las muestras de la tabla no están "
                                                "guardadas en un archivo de muestras.\n¿Quiere guardarlas?"});
        QCOMPARE(QFile::exists(dir.filePath("guardadas.txt")), saved);
        if (saved)
            QCOMPARE(fileBytes(dir.filePath("guardadas.txt")), std::string("Lote 1;99.5;100.1\n"));
        if (reading) {
            QVERIFY(window.isVisible());
            QCOMPARE(window.typedSamples().front().name, std::string(goesOn ? "Otra" : "Lote 1"));
            QCOMPARE(dialogs.fileDialogs.filter("open|").size(), goesOn ? 1 : 0);
        } else {
            QCOMPARE(window.isVisible(), !goesOn);
            QVERIFY(window.typedSamples() == typed);
        }
        // What went is no longer asked for; what stayed still is.
        QCOMPARE(window.hasUnsavedSamples(), !goesOn || (!reading && !saved));
    }

    // Samples just read from a file or saved to one need no question, until
    // they are edited again; an empty grid needs none.
    void samplesReadOrSavedGoWithoutAQuestion()
    {
        QTemporaryDir dir;
        SamplesWindow window(kStudy, '.', dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(!window.hasUnsavedSamples());
        dialogs.files << writeBytes(dir.filePath("leidas.txt"), "Muestra;R1\nM1;99.7\n") << dir.filePath("guardadas.txt");
        window.readFile();
        QVERIFY(!window.hasUnsavedSamples());
        window.paste("M2\t80");
        QVERIFY(window.hasUnsavedSamples());
        QVERIFY(window.saveFile());
        QVERIFY(!window.hasUnsavedSamples());
        QVERIFY(window.close());
        QVERIFY(dialogs.questions.isEmpty());
        window.show();
        window.grid()->item(0, SamplesWindow::Responses)->setText("99.8");
        dialogs.answers << UserDialogs::Answer::Cancel;
        QVERIFY(!window.close());
        QCOMPARE(dialogs.questions.size(), 1);
    }
};

QTEST_MAIN(SamplesWindowTest)
#include "sampleswindow_test.moc"
