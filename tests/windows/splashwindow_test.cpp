#include "windows/aboutdialog.h"
#include "windows/splashwindow.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

class SplashAndAboutTest : public QObject {
    Q_OBJECT

    static QStringList labelTexts(QWidget *window)
    {
        QStringList texts;
        for (QLabel *label : window->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                texts << label->text();
        return texts;
    }

private slots:
    void splashShowsTheProductUntilTheTimerFires()
    {
        SplashWindow splash;
        QCOMPARE(splash.size(), QSize(505, 416));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(splash.timer().interval(), 3000);
        QVERIFY(!splash.timer().isActive());
        QCOMPARE(labelTexts(&splash), (QStringList{"TOLVEK v. w 3.1", "Control de Calidad"}));
        QVERIFY(!splash.findChild<QLabel *>("Image1")->pixmap().isNull());
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
    }

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
        QCOMPARE(about.windowTitle(), QStringLiteral("Acerca de"));
        QCOMPARE(labelTexts(&about), (QStringList{"TOLVEK v. w 3.1", "Ostrevia", "Control de Calidad"}));
        QVERIFY(!about.findChild<QLabel *>("ProgramIcon")->pixmap().isNull());
        about.findChild<QPushButton *>("OKButton")->click();
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(SplashAndAboutTest)
#include "splashwindow_test.moc"
