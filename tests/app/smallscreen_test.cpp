// The application on a 1024 x 768 screen, with the real message boxes: every
// top-level window and dialog lies wholly on the screen, every message box
// is wide enough for its whole title and text, and a file name or a study's
// text that looks like markup is shown as it is written.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/scripteddialogs.h"
#include "widgets/helpviewer.h"
#include "widgets/userdialogs.h"
#include "windows/criteriawindow.h"
#include "windows/graphoptionsdialog.h"
#include "windows/objectnames.h"
#include "windows/predictionwindow.h"
#include "windows/printoptionswindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/residualgraphwindow.h"
#include "windows/weightingwindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <functional>

namespace {

const QString kStudy = QStringLiteral(TEST_DATA_DIR "/worked-anova.w04");

// Runs `inspect` on the message box that `show` brings up, then closes it.
void whileBoxIsUp(const std::function<void()> &show, const std::function<void(QMessageBox &)> &inspect)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            seen = true;
            inspect(*box);
            box->done(QMessageBox::No);
        }
    });
    show();
    QVERIFY2(seen, "no message box came up");
}

// Where a top-level window reaches past the screen's free area, or "".
QString offScreen(const QWidget *window)
{
    const QRect screen = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (screen.contains(frame))
        return {};
    return QStringLiteral("%1 «%2» at %3,%4 %5x%6 on %7x%8")
        .arg(window->objectName(), window->windowTitle())
        .arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height())
        .arg(screen.width()).arg(screen.height());
}

} // namespace

class SmallScreenTest : public QObject {
    Q_OBJECT

    ScriptedDialogs scripted;
    QtUserDialogs real;
    QTemporaryDir folder;

    void expectEveryWindowOnScreen(const QString &step)
    {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->isVisible()) {
                const QString where = offScreen(window);
                QVERIFY2(where.isEmpty(), qPrintable(step + ": " + where));
            }
    }

    // The box of this kind and text: as wide as its title in the caption's
    // bold font, with room for the title bar's buttons, its text on lines that fit.
    void expectWholeBox(const QString &kind, const QString &text)
    {
        QWidget parent;
        parent.show();
        whileBoxIsUp(
            [&] {
                if (kind == "message")
                    real.message(&parent, text);
                else if (kind == "error")
                    real.error(&parent, text);
                else
                    real.question(&parent, kApplicationTitle, text);
            },
            [&](QMessageBox &box) {
                QCOMPARE(box.windowTitle(), kApplicationTitle);
                QFont caption = box.font();
                caption.setBold(true);
                const int titleBar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
                const int title = QFontMetrics(caption).horizontalAdvance(kApplicationTitle);
                QVERIFY2(box.width() >= title + 3 * titleBar,
                         qPrintable(QStringLiteral("%1 wide for a title of %2").arg(box.width()).arg(title)));
                auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
                QVERIFY(label);
                QCOMPARE(label->text(), text);
                QVERIFY(label->width() >= label->minimumSizeHint().width());
                QVERIFY(label->height() >= label->heightForWidth(label->width()));
                QVERIFY(QRect(QPoint(0, 0), box.size()).contains(QRect(label->mapTo(&box, QPoint(0, 0)), label->size())));
                expectEveryWindowOnScreen(kind);
            });
    }

