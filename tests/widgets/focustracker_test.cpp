// Tab and Backtab through the controls a window tracks: a control the
// window has disabled is passed over in both directions, never a stop.
#include "widgets/focustracker.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

class FocusTrackerTest : public QObject {
    Q_OBJECT

private slots:
    void tabPassesOverDisabledControls()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        QLineEdit *edits[] = {new QLineEdit, new QLineEdit, new QLineEdit, new QLineEdit};
        FocusTracker tracker(&window);
        for (QLineEdit *edit : edits) {
            layout->addWidget(edit);
            tracker.addControl(edit);
        }
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edits[1]->setEnabled(false);
        edits[0]->setFocus();
        QVERIFY(tracker.focusNext(true));
        QCOMPARE(QApplication::focusWidget(), edits[2]);
        QVERIFY(tracker.focusNext(false));
        QCOMPARE(QApplication::focusWidget(), edits[0]);
        QVERIFY(tracker.focusNext(false)); // round the end
        QCOMPARE(QApplication::focusWidget(), edits[3]);
    }
};

QTEST_MAIN(FocusTrackerTest)
#include "focustracker_test.moc"
