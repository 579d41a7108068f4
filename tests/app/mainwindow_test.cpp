// The frame as a user drives it: its commands, the enabling of every command
// group, the file commands with their dialogs and bytes on disk, the close
// question, and the result commands with their windows.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/editortesting.h"
#include "support/scripteddialogs.h"
#include "support/studies.h"
#include "support/pdfwords.h"
#include "stats/quadratic.h"
#include "support/studybytes.h"
#include "widgets/helpviewer.h"
#include "stats/outcomes.h"
#include "widgets/stringgrid.h"
#include "windows/acceptancelimitsdialog.h"
#include "windows/criteriawindow.h"
#include "windows/graphoptionsdialog.h"
#include "windows/inferencewindow.h"
#include "windows/objectnames.h"
#include "windows/predictionwindow.h"
#include "windows/printoptionswindow.h"
#include "windows/documentwindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/sampleswindow.h"
#include "windows/residualgraphwindow.h"
#include "windows/sampleswindow.h"
#include "windows/splashwindow.h"
#include "windows/studyeditor.h"
#include "windows/weightingwindow.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <utility>

using namespace objectnames;

namespace {

const QStringList kAllCommands = {
    FileNewItem,   spdnuevo,      FileOpenItem,   spdabrir,       mnuclose,     spdclose,
    FileSaveItem,  spdguardar,    FileSaveAsItem, FilePrintItem,  PrintLasser,  spdprint,
    WindowTileItem, spdmosaico,   WindowCascadeItem, spdcascada,  mnucalculos,  mnuinferencia,
    mnuanova,      mnuresid,      mnueesc,        mnugraph,       mnugraphr,    mnuinforme,
    mnucriterios,  mnupredice,    FileExitItem,   spdexit,        HelpContentsItem, HelpSearchItem,
    HelpAboutItem, spdcontenido,  mnuponderacion, mnucuadratico};

using namespace testing_files;

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Application> app;
    QTemporaryDir dir;

