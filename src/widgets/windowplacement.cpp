#include "widgets/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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
