#pragma once
// Where windows go. Top-level windows are centred on their screen; the child
// windows of the frame are placed and arranged inside the frame's client
// area as it is: the frame never grows for its children, and a child that
// fits in the area lies wholly inside it.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

// Moves a top-level window to the centre of the screen it is on (the primary
// screen before it is first shown), keeping it fully on that screen.
void centreOnScreen(QWidget *window);

namespace placement {

// Rectangles are in the coordinates of the client area, whose top left is 0, 0.
struct Child {
    QSize size;
    bool keepsSize = false; // moved, never resized
    QSize minimum;          // the least size a resizable child takes
};

// Where a new child window of `size` goes: centred, or where new windows go.
// Either way wholly inside the area. When the centre is taken (another of
// `others` is centred there) or for a window placed where new windows go, the
// windows cascade from the area's top left, `step` pixels apart, to the first
// place where no other window has its top left corner. A window larger than
// the area starts at its top left.
QPoint newWindowPosition(QSize area, QSize size, bool centred, const QList<QRect> &others, int step);

// Side by side: the area is cut into as many cells as there are children,
// in rows; each child fills its cell, or, when it keeps its size, stands at
// the cell's top left, moved in as far as needed to stay inside the area.
QList<QRect> tiled(QSize area, const QList<Child> &children);

// Overlapping, `step` pixels apart from the top left; a window that would
// reach past the area starts a new run from the top left. Sizes are kept,
// except that a resizable child larger than the area is made to fit.
QList<QRect> cascaded(QSize area, const QList<Child> &children, int step);

} // namespace placement

// The frame's Tile and Cascade over its visible child windows (minimised
// ones are lined up at the bottom, as they always are; a maximised one is
// restored first).
void tileSubWindows(QMdiArea *area);
void cascadeSubWindows(QMdiArea *area);

// Sizes and places a child window that is about to be shown for the first
// time: `keepsSize` fixes its size (its border then offers no maximise
// button, nor a minimise button with `dialogBorder`).
void placeNewSubWindow(QMdiArea *area, QMdiSubWindow *window, bool centred);
void setKeepsSize(QMdiSubWindow *window, bool dialogBorder);
bool keepsSize(const QMdiSubWindow *window);
