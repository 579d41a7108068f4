// The frame's child windows stay on the screen: every result window opens
// wholly inside the client area, Tile and Cascade arrange the children inside
// the frame as it is without ever resizing it, and a window whose contents do
// not scroll is never made smaller than they are.
#include "app/application.h"
#include "app/mainwindow.h"
#include "support/scripteddialogs.h"
#include "widgets/helpviewer.h"
#include "widgets/windowplacement.h"
#include "windows/objectnames.h"
#include "windows/resultwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QHeaderView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

namespace {

const QString kStudy = QStringLiteral(TEST_DATA_DIR "/worked-anova.w04");

// The commands of a sequence, by letter.
const QHash<QChar, QString> kCommands = {
    {'I', objectnames::mnuinferencia}, {'A', objectnames::mnuanova}, {'R', objectnames::mnuresid}, {'E', objectnames::mnueesc},
    {'N', objectnames::mnuinforme},    {'K', objectnames::mnucriterios}, {'T', objectnames::WindowTileItem},
    {'C', objectnames::WindowCascadeItem},
};

// A window that keeps its size, and one that can be made as small as `least`.
widgets::placement::Child keeps(int w, int h) { return {QSize(w, h), true, QSize(w, h)}; }
widgets::placement::Child resizable(int w, int h, int leastW, int leastH)
{
    return {QSize(w, h), false, QSize(leastW, leastH)};
}

// The two screens the arrangement is tried on, as a test's data.
void bothScreens()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1024x768") << QSize(1024, 768);
}

// Result windows whose contents are laid out to the pixel and never scroll.
const QStringList kFixedWindows = {"TFinfo", "TfinfoA", "TFerrorp"};

// Why `content` does not show all it holds, or "" when it does.
QString hiddenContent(QWidget *content)
{
    const QRect shown = content->rect();
    for (QPlainTextEdit *box : content->findChildren<QPlainTextEdit *>()) {
        const QRect at(box->mapTo(content, QPoint(0, 0)), box->size());
        if (!shown.contains(at))
            return box->objectName() + " reaches past the window";
        int lines = 0;
        for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
            if (block.layout()->lineCount() > 1)
                return box->objectName() + " wraps «" + block.text() + "»";
            ++lines;
        }
        const bool scrolls = box->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        const int needed = lines * box->fontMetrics().lineSpacing();
        if (!scrolls && box->isEnabled() && needed > box->viewport()->height())
            return box->objectName() + " cuts its last lines";
    }
    for (QTextEdit *box : content->findChildren<QTextEdit *>()) {
        const int visible = std::min(box->viewport()->height(), shown.height() - box->y() - 2 * box->frameWidth());
        if (box->document()->documentLayout()->documentSize().height() > visible)
            return box->objectName() + " cuts its text";
    }
    for (QTableWidget *grid : content->findChildren<QTableWidget *>()) {
        int width = 0, height = 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            width += grid->columnWidth(c);
        for (int r = 0; r < grid->rowCount(); ++r)
            height += grid->rowHeight(r);
        if (grid->x() + width > shown.width() || grid->y() + height > shown.height())
            return grid->objectName() + " cuts its table";
    }
    return {};
}

} // namespace

class WindowArrangementTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Application> app;
    QHash<QMdiSubWindow *, QSize> sizeAtOpening;

    MainWindow &frame() { return app->frame(); }
    QMdiArea *area() { return frame().mdiArea(); }

    void start(QSize frameSize)
    {
        dialogs = ScriptedDialogs();
        sizeAtOpening.clear();
        app = std::make_unique<Application>(dialogs, '.');
        frame().resize(frameSize);
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        frame().openStudyFile(kStudy);
        QVERIFY(frame().editor());
    }

    // Every child inside the client area, the frame as it was, every window
    // that keeps its size as large as its contents and as it opened.
    void expectOnScreen(QSize frameSize, const QString &step)
    {
        QCOMPARE(frame().size(), frameSize);
        const QRect client(QPoint(0, 0), area()->viewport()->size());
        for (QMdiSubWindow *sub : area()->subWindowList()) {
            const QString what = step + ": " + sub->widget()->objectName();
            QVERIFY2(client.contains(sub->geometry()),
                     qPrintable(what + QStringLiteral(" at %1,%2 %3x%4 in %5x%6")
                                           .arg(sub->x()).arg(sub->y()).arg(sub->width()).arg(sub->height())
                                           .arg(client.width()).arg(client.height())));
            if (sub->isMinimized())
                continue; // a minimised window shows its title bar only, as the user asked
            if (!kFixedWindows.contains(sub->widget()->objectName())) {
                // A window that scrolls shows its whole contents where the area has room for them.
                const QSize content = sub->widget()->sizeHint().boundedTo(client.size() - (sub->size() - sub->widget()->size()));
                QVERIFY2(sub->widget()->width() >= content.width() && sub->widget()->height() >= content.height(),
                         qPrintable(what + QStringLiteral(" %1x%2 for contents of %3x%4")
                                               .arg(sub->widget()->width()).arg(sub->widget()->height())
                                               .arg(content.width()).arg(content.height())));
                continue;
            }
            const QString hidden = hiddenContent(sub->widget());
            QVERIFY2(hidden.isEmpty(), qPrintable(what + " " + hidden));
            if (!sizeAtOpening.contains(sub))
                sizeAtOpening.insert(sub, sub->size());
            QVERIFY2(sub->size() == sizeAtOpening.value(sub), qPrintable(what + " changed its size"));
        }
    }

    void run(const QString &sequence, QSize frameSize)
    {
        for (qsizetype i = 0; i < sequence.size(); ++i) {
            frame().action(kCommands.value(sequence[i]))->trigger();
            QCoreApplication::processEvents();
            expectOnScreen(frameSize, sequence.left(i + 1));
            if (QTest::currentTestFailed())
                return;
        }
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
    }