    MainWindow &frame() { return app->frame(); }
    bool enabled(const QString &name)
    {
        QAction *a = frame().action(name);
        if (!a)
            qFatal("no action %s", qPrintable(name));
        return a->isEnabled();
    }
    QStringList enabledNow()
    {
        QStringList names;
        for (const QString &name : kAllCommands)
            if (enabled(name))
                names << name;
        return names;
    }
    // Exactly these commands enabled among all the frame's commands, besides
    // Exit and Help, which always are.
    void expectEnabled(QStringList names)
    {
        names << QStringList{FileExitItem, spdexit, HelpContentsItem, HelpSearchItem, HelpAboutItem, spdcontenido};
        QStringList expected = kAllCommands;
        expected.removeIf([&](const QString &name) { return !names.contains(name); });
        QCOMPARE(enabledNow(), expected);
    }
    QString writeStudy(const QString &name, const stats::StudyData &study)
    {
        const QString path = dir.filePath(name);
        writeAll(path, studyBytes(study));
        return path;
    }
    void openStudy(const QString &path)
    {
        dialogs.files.enqueue(path);
        frame().openStudy();
        QVERIFY(frame().editor());
    }
    QList<QMdiSubWindow *> children() { return frame().mdiArea()->subWindowList(); }
    void closeChild(QWidget *content)
    {
        qobject_cast<QMdiSubWindow *>(content->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The first child window of kind W.
    template <class W>
    W *child()
    {
        for (QMdiSubWindow *sub : children())
            if (auto *w = qobject_cast<W *>(sub->widget()))
                return w;
        return nullptr;
    }
    // Types `text` into the cell of the editor's data grid as an edit the
    // editor hears of.
    void editDataCell(int column, int row, const QString &text)
    {
        auto *grid = frame().editor()->findChild<StringGrid *>(stgdatos);
        grid->setCell(column, row, text);
        emit grid->cellEdited(column, row);
    }
    // The text of page `file` printed now as `report`.
    QString printedText(render::PrintedReport report, const QString &file)
    {
        PrintOptionsWindow &options = app->printOptions();
        options.selectReport(report);
        dialogs.printFiles << dir.filePath(file);
        options.printSelected();
        return QFile::exists(dir.filePath(file)) ? readPdf(dir.filePath(file)).text() : QString();
    }
    QStringList firstInferenceLines()
    {
        for (QMdiSubWindow *sub : children())
            if (auto *w = qobject_cast<InferenceWindow *>(sub->widget()))
                return windows::TextLines(w->memresult());
        return {};
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
            frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged); // no close question at teardown
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void startsWithOnlyNewExitAndHelp()
    {
        expectEnabled({FileNewItem, spdnuevo});
        QVERIFY(!frame().action(HelpHowToUseItem)->isVisible());
        QTest::keyClick(&frame(), Qt::Key_A, Qt::ControlModifier);
        QVERIFY(dialogs.fileDialogs.isEmpty());
        // The splash hides on its timer even if the frame never becomes active.
        app->show();
        QVERIFY(app->splash().isVisible() && app->splash().timer().isActive());
    }

    void hintsSplitBetweenToolTipAndStatusLine()
    {
        QAction *open = frame().action(spdabrir);
        QCOMPARE(open->toolTip(), QStringLiteral("Abrir"));
        open->showStatusText(&frame());
        QCOMPARE(frame().statusLineText(), QStringLiteral("Abre un archivo ya existente"));
        // A long hint is shown whole; the panel gives the room back once the
        // hint is gone, or a short one follows.
        auto *statusLine = frame().findChild<QLabel *>(StatusLine);
        for (const QString &after : {QString(), QStringLiteral("Salir del módulo ZELP")}) {
            frame().action(mnupredice)->showStatusText(&frame());
            QCOMPARE(statusLine->text(), QStringLiteral("Calcula la cantidad recuperada para cantidades adicionadas"));
            QTRY_VERIFY(statusLine->width() > 336 && statusLine->width() >= statusLine->sizeHint().width());
            frame().showHint(after);
            QTRY_COMPARE(statusLine->width(), 336);
            QCOMPARE(statusLine->text(), after);
        }

        // A menu entry under the pointer, and an entry of the editor's pop-up menu.
        openStudy(writeStudy("pistas.w04", testing_studies::anovaStudy()));
        const QList<std::tuple<QMenu *, QAction *, QString>> hovered = {
            {frame().findChild<QMenu *>("mnucalculosMenu"), frame().action(mnuanova), "Presenta el análisis de la varianza"},
            {frame().editor()->popupMenu(), frame().editor()->popupAction(pmnuresid), "presenta Análisis de Residuales"}};
        for (const auto &[menu, entry, hint] : hovered) {
            menu->popup(QPoint(10, 10));
            QVERIFY(QTest::qWaitForWindowExposed(menu));
            QTest::mouseMove(menu, menu->actionGeometry(entry).center());
            QTRY_COMPARE(frame().statusLineText(), hint);
            menu->close();
        }
    }

    // Close from the menu offers only New; closing by the close box, New and Open.
    void closingTheEditorOffersNewAndByItsCloseBoxOpen()
    {
        frame().newStudy();
        QCOMPARE(frame().editor()->windowTitle(), QStringLiteral("Nuevo"));
        expectEnabled({mnuclose, spdclose});
        frame().mdiArea()->setActiveSubWindow(children().first());
        frame().closeActiveWindow();
        QVERIFY(!frame().editor());
        QVERIFY(enabled(FileNewItem) && enabled(spdnuevo));
        QVERIFY(!enabled(FileOpenItem) && !enabled(mnuclose));

        frame().newStudy();
        closeChild(frame().editor());
        QVERIFY(!frame().editor());
        expectEnabled({FileNewItem, spdnuevo, FileOpenItem, spdabrir});
    }

    void openShapesTheEditorAndEnablesTheCalculations()
    {
        stats::StudyData study = testing_studies::makeStudy({"2", "1", "3", "1"}, {"1", "1", "2", "3", "3", "3", "4"},
                                                            {"1.1", "0.9", "2", "3.1", "2.9", "3", "4.2"});
        study.methodText = "Método ñ";
        stats::StudyFile file = stats::StudyFileFromTexts(study);
        file.predictionSlope = "1.00667";
        file.predictionCount = "2";
        file.predictionX = {"5", "6"};
        file.predictionY = {"5.1", ""};
        file.title = "Título";
        const QString path = dir.filePath("cuatro.w04");
        writeAll(path, QByteArray::fromStdString(stats::SerializeStudyFile(file)));
        openStudy(path);
        QCOMPARE(dialogs.fileDialogs.first(), QStringLiteral("open|Abrir archivo|Tolvek v. w3.0 (*.w04);;Estudio de varias series (*.lin)|w04"));

        StudyEditor *editor = frame().editor();
        QCOMPARE(editor->windowTitle(), path);
        QCOMPARE(editor->replicateColumnCount(), 5);
        QCOMPARE(editor->dataRowCount(), 8);
        QCOMPARE(editor->dataCell(2, 7), std::string("4.2"));
        QCOMPARE(editor->method(), std::string("Método ñ"));
        QCOMPARE(app->plot().title(), QStringLiteral("Título"));
        stats::StudyFile shown;
        app->predictions().storeInto(shown);
        QCOMPARE(shown.predictionX, (std::vector<std::string>{"5", "6"}));
        QCOMPARE(shown.predictionSlope, std::string("1.00667"));

        // The Cálculos menu itself opens only once a data grid was entered.
        expectEnabled({mnuclose, spdclose, WindowTileItem, spdmosaico, WindowCascadeItem, spdcascada, mnuinferencia,
                       mnuanova, mnuresid, mnueesc, mnugraph, mnugraphr, mnuinforme, mnucriterios, mnupredice,
                       mnuponderacion, mnucuadratico});
        // All but the accuracy profile's, which needs several series.
        for (QAction *entry : editor->popupActions())
            QVERIFY2(entry->isEnabled() != (entry->objectName() == "pmnuperfil"), qPrintable(entry->objectName()));
        QVERIFY(!frame().action("mnuperfil")->isEnabled());
        QCOMPARE(frame().modifiedText(), QString());
    }

    void aFileThatFailsToOpenChangesNothing()
    {
        app->plot().SetTitle("antes");
        const QString bad = dir.filePath("malo.w04");
        writeAll(bad, "M\r\nA\r\nF\r\nU\r\ntres\r\n1\r\n");
        // A .lin study is read as one, and one that breaks its limits is refused.
        const QString lin = dir.filePath("dias.lin");
        writeAll(lin, "{\"format\": \"linealidad-estudio\", \"version\": 1, \"series\": []}");
        const QStringList cases = {bad, dir.filePath("no-existe.w04"), lin};
        const QStringList messages = {"'tres' is not a valid integer value.",
                                      "No se encuentra el archivo «" + dir.filePath("no-existe.w04") + "».",
                                      "El estudio no tiene ninguna serie (se necesita de 1 a 20)."};
        for (int i = 0; i < cases.size(); ++i) {
            dialogs.files.enqueue(cases[i]);
            frame().openStudy();
            QCOMPARE(dialogs.errors.last(), messages[i]);
            QVERIFY(!frame().editor());
            QVERIFY(children().isEmpty());
            QCOMPARE(app->plot().title(), QStringLiteral("antes"));
            QVERIFY(enabled(FileOpenItem) == false && enabled(FileNewItem));
            QVERIFY(!QApplication::overrideCursor());
        }
        dialogs.files.enqueue(QString()); // cancelled: nothing at all
        frame().openStudy();
        QVERIFY(!frame().editor());
    }

    void savingANewStudyAsksForAFileAndWritesItsThirtyEightLines()
    {
        frame().newStudy();
        stats::StudyData study = testing_studies::inferenceStudy();
        study.methodText = "Valoración";
        frame().editor()->loadStudy(study);
        frame().setStudyMark(StudyEditorHost::StudyMark::Modified);
        const QString path = dir.filePath("Nuevo.w04");
        dialogs.files.enqueue(path);
        QVERIFY(frame().save());
        QCOMPARE(dialogs.fileDialogs.last(), QStringLiteral("save|Guardar como|Tolvek v. w3.0 (*.w04);;Estudio de varias series (*.lin)|w04|Nuevo"));
        QCOMPARE(readAll(path), studyBytes(study));
        QCOMPARE(frame().editor()->windowTitle(), path);
        QCOMPARE(frame().modifiedText(), QString());

        // Typed into and saved again by its key, Ctrl+G: the same file, no dialog, the caption unchanged.
        frame().show();
        frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame()));
        auto *method = frame().editor()->findChild<QLineEdit *>(QString(objectnames::emetodo));
        method->setFocus();
        QTest::keyClick(method, Qt::Key_End);
        QTest::keyClicks(method, "s");
        dialogs.clear();
        frame().action(FileSaveItem)->setEnabled(true); // as the data grid's entry leaves it
        QTest::keyClick(method, Qt::Key_G, Qt::ControlModifier);
        QTRY_VERIFY(readAll(path).startsWith("Valoraci\xF3ns\r\n"));
        QVERIFY(dialogs.fileDialogs.isEmpty());
        QCOMPARE(frame().editor()->windowTitle(), path);
    }

