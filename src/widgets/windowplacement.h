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

namespace widgets {

// Moves a top-level window to the centre of the screen it is on (the primary
// screen before it is first shown), keeping it fully on that screen.
void CentreOnScreen(QWidget *window);

// Sizes a top-level window to `wanted`, or smaller where its screen has not
// that much room with the window manager's frame around it, then centres it.
void FitOnScreen(QWidget *window, QSize wanted);

namespace placement {

// Rectangles are in the coordinates of the client area, whose top left is 0, 0.
struct Child {
    QSize size;    // what it takes when it has the room
    QSize minimum; // the least it is made: its contents scroll in less than `size`
};

// Where a new child window of `size` goes: centred, or where new windows go.
// Either way wholly inside the area. When the centre is taken (another of
// `others` is centred there) or for a window placed where new windows go, the
// windows cascade from the area's top left, `step` pixels apart, to the first
// place where no other window has its top left corner. A window larger than
// the area starts at its top left.
QPoint NewWindowPosition(QSize area, QSize size, bool centred, const QList<QRect> &others, int step);

// Side by side, in rows or in columns, none over another: each child at its
// size where the area has room, else smaller, never below its minimum,
// sharing the room so that together they show the most of what they hold.
// Only where the minimums themselves do not fit do children overlap, as
// little as the arrangement can find, and then no child covers another's
// caption (the top `captionHeight` pixels of each) where that can be
// avoided. `stacking` is the order to raise them in, the bottom one first;
// `onTop`, when a child's index, ends on top.
struct Tiling {
    QList<QRect> places; // in the children's order
    QList<int> stacking;
};
Tiling Tiled(QSize area, const QList<Child> &children, int captionHeight, int onTop = -1);

// What a set of windows hides of one another, in square pixels: whichever
// lies on top, it is the sum of their areas less the area they cover together.
qint64 HiddenArea(const QList<QRect> &windows);

// Overlapping, `step` pixels apart from the top left, each one step lower
// and further right than the one beneath it, so that every caption shows
// (`step` is at least a caption's height). Each child takes its size where
// that fits at its step, else what fits there, never below its minimum. A
// child whose minimum would reach past the area at its step stands lower in
// the pile, where it fits: the children keep their order (`children` from
// the bottom up, the last on top) as far as that allows. Only where too many
// windows are too large for their steps does one stand where it fits best.
struct Cascade {
    QList<QRect> places; // in the children's order
    QList<int> stacking; // the order to raise them in, the bottom one first
};
Cascade Cascaded(QSize area, const QList<Child> &children, int step);

} // namespace placement

// The frame's Tile and Cascade over its visible child windows (minimised
// ones are lined up at the bottom, as they always are; a maximised one is
// restored first). A window is made no smaller than a readable part of
// what it shows, which then scrolls, and one that keeps its size takes it
// back where there is room. The active window stays active, and on top.
void TileSubWindows(QMdiArea *area);
void CascadeSubWindows(QMdiArea *area);

// Sizes and places a child window that is about to be shown for the first
// time. `SetKeepsSize` fixes its size: the user cannot resize it (its
// border offers no maximise button, nor a minimise button with
// `dialogBorder`); only Mosaico and Cascada make it smaller, where the room
// is short, and its contents then scroll.
void PlaceNewSubWindow(QMdiArea *area, QMdiSubWindow *window, bool centred);
void SetKeepsSize(QMdiSubWindow *window, bool dialogBorder);
bool KeepsSize(const QMdiSubWindow *window);

// The frame shows the window it activates maximised when the one active
// before was maximised, also one that cannot be maximised: such a window
// would stand at its own size without its caption, over windows left
// unpainted. It is shown normal instead, caption and all.
void KeepUnmaximisableWindowsNormal(QMdiArea *area);

} // namespace widgets
