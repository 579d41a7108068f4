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
    // A client area of 800 x 600, windows cascading 20 pixels apart.
    void newChildWindows()
    {
        const struct {
            const char *what;
            QSize size;
            bool centred;
            QList<QRect> others;
            QPoint expected;
        } cases[] = {
            {"centred", QSize(200, 100), true, {}, QPoint(300, 250)},
            {"centre taken: from the corner", QSize(200, 100), true, {{300, 250, 200, 100}}, QPoint(0, 0)},
            {"corner taken: one step on", QSize(200, 100), false, {{0, 0, 50, 50}}, QPoint(20, 20)},
            {"no room to step on", QSize(790, 590), false, {{0, 0, 50, 50}}, QPoint(0, 0)},
            {"wider than the area", QSize(900, 100), true, {}, QPoint(0, 0)},
            {"taller than the area", QSize(200, 700), true, {}, QPoint(0, 0)},
        };
        for (const auto &c : cases) {
            const QPoint placed = widgets::placement::NewWindowPosition(QSize(800, 600), c.size, c.centred, c.others, 20);
            QVERIFY2(placed == c.expected, c.what);
        }
        // A step of 0 (title bars of no height) still finds a place, one pixel on.
        QCOMPARE(widgets::placement::NewWindowPosition(QSize(800, 600), QSize(200, 100), false, {{0, 0, 50, 50}}, 0),
                 QPoint(1, 1));
    }

    void topLevelWindowsStayOnTheScreen()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        // Smaller than the screen, taller, wider.
        for (const QSize size : {QSize(300, 200), QSize(300, 5000), QSize(5000, 200)}) {
            QWidget window;
            window.resize(size);
            widgets::CentreOnScreen(&window);
            const QRect placed = window.frameGeometry();
            // Centred where it fits; its top left on the screen where it does not.
            for (const auto &[start, length, room] : {std::tuple(placed.x() - area.x(), size.width(), area.width()),
                                                      std::tuple(placed.y() - area.y(), size.height(), area.height())})
                QCOMPARE(start, length <= room ? (room - length) / 2 : 0);
        }
    }
};

QTEST_MAIN(WindowPlacementTest)
#include "windowplacement_test.moc"
