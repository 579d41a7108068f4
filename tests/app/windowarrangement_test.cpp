// The frame's child windows stay on the screen and stay usable: every
// result window opens wholly inside the client area at its own size, Tile
// lays the children side by side with none over another and Cascade shows
// every caption, inside the frame as it is without ever resizing it; a
// window made smaller than its contents scrolls to them, and is never made
// smaller than its controls need.
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
#include <QSet>
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
    {'I', objectnames::mnuinferencia}, {'A', objectnames::mnuanova},       {'R', objectnames::mnuresid},
    {'E', objectnames::mnueesc},       {'N', objectnames::mnuinforme},     {'K', objectnames::mnucriterios},
    {'Q', objectnames::mnucuadratico}, {'W', objectnames::mnuponderacion}, {'T', objectnames::WindowTileItem},
    {'C', objectnames::WindowCascadeItem},
};

// A window that cannot be made smaller, and one that can be made as small as `least`.
widgets::placement::Child keeps(int w, int h) { return {QSize(w, h), QSize(w, h)}; }
widgets::placement::Child resizable(int w, int h, int leastW, int leastH) { return {QSize(w, h), QSize(leastW, leastH)}; }

// The two screens the arrangement is tried on, as a test's data.
void bothScreens()
{
    QTest::addColumn<QSize>("frameSize");
    QTest::newRow("1280x1024") << QSize(1280, 1024);
    QTest::newRow("1024x768") << QSize(1024, 768);
}

// Result windows whose contents are laid out to the pixel: they open at
// their own size and the user cannot resize them.
const QStringList kFixedWindows = {"TFinfo", "TfinfoA", "TFerrorp"};

// Whether `widget` lies in what a scroll area scrolls.
bool scrolled(const QWidget *widget, const QWidget *window)
{
    for (const QWidget *w = widget->parentWidget(); w && w != window; w = w->parentWidget())
        if (const auto *area = qobject_cast<const QAbstractScrollArea *>(w->parentWidget()); area && area->viewport() == w)
            return true;
    return false;
}

// Why the child window cannot be used as it stands, or "" when it can: its
// controls squeezed below what they need, too small to read, a control cut
// by the window's edge that does not scroll into view, or a box that hides
// what it holds with no scroll bar to reach it.
QString unusable(const QMdiSubWindow *sub)
{
    QWidget *content = sub->widget();
    if (sub->width() < sub->minimumSizeHint().width() || sub->height() < sub->minimumSizeHint().height())
        return QStringLiteral("squeezed to %1x%2 below %3x%4")
            .arg(sub->width()).arg(sub->height()).arg(sub->minimumSizeHint().width()).arg(sub->minimumSizeHint().height());
    const QFontMetrics metrics(content->font());
    if (content->width() < 20 * metrics.averageCharWidth() || content->height() < 4 * metrics.lineSpacing())
        return QStringLiteral("too small to read at %1x%2").arg(content->width()).arg(content->height());
    const QRect shown = content->rect();
    for (QWidget *control : content->findChildren<QWidget *>()) {
        if (!control->isVisibleTo(content) || control->isWindow() || scrolled(control, content))
            continue;
        const QRect at(control->mapTo(content, QPoint(0, 0)), control->size());
        if (!shown.contains(at) && !qobject_cast<QScrollBar *>(control))
            return control->objectName() + QStringLiteral(" (%1) cut by the window's edge").arg(control->metaObject()->className());
    }
    for (QPlainTextEdit *box : content->findChildren<QPlainTextEdit *>())
        if (box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff && box->isEnabled() &&
            box->blockCount() * box->fontMetrics().lineSpacing() > box->viewport()->height())
            return box->objectName() + " cuts its last lines";
    for (QTextEdit *box : content->findChildren<QTextEdit *>()) {
        const QWidget *sheet = box->parentWidget();
        const int visible = std::min(box->viewport()->height(), sheet->height() - box->y() - 2 * box->frameWidth());
        if (box->document()->documentLayout()->documentSize().height() > visible)
            return box->objectName() + " cuts its text";
    }
    for (QTableWidget *grid : content->findChildren<QTableWidget *>()) {
        int width = 0, height = 0;
        for (int c = 0; c < grid->columnCount(); ++c)
            width += grid->columnWidth(c);
        for (int r = 0; r < grid->rowCount(); ++r)
            height += grid->rowHeight(r);
        const QWidget *sheet = grid->parentWidget();
        if ((grid->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOff && grid->x() + width > sheet->width()) ||
            (grid->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOff && grid->y() + height > sheet->height()))
            return grid->objectName() + " cuts its table";
    }
    return {};
}

