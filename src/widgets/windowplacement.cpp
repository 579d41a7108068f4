#include "widgets/windowplacement.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <functional>

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // The frame is not known before the first show: centre the client area.
    const QSize outer = window->frameGeometry().size().expandedTo(window->size());
    QPoint topLeft(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
    topLeft.rx() = qMax(topLeft.x(), area.x());
    topLeft.ry() = qMax(topLeft.y(), area.y());
    window->move(topLeft);
}

namespace placement {

namespace {

// The nearest place to `wanted` where `size` lies inside the area; the top
// left when it is larger than the area.
QPoint inside(QSize area, QSize size, QPoint wanted)
{
    return {std::max(0, std::min(wanted.x(), area.width() - size.width())),
            std::max(0, std::min(wanted.y(), area.height() - size.height()))};
}

bool fits(QSize area, QRect rect) { return QRect(QPoint(0, 0), area).contains(rect); }

} // namespace

QPoint newWindowPosition(QSize area, QSize size, bool centred, const QList<QRect> &others, int step)
{
    if (size.width() > area.width() || size.height() > area.height())
        return {0, 0};
    const int near = std::max(1, step / 2);
    auto taken = [&](QPoint place) {
        return std::any_of(others.begin(), others.end(), [&](const QRect &other) {
            return (other.topLeft() - place).manhattanLength() < near;
        });
    };
    // The centre is taken by a window already centred there, whatever its size.
    const QPoint middle(area.width() / 2, area.height() / 2);
    const bool centreTaken = std::any_of(others.begin(), others.end(), [&](const QRect &other) {
        return (other.center() - middle).manhattanLength() < step;
    });
    const QPoint centre((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
    if (centred && !centreTaken)
        return centre;
    for (QPoint place(0, 0); fits(area, QRect(place, size)); place += QPoint(step, step))
        if (!taken(place))
            return place;
    return centred ? centre : QPoint(0, 0);
}

QList<QRect> tiled(QSize area, const QList<Child> &children)
{
    QList<QRect> places;
    const int count = static_cast<int>(children.size());
    if (count == 0)
        return places;
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int inRow = std::min(columns, count - row * columns); // the last row may hold fewer
        const int column = i % columns;
        const QRect cell(column * area.width() / inRow, row * area.height() / rows, area.width() / inRow,
                         area.height() / rows);
        const Child &child = children[i];
        const QSize size = child.keepsSize ? child.size : cell.size().expandedTo(child.minimum);
        places << QRect(inside(area, size, cell.topLeft()), size);
    }
    return places;
}

QList<QRect> cascaded(QSize area, const QList<Child> &children, int step)
{
    QList<QRect> places;
    QPoint place(0, 0);
    for (const Child &child : children) {
        QSize size = child.size;
        if (!child.keepsSize)
            size = size.boundedTo(area).expandedTo(child.minimum);
        if (!fits(area, QRect(place, size)))
            place = QPoint(0, 0);
        places << QRect(place, size);
        place += QPoint(step, step);
    }
    return places;
}

} // namespace placement

namespace {

constexpr const char *kKeepsSize = "keepsSize";

// Between two cascaded windows: the height of a title bar.
int cascadeStep(const QMdiArea *area)
{
    return area->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, area);
}

// The visible child windows in `order`, restored when maximised; minimised
// ones are not arranged.
QList<QMdiSubWindow *> arrangedWindows(QMdiArea *area, QMdiArea::WindowOrder order)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : area->subWindowList(order)) {
        if (window->isHidden() || window->isMinimized())
            continue;
        if (window->isMaximized())
            window->showNormal();
        windows << window;
    }
    return windows;
}

void arrange(QMdiArea *area, QMdiArea::WindowOrder order,
             const std::function<QList<QRect>(QSize, const QList<placement::Child> &)> &arranger)
{
    const QList<QMdiSubWindow *> windows = arrangedWindows(area, order);
    QList<placement::Child> children;
    for (const QMdiSubWindow *window : windows)
        children << placement::Child{window->size(), keepsSize(window),
                                     window->minimumSizeHint().expandedTo(window->minimumSize())};
    const QList<QRect> places = arranger(area->viewport()->size(), children);
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(places[i]);
}

} // namespace

void tileSubWindows(QMdiArea *area) { arrange(area, QMdiArea::CreationOrder, placement::tiled); }

void cascadeSubWindows(QMdiArea *area)
{
    // From the bottom of the pile up: the window on top takes the last place.
    const int step = cascadeStep(area);
    arrange(area, QMdiArea::StackingOrder, [step](QSize size, const QList<placement::Child> &children) {
        return placement::cascaded(size, children, step);
    });
}

void placeNewSubWindow(QMdiArea *area, QMdiSubWindow *window, bool centred)
{
    QList<QRect> others;
    for (const QMdiSubWindow *other : area->subWindowList())
        if (other != window && other->isVisible())
            others << other->geometry();
    window->move(placement::newWindowPosition(area->viewport()->size(), window->size(), centred, others,
                                              cascadeStep(area)));
}

void setKeepsSize(QMdiSubWindow *window, bool dialogBorder)
{
    window->setFixedSize(window->size());
    window->setProperty(kKeepsSize, true);
    // A window that keeps its size cannot be maximised; a dialog border has
    // no minimise button either.
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!dialogBorder)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);
}

bool keepsSize(const QMdiSubWindow *window) { return window->property(kKeepsSize).toBool(); }
