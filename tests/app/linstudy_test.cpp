// A .lin study in the frame as a user drives it: opened, its series and
// standards shown in turn, points left out and taken back, evaluated, saved
// as .lin and refused as .w04 where it does not fit, imported from a
// spreadsheet's text and pasted into the data grid.
#include "app/application.h"
#include "app/mainwindow.h"
#include "cli/importpoints.h"
#include "cli/linfile.h"
#include "stats/studyfile.h"
#include "support/pdfwords.h"
#include "support/scripteddialogs.h"
#include "support/studybytes.h"
#include "widgets/stringgrid.h"
#include "windows/documentwindow.h"
#include "windows/inferencewindow.h"
#include "windows/objectnames.h"
#include "windows/regressiongraphwindow.h"
#include "windows/resultwindow.h"
#include "windows/studyeditor.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace objectnames;
using namespace testing_files;

namespace {

// Two series: «Día 1» of 6 calibration levels of 2 and 2 validation levels;
// «Día 2» of 4 calibration levels, its second level's second point left out,
// with a member this program does not know.
const char kTwoDays[] = R"({
  "format": "linealidad-estudio",
  "version": 1,
  "method": "Valoración",
  "analyst": "Ana",
  "date": "08/12/2026",
  "units": "mg",
  "series": [
    {
      "name": "Día 1",
      "calibration": [
        [{"x": "1", "y": "1.02"}, {"x": "1", "y": "0.99"}],
        [{"x": "2", "y": "2.01"}, {"x": "2", "y": "1.97"}],
        [{"x": "3", "y": "3.05"}, {"x": "3", "y": "2.96"}],
        [{"x": "4", "y": "4.02"}, {"x": "4", "y": "3.99"}],
        [{"x": "5", "y": "5.06"}, {"x": "5", "y": "4.93"}],
        [{"x": "6", "y": "6.01"}, {"x": "6", "y": "5.98"}]
      ],
      "validation": [
        [{"x": "1.5", "y": "1.52"}],
        [{"x": "4.5", "y": "4.47"}]
      ]
    },
    {
      "name": "Día 2",
      "calibration": [
        [{"x": "10", "y": "10.2"}, {"x": "10", "y": "9.9"}],
        [{"x": "20", "y": "20.1"}, {"x": "20", "y": "27.5", "excluded": {"reason": "burbuja", "by": "ana", "at": "2026-12-08T10:02:11+00:00"}}],
        [{"x": "30", "y": "30.4"}, {"x": "30", "y": "29.7"}],
        [{"x": "40", "y": "40.3"}, {"x": "40", "y": "39.8"}]
      ],
      "instrumento": "HPLC-2"
    }
  ]
})";

// «Día 2» without its excluded point, as a .w04 study.
QByteArray dayTwoW04()
{
    stats::StudyFile file{.method = "Valoración", .analyst = "Ana", .date = "08/12/2026", .units = "mg", .levels = "4"};
    file.replicates = {"2", "1", "2", "2"};
    file.x = {"10", "10", "20", "30", "30", "40", "40"};
    file.y = {"10.2", "9.9", "20.1", "30.4", "29.7", "40.3", "39.8"};
    return QByteArray::fromStdString(stats::SerializeStudyFile(file));
}

} // namespace

class LinStudyTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Application> app;
    QTemporaryDir dir;

    MainWindow &frame() { return app->frame(); }
    StudyEditor *editor() { return frame().editor(); }
    template <class W>
    W *find(const char *name)
    {
        return editor()->findChild<W *>(QLatin1String(name));
    }
    StringGrid *dataGrid() { return find<StringGrid>(stgdatos); }
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        writeAll(path, bytes);
        return path;
    }
    void open(const QString &path)
    {
        dialogs.files.enqueue(path);
        frame().openStudy();
        QVERIFY(editor());
    }
    // The lines of the newest inference window.
    QStringList inferenceLines()
    {
        frame().action(mnuinferencia)->trigger();
        const QList<QMdiSubWindow *> subs = frame().mdiArea()->subWindowList();
        auto *window = qobject_cast<InferenceWindow *>(subs.last()->widget());
        return window ? windows::TextLines(window->memresult()) : QStringList();
    }
    void choose(const char *box, int index)
    {
        auto *combo = find<QComboBox>(box);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    stats::SeriesStudy saved(const QString &path) { return cli::ParseLinFile(readAll(path).toStdString()); }
    void closeEditorUnchanged()
    {
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        qobject_cast<QMdiSubWindow *>(editor()->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void init()
    {
        dialogs = ScriptedDialogs();
        app = std::make_unique<Application>(dialogs, '.');
        frame().resize(1000, 700);
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
    }
    void cleanup()
    {
        if (frame().editor())
            frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The shown series' calibration standards are evaluated, without their
    // excluded points: the figures of the .w04 study of the same points.
    void eachSeriesIsEvaluatedAsTheStudyOfItsIncludedPoints()
    {
        open(write("dias.w04", dayTwoW04()));
        const QStringList dayTwo = inferenceLines();
        QVERIFY(dayTwo.size() > 5);
        closeEditorUnchanged();
        while (!frame().mdiArea()->subWindowList().isEmpty()) {
            frame().mdiArea()->subWindowList().first()->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }

        open(write("dias.lin", kTwoDays));
        QVERIFY(editor()->holdsSeries());
        QVERIFY(find<QWidget>("barraseries")->isVisible());
        QCOMPARE(find<QComboBox>("cbserie")->count(), 2);
        QCOMPARE(find<QComboBox>("cbserie")->itemText(1), QStringLiteral("2 · Día 2"));
        QCOMPARE(find<QLineEdit>(eniveles)->text(), QStringLiteral("6")); // beyond a .w04's five
        QCOMPARE(dataGrid()->rowCount(), 13);
        const QStringList dayOne = inferenceLines();
        QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
        QVERIFY(dayOne != dayTwo);

        choose("cbserie", 1);
        QCOMPARE(editor()->shownSeries(), 2);
        QCOMPARE(dataGrid()->rowCount(), 9); // every point typed is shown, the excluded one too
        QCOMPARE(dataGrid()->cell(2, 4), QStringLiteral("27.5"));
        QVERIFY(dataGrid()->item(4, 2)->font().strikeOut());
        QVERIFY(!dataGrid()->item(3, 2)->font().strikeOut());
        // The window names the series and ends with the points left out, as
        // the command's output does.
        const QStringList note = {
            " ", "SERIE EVALUADA: 2 de 2 («Día 2»), sus estándares de calibración", " ", "PUNTOS EXCLUIDOS",
            "  calibración, nivel 2, punto 2: x = 20, y = 27.5; burbuja (ana, 2026-12-08T10:02:11+00:00)"};
        QCOMPARE(inferenceLines(), dayTwo + note);
        // The graph draws the point left out where it stands, as a hollow square.
        PlotState shown; // as the window shows it, before closing empties it
        QTimer::singleShot(0, &app->plot(), [this, &shown] {
            shown = app->plot().engine().state();
            app->plot().close();
        });
        frame().action(mnugraph)->trigger();
        const PlotCurve &leftOut = shown.curves[3];
        QCOMPARE(leftOut.points.size(), std::size_t(1));
        QCOMPARE(leftOut.points[0].x, 20.0);
        QCOMPARE(leftOut.points[0].y, 27.5);
        QCOMPARE(leftOut.marker, kHollowSquare);
        QCOMPARE(shown.curves[0].points.size(), std::size_t(7));
        QCOMPARE(frame().mdiArea()->subWindowList().last()->widget()->windowTitle(),
                 QStringLiteral("Error Sistematico Proporcional del Método Analítico — Serie 2 de 2 («Día 2»)"));

        // The validation standards are shown, and the calibration still evaluated.
        choose("cbserie", 0);
        choose("cbestandares", 1);
        QCOMPARE(find<QLineEdit>(eniveles)->text(), QStringLiteral("2"));
        QCOMPARE(dataGrid()->cell(2, 2), QStringLiteral("4.47"));
        QCOMPARE(inferenceLines(), dayOne);
        QCOMPARE(frame().mdiArea()->subWindowList().last()->widget()->windowTitle(),
                 QStringLiteral("Error Sistematico Proporcional del Método Analítico — Serie 1 de 2 («Día 1»)"));
        QCOMPARE(dayOne.mid(dayOne.size() - 2),
                 (QStringList{"SERIE EVALUADA: 1 de 2 («Día 1»), sus estándares de calibración", "Ningún punto excluido."}));
        QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
    }

    // A window that follows the study computes it again as it changes, and
    // still names the series and lists the points left out.
    void aFollowingWindowKeepsTheSeriesNoteAsTheStudyChanges()
    {
        open(write("dias.lin", kTwoDays));
        choose("cbserie", 1);
        frame().action(mnucuadratico)->trigger();
        auto *window = qobject_cast<DocumentWindow *>(frame().mdiArea()->subWindowList().last()->widget());
        QVERIFY(window);
        const QStringList before = windows::TextLines(window->text());
        QVERIFY(before.last().startsWith(QStringLiteral("  calibración, nivel 2, punto 2")));
        dataGrid()->setCell(2, 1, QStringLiteral("10.4"));
        frame().followStudyNow();
        const QStringList after = windows::TextLines(window->text());
        QVERIFY(after != before);
        QCOMPARE(after.mid(after.size() - 5), before.mid(before.size() - 5));
        QVERIFY(window->windowTitle().endsWith(QStringLiteral(" — Serie 2 de 2 («Día 2»)")));
    }

    // Saved, the study is the file it was read from; a change is saved in
    // its series, and the exclusions and the unknown members stay.
    void aSaveKeepsEverySeriesAndWhatTheProgramDoesNotKnow()
    {
        const QByteArray canonical = QByteArray::fromStdString(cli::SerializeLinFile(cli::ParseLinFile(kTwoDays)));
        const QString path = write("dias.lin", canonical);
        open(path);
        QVERIFY(frame().save());
        QCOMPARE(readAll(path), canonical);

        choose("cbserie", 1);
        dataGrid()->setCell(2, 1, QStringLiteral("10.3"));
        choose("cbestandares", 1); // no validation standards: none shown
        QCOMPARE(find<QLineEdit>(eniveles)->text(), QStringLiteral("0"));
        QVERIFY(frame().save());
        const stats::SeriesStudy study = saved(path);
        QCOMPARE(study.series[1].calibration[0][0].y, std::string("10.3"));
        QVERIFY(study.series[1].validation.empty());
        QCOMPARE(study.series[1].calibration[1][1].excluded->reason, std::string("burbuja"));
        QCOMPARE(study.series[1].extra.size(), std::size_t(1));
        QCOMPARE(study.series[0], cli::ParseLinFile(kTwoDays).series[0]);
    }

    // A study that does not fit a .w04 file is refused as one, saying why,
    // and the dialog stays for another name; one that fits converts.
    void saveAsOffersBothTypesAndRefusesAW04ThatCannotHoldTheStudy()
    {
        open(write("dias.lin", kTwoDays));
        const QString w04 = dir.filePath("dias-copia.w04"), lin = dir.filePath("dias-copia.lin");
        dialogs.files << w04 << lin;
        QVERIFY(frame().saveAs());
        QCOMPARE(dialogs.fileDialogs.last(),
                 QStringLiteral("save|Guardar como|Estudio de varias series (*.lin);;Tolvek v. w3.0 (*.w04)|lin|") +
                     dir.filePath("dias.lin"));
        QCOMPARE(dialogs.messages, QStringList{"El estudio no cabe en un archivo .w04: tiene 2 series y un .w04 guarda una."});
        QVERIFY(!QFile::exists(w04));
        QCOMPARE(saved(lin), cli::ParseLinFile(kTwoDays));
        QCOMPARE(editor()->windowTitle(), lin);
        closeEditorUnchanged();

        // A typed .w04 study saved as .lin is the file --convert writes, and
        // the editor holds a .lin study from then on.
        open(write("dia2.w04", dayTwoW04()));
        QVERIFY(!editor()->holdsSeries());
        const QString typed = dir.filePath("dia2-editor.w04"), converted = dir.filePath("dia2.lin");
        dialogs.files << typed << converted;
        QVERIFY(frame().saveAs());
        QVERIFY(frame().saveAs());
        QCOMPARE(saved(converted).series, stats::SeriesStudyFromFile(stats::ParseStudyFile(dayTwoW04().toStdString())).series);
        QVERIFY(editor()->holdsSeries());
        // And back: the same bytes as the .w04 the editor wrote.
        const QString back = dir.filePath("dia2-otra.w04");
        dialogs.files << back;
        QVERIFY(frame().saveAs());
        QCOMPARE(readAll(back), readAll(typed));
    }

    // «Excluir punto...» asks the reason and records who and when; the
    // figures are those of the study without the point; «Incluir punto»
    // takes it back, recorded too. No reason, or a cancel, changes nothing.
    void aPointIsLeftOutWithItsReasonAndTakenBackOnRecord()
    {
        open(write("dia2.w04", dayTwoW04()));
        const QStringList without = inferenceLines();
        closeEditorUnchanged();

        // The same points and the outlier, as one .lin series.
        stats::SeriesStudy study = cli::ParseLinFile(kTwoDays);
        study.series.erase(study.series.begin());
        study.series[0].calibration[1][1].excluded.reset();
        const QString path = write("dia2.lin", QByteArray::fromStdString(cli::SerializeLinFile(study)));
        open(path);
        const QStringList with = inferenceLines();
        QVERIFY(with != without);

        dataGrid()->setCurrentCell(4, 1);
        // The pop-up offers what applies to the point: leave it out, or take it back.
        auto offered = [this] {
            emit editor()->popupMenu()->aboutToShow();
            return QPair<bool, bool>(editor()->popupAction("pmnuexcluir")->isEnabled(),
                                     editor()->popupAction("pmnuincluir")->isEnabled());
        };
        QCOMPARE(offered(), qMakePair(true, false));
        dialogs.texts << QString(); // cancelled
        editor()->excludeCurrentPoint();
        dialogs.texts << QStringLiteral("   "); // no reason
        editor()->excludeCurrentPoint();
        QCOMPARE(dialogs.messages, QStringList{"Escriba la razón: un punto no se excluye sin ella."});
        QVERIFY(!editor()->seriesStudy()->series[0].calibration[1][1].excluded);
        QCOMPARE(inferenceLines(), with);

        dialogs.texts << QStringLiteral("burbuja en el inyector");
        editor()->excludeCurrentPoint();
        QVERIFY(dataGrid()->item(4, 1)->font().strikeOut());
        QCOMPARE(offered(), qMakePair(false, true));
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        const QStringList left = inferenceLines();
        QCOMPARE(left.mid(0, without.size()), without);
        QVERIFY(left.last().startsWith(QStringLiteral("  calibración, nivel 2, punto 2: x = 20, y = 27.5; burbuja en el inyector (")));
        QVERIFY(frame().save());
        const stats::StudyPoint point = saved(path).series[0].calibration[1][1];
        QCOMPARE(point.excluded->reason, std::string("burbuja en el inyector"));
        QVERIFY(!point.excluded->by.empty());
        const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
        QVERIFY2(iso.match(QString::fromStdString(point.excluded->at)).hasMatch(), point.excluded->at.c_str());

        editor()->includeCurrentPoint();
        QVERIFY(!dataGrid()->item(4, 1)->font().strikeOut());
        QCOMPARE(inferenceLines(), with);
        QVERIFY(frame().save());
        const stats::StudyPoint back = saved(path).series[0].calibration[1][1];
        QVERIFY(!back.excluded);
        QCOMPARE(back.history.size(), std::size_t(2));
        QCOMPARE(back.history[1].action, stats::PointEvent::Action::Included);
        QCOMPARE(back.history[1].reason, std::string("burbuja en el inyector"));
        // A record a .w04 file cannot keep: refused as one.
        dialogs.files << dir.filePath("dia2-otra.w04") << QString();
        QVERIFY(!frame().saveAs());
        QCOMPARE(dialogs.messages.last(), QStringLiteral("El estudio no cabe en un archivo .w04: el punto 2 del nivel 2 "
                                                         "guarda el registro de una exclusión y un .w04 no guarda exclusiones."));
    }

    // Up to 20 levels of 12 points in a .lin study; beyond, the editor
    // refuses as it refuses a sixth level of a .w04 one. A switch away from
    // standards that are not yet a study is refused and they stay shown.
    void theLimitsOfASeriesAndSwitchesThatWouldLoseTyping()
    {
        open(write("dias.lin", kTwoDays));
        auto *levels = find<QLineEdit>(eniveles);
        levels->setText(QStringLiteral("21"));
        find<QPushButton>(btnsinumero)->click();
        QCOMPARE(dialogs.messages.last(),
                 QStringLiteral("Datos fuera de rango, 3-20 Niveles (o 0, sin estándares de calibración)"));
        levels->setText(QStringLiteral("20"));
        find<QPushButton>(btnsinumero)->click();
        auto *replicates = find<StringGrid>(stgniveles);
        QCOMPARE(replicates->columnCount(), 21);
        for (int level = 1; level <= 20; ++level)
            replicates->setCell(level, 1, QStringLiteral("12"));
        find<QPushButton>(botonok)->click();
        QCOMPARE(dataGrid()->rowCount(), 241);
        QCOMPARE(dataGrid()->cell(1, 1), QStringLiteral("1")); // what was typed stays with its level

        // Half typed: the other series is not shown, and nothing typed is lost.
        const int before = dialogs.messages.size();
        choose("cbserie", 1);
        QCOMPARE(editor()->shownSeries(), 1);
        QCOMPARE(find<QComboBox>("cbserie")->currentIndex(), 0);
        QCOMPARE(dialogs.messages.size(), before + 1);
        QCOMPARE(dataGrid()->rowCount(), 241);

        replicates->setCell(1, 1, QStringLiteral("13"));
        find<QPushButton>(botonok)->click();
        QCOMPARE(dataGrid()->rowCount(), 241); // a count beyond 12 shapes nothing
    }

    // Tab leaves the bar for the pages, whose own Tab order stays as it is
    // for a .w04 study (the bar is reached by its Alt keys or the mouse).
    void theSeriesBarTakesAndGivesTheFocusByTab()
    {
        open(write("dias.lin", kTwoDays));
        auto *series = find<QComboBox>("cbserie");
        series->setFocus();
        QVERIFY(QTest::qWaitForWindowActive(&frame()));
        QTRY_VERIFY(series->hasFocus());
        QWidget *seen = series;
        QList<QWidget *> visited;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen = QApplication::focusWidget();
            visited << seen;
        }
        QVERIFY(!visited.contains(nullptr));
        QVERIFY(std::any_of(visited.begin(), visited.end(), [this](QWidget *w) { return w && w->objectName() == emetodo; }));
        QVERIFY(dialogs.messages.isEmpty());
    }

    // Series are added, renamed and removed; a new one starts with three
    // calibration levels to type.
    void seriesAreAddedRenamedAndRemoved()
    {
        open(write("dias.lin", kTwoDays));
        dialogs.texts << QStringLiteral("Día 3");
        find<QPushButton>("btnagregaserie")->click();
        QCOMPARE(find<QComboBox>("cbserie")->count(), 3);
        QCOMPARE(editor()->shownSeries(), 3);
        QCOMPARE(find<StringGrid>(stgniveles)->columnCount(), 4);
        dialogs.texts << QStringLiteral("Día 3 (repetido)");
        find<QPushButton>("btnrenombraserie")->click();
        QCOMPARE(find<QComboBox>("cbserie")->itemText(2), QStringLiteral("3 · Día 3 (repetido)"));

        // Removing asks first; No keeps it.
        choose("cbserie", 0); // refused: series 3 has no points yet
        QCOMPARE(editor()->shownSeries(), 3);
        dialogs.answers << UserDialogs::Answer::No << UserDialogs::Answer::Yes;
        find<QPushButton>("btnquitaserie")->click();
        QCOMPARE(find<QComboBox>("cbserie")->count(), 3);
        find<QPushButton>("btnquitaserie")->click();
        QCOMPARE(find<QComboBox>("cbserie")->count(), 2);
        QCOMPARE(editor()->seriesStudy()->series, cli::ParseLinFile(kTwoDays).series);
    }

    // Importar... makes a new study of a spreadsheet's points: the same study
    // as linealidad --import; saved, the same file.
    void importMakesANewStudyOfTheSpreadsheetsPoints()
    {
        QVERIFY(frame().action(FileImportItem)->isEnabled());
        const QByteArray csv = "serie;tipo;x;y\r\nDía 1;calibración;1;1,02\r\nDía 1;calibracion;2;2,01\r\n"
                               "Día 1;Calibración;3;3,05\r\nDía 1;validación;2;1,98\r\n";
        dialogs.files << write("puntos.csv", csv);
        frame().importStudy();
        QVERIFY(editor() && editor()->holdsSeries());
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        QVERIFY(frame().action(FileSaveAsItem)->isEnabled());
        QVERIFY(!frame().action(FileImportItem)->isEnabled());
        const QString path = dir.filePath("puntos.lin");
        dialogs.files << path;
        QVERIFY(frame().save());
        QCOMPARE(dialogs.fileDialogs.last(),
                 QStringLiteral("save|Guardar como|Estudio de varias series (*.lin);;Tolvek v. w3.0 (*.w04)|lin|") + path);
        QCOMPARE(saved(path), cli::ImportPoints(csv.toStdString(), {}));
        closeEditorUnchanged();

        // A refused text names its line and opens nothing.
        dialogs.files << write("malo.csv", "serie;tipo;x;y\r\n1;calibración;uno;1\r\n");
        frame().importStudy();
        QVERIFY(!editor());
        QVERIFY(dialogs.errors.last().startsWith(QStringLiteral("Línea 2")));
    }

    // Every page of a series' report names it at the top; the general
    // information lists the points left out under the observations.
    void pagesNameTheSeriesAndListThePointsLeftOut()
    {
        const QString lin = write("dias.lin", kTwoDays);
        for (const char *page : {"general", "inference", "error", "weighting"}) {
            const QString pdf = dir.filePath(QStringLiteral("%1.pdf").arg(page));
            QProcess run;
            run.start(LINEALIDAD_BINARY, {"--print", page, lin, "--series", "2", "--output", pdf});
            QVERIFY(run.waitForFinished(30000));
            QCOMPARE(run.exitCode(), 0);
            const PdfDocument document = readPdf(pdf);
            for (int i = 0; i < document.pages; ++i)
                QVERIFY2(document.lines(i).contains("Serie 2 de 2 («Día 2»), sus estándares de calibración; 1 punto excluido"),
                         page);
            QCOMPARE(document.text().contains("burbuja (ana, 2026-12-08T10:02:11+00:00)"), QByteArray(page) == "general");
        }
    }

    // A block copied from a spreadsheet fills the data grid from the
    // current cell; what does not fit is told, not dropped silently.
    void aSpreadsheetBlockPastesIntoTheDataGrid()
    {
        open(write("dias.lin", kTwoDays));
        StringGrid *grid = dataGrid();
        grid->setFocus();
        grid->moveTo(1, 12);
        QApplication::clipboard()->setText(QStringLiteral("6.5\t6.51\r\n7\t7.02\r\n8\t8.1\r\n"));
        QTest::keyClick(grid->cellEditor(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(grid->cell(1, 12), QStringLiteral("6.5"));
        QCOMPARE(grid->cell(2, 12), QStringLiteral("6.51"));
        QCOMPARE(dialogs.messages, QStringList{"4 de los valores pegados no caben en la tabla: se dejaron fuera. "
                                               "Amplíe los niveles o las réplicas y péguelos de nuevo."});
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        QCOMPARE(editor()->seriesStudy()->series[0].calibration[5][1].y, std::string("6.51"));
    }
};

QTEST_MAIN(LinStudyTest)
#include "linstudy_test.moc"