// The caption of a child window: all that lies above its contents.
QRect captionOf(const QMdiSubWindow *sub)
{
    return QRect(sub->pos(), QSize(sub->width(), sub->widget()->mapTo(sub, QPoint(0, 0)).y()));
}

} // namespace

class WindowArrangementTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;
    std::unique_ptr<Application> app;
    QHash<QMdiSubWindow *, QSize> sizeAtOpening;
    QSet<QMdiSubWindow *> asOpened; // not arranged since they opened

    MainWindow &frame() { return app->frame(); }
    QMdiArea *area() { return frame().mdiArea(); }

    void start(QSize frameSize)
    {
        dialogs = ScriptedDialogs();
        sizeAtOpening.clear();
        asOpened.clear();
        app = std::make_unique<Application>(dialogs, '.');
        frame().resize(frameSize);
        frame().show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        frame().openStudyFile(kStudy);
        QVERIFY(frame().editor());
    }

    // Every child inside the client area, the frame as it was, every window
    // usable; a window not arranged since it opened as large as its
    // contents where the area has room, and one that keeps its size as
    // large as it opened.
    void expectOnScreen(QSize frameSize, const QString &step, bool arranged = false)
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
            const QString fault = unusable(sub);
            QVERIFY2(fault.isEmpty(), qPrintable(what + " " + fault));
            if (arranged)
                asOpened.remove(sub);
            else if (!sizeAtOpening.contains(sub)) {
                sizeAtOpening.insert(sub, sub->size());
                asOpened.insert(sub);
            }
            if (!asOpened.contains(sub))
                continue;
            if (kFixedWindows.contains(sub->widget()->objectName())) {
                QVERIFY2(sub->size() == sizeAtOpening.value(sub), qPrintable(what + " changed its size"));
                continue;
            }
            // Nothing to scroll sideways to: every line of it in sight at once.
            for (const QScrollArea *scroll : sub->widget()->findChildren<QScrollArea *>())
                QVERIFY2(scroll->horizontalScrollBar()->maximum() == 0,
                         qPrintable(what + QStringLiteral(" scrolls %1 pixels sideways").arg(scroll->horizontalScrollBar()->maximum())));
            const QSize content = sub->widget()->sizeHint().boundedTo(client.size() - (sub->size() - sub->widget()->size()));
            QVERIFY2(sub->widget()->width() >= content.width() && sub->widget()->height() >= content.height(),
                     qPrintable(what + QStringLiteral(" %1x%2 for contents of %3x%4")
                                           .arg(sub->widget()->width()).arg(sub->widget()->height())
                                           .arg(content.width()).arg(content.height())));
        }
    }

    void run(const QString &sequence, QSize frameSize)
    {
        for (qsizetype i = 0; i < sequence.size(); ++i) {
            frame().action(kCommands.value(sequence[i]))->trigger();
            QCoreApplication::processEvents();
            expectOnScreen(frameSize, sequence.left(i + 1), sequence[i] == 'T' || sequence[i] == 'C');
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

    // Tile by itself: side by side, each at its size where it fits, else
    // sharing the room down to its least; overlapping only where even the
    // least sizes cannot stand side by side, and then every caption shows.
    void tileLaysOutSideBySide()
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
            {"a window gives up its width to stand beside another", QSize(200, 100),
             {keeps(120, 100), resizable(120, 100, 80, 60)}, {{0, 0, 120, 100}, {120, 0, 80, 100}}},
            {"the room shared in proportion to what each would take", QSize(300, 100),
             {resizable(300, 100, 100, 50), resizable(150, 100, 50, 50)}, {{0, 0, 200, 100}, {200, 0, 100, 100}}},
            {"rows of their own heights", QSize(100, 200),
             {keeps(100, 60), keeps(100, 60), keeps(50, 80), keeps(50, 80)},
             {{0, 0, 100, 60}, {0, 60, 100, 60}, {0, 120, 50, 80}, {50, 120, 50, 80}}},
            {"columns where rows cannot", QSize(200, 100),
             {keeps(80, 100), resizable(120, 100, 120, 40), resizable(120, 100, 120, 40)},
             {{0, 0, 80, 100}, {80, 0, 120, 50}, {80, 50, 120, 50}}},
            {"too large even at their least: the smaller one under the caption", QSize(200, 100),
             {keeps(120, 50), keeps(120, 100)}, {{80, 10, 120, 50}, {0, 0, 120, 100}}},
        };
        for (const auto &c : cases) {
            const QList<QRect> places = widgets::placement::Tiled(c.area, c.children, 10).places;
            QVERIFY2(places == c.places, c.what);
        }
    }

    // Cascade by itself, 20 pixels a step: every caption shows, every window
    // lies inside the area, the pile keeps its order as far as the least
    // sizes allow, each window at its size where it fits at its step.
    void cascadeShowsEveryCaption()
    {
        using widgets::placement::Child;
        const struct {
            const char *what;
            QSize area;
            QList<Child> children; // the bottom of the pile first
            QList<int> stacking;
            QList<QRect> places;
        } cases[] = {
            {"small ones keep their order", QSize(400, 300), {keeps(100, 100), keeps(100, 100), keeps(100, 100)},
             {0, 1, 2}, {{0, 0, 100, 100}, {20, 20, 100, 100}, {40, 40, 100, 100}}},
            {"a large one is made smaller to fit its step", QSize(400, 300),
             {keeps(100, 100), resizable(400, 300, 200, 150)}, {0, 1}, {{0, 0, 100, 100}, {20, 20, 380, 280}}},
            {"one whose least is too large for the top step stands lower", QSize(400, 300),
             {keeps(100, 100), keeps(100, 100), keeps(380, 270)}, {0, 2, 1},
             {{0, 0, 100, 100}, {40, 40, 100, 100}, {20, 20, 380, 270}}},
            {"never smaller than its least", QSize(400, 300), {resizable(50, 40, 200, 150), keeps(100, 100)},
             {0, 1}, {{0, 0, 200, 150}, {20, 20, 100, 100}}},
            {"more large windows than steps: the rest where they fit best", QSize(400, 300),
             {keeps(390, 290), keeps(390, 290), keeps(100, 100)}, {0, 1, 2},
             {{0, 0, 390, 290}, {0, 0, 390, 290}, {40, 40, 100, 100}}},
        };
        for (const auto &c : cases) {
            const widgets::placement::Cascade cascade = widgets::placement::Cascaded(c.area, c.children, 20);
            QVERIFY2(cascade.places == c.places && cascade.stacking == c.stacking, c.what);
        }
    }

    // The windows of the sets, at both screen sizes.
    static void windowSets()
    {
        QTest::addColumn<QSize>("frameSize");
        QTest::addColumn<QString>("sequence");
        for (const auto &[name, size] : {std::pair("1280x1024", QSize(1280, 1024)), std::pair("1024x768", QSize(1024, 768))})
            for (const auto &[what, sequence] : {
                     std::pair("editor and seven", "IAREKQ"), std::pair("editor and weighting", "W"),
                     std::pair("editor and five", "IAREN"), std::pair("editor and criteria", "K"),
                     std::pair("editor, inference, variance", "IA"), std::pair("editor and nine", "IARENKQWI")})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(name, what))) << size << QString(sequence);
    }

    // Cascade: every caption in sight, every window inside the client area
    // and usable.
    void frameCascadeShowsEveryCaption_data() { windowSets(); }
    void frameCascadeShowsEveryCaption()
    {
        QFETCH(QSize, frameSize);
        QFETCH(QString, sequence);
        start(frameSize);
        run(sequence + "C", frameSize);
        const QList<QMdiSubWindow *> stacked = area()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(stacked.size(), sequence.size() + 1);
        for (qsizetype i = 0; i < stacked.size(); ++i)
            for (qsizetype above = i + 1; above < stacked.size(); ++above)
                QVERIFY2(!stacked[above]->geometry().intersects(captionOf(stacked[i])),
                         qPrintable(stacked[above]->widget()->objectName() + " covers the caption of " +
                                    stacked[i]->widget()->objectName()));
    }

    // Tile: none over another, every window inside the client area and
    // usable; the window that was active stays active and on top.
    void tileLaysOutWithoutOverlapping_data() { windowSets(); }
    void tileLaysOutWithoutOverlapping()
    {
        QFETCH(QSize, frameSize);
        QFETCH(QString, sequence);
        start(frameSize);
        run(sequence, frameSize);
        QList<QMdiSubWindow *> subs = area()->subWindowList(QMdiArea::CreationOrder);
        QCOMPARE(subs.size(), sequence.size() + 1);
        // The user goes back to a window opened early: it is neither the
        // last opened nor the first.
        QMdiSubWindow *chosen = subs[subs.size() / 2];
        area()->setActiveSubWindow(chosen);
        QCOMPARE(area()->activeSubWindow(), chosen);
        run("T", frameSize);
        QList<QRect> places;
        for (QMdiSubWindow *sub : subs)
            places << sub->geometry();
        const qint64 hidden = widgets::placement::HiddenArea(places);
        QVERIFY2(hidden == 0, qPrintable(QStringLiteral("%1 square pixels hidden").arg(hidden)));
        QCOMPARE(area()->activeSubWindow(), chosen);
        QCOMPARE(area()->subWindowList(QMdiArea::StackingOrder).last(), chosen);
        // Tile again changes nothing.
        run("T", frameSize);
        for (qsizetype i = 0; i < subs.size(); ++i)
            QVERIFY2(subs[i]->geometry() == places[i], qPrintable(subs[i]->widget()->objectName() + " moved"));
    }

    // The frame shows the window it activates maximised when the one active
    // before was: a window that cannot be maximised comes up normal instead,
    // at its own size with its caption and its border's buttons, whether the
    // user went to it or the maximised window closed.
    void aWindowThatCannotBeMaximisedComesUpWithItsCaption_data()
    {
        QTest::addColumn<bool>("closeMaximised");
        QTest::newRow("gone to") << false;
        QTest::newRow("the maximised one closed") << true; // whichever comes up next
    }
    void aWindowThatCannotBeMaximisedComesUpWithItsCaption()
    {
        QFETCH(bool, closeMaximised);
        start(QSize(1280, 1024));
        run("IAR", QSize(1280, 1024));
        const QList<QMdiSubWindow *> subs = area()->subWindowList(QMdiArea::CreationOrder);
        QMdiSubWindow *anova = subs[2], *residuals = subs[3];
        const QSize own = anova->size();
        const Qt::WindowFlags flags = anova->windowFlags();
        area()->setActiveSubWindow(anova);
        area()->setActiveSubWindow(residuals);
        residuals->showMaximized();
        QVERIFY(residuals->isMaximized());
        if (closeMaximised)
            residuals->close();
        else
            area()->setActiveSubWindow(anova);
        QCoreApplication::processEvents();
        for (QMdiSubWindow *sub : area()->subWindowList())
            if (!(sub->windowFlags() & Qt::WindowMaximizeButtonHint))
                QVERIFY2(!sub->isMaximized() && captionOf(sub).height() > 0, qPrintable(sub->widget()->objectName()));
        if (closeMaximised)
            return;
        QCOMPARE(area()->activeSubWindow(), anova);
        QVERIFY(!anova->isMaximized());
        QCOMPARE(anova->size(), own);
        QCOMPARE(anova->windowFlags(), flags);
        QVERIFY2(captionOf(anova).height() > 0, "no caption");
        QVERIFY(QRect(QPoint(0, 0), area()->viewport()->size()).contains(anova->geometry()));
    }

    // With too many windows for the area even at their least sizes, Tile
    // overlaps them, every caption in sight, the active one on top.
    void tileOfTooManyWindowsShowsEveryCaption()
    {
        const QSize size(1024, 768);
        start(size);
        run("IARENKQWIARENKQWIAREN", size);
        QMdiSubWindow *chosen = area()->subWindowList(QMdiArea::CreationOrder)[3];
        area()->setActiveSubWindow(chosen);
        run("T", size);
        const QList<QMdiSubWindow *> stacked = area()->subWindowList(QMdiArea::StackingOrder);
        QCOMPARE(stacked.last(), chosen);
        QCOMPARE(area()->activeSubWindow(), chosen);
        for (qsizetype i = 0; i < stacked.size(); ++i)
            for (qsizetype above = i + 1; above < stacked.size(); ++above)
                QVERIFY2(!stacked[above]->geometry().intersects(captionOf(stacked[i])),
                         qPrintable(stacked[above]->widget()->objectName() + " covers the caption of " +
                                    stacked[i]->widget()->objectName()));
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
