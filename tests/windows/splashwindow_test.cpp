// The splash hides on a timer its first activation starts; the about box closes with OK.
#include "windows/aboutdialog.h"
#include "windows/splashwindow.h"

#include <QPushButton>
#include <QtTest>

class SplashAndAboutTest : public QObject {
    Q_OBJECT

private slots:
    void activationStartsTheTimerWhichHidesTheSplash()
    {
        SplashWindow splash(nullptr, 20);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QTest::qWait(60); // shown, but nothing has started the timer yet
        QVERIFY(splash.isVisible());

        splash.mainWindowActivated();
        QVERIFY(splash.timer().isActive());
        QTRY_VERIFY(!splash.isVisible());
        QVERIFY(!splash.timer().isActive()); // it stopped itself
    }

    void activationWhileRunningDoesNotPostponeIt()
    {
        SplashWindow splash(nullptr, 60000);
        splash.mainWindowActivated();
        QTest::qWait(50);
        splash.mainWindowActivated(); // the frame is activated again
        // Still counting from the first activation, not started afresh.
        QVERIFY2(splash.timer().remainingTime() <= 60000 - 50 + 5, qPrintable(QString::number(splash.timer().remainingTime())));
    }

    void aboutBoxClosesWithOk()
    {
        AboutDialog about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        about.findChild<QPushButton *>("OKButton")->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(SplashAndAboutTest)
#include "splashwindow_test.moc"
