#include "widgets/windowplacement.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QStyle>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

void widgets::CentreOnScreen(QWidget *window)
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

void widgets::FitOnScreen(QWidget *window, QSize wanted)
{
    if (QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        // The frame is not known before the first show: allow for a title bar
        // and a border a few pixels wide.
        const int border = 6;
        const QSize frame(2 * border,
                          window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window) + 2 * border);
        wanted = wanted.boundedTo(screen->availableGeometry().size() - frame);
    }
    window->resize(wanted.expandedTo(window->minimumSizeHint()));
    widgets::CentreOnScreen(window);
}

namespace widgets::placement {

namespace {

bool fits(QSize area, QRect rect) { return QRect(QPoint(0, 0), area).contains(rect); }

} // namespace

QPoint NewWindowPosition(QSize area, QSize size, bool centred, const QList<QRect> &others, int step)
{
    if (size.width() > area.width() || size.height() > area.height())
        return {0, 0};
    // A style whose title bars have no height still steps on, or the search
    // below would never leave a taken corner.
    step = std::max(step, 1);
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

namespace {

// The area the rectangles cover together.
qint64 unionArea(const QList<QRect> &rects)
{
    QList<int> xs, ys;
    for (const QRect &r : rects) {
        if (r.isEmpty())
            continue;
        xs << r.left() << r.left() + r.width();
        ys << r.top() << r.top() + r.height();
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    qint64 total = 0;
    for (qsizetype i = 0; i + 1 < xs.size(); ++i)
        for (qsizetype j = 0; j + 1 < ys.size(); ++j) {
            const QPoint corner(xs[i], ys[j]);
            if (xs[i] == xs[i + 1] || ys[j] == ys[j + 1])
                continue;
            if (std::any_of(rects.begin(), rects.end(), [&](const QRect &r) { return r.contains(corner); }))
                total += qint64(xs[i + 1] - xs[i]) * (ys[j + 1] - ys[j]);
        }
    return total;
}

struct Attempt {
    QList<QRect> places;
    QList<int> stacking;
    int captionsCovered = 0;
    qint64 hidden = 0;

    // Captions first, then what is hidden.
    auto score() const { return std::pair(captionsCovered, hidden); }
};

// Where a window of `size` goes on top of `below`: the place that covers no
// caption if it can, then hides the least of what is already there, then
// lies highest and leftmost. The places tried are the area's edges and those
// of the windows already laid out, and just under their captions.
struct Choice {
    int captions = 0;
    qint64 hidden = 0;
    QRect place;
    auto key() const { return std::tuple(captions, hidden, place.y(), place.x()); }
};

Choice placeOnTop(QSize area, QSize size, const QList<QRect> &below, int captionHeight)
{
    QList<int> xs = {0, area.width() - size.width()};
    QList<int> ys = {0, area.height() - size.height()};
    for (const QRect &r : below) {
        xs << r.left() << r.left() + r.width() << r.left() - size.width();
        ys << r.top() << r.top() + r.height() << r.top() - size.height() << r.top() + captionHeight;
    }
    auto clamp = [](QList<int> &values, int most) {
        for (int &v : values)
            v = std::max(0, std::min(v, most));
        std::sort(values.begin(), values.end());
        values.erase(std::unique(values.begin(), values.end()), values.end());
    };
    clamp(xs, area.width() - size.width());
    clamp(ys, area.height() - size.height());
    std::optional<Choice> best;
    QList<QRect> covered;
    for (const int y : ys)
        for (const int x : xs) {
            Choice choice{0, 0, QRect(QPoint(x, y), size)};
            covered.clear();
            for (const QRect &r : below) {
                if (choice.place.intersects(QRect(r.topLeft(), QSize(r.width(), captionHeight))))
                    ++choice.captions;
                if (choice.place.intersects(r))
                    covered << (choice.place & r);
            }
            if (best && choice.captions > best->captions)
                continue;
            choice.hidden = unionArea(covered);
            if (!best || choice.key() < best->key())
                best = choice;
        }
    return *best;
}

// Tries the orders of laying the windows out, each on top of those before
// it, `onTop` last: the largest first, then the others, leaving an order as
// soon as it does no better than the best found and stopping after a fixed
// amount of work. An arrangement that hides nothing ends the search.
Attempt bestLayOut(QSize area, const QList<QSize> &sizes, int captionHeight, int onTop)
{
    const int count = static_cast<int>(sizes.size());
    QList<int> free;
    for (int i = 0; i < count; ++i)
        if (i != onTop)
            free << i;
    std::stable_sort(free.begin(), free.end(), [&](int a, int b) {
        return qint64(sizes[a].width()) * sizes[a].height() > qint64(sizes[b].width()) * sizes[b].height();
    });
    std::optional<Attempt> best;
    Attempt current;
    current.places.resize(count);
    QList<QRect> below;
    int budget = 2000; // windows placed; a few tenths of a second at most
    std::function<void(QList<int> &)> search = [&](QList<int> &left) {
        if (best && (current.score() >= best->score() || best->score() == std::pair(0, qint64(0))))
            return;
        if (left.isEmpty()) {
            if (onTop >= 0 && onTop < count) {
                const Choice choice = placeOnTop(area, sizes[onTop], below, captionHeight);
                Attempt complete = current;
                complete.places[onTop] = choice.place;
                complete.stacking << onTop;
                complete.captionsCovered += choice.captions;
                complete.hidden += choice.hidden;
                if (!best || complete.score() < best->score())
                    best = std::move(complete);
            } else {
                best = current;
            }
            return;
        }
        for (qsizetype i = 0; i < left.size() && budget > 0; ++i) {
            const int index = left.takeAt(i);
            --budget;
            const Choice choice = placeOnTop(area, sizes[index], below, captionHeight);
            const Attempt saved = current;
            current.places[index] = choice.place;
            current.stacking << index;
            current.captionsCovered += choice.captions;
            current.hidden += choice.hidden;
            below << choice.place;
            search(left);
            below.removeLast();
            current = saved;
            left.insert(i, index);
        }
    };
    search(free);
    return *best;
}

} // namespace

qint64 HiddenArea(const QList<QRect> &windows)
{
    qint64 total = 0;
    for (const QRect &r : windows)
        total += qint64(r.width()) * r.height();
    return total - unionArea(windows);
}

Tiling Tiled(QSize area, const QList<Child> &children, int captionHeight, int onTop)
{
    if (children.isEmpty())
        return {};
    QList<QSize> asTheyAre, atLeast;
    for (const Child &child : children) {
        if (child.keepsSize) {
            asTheyAre << child.size;
            atLeast << child.size;
        } else {
            const QSize least = child.minimum.boundedTo(area);
            asTheyAre << child.size.boundedTo(area).expandedTo(least);
            atLeast << least;
        }
    }
    Attempt best = bestLayOut(area, asTheyAre, captionHeight, onTop);
    // A window seen whole, or a caption in sight, is worth the size given up.
    auto worth = [](const Attempt &a) { return std::pair(a.captionsCovered, a.hidden > 0); };
    if (best.hidden > 0 && atLeast != asTheyAre) {
        Attempt smaller = bestLayOut(area, atLeast, captionHeight, onTop);
        if (worth(smaller) < worth(best))
            best = std::move(smaller);
    }
    return {best.places, best.stacking};
}

Cascade Cascaded(QSize area, const QList<Child> &children, int step)
{
    const int count = static_cast<int>(children.size());
    step = std::max(step, 1);
    // Each child's size, and the last step at which it lies wholly inside
    // the area (-1: at none, it is larger than the area).
    QList<QSize> sizes;
    QList<int> reach;
    for (const Child &child : children) {
        QSize size = child.size;
        if (!child.keepsSize)
            size = size.boundedTo(area).expandedTo(child.minimum.boundedTo(area));
        sizes << size;
        const QSize room = area - size;
        reach << (room.width() < 0 || room.height() < 0 ? -1 : std::min(room.width(), room.height()) / step);
    }
    // From the top step down, each step takes the highest of the children
    // left that reach it.
    Cascade cascade;
    cascade.places.resize(count);
    QList<int> onStep(count, -1);
    QList<bool> placed(count, false);
    for (int k = count - 1; k >= 0; --k) {
        int chosen = -1;
        for (int i = count - 1; i >= 0 && chosen < 0; --i)
            if (!placed[i] && reach[i] >= k)
                chosen = i;
        int at = k;
        if (chosen < 0) {
            // None reaches it: the one that reaches farthest, as far as it reaches.
            for (int i = count - 1; i >= 0; --i)
                if (!placed[i] && (chosen < 0 || reach[i] > reach[chosen]))
                    chosen = i;
            at = std::max(reach[chosen], 0);
        }
        placed[chosen] = true;
        onStep[k] = chosen;
        cascade.places[chosen] = QRect(QPoint(at * step, at * step), sizes[chosen]);
    }
    cascade.stacking = onStep;
    return cascade;
}

} // namespace widgets::placement

namespace {

constexpr const char *kKeepsSize = "keepsSize";

// The least size a resizable child is given: what shows its whole contents
// (its size hint), never less than it can be made.
QSize leastSize(const QMdiSubWindow *window)
{
    return window->sizeHint().expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
}

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

} // namespace

void widgets::TileSubWindows(QMdiArea *area)
{
    const QList<QMdiSubWindow *> windows = arrangedWindows(area, QMdiArea::CreationOrder);
    QList<widgets::placement::Child> children;
    int captionHeight = 0;
    for (const QMdiSubWindow *window : windows) {
        children << widgets::placement::Child{window->size(), widgets::KeepsSize(window), leastSize(window)};
        // The caption is all that lies above the contents.
        if (window->widget())
            captionHeight = std::max(captionHeight, window->widget()->mapTo(window, QPoint(0, 0)).y());
    }
    const int active = static_cast<int>(windows.indexOf(area->activeSubWindow()));
    const widgets::placement::Tiling tiling = widgets::placement::Tiled(area->viewport()->size(), children, captionHeight, active);
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(tiling.places[i]);
    for (const int index : tiling.stacking)
        windows[index]->raise();
}

void widgets::CascadeSubWindows(QMdiArea *area)
{
    // From the bottom of the pile up: the window on top takes the last place
    // where it fits there, and the pile is raised in the cascade's order.
    const QList<QMdiSubWindow *> windows = arrangedWindows(area, QMdiArea::StackingOrder);
    QList<widgets::placement::Child> children;
    for (const QMdiSubWindow *window : windows)
        children << widgets::placement::Child{window->size(), widgets::KeepsSize(window), leastSize(window)};
    const widgets::placement::Cascade cascade =
        widgets::placement::Cascaded(area->viewport()->size(), children, cascadeStep(area));
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(cascade.places[i]);
    for (const int index : cascade.stacking)
        windows[index]->raise();
}

void widgets::PlaceNewSubWindow(QMdiArea *area, QMdiSubWindow *window, bool centred)
{
    QList<QRect> others;
    for (const QMdiSubWindow *other : area->subWindowList())
        if (other != window && other->isVisible())
            others << other->geometry();
    window->move(widgets::placement::NewWindowPosition(area->viewport()->size(), window->size(), centred, others,
                                              cascadeStep(area)));
}

void widgets::SetKeepsSize(QMdiSubWindow *window, bool dialogBorder)
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

bool widgets::KeepsSize(const QMdiSubWindow *window) { return window->property(kKeepsSize).toBool(); }