    // Whether the study has a file and whether it changed are the frame's own
    // knowledge: the caption and the status panel only show them. A caption
    // reading "Nuevo" and a panel in other words change nothing.
    void theStudysFileAndMarkAreKeptNotReadBackFromTheirTexts()
    {
        using StudyMark = StudyEditorHost::StudyMark;
        stats::StudyData named = testing_studies::anovaStudy();
        named.methodText = "Nuevo";
        const QString path = writeStudy("Nuevo", named);
        openStudy(path);
        frame().editor()->setWindowTitle(QStringLiteral("Nuevo"));
        QCOMPARE(frame().openStudyPath(), path);
        frame().editor()->loadStudy(testing_studies::inferenceStudy());
        dialogs.clear();
        QVERIFY(frame().save());
        QVERIFY(dialogs.fileDialogs.isEmpty()); // its own file, no Save as
        QCOMPARE(readAll(path), studyBytes(testing_studies::inferenceStudy()));

        auto *estado = frame().findChild<QLabel *>(QString(objectnames::estado));
        QVERIFY(estado);
        frame().setStudyMark(StudyMark::Modified);
        QCOMPARE(estado->text(), QStringLiteral("Modificado"));
        estado->setText(QStringLiteral("Modified"));
        QVERIFY(frame().studySource().modified);
        dialogs.answers.enqueue(UserDialogs::Answer::No);
        closeChild(frame().editor());
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(estado->text(), QStringLiteral(" "));

        // A new study captioned with a path has no file still, and a panel
        // reading "Modificado" over it asks nothing on closing.
        frame().newStudy();
        frame().editor()->setWindowTitle(path);
        QCOMPARE(frame().openStudyPath(), QString());
        frame().editor()->loadStudy(testing_studies::anovaStudy());
        const QString copy = dir.filePath("copia.w04");
        dialogs.files.enqueue(copy);
        QVERIFY(frame().save());
        QCOMPARE(dialogs.fileDialogs.last(), QStringLiteral("save|Guardar como|Tolvek v. w3.0 (*.w04);;Estudio de varias series (*.lin)|w04|Nuevo"));
        QCOMPARE(readAll(copy), studyBytes(testing_studies::anovaStudy()));
        estado->setText(QStringLiteral("Modificado"));
        closeChild(frame().editor());
        QVERIFY(!frame().editor());
        QCOMPARE(dialogs.questions.size(), 1);
    }

    void aRefusedSaveLeavesTheFileAndTheModifiedMark()
    {
        const QString path = writeStudy("guardado.w04", testing_studies::anovaStudy());
        openStudy(path);
        const QByteArray before = readAll(path);
        frame().setStudyMark(StudyEditorHost::StudyMark::Modified);

        stats::StudyData incomplete = testing_studies::anovaStudy();
        incomplete.dataGrid[3][2] = "";
        frame().editor()->loadStudy(incomplete);
        QVERIFY(!frame().save());
        QCOMPARE(dialogs.messages.last(), QStringLiteral("Falta el dato 3 de la cantidad recuperada"));
        QCOMPARE(frame().editor()->findChild<QTabWidget *>(thoja)->currentIndex(), 2);

        stats::StudyData foreign = testing_studies::anovaStudy();
        foreign.analystText = "Łukasz";
        frame().editor()->loadStudy(foreign);
        QVERIFY(!frame().save());
        QVERIFY(dialogs.errors.last().contains("el nombre del analista contiene el carácter «Ł»"));

        QCOMPARE(readAll(path), before); // a disk that refuses: savefailure_test.cpp
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
    }