private slots:
    void everyWindowAndDialogFitsTheScreen()
    {
        QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(1024, 768));
        Application app(scripted, '.');
        app.show();
        QVERIFY(QTest::qWaitForWindowExposed(&app.frame()));
        MainWindow &frame = app.frame();
        frame.openStudyFile(kStudy);
        QVERIFY(frame.editor());
        expectEveryWindowOnScreen("frame and splash");

        // The dialogs shown modally are looked at while they are up.
        scripted.onModal = [&](QDialog &dialog) {
            if (!QTest::qWaitForWindowExposed(&dialog))
                qWarning("not exposed: %s", qPrintable(dialog.objectName()));
            expectEveryWindowOnScreen(dialog.objectName());
            return int(QDialog::Rejected);
        };
        frame.showAbout();
        frame.verifyInstallation();
        QCOMPARE(scripted.modalDialogs.size(), 2);
        frame.action(objectnames::mnucriterios)->trigger();
        auto *criteria = frame.mdiArea()->findChild<CriteriaWindow *>();
        QVERIFY(criteria);
        QVERIFY(frame.mdiArea()->viewport()->rect().contains(criteria->parentWidget()->geometry()));
        criteria->limitsButton()->click();
        QCOMPARE(scripted.modalDialogs.size(), 3);
        // The weighting window: inside the client area, never wider at its
        // least than the area, its reason in sight without scrolling sideways.
        frame.action(objectnames::mnuponderacion)->trigger();
        auto *weighting = frame.mdiArea()->findChild<WeightingWindow *>();
        QVERIFY(weighting);
        auto *weightingSub = qobject_cast<QMdiSubWindow *>(weighting->parentWidget());
        QVERIFY(frame.mdiArea()->viewport()->rect().contains(weightingSub->geometry()));
        QVERIFY(weightingSub->minimumSizeHint().width() <= frame.mdiArea()->viewport()->width());
        QTRY_COMPARE(weighting->findChild<QScrollArea *>()->horizontalScrollBar()->maximum(), 0);
        auto reasonInSight = [weighting] {
            const int left = weighting->choice()->mapTo(weighting, QPoint(0, 0)).x();
            return left >= 0 && left + weighting->choice()->width() <= weighting->width();
        };
        QTRY_VERIFY2(reasonInSight(), qPrintable(weighting->choice()->text()));

        frame.showHelpContents();
        frame.printReports();
        frame.showPredictions();
        app.options().show();
        QVERIFY(app.help().isVisible() && app.printOptions().isVisible() && app.options().isVisible());
        expectEveryWindowOnScreen("help, print options, predictions, graph options");
        app.options().hide();

        for (PlotWindow *graph : std::initializer_list<PlotWindow *>{&app.plot(), &app.residualPlot()}) {
            QTimer::singleShot(0, graph, [&, graph] {
                expectEveryWindowOnScreen(graph->windowTitle());
                graph->close();
            });
            frame.action(graph == &app.plot() ? objectnames::mnugraph : objectnames::mnugraphr)->trigger();
        }

        QFileDialog open(&frame, QStringLiteral("Abrir archivo"));
        widgets::FitFileDialog(open);
        open.show();
        expectEveryWindowOnScreen("file dialog");
        QVERIFY(scripted.errors.isEmpty() && scripted.messages.isEmpty());
        frame.setStudyMark(StudyEditorHost::StudyMark::Unchanged); // no close question at the end
    }

    void everyMessageBoxShowsItsWholeTitleAndText()
    {
        for (const QString kind : {"message", "error", "question"})
            for (const QString text : {"Sí.", "'1,5' is not a valid floating point value.",
                                       "El número de celdas de captura para las replicaciones, no coincide con el "
                                       "número de niveles."})
                expectWholeBox(kind, text);
    }
    // A folder named like markup, opened as a study: the error names it as
    // written. A study whose file name holds markup and the caption's
    // modified mark "[*]": the caption shows the name as written, and the
    // prediction window the stored slope.
    void aNameThatLooksLikeMarkupIsShownAsWritten()
    {
        const QString crafted = folder.filePath(QStringLiteral("<h1>GRANDE<b>negrita.w04"));
        QVERIFY(QDir().mkpath(crafted));
        Application app(real, '.');
        MainWindow &frame = app.frame();
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        whileBoxIsUp([&] { frame.openStudyFile(crafted); },
                     [&](QMessageBox &box) {
                         QCOMPARE(box.textFormat(), Qt::PlainText);
                         auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
                         QCOMPARE(label->textFormat(), Qt::PlainText);
                         QVERIFY2(label->text().contains(crafted), qPrintable(label->text()));
                     });
        QVERIFY(!frame.editor());

        // The study's stored prediction slope looks like markup too.
        const QString named = folder.filePath(QStringLiteral("<b>uno[*]dos<i>.w04"));
        QFile source(kStudy), copy(named);
        QVERIFY(source.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly));
        QByteArray bytes = source.readAll();
        const qsizetype slope = bytes.indexOf("12345678");
        QVERIFY(slope > 0);
        copy.write(bytes.replace(slope, 8, "<b>1</b>"));
        copy.close();
        frame.openStudyFile(named);
        QVERIFY(frame.editor());
        auto *storedSlope = app.predictions().findChild<QLabel *>(QStringLiteral("lblm"));
        QCOMPARE(storedSlope->text(), QStringLiteral("<b>1</b>"));
        QCOMPARE(storedSlope->textFormat(), Qt::PlainText);
        auto *sub = qobject_cast<QMdiSubWindow *>(frame.editor()->parentWidget());
        QVERIFY(sub);
        sub->showMaximized(); // the frame's caption then carries the child's
        QTRY_VERIFY2(frame.windowHandle()->title().contains(named), qPrintable(frame.windowHandle()->title()));
        frame.setStudyMark(StudyEditorHost::StudyMark::Unchanged);
    }
};

int main(int argc, char **argv)
{
    // The offscreen platform with one screen of 1024 x 768.
    QTemporaryDir settings;
    const QString config = settings.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(R"({"screens": [{"name": "pequeña", "x": 0, "y": 0, "width": 1024, "height": 768,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toUtf8());
    QApplication application(argc, argv);
    SmallScreenTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "smallscreen_test.moc"
