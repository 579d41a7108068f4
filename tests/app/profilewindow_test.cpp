// The accuracy profile in the frame as a user drives it: its entries only
// for a study of two series or more with validation standards, its window
// showing what the command prints, β and λ typed, the model of its graph
// chosen, and the study followed as it changes.
#include "app/application.h"
#include "app/mainwindow.h"
#include "render/printedreports.h"
#include "support/pdfwords.h"
#include "support/scripteddialogs.h"
#include "windows/printoptionswindow.h"
#include "support/studybytes.h"
#include "widgets/stringgrid.h"
#include "windows/objectnames.h"
#include "windows/profilegraphwindow.h"
#include "windows/profilewindow.h"
#include "windows/studyeditor.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace objectnames;
using namespace testing_files;

class ProfileWindowTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Application> app;
    QTemporaryDir dir;
    const QString study = QStringLiteral(TEST_DATA_DIR "/perfil.lin");

    MainWindow &frame() { return app->frame(); }
    void open(const QString &path)
    {
        dialogs.files.enqueue(path);
        frame().openStudy();
        QVERIFY(frame().editor());
    }
    ProfileWindow *openProfile()
    {
        frame().action(QStringLiteral("mnuperfil"))->trigger();
        return qobject_cast<ProfileWindow *>(frame().mdiArea()->subWindowList().last()->widget());
    }
    // What the command prints for the same study and settings.
    QStringList commandLines(const QStringList &options = {})
    {
        QProcess run;
        run.start(QStringLiteral(LINEALIDAD_BINARY), QStringList{"--profile", study} + options);
        run.waitForFinished(30000);
        QStringList lines = QString::fromUtf8(run.readAllStandardOutput()).split('\n');
        lines.removeLast();
        return lines;
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

    void theEntriesNeedValidationStandardsInTwoSeries()
    {
        QVERIFY(!frame().action(QStringLiteral("mnuperfil"))->isEnabled());
        open(QStringLiteral(TEST_DATA_DIR "/worked-anova.w04"));
        QVERIFY(frame().action(mnuanova)->isEnabled());
        QVERIFY(!frame().action(QStringLiteral("mnuperfil"))->isEnabled());
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        qobject_cast<QMdiSubWindow *>(frame().editor()->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        open(study);
        QVERIFY(frame().action(QStringLiteral("mnuperfil"))->isEnabled());
        QVERIFY(frame().editor()->findChild<QAction *>(QStringLiteral("pmnuperfil"))->isEnabled());

        // Validation standards in one series only: no profile.
        frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        qobject_cast<QMdiSubWindow *>(frame().editor()->parentWidget())->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QFile file(study);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        const qsizetype second = bytes.indexOf("\"validation\"", bytes.indexOf("\"Día 2\""));
        bytes.replace(second, 12, "\"ignored\"");
        const QString oneSeries = dir.filePath("una.lin");
        writeAll(oneSeries, bytes);
        const qsizetype third = bytes.indexOf("\"validation\"", bytes.indexOf("\"Día 3\""));
        bytes.replace(third, 12, "\"ignored\"");
        writeAll(oneSeries, bytes);
        open(oneSeries);
        QVERIFY(frame().action(mnuanova)->isEnabled());
        QVERIFY(!frame().action(QStringLiteral("mnuperfil"))->isEnabled());
    }

    void theWindowShowsWhatTheCommandPrintsAndTakesBetaAndLambda()
    {
        open(study);
        ProfileWindow *window = openProfile();
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Perfil de exactitud"));
        QCOMPARE(windows::TextLines(window->text()), commandLines());
        QCOMPARE(window->modelChooser()->count(), 7);
        QCOMPARE(window->modelChooser()->currentText(), QStringLiteral("Recta 1/x² (elegido)"));

        window->betaField()->setText(QStringLiteral("0,8"));
        window->lambdaField()->setText(QStringLiteral("20"));
        QTest::keyClick(window->lambdaField(), Qt::Key_Return);
        QCOMPARE(windows::TextLines(window->text()), commandLines({"--beta", "0.8", "--lambda", "20"}));

        // Out of range: told, the focus on the field, the figures kept.
        const QStringList kept = windows::TextLines(window->text());
        window->betaField()->setText(QStringLiteral("1"));
        QVERIFY(!window->recompute());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages.first().startsWith(QStringLiteral("beta debe ser mayor que 0 y menor que 1")));
        QCOMPARE(QApplication::focusWidget(), window->betaField());
        QCOMPARE(windows::TextLines(window->text()), kept);
    }

    void theGraphShowsTheModelChosenInTheWindow()
    {
        open(study);
        ProfileWindow *window = openProfile();
        QVERIFY(window);
        window->modelChooser()->setCurrentIndex(4);
        emit window->modelChooser()->activated(4);
        PlotState shown;
        QTimer::singleShot(0, [&] {
            shown = app->profilePlot().engine().state();
            app->profilePlot().close();
        });
        window->graphButton()->click();
        QCOMPARE(shown.curves[0].points.size(), std::size_t(48)); // every validation standard
        QCOMPARE(shown.curves[0].marker, kHollowCircle);
        QCOMPARE(shown.curves[4].points.front().y, -15.0);
        QCOMPARE(shown.curves[5].points.back().y, 15.0);
        // The quadratic model's range starts at 18.4977… (between 15 and 35).
        QVERIFY(std::abs(shown.curves[6].points.front().x - 18.4977478317) < 1e-8);
        QCOMPARE(app->profilePlot().engine().frameTexts().legend.first(), QStringLiteral("Modelo: Cuadrático"));
        QVERIFY(dialogs.errors.isEmpty() && dialogs.messages.isEmpty());
    }

    void theWindowFollowsTheStudyAsItChanges()
    {
        open(study);
        ProfileWindow *window = openProfile();
        QVERIFY(window);
        const QStringList before = windows::TextLines(window->text());
        // The first calibration point of «Día 1», as the grids show it.
        StringGrid *grid = frame().editor()->findChild<StringGrid *>(QLatin1String(stgdatos));
        grid->setCell(2, 1, QStringLiteral("0.0520"));
        frame().followStudyNow();
        const QStringList after = windows::TextLines(window->text());
        QVERIFY(after != before);
        // Only «Día 1» changed its calibration: its one-point fit stays.
        QCOMPARE(after.indexOf(QStringLiteral("MODELO: UN PUNTO")), before.indexOf(QStringLiteral("MODELO: UN PUNTO")));
        QVERIFY(!window->windowTitle().contains(QStringLiteral("Serie")));
    }

    // «Imprimir» prints the profile of every series, with the β and λ of
    // its window, whatever series the editor shows.
    void thePrintedPageIsTheWindowsProfile()
    {
        open(study);
        ProfileWindow *window = openProfile();
        QVERIFY(window);
        window->lambdaField()->setText(QStringLiteral("60"));
        QVERIFY(window->recompute());
        auto *series = frame().editor()->findChild<QComboBox *>(QStringLiteral("cbserie"));
        series->setCurrentIndex(2);
        emit series->activated(2);
        PrintOptionsWindow &options = app->printOptions();
        options.selectReport(render::EvaluationPage("profile"));
        const QString pdf = dir.filePath(QStringLiteral("perfil.pdf"));
        dialogs.printFiles << pdf;
        options.printSelected();
        QVERIFY2(dialogs.errors.isEmpty(), qPrintable(dialogs.errors.join('\n')));
        const QString text = readPdf(pdf).text();
        QVERIFY2(text.contains(QStringLiteral("ACEPTACIÓN: ±60 %")), qPrintable(text.left(600)));
        QVERIFY(text.contains(QStringLiteral("Las 3 series del estudio")));
        QVERIFY(text.contains(QStringLiteral("MODELO ELEGIDO: Un punto")));
    }
};

QTEST_MAIN(ProfileWindowTest)
#include "profilewindow_test.moc"