    void closeQuestionSavesDiscardsOrKeepsTheStudy()
    {
        const QString question = QStringLiteral("Guardar archivo?|Se realizaron cambios!\nQuiere guardar su información?");
        const QString path = writeStudy("pregunta.w04", testing_studies::anovaStudy());
        openStudy(path);
        closeChild(frame().editor()); // not modified: no question
        QVERIFY(!frame().editor() && dialogs.questions.isEmpty());
        // No: closes without saving.
        openStudy(path);
        frame().editor()->loadStudy(testing_studies::inferenceStudy());
        frame().setStudyMark(StudyEditorHost::StudyMark::Modified);
        dialogs.answers.enqueue(UserDialogs::Answer::No);
        closeChild(frame().editor());
        QCOMPARE(dialogs.questions.last(), question);
        QVERIFY(!frame().editor());
        QCOMPARE(readAll(path), studyBytes(testing_studies::anovaStudy()));
        QCOMPARE(frame().modifiedText(), QStringLiteral(" "));

        // Yes with a save that fails its validation: the study stays open.
        openStudy(path);
        stats::StudyData incomplete = testing_studies::anovaStudy();
        incomplete.levelsText = "";
        frame().editor()->loadStudy(incomplete);
        frame().setStudyMark(StudyEditorHost::StudyMark::Modified);
        dialogs.answers.enqueue(UserDialogs::Answer::Yes);
        closeChild(frame().editor());
        QVERIFY(frame().editor());
        QCOMPARE(dialogs.messages.last(), QStringLiteral("Falta capturar el número de niveles"));
        // ... also when the whole application is closed.
        dialogs.answers.enqueue(UserDialogs::Answer::Yes);
        QVERIFY(!frame().close());
        QVERIFY(frame().editor());

        // Cancelar, whichever way the editor was asked to close: the editor
        // stays with the study as it is, the application goes on, nothing is written.
        frame().editor()->loadStudy(testing_studies::inferenceStudy());
        frame().setStudyMark(StudyEditorHost::StudyMark::Modified);
        const std::pair<const char *, std::function<void()>> closings[] = {
            {"its close box", [&] { closeChild(frame().editor()); }},
            {"Cerrar", [&] { frame().action(mnuclose)->trigger(); }},
            {"Salir", [&] { frame().action(FileExitItem)->trigger(); }},
            {"the frame's close box", [&] { QVERIFY(!frame().close()); }},
        };
        for (const auto &[how, closing] : closings) {
            dialogs.clear();
            dialogs.answers.enqueue(UserDialogs::Answer::Cancel);
            closing();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(dialogs.questions, QStringList{question});
            QVERIFY2(frame().editor() && frame().isVisible(), how);
            QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
            QCOMPARE(frame().editor()->dataCell(2, 1), std::string("79.5"));
            QVERIFY2(enabled(mnuclose) && enabled(mnuinferencia), how); // nothing of a closing ran
            QCOMPARE(readAll(path), studyBytes(testing_studies::anovaStudy()));
        }

        // Yes with a good study: saved, then closed.
        frame().editor()->loadStudy(testing_studies::inferenceStudy());
        dialogs.answers.enqueue(UserDialogs::Answer::Yes);
        closeChild(frame().editor());
        QVERIFY(!frame().editor());
        QCOMPARE(readAll(path), studyBytes(testing_studies::inferenceStudy()));
    }

    void resultCommandsOpenANewWindowEachTime()
    {
        openStudy(writeStudy("inferencia.w04", testing_studies::inferenceStudy()));
        frame().action(mnuinferencia)->trigger();
        frame().editor()->popupAction(pmnuinferencia)->trigger();
        QCOMPARE(children().size(), 3);
        QCOMPARE(windows::TextLines(qobject_cast<InferenceWindow *>(children()[2]->widget())->memresult()),
                 firstInferenceLines());
        QCOMPARE(firstInferenceLines()[2], QStringLiteral("PENDIENTE =  1.00667"));
        for (const char *name : {mnuanova, mnuresid, mnueesc, mnuinforme, mnucriterios, mnuponderacion})
            frame().action(name)->trigger();
        frame().editor()->popupAction(pmnuponderacion)->trigger();
        QCOMPARE(children().size(), 10);
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());

        // Closing a result window while the editor is open changes no command.
        const QStringList before = enabledNow();
        closeChild(children()[1]->widget());
        QCOMPARE(enabledNow(), before);