private slots:
    void cleanup()
    {
        if (app && frame().editor())
            frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged); // no close question at teardown
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void childWindowsStayInsideTheFrameAsItIs_data()
    {
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QString>("sequence");
        const QList<QPair<QString, QSize>> screens = {{"1280x1024", QSize(1280, 1024)}, {"1024x768", QSize(1024, 768)}};
        QStringList sequences = {"IARENTC", "IARENCT", "TIARENT", "IIIIIIIIITIIC", "NNNNNNEEEEC", "ARARARTCT", "IARENKTC", "KKKKCT"};
        QRandomGenerator random(20260612);
        const QString letters = "IARENTC";
        for (int n = 0; n < 4; ++n) {
            QString sequence;
            for (int i = 0; i < 16; ++i)
                sequence += letters[random.bounded(int(letters.size()))];
            sequences << sequence;
        }
        for (const auto &[name, size] : screens)
            for (const QString &sequence : sequences)
                QTest::newRow(qPrintable(name + " " + sequence)) << size << sequence;
    }
    void childWindowsStayInsideTheFrameAsItIs()
    {
        QFETCH(QSize, frameSize);
        QFETCH(QString, sequence);
        start(frameSize);
        expectOnScreen(frameSize, "open");
        run(sequence, frameSize);
    }

    // Tile by itself: side by side where the windows fit, and the least
    // hidden without covering a caption where they do not.
    void tileLaysOutSideBySideOrHidesTheLeast()
    {
        using widgets::placement::Child;
        const struct {
            const char *what;
            QSize area;
            QList<Child> children;
            QList<QRect> places;
        } cases[] = {
            {"fit only one way", QSize(100, 100), {keeps(50, 50), keeps(100, 50), keeps(50, 50)},
             {{0, 50, 50, 50}, {0, 0, 100, 50}, {50, 50, 50, 50}}},
            {"too wide: the smaller one under the caption", QSize(200, 100), {keeps(120, 50), keeps(120, 100)},
             {{80, 10, 120, 50}, {0, 0, 120, 100}}},
            {"a resizable one gives up its size", QSize(200, 100), {keeps(120, 100), resizable(120, 100, 80, 60)},
             {{0, 0, 120, 100}, {120, 0, 80, 60}}},
            {"a resizable one gives up its size for a caption", QSize(200, 100),
             {keeps(150, 100), resizable(120, 100, 80, 60)}, {{0, 0, 150, 100}, {120, 10, 80, 60}}},
            {"a resizable one keeps it when all cannot be whole", QSize(200, 100),
             {keeps(150, 100), resizable(100, 60, 80, 40)}, {{0, 0, 150, 100}, {100, 10, 100, 60}}},
        };
        for (const auto &c : cases) {
            const QList<QRect> places = widgets::placement::Tiled(c.area, c.children, 10).places;
            QVERIFY2(places == c.places, c.what);
        }
    }

    // Cascade by itself, 20 pixels a step: every caption shows, every window
    // lies inside the area, the pile keeps its order as far as the sizes allow.
    void cascadeShowsEveryCaption()
    {
        using widgets::placement::Child;
        const struct {
            const char *what;
            QSize area;
            QList<Child> children; // the bottom of the pile first
            QList<int> stacking;
            QList<QPoint> places;
        } cases[] = {
            {"small ones keep their order", QSize(400, 300), {keeps(100, 100), keeps(100, 100), keeps(100, 100)},
             {0, 1, 2}, {{0, 0}, {20, 20}, {40, 40}}},
            {"the active one too large for the top step goes to the bottom", QSize(400, 300),
             {keeps(100, 100), keeps(100, 100), resizable(300, 300, 380, 270)}, {2, 0, 1}, {{20, 20}, {40, 40}, {0, 0}}},
            {"a resizable one is never smaller than its contents", QSize(400, 300),
             {resizable(50, 40, 200, 150), keeps(100, 100)}, {0, 1}, {{0, 0}, {20, 20}}},
            {"more large windows than steps: the rest where they fit best", QSize(400, 300),
             {keeps(390, 290), keeps(390, 290), keeps(100, 100)}, {0, 1, 2}, {{0, 0}, {0, 0}, {40, 40}}},
        };
        for (const auto &c : cases) {
            const widgets::placement::Cascade cascade = widgets::placement::Cascaded(c.area, c.children, 20);
            QList<QPoint> places;
            for (const QRect &r : cascade.places)
                places << r.topLeft();
            QVERIFY2(places == c.places && cascade.stacking == c.stacking, c.what);
            for (qsizetype i = 0; i < c.children.size(); ++i)
                if (!c.children[i].keepsSize)
                    QVERIFY2(cascade.places[i].width() >= std::min(c.children[i].minimum.width(), c.area.width()), c.what);
        }
    }

    // The frame's Cascade with the editor and six result windows, the
    // criteria window active and the largest: every caption in sight, every
    // window inside the client area.
    void frameCascadeShowsEveryCaption_data() { bothScreens(); }
    void frameCascadeShowsEveryCaption()
    {
        QFETCH(QSize, frameSize);
        start(frameSize);
        run("IARENKC", frameSize);
        const QList<QMdiSubWindow *> stacked = area()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(stacked.size(), 7);
        for (qsizetype i = 0; i < stacked.size(); ++i) {
            const QRect caption(stacked[i]->pos(),
                                QSize(stacked[i]->width(), stacked[i]->widget()->mapTo(stacked[i], QPoint(0, 0)).y()));
            for (qsizetype above = i + 1; above < stacked.size(); ++above)
                QVERIFY2(!stacked[above]->geometry().intersects(caption),
                         qPrintable(stacked[above]->widget()->objectName() + " covers the caption of " +
                                    stacked[i]->widget()->objectName()));
        }
    }

    // The frame's Tile with the editor and the result windows: where they fit
    // in the client area at their sizes, none overlaps another; where they
    // cannot, every caption stays in sight.
    void tileShowsEveryCaptionAndOverlapsOnlyWhereItMust_data()
    {
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<bool>("captions"); // every caption in sight
        // Where "fits" is false no arrangement can do it: the editor (699 x 360)
        // and the residuals (609 x 615) are together wider than 1280 and
        // taller than the client area; at 1024 x 768 no two of the editor,
        // the inference (540 x 292) and the variance (688 x 300) stand side
        // by side, and the three are taller than the client area.
        QTest::newRow("1280x1024 editor, inference, variance") << QSize(1280, 1024) << "IA" << true << true;
        QTest::newRow("1280x1024 editor and four but residuals") << QSize(1280, 1024) << "IAEN" << true << true;
        QTest::newRow("1280x1024 editor and five") << QSize(1280, 1024) << "IAREN" << false << true;
        QTest::newRow("1024x768 editor and inference") << QSize(1024, 768) << "I" << true << true;
        QTest::newRow("1024x768 editor, inference, variance") << QSize(1024, 768) << "IA" << false << true;
        QTest::newRow("1024x768 editor and five") << QSize(1024, 768) << "IAREN" << false << true;
        // The criteria window keeps what shows its contents (881 x 639 with
        // its border), which leaves no room for the editor beside or under
        // it even at 1280 x 1024; with six windows its size costs a caption.
        QTest::newRow("1280x1024 editor and criteria") << QSize(1280, 1024) << "K" << false << true;
        QTest::newRow("1280x1024 editor and six") << QSize(1280, 1024) << "IARENK" << false << false;
        QTest::newRow("1024x768 editor and six") << QSize(1024, 768) << "IARENK" << false << false;
    }

    void tileShowsEveryCaptionAndOverlapsOnlyWhereItMust()
    {
        QFETCH(QSize, frameSize);
        QFETCH(QString, sequence);
        QFETCH(bool, fits);
        QFETCH(bool, captions);
        start(frameSize);
        run(sequence + "T", frameSize);
        const QList<QMdiSubWindow *> stacked = area()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(stacked.size(), sequence.size() + 1);
        QList<QRect> places;
        for (qsizetype i = 0; i < stacked.size(); ++i) {
            const QRect caption(stacked[i]->pos(),
                                QSize(stacked[i]->width(), stacked[i]->widget()->mapTo(stacked[i], QPoint(0, 0)).y()));
            for (qsizetype above = i + 1; above < stacked.size() && captions; ++above)
                QVERIFY2(!stacked[above]->geometry().intersects(caption),
                         qPrintable(stacked[above]->widget()->objectName() + " covers the caption of " +
                                    stacked[i]->widget()->objectName()));
            places << stacked[i]->geometry();
        }
        const qint64 hidden = widgets::placement::HiddenArea(places);
        QVERIFY2((hidden == 0) == fits, qPrintable(QStringLiteral("%1 square pixels hidden").arg(hidden)));
    }

    // A study of 40 observations: every window that lists them shows the
    // last one or scrolls to it, on either screen.
    void everyObservationCanBeBroughtIntoView_data() { bothScreens(); }
    void everyObservationCanBeBroughtIntoView()
    {
        QFETCH(QSize, frameSize);
        dialogs = ScriptedDialogs();
        app = std::make_unique<Application>(dialogs, '.');
        frame().resize(frameSize);
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        frame().openStudyFile(QStringLiteral(TEST_DATA_DIR "/worked-40obs.w04"));
        QVERIFY(frame().editor());
        run("RNK", frameSize);
        const QList<QMdiSubWindow *> subs = area()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(subs.size(), 4);
        // The residuals' last line and the back-calculation's last row, in
        // the coordinates of what their window scrolls.
        auto *residuals = subs[1]->widget();
        auto *box = residuals->findChild<QPlainTextEdit *>("Memo3R");
        QCOMPARE(windows::TextLines(box).size(), 42);
        auto *inverse = subs[3]->widget()->findChild<QTableWidget *>(objectnames::stginverso);
        QCOMPARE(inverse->rowCount(), 40);
        for (const auto &[window, last] :
             {std::pair(residuals, box->mapTo(box->parentWidget(), QPoint(0, 4 + 42 * box->fontMetrics().lineSpacing()))),
              std::pair(subs[3]->widget(),
                        inverse->mapTo(inverse->parentWidget(),
                                       QPoint(0, inverse->horizontalHeader()->height() + inverse->verticalHeader()->length())))}) {
            auto *scroll = window->findChild<QScrollArea *>();
            QVERIFY(scroll);
            QScrollBar *bar = scroll->verticalScrollBar();
            bar->setValue(bar->maximum());
            QVERIFY2(last.y() - bar->value() <= scroll->viewport()->height(),
                     qPrintable(window->objectName() + QStringLiteral(": row ends at %1, %2 shown")
                                                           .arg(last.y() - bar->value()).arg(scroll->viewport()->height())));
            // Reached by a user: the bar shows, or nothing needed scrolling.
            QVERIFY2(bar->maximum() == 0 || bar->isVisible(), qPrintable(window->objectName()));
        }
        // The report scrolls through its text, observations and all.
        auto *report = subs[2]->widget()->findChild<QPlainTextEdit *>("mminforme");
        QVERIFY(report->toPlainText().count('\n') > 40 && report->verticalScrollBar()->isVisible());
    }

    void aCentredWindowDoesNotHideTheOneCentredBefore()
    {
        start(QSize(1280, 1024));
        run("IAI", QSize(1280, 1024));
        const QList<QMdiSubWindow *> subs = area()->subWindowList(QMdiArea::CreationOrder);
        const QRect inference = subs[1]->geometry(), anova = subs[2]->geometry(), again = subs[3]->geometry();
        QCOMPARE(inference.center(), QRect(QPoint(0, 0), area()->viewport()->size()).center());
        QVERIFY(!anova.contains(inference));
        QVERIFY(!anova.contains(again) && !again.contains(inference) && again.topLeft() != anova.topLeft());
    }

    void aMaximisedOrMinimisedChildIsArrangedSoundly()
    {
        const QSize size(1024, 768);
        start(size);
        run("IAN", size);
        QList<QMdiSubWindow *> subs = area()->subWindowList(QMdiArea::CreationOrder);
        subs[2]->showMinimized();     // the analysis of variance
        QVERIFY(subs[2]->isMinimized());
        subs.last()->showMaximized(); // the report
        frame().action(objectnames::WindowTileItem)->trigger();
        QVERIFY(!subs.last()->isMaximized());
        QVERIFY(subs[2]->isMinimized());
        expectOnScreen(size, "maximised, minimised, tiled");
        subs[2]->showNormal();
        run("C", size);
    }

    // Each child: F1 opens its topic; a window that keeps its size offers no
    // maximise, and the dialog border of the inference no minimise.
    void eachChildHasItsHelpTopicAndItsCaptionButtons()
    {
        start(QSize(1280, 1024));
        run("IARENK", QSize(1280, 1024));
        const QList<int> contexts = {2, 11, 13, 13, 15, 19, 16}; // the editor, then the commands' windows
        const QList<QMdiSubWindow *> subs = area()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(subs.size(), contexts.size());
        for (int i = 0; i < subs.size(); ++i) {
            const QString name = subs[i]->widget()->objectName();
            const Qt::WindowFlags flags = subs[i]->windowFlags();
            QVERIFY2(bool(flags & Qt::WindowMaximizeButtonHint) != kFixedWindows.contains(name), qPrintable(name));
            QVERIFY2(bool(flags & Qt::WindowMinimizeButtonHint) == (name != "TFinfo"), qPrintable(name));
            if (name == "TFinfo")
                QCOMPARE(subs[i]->widget()->size(), QSize(532, 264)); // the client area described, to the pixel
            app->help().hide();
            QApplication::setActiveWindow(&frame());
            area()->setActiveSubWindow(subs[i]);
            QTRY_COMPARE(area()->activeSubWindow(), subs[i]);
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &frame(), Qt::Key_F1);
            QTRY_VERIFY(app->help().isVisible());
            QVERIFY2(app->help().currentPage() == contexts[i], qPrintable(name));
        }
    }
};

QTEST_MAIN(WindowArrangementTest)
#include "windowarrangement_test.moc"
