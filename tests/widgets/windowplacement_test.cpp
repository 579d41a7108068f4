// Where a new window goes: inside the frame's client area or on the screen,
// never with its top left (and so its caption) out of reach, whatever its
// size. Tiling and cascading are checked with the frame (tests/app).
#include "widgets/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QtTest>

class WindowPlacementTest : public QObject {
    Q_OBJECT

private slots:
    void newChildWindows_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<QList<QRect>>("others");
        QTest::addColumn<QPoint>("expected");
        // A client area of 800 x 600, windows cascading 20 pixels apart.
        QTest::newRow("centred") << QSize(200, 100) << true << QList<QRect>{} << QPoint(300, 250);
        QTest::newRow("centre taken: from the corner") << QSize(200, 100) << true
                                                       << QList<QRect>{{300, 250, 200, 100}} << QPoint(0, 0);
        QTest::newRow("corner taken: one step on") << QSize(200, 100) << false << QList<QRect>{{0, 0, 50, 50}}
                                                   << QPoint(20, 20);
        QTest::newRow("no room to step on") << QSize(790, 590) << false << QList<QRect>{{0, 0, 50, 50}}
                                            << QPoint(0, 0);
        QTest::newRow("wider than the area") << QSize(900, 100) << true << QList<QRect>{} << QPoint(0, 0);
        QTest::newRow("taller than the area") << QSize(200, 700) << true << QList<QRect>{} << QPoint(0, 0);
    }
    void newChildWindows()
    {
        QFETCH(QSize, size);
        QFETCH(bool, centred);
        QFETCH(QList<QRect>, others);
        QFETCH(QPoint, expected);
        QCOMPARE(widgets::placement::NewWindowPosition(QSize(800, 600), size, centred, others, 20), expected);
    }

    void topLevelWindowsStayOnTheScreen_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("smaller than the screen") << QSize(300, 200);
        QTest::newRow("taller than the screen") << QSize(300, 5000);
        QTest::newRow("wider than the screen") << QSize(5000, 200);
    }
    void topLevelWindowsStayOnTheScreen()
    {
        QFETCH(QSize, size);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget window;
        window.resize(size);
        widgets::CentreOnScreen(&window);
        const QRect placed = window.frameGeometry();
        // Centred where it fits; its top left on the screen where it does not.
        for (const auto &[start, length, room] : {std::tuple(placed.x() - area.x(), size.width(), area.width()),
                                                  std::tuple(placed.y() - area.y(), size.height(), area.height())})
            QCOMPARE(start, length <= room ? (room - length) / 2 : 0);
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "windowplacement_test.moc"