        // Editor first, then the result windows: the last one brings back New and Open.
        closeChild(frame().editor());
        QVERIFY(!enabled(mnuinferencia) && !enabled(FileSaveItem) && !enabled(FileNewItem));
        while (children().size() > 1)
            closeChild(children().first()->widget());
        QVERIFY(!enabled(FileNewItem));
        closeChild(children().first()->widget());
        expectEnabled({FileNewItem, spdnuevo, FileOpenItem, spdabrir});
    }

    void predictionsAndAboutShowTheirOwnModalWindows()
    {
        openStudy(writeStudy("predicciones.w04", testing_studies::inferenceStudy()));
        QString slopeShown;
        dialogs.onModal = [&](QDialog &dialog) {
            if (auto *slope = dialog.findChild<QLabel *>(lblm))
                slopeShown = slope->text();
            return int(QDialog::Rejected);
        };
        frame().action(mnupredice)->trigger();
        frame().action(HelpAboutItem)->trigger();
        QCOMPARE(dialogs.modalDialogs, (QStringList{"frmpredice", "AboutBox"}));
        QCOMPARE(slopeShown, QStringLiteral("1.00667"));
    }

    // What is typed in the predictions is stored with the study: it marks
    // the study modified, Save writes it, and closing asks for it.
    void typedPredictionsAreAChangeToTheStudy()
    {
        const QString path = writeStudy("predichos.w04", testing_studies::inferenceStudy());
        openStudy(path);
        QCOMPARE(frame().modifiedText(), QString());
        auto typeCount = [](const QString &count) {
            return [count](QDialog &dialog) {
                auto *field = dialog.findChild<QLineEdit *>(epredice);
                field->selectAll();
                QTest::keyClicks(field, count);
                QTest::mouseClick(dialog.findChild<QPushButton *>(btnok), Qt::LeftButton);
                return int(QDialog::Accepted);
            };
        };
        dialogs.onModal = typeCount("2");
        frame().action(mnupredice)->trigger();
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        QVERIFY(frame().save());
        const stats::StudyFile saved = stats::ParseStudyFile(readAll(path).toStdString());
        QCOMPARE(saved.predictionCount, std::string("2"));

        dialogs.onModal = typeCount("4");
        frame().action(mnupredice)->trigger();
        dialogs.answers.enqueue(UserDialogs::Answer::Cancel);
        QVERIFY(!frame().close());
        QCOMPARE(dialogs.questions, QStringList{"Guardar archivo?|Se realizaron cambios!\nQuiere guardar su información?"});
    }

    // Samples typed and not saved to a file hold every closing with their
    // question, the program's too while the study itself is unchanged.
    void unsavedSamplesAreAskedForHoweverTheyWouldGo()
    {
        const QString path = writeStudy("muestras.w04", testing_studies::inferenceStudy());
        openStudy(path);
        auto openSamples = [&] {
            frame().action(mnumuestras)->trigger();
            for (QMdiSubWindow *sub : children())
                if (auto *w = qobject_cast<SamplesWindow *>(sub->widget())) {
                    w->paste("Lote 1\t99.5");
                    return w;
                }
            return static_cast<SamplesWindow *>(nullptr);
        };
        SamplesWindow *samples = openSamples();
        QVERIFY(samples);
        const QString question = QStringLiteral("¿Guardar el archivo de muestras?|Las muestras de la tabla no están "
                                                "guardadas en un archivo de muestras.\n¿Quiere guardarlas?");
        const std::pair<const char *, std::function<void()>> closings[] = {
            {"its close box", [&] { closeChild(samples); }},
            {"Cerrar", [&] {
                 frame().mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(samples->parentWidget()));
                 frame().action(mnuclose)->trigger();
             }},
            {"Salir", [&] { frame().action(FileExitItem)->trigger(); }},
            {"the frame's close box", [&] { QVERIFY(!frame().close()); }},
        };
        for (const auto &[how, closing] : closings) {
            dialogs.clear();
            dialogs.answers.enqueue(UserDialogs::Answer::Cancel);
            closing();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCOMPARE(dialogs.questions, QStringList{question});
            QVERIFY2(children().size() == 2 && frame().editor() && frame().isVisible(), how);
            QCOMPARE(samples->typedSamples().size(), size_t(1));
        }

        // The last child window kept open by Cancelar keeps the commands;
        // let go with No, the last-window rule follows.
        closeChild(frame().editor());
        QCOMPARE(children().size(), 1);
        dialogs.answers.enqueue(UserDialogs::Answer::Cancel);
        closeChild(samples);
        QCOMPARE(children().size(), 1);
        QVERIFY(enabled(mnuclose));
        dialogs.answers.enqueue(UserDialogs::Answer::No);
        closeChild(samples);
        QVERIFY(children().isEmpty());
        QVERIFY(!enabled(mnuclose));

        // Sí saves them through the window's save, then the program ends.
        openStudy(path);
        samples = openSamples();
        dialogs.clear();
        dialogs.answers.enqueue(UserDialogs::Answer::Yes);
        dialogs.files.enqueue(dir.filePath("salida.txt"));
        QVERIFY(frame().close());
        QCOMPARE(dialogs.questions, QStringList{question});
        QCOMPARE(readAll(dir.filePath("salida.txt")), QByteArray("Lote 1;99.5\n"));
    }

    // The quadratic model is not the line's: where the line is refused for a
    // zero slope, its window still opens, from the menu and from the
    // editor's pop-up, and says why this study cannot have the model.
    void quadraticModelOpensWhereTheLineIsRefused()
    {
        openStudy(writeStudy("plana3.w04", testing_studies::makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"})));
        dialogs.clear();
        frame().action(mnucuadratico)->trigger();
        frame().editor()->popupAction(pmnucuadratico)->trigger();
        QCOMPARE(dialogs.messages, QStringList());
        QCOMPARE(children().size(), 3);
        for (QMdiSubWindow *sub : children().mid(1)) {
            QCOMPARE(sub->widget()->objectName(), QStringLiteral("TFcuadratico"));
            QCOMPARE(windows::TextLines(sub->widget()->findChild<QPlainTextEdit *>()),
                     QStringList{QString::fromUtf8(stats::kQuadraticTooFewAmounts)});
        }
    }

    void resultCommandsRefuseAZeroSlopeOrAnIncompleteStudy()
    {
        openStudy(writeStudy("plana.w04", testing_studies::makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"})));
        for (const char *name : {mnuinferencia, mnuanova, mnuresid, mnueesc, mnuinforme, mnucriterios, mnupredice,
                                 mnugraph, mnugraphr, mnuponderacion}) {
            dialogs.clear();
            frame().action(name)->trigger();
            QCOMPARE(dialogs.messages, QStringList{"La pendiente es cero, imposible realizar cálculos."});
        }
        QCOMPARE(children().size(), 1);
        QVERIFY(!app->plot().isVisible() && !app->residualPlot().isVisible());

        stats::StudyData incomplete = testing_studies::anovaStudy();
        incomplete.dataGrid[5][1] = "";
        frame().editor()->loadStudy(incomplete);
        dialogs.clear();
        frame().action(mnuinforme)->trigger();
        frame().editor()->popupAction(pmnugraphr)->trigger();
        frame().action(mnucriterios)->trigger();
        QCOMPARE(dialogs.messages, QStringList(3, "Falta el dato 5 de la cantidad adicionada"));

        frame().editor()->loadStudy(testing_studies::makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"1", "2", "3"}));
        dialogs.clear();
        frame().action(mnuinferencia)->trigger();
        frame().action(mnugraph)->trigger();
        QCOMPARE(dialogs.errors.size(), 2);
        QVERIFY(dialogs.errors[0].startsWith("Los datos se ajustan exactamente a una recta"));
        QCOMPARE(dialogs.errors[1], dialogs.errors[0]);
        QCOMPARE(children().size(), 1);
        QVERIFY(!app->plot().isVisible());
    }

    // Each graph command and its pop-up twin builds its window, shown modally
    // over the frame; the command ends when it closes.
    void graphCommandsShowTheirWindowsModally()
    {
        stats::StudyData study = testing_studies::inferenceStudy();
        study.unitsText = "mg";
        stats::StudyFile file = stats::StudyFileFromTexts(study);
        file.predictionX.assign(3, "");
        file.predictionY.assign(3, "");
        file.title = "Lote 7";
        file.yLabel = "mg recuperados";
        const QString path = dir.filePath("grafica.w04");
        writeAll(path, QByteArray::fromStdString(stats::SerializeStudyFile(file)));
        openStudy(path);
        const QStringList before = enabledNow();

        const QList<std::tuple<QAction *, PlotWindow *, QString, QString>> commands = {
            {frame().action(mnugraph), &app->plot(), "Lote 7", ""}, // the file's titles are the regression graph's
            {frame().editor()->popupAction(pmnugraph), &app->plot(), "Lote 7", ""},
            {frame().action(mnugraphr), &app->residualPlot(), "", "mg"}, // the units, at every build
            {frame().editor()->popupAction(pmnugraphr), &app->residualPlot(), "", "mg"}};
        for (const auto &[command, window, title, xLabel] : commands) {
            bool shownModally = false;
            int points = 0;
            QTimer::singleShot(0, window, [&, window = window] {
                shownModally = window->isVisible() && window->isModal();
                points = window->state().curves[0].pointCount();
                window->popupMenu()->findChild<QAction *>("Crr" + window->engine().kind().objectSuffix)
                    ->trigger();
            });
            command->trigger();
            QVERIFY(shownModally && !window->isVisible());
            QCOMPARE(points, 9);
            QCOMPARE(window->title(), title);
            if (!xLabel.isEmpty())
                QCOMPARE(window->xLabel(), xLabel);
        }
        QCOMPARE(app->plot().yLabel(), QStringLiteral("mg recuperados"));
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
        QCOMPARE(children().size(), 1);
        QCOMPARE(enabledNow(), before);
    }

    void aCommaLocaleShowsCommas()
    {
        app.reset();
        app = std::make_unique<Application>(dialogs, ',');
        frame().show();
        openStudy(TEST_DATA_DIR "/worked-inference-comma.w04");
        frame().action(mnuinferencia)->trigger();
        QCOMPARE(firstInferenceLines()[2], QStringLiteral("PENDIENTE =  1,00667"));
    }

    void typingInTheDataGridEnablesSavingPrintingAndTheCalculations()
    {
        frame().newStudy();
        StudyEditor *editor = frame().editor();
        editor->loadStudy(testing_studies::inferenceStudy());
        QApplication::setActiveWindow(&frame());
        auto *grid = editor->findChild<StringGrid *>(stgdatos);
        editor->findChild<QTabWidget *>(thoja)->setCurrentIndex(2);
        user::clickCell(grid, 1, 1); // focus enters the data grid
        QVERIFY(grid->hasFocus() || grid->isAncestorOf(QApplication::focusWidget()));
        const QStringList atEntry = {mnuclose, spdclose, FileSaveItem, spdguardar, FileSaveAsItem,
                                     FilePrintItem, PrintLasser, spdprint, mnucalculos};
        expectEnabled(atEntry);
        user::type("5"); // not in the last cell: nothing more
        expectEnabled(atEntry);
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        user::clickCell(grid, 2, 9);
        user::type("1"); // the last cell: every calculation
        for (const char *name : {mnuinferencia, mnuanova, mnuresid, mnueesc, mnugraph, mnugraphr,
                                 mnuinforme, mnucriterios, mnupredice, mnuponderacion, mnucuadratico})
            QVERIFY2(enabled(name), name);
        // Running a calculation changes no command.
        const QStringList before = enabledNow();
        frame().action(mnuinferencia)->trigger();
        QCOMPARE(enabledNow(), before);
        // Closing the editor takes away what needs the study; its result window stays.
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        closeChild(editor);
        for (const char *name : {FilePrintItem, PrintLasser, spdprint, FileSaveItem, FileSaveAsItem, mnuinferencia})
            QVERIFY2(!enabled(name), name);
    }

    // F1 over the frame and the Contenido entry open the contents (the
    // child windows' topics: windowarrangement_test.cpp).
    void f1OverTheFrameOpensTheContents()
    {
        QApplication::setActiveWindow(&frame());
        QTest::keyClick(&frame(), Qt::Key_F1);
        QVERIFY(app->help().isVisible());
        QCOMPARE(app->help().currentPage(), int(HelpViewer::kContentsPage));
        app->help().showContext(2);
        frame().action(HelpContentsItem)->trigger();
        QCOMPARE(app->help().currentPage(), int(HelpViewer::kContentsPage));
    }

    void printCommandShowsTheOptionsWindowAndPrintsTheOpenStudy()
    {
        openStudy(writeStudy("imprimir.w04", testing_studies::anovaStudy()));
        QVERIFY(!enabled(PrintLasser) && !enabled(spdprint)); // Open leaves printing off
        frame().dataGridEntered();
        QVERIFY(enabled(FilePrintItem) && enabled(PrintLasser) && enabled(spdprint));

        frame().action(spdprint)->trigger();
        PrintOptionsWindow &window = app->printOptions();
        QVERIFY(window.isVisible() && !window.isModal());
        QVERIFY(!frame().mdiArea()->subWindowList().contains(window.parentWidget()));
        QVERIFY(dialogs.messages.isEmpty()); // no validation by the command itself

        window.selectReport(render::PrintedReport::InferenceAndAnova);
        dialogs.printFiles << dir.filePath("uno.pdf");
        window.printSelected();
        QVERIFY(QFile::exists(dir.filePath("uno.pdf")));

        // Closing the study turns printing off again; the window prints nothing then.
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        closeChild(frame().editor());
        QVERIFY(!enabled(PrintLasser) && !enabled(spdprint) && !enabled(FilePrintItem));
        dialogs.printFiles << dir.filePath("tres.pdf");
        window.printSelected();
        QCOMPARE(dialogs.printDialogs, 1);
    }

    // The criteria page says what the criteria window the user went to last
    // shows: the T set there, or the mean of the levels once it is closed.
    void criteriaPagePrintsTheTargetSetInTheCriteriaWindow()
    {
        openStudy(writeStudy("criterios.w04", testing_studies::anovaStudy()));
        PrintOptionsWindow &options = app->printOptions();
        options.selectReport(render::EvaluationPage("criteria"));
        auto printedTarget = [&](const QString &file) {
            dialogs.printFiles << dir.filePath(file);
            options.printSelected();
            const QStringList lines = readPdf(dir.filePath(file)).lines(0);
            const auto found = std::find_if(lines.begin(), lines.end(),
                                            [](const QString &l) { return l.startsWith("CANTIDAD AL 100 % (T)"); });
            return found == lines.end() ? QString() : *found;
        };
        QCOMPARE(printedTarget("media.pdf"), QStringLiteral("CANTIDAD AL 100 % (T) = 2 (MEDIA DE LOS NIVELES)"));

        frame().action(mnucriterios)->trigger();
        auto *criteria = qobject_cast<CriteriaWindow *>(frame().mdiArea()->activeSubWindow()->widget());
        QVERIFY(criteria);
        criteria->target()->setText("2.5");
        emit criteria->target()->editingFinished();
        QVERIFY(criteria->criteria().targetGiven);
        QCOMPARE(printedTarget("fijada.pdf"), QStringLiteral("CANTIDAD AL 100 % (T) = 2.5 (FIJADA POR EL USUARIO)"));

        closeChild(criteria);
        QCOMPARE(printedTarget("cerrada.pdf"), QStringLiteral("CANTIDAD AL 100 % (T) = 2 (MEDIA DE LOS NIVELES)"));
    }

    // The weighting page prints the weight shown in the weighting window the
    // user went to last, saying who chose it; the rule's choice once closed.
    void weightingPagePrintsTheWeightChosenInTheWeightingWindow()
    {
        // Five levels whose spread grows with the amount.
        openStudy(writeStudy("creciente.w04", testing_studies::makeStudy(
                                                  {"3", "3", "3", "3", "3"},
                                                  {"1", "1", "1", "5", "5", "5", "10", "10", "10", "50", "50", "50",
                                                   "100", "100", "100"},
                                                  {"1.02", "0.99", "1.01", "5.10", "4.93", "5.04", "10.21", "9.85",
                                                   "10.08", "51.3", "48.6", "50.9", "103.8", "96.9", "101.2"})));
        const QString byRule = "(la de menor suma de errores relativos, por ser la varianza no constante)";
        QVERIFY(printedText(render::EvaluationPage("weighting"), "regla.pdf").simplified().contains(byRule));

        frame().action(mnuponderacion)->trigger();
        auto *weighting = child<WeightingWindow>();
        QVERIFY(weighting);
        weighting->weightChoice()->setCurrentText("1/y");
        QCOMPARE(weighting->choice()->text(), QStringLiteral("PONDERACIÓN ELEGIDA: 1/y (elegida por el analista)"));
        const QString slope = windows::TextLines(weighting->line()).value(0);
        QVERIFY(slope.startsWith("PENDIENTE = "));
        const QString chosen = printedText(render::EvaluationPage("weighting"), "analista.pdf");
        QVERIFY2(chosen.simplified().contains(weighting->choice()->text()), qPrintable(chosen));
        QVERIFY2(chosen.split('\n').contains(slope), qPrintable(slope));

        closeChild(weighting);
        const QString closed = printedText(render::EvaluationPage("weighting"), "cerrada.pdf").simplified();
        QVERIFY(closed.contains(byRule) && !closed.contains("elegida por el analista"));
    }

    // The criteria, weighting, quadratic model and samples windows follow the
    // study in the editor: a response changed there computes them again once
    // the analyst pauses, so that they show what a page printed now shows; a
    // study that can no longer be computed marks each of them out of date
    // (and prints no page), until it can again.
    void windowsThatKeepTheStudyFollowTheEditor()
    {
        openStudy(writeStudy("sigue.w04", testing_studies::inferenceStudy()));
        for (const char *name : {mnucriterios, mnuponderacion, mnucuadratico, mnumuestras})
            frame().action(name)->trigger();
        auto *criteria = child<CriteriaWindow>();
        auto *weighting = child<WeightingWindow>();
        auto *quadratic = child<DocumentWindow>();
        auto *samples = child<SamplesWindow>();
        QVERIFY(criteria && weighting && quadratic && samples);
        samples->setSamples({{"M-1", {"99.9"}}});
        const std::vector<ResultWindow *> following = {criteria, weighting, quadratic, samples};

        auto lines = [](const stats::Lines &from) {
            QStringList to;
            for (const std::string &line : from)
                to << QString::fromStdString(line);
            return to;
        };
        // Each window against the engine's texts for the study the editor holds now.
        auto showNow = [&] {
            const stats::StudyAnalysis a = stats::Analyze(
                *frame().editor(),
                {.criteria = {.target = {}, .limits = windows::StoredAcceptanceLimits()},
                 .samples = std::vector<stats::Sample>{{"M-1", {stats::Rational(999, 10)}}}});
            return windows::TextLines(criteria->figures()) == lines(stats::CriteriaFigureLines(*a.criteria().value, "", '.')) &&
                   windows::TextLines(weighting->variance()) ==
                       lines(stats::HomogeneityLines(a.weighting().value->homogeneity, '.')) &&
                   windows::TextLines(quadratic->text()) == lines(stats::QuadraticOutcome(a).lines) &&
                   windows::TextLines(samples->method()) == lines(stats::DetectionLines(*a.detection().value, "", '.')) &&
                   samples->grid()->item(0, SamplesWindow::X)->text() ==
                       QString::fromStdString(stats::SampleCells(a.samples().value->samples[0], '.')[3]);
        };
        auto outOfDate = [&] {
            return std::all_of(following.begin(), following.end(), [](ResultWindow *w) { return w->outOfDate(); });
        };
        auto upToDate = [&] {
            return std::none_of(following.begin(), following.end(), [](ResultWindow *w) { return w->outOfDate(); });
        };
        QVERIFY(showNow() && upToDate());
        const QString before = samples->grid()->item(0, SamplesWindow::X)->text();

        editDataCell(2, 1, "81.5");
        QTRY_VERIFY(showNow());
        QVERIFY(upToDate());
        const QString after = samples->grid()->item(0, SamplesWindow::X)->text();
        QVERIFY(after != before);
        QVERIFY(printedText(render::EvaluationPage("samples"), "muestras.pdf").contains("M-1 1 99.9 " + after));

        // An empty response: nothing can be computed, and every window says so.
        const QStringList figures = windows::TextLines(criteria->figures());
        editDataCell(2, 1, "");
        QTRY_VERIFY(outOfDate());
        const QString why = QString::fromStdString(stats::ValidateStudy(*frame().editor()).message);
        for (ResultWindow *w : following) {
            QVERIFY2(w->outOfDateBanner()->isVisibleTo(w) && w->outOfDateBanner()->text().contains(why),
                     qPrintable(w->objectName()));
            QVERIFY(w->windowTitle().endsWith("(DESACTUALIZADA)"));
        }
        QCOMPARE(windows::TextLines(criteria->figures()), figures); // kept, under the banner
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty()); // no box while typing
        QCOMPARE(printedText(render::EvaluationPage("weighting"), "nunca.pdf"), QString());
        QCOMPARE(dialogs.messages, QStringList{why});

        editDataCell(2, 1, "79.5");
        QTRY_VERIFY(upToDate());
        QVERIFY(showNow());
        QCOMPARE(samples->grid()->item(0, SamplesWindow::X)->text(), before);
        QCOMPARE(criteria->windowTitle(), QStringLiteral("Criterios de aceptación"));
    }

    // The graph titles the study file holds: kept by a Save right after Open,
    // untouched by an options edit that was cancelled, changed and marked by
    // one that was accepted.
    void onlyAcceptedGraphTitlesAreSaved()
    {
        stats::StudyFile file = stats::StudyFileFromTexts(testing_studies::inferenceStudy());
        file.predictionX.assign(3, "");
        file.predictionY.assign(3, "");
        file.title = "Lote 7";
        file.xLabel = "mg adicionados";
        const QString path = dir.filePath("titulos.w04");
        const QByteArray original = QByteArray::fromStdString(stats::SerializeStudyFile(file));
        writeAll(path, original);
        openStudy(path);
        QVERIFY(frame().save());
        QCOMPARE(readAll(path), original);

        std::function<void(GraphOptionsDialog &)> answerOptions;
        dialogs.onModal = [&](QDialog &shown) {
            answerOptions(static_cast<GraphOptionsDialog &>(shown));
            return shown.result();
        };
        // Options of the regression graph, typed into, then closed with `key`.
        auto editTitles = [&](Qt::Key key) {
            QTimer::singleShot(0, &app->plot(), [&] {
                app->plot().showOptions();
                app->plot().close();
            });
            answerOptions = [key](GraphOptionsDialog &dialog) {
                auto *title = dialog.findChild<QLineEdit *>("TitleEdit");
                title->selectAll();
                QTest::keyClicks(title, "Cancelado");
                dialog.findChild<QLineEdit *>("XLblEdit")->setText("ug");
                QTest::keyClick(title, key);
            };
            frame().action(mnugraph)->trigger();
        };
        editTitles(Qt::Key_Escape);
        QCOMPARE(frame().modifiedText(), QString());
        QCOMPARE(app->options().titleText(), QStringLiteral("Lote 7"));
        QCOMPARE(app->plot().title(), QStringLiteral("Lote 7"));
        QVERIFY(frame().save());
        QCOMPARE(readAll(path), original);

        // A mark that was there before the dialog stays after its Cancel.
        frame().setStudyMark(StudyEditorHost::StudyMark::Modified);
        editTitles(Qt::Key_Escape);
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);

        editTitles(Qt::Key_Return);
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
        QCOMPARE(app->plot().title(), QStringLiteral("Cancelado"));
        QVERIFY(frame().save());
        const stats::StudyFile saved = stats::ParseStudyFile(readAll(path).toStdString());
        QCOMPARE(saved.title, std::string("Cancelado"));
        QCOMPARE(saved.xLabel, std::string("ug"));

        // An accepted label, typed where typing marks nothing, still marks the study.
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        answerOptions = [](GraphOptionsDialog &dialog) {
            dialog.findChild<QLineEdit *>("YLblEdit")->setText("mg hallados");
            dialog.findChild<QPushButton *>("OKBtn")->click();
        };
        QTimer::singleShot(0, &app->plot(), [&] {
            app->plot().showOptions();
            app->plot().close();
        });
        frame().action(mnugraph)->trigger();
        QCOMPARE(frame().modifiedText(), QStringLiteral("Modificado"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
