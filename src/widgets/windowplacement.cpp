#include "widgets/windowplacement.h"

#include <QFontMetrics>
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

namespace {

// Shares `room` among parts that each need at least `least` and want at most
// `most`: each gets its least, and what is left goes to each in proportion
// to what it still wants. Nothing when the least do not fit.
std::optional<QList<int>> share(int room, const QList<int> &least, QList<int> most)
{
    qint64 needed = 0, wanted = 0;
    for (qsizetype i = 0; i < least.size(); ++i) {
        most[i] = std::max(most[i], least[i]);
        needed += least[i];
        wanted += most[i] - least[i];
    }
    if (needed > room)
        return std::nullopt;
    const qint64 left = room - needed;
    if (wanted <= left)
        return most;
    QList<int> given = least;
    qint64 handed = 0;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const qint64 extra = qint64(most[i] - least[i]) * left / wanted;
        given[i] += static_cast<int>(extra);
        handed += extra;
    }
    for (qsizetype i = 0; i < given.size() && handed < left; ++i)
        if (given[i] < most[i]) {
            ++given[i];
            ++handed;
        }
    return given;
}

QSize transposed(QSize s) { return s.transposed(); }
QRect transposed(const QRect &r) { return QRect(r.y(), r.x(), r.height(), r.width()); }

struct Shelves {
    QList<QRect> places;
    double loss = 0; // what the children do not show of what they would, squared, summed
};

// The children in `order`, a row ending after each position whose bit is
// set in `cuts`; each row as tall as its tallest, the rows from the top,
// the children of a row from the left. Nothing when the least sizes do not fit.
std::optional<Shelves> shelves(QSize area, const QList<QSize> &wanted, const QList<QSize> &least,
                               const QList<int> &order, quint64 cuts)
{
    QList<QList<int>> rows(1);
    for (qsizetype k = 0; k < order.size(); ++k) {
        rows.last() << order[k];
        if (k + 1 < order.size() && (cuts >> k & 1))
            rows.append(QList<int>());
    }
    QList<int> rowLeast, rowMost;
    for (const QList<int> &row : rows) {
        int low = 0, high = 0;
        for (const int i : row) {
            low = std::max(low, least[i].height());
            high = std::max(high, wanted[i].height());
        }
        rowLeast << low;
        rowMost << high;
    }
    const std::optional<QList<int>> heights = share(area.height(), rowLeast, rowMost);
    if (!heights)
        return std::nullopt;
    Shelves result;
    result.places.resize(wanted.size());
    int y = 0;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        QList<int> low, high;
        for (const int i : rows[r]) {
            low << least[i].width();
            high << wanted[i].width();
        }
        const std::optional<QList<int>> widths = share(area.width(), low, high);
        if (!widths)
            return std::nullopt;
        int x = 0;
        for (qsizetype j = 0; j < rows[r].size(); ++j) {
            const int i = rows[r][j];
            const int height = std::max(least[i].height(), std::min((*heights)[r], wanted[i].height()));
            result.places[i] = QRect(x, y, (*widths)[j], height);
            x += (*widths)[j];
            const double shown = double(result.places[i].width()) * height /
                                 (double(std::max(1, wanted[i].width())) * std::max(1, wanted[i].height()));
            result.loss += (1 - std::min(1.0, shown)) * (1 - std::min(1.0, shown));
        }
        y += (*heights)[r];
    }
    return result;
}

// Side by side without overlapping: in rows or in columns, the children in
// the order they came, or the tallest, the widest or the largest first;
// every way of cutting them into rows when they are few, rows of equal
// counts when they are many. The one that shows most of the children.
std::optional<QList<QRect>> sideBySide(QSize area, const QList<QSize> &wanted, const QList<QSize> &least)
{
    const int count = static_cast<int>(wanted.size());
    QList<QList<int>> orders;
    QList<int> order;
    for (int i = 0; i < count; ++i)
        order << i;
    orders << order;
    for (const auto &key : std::initializer_list<std::function<qint64(QSize)>>{
             [](QSize s) { return qint64(s.height()); }, [](QSize s) { return qint64(s.width()); },
             [](QSize s) { return qint64(s.width()) * s.height(); }}) {
        QList<int> sorted = order;
        std::stable_sort(sorted.begin(), sorted.end(), [&](int a, int b) { return key(wanted[a]) > key(wanted[b]); });
        if (!orders.contains(sorted))
            orders << sorted;
    }
    QList<quint64> cutsTried;
    constexpr int kEveryCut = 12; // 2^11 ways of cutting twelve children
    if (count <= kEveryCut) {
        for (quint64 cuts = 0; cuts < (quint64(1) << std::max(0, count - 1)); ++cuts)
            cutsTried << cuts;
    } else {
        for (int rows = 1; rows <= count; ++rows) {
            quint64 cuts = 0;
            for (int r = 1; r < rows; ++r)
                cuts |= quint64(1) << (r * count / rows - 1);
            cutsTried << cuts;
        }
    }
    std::optional<Shelves> best;
    for (const bool inColumns : {false, true}) {
        QList<QSize> w = wanted, l = least;
        if (inColumns) {
            std::transform(w.begin(), w.end(), w.begin(), [](QSize s) { return transposed(s); });
            std::transform(l.begin(), l.end(), l.begin(), [](QSize s) { return transposed(s); });
        }
        for (const QList<int> &o : orders)
            for (const quint64 cuts : cutsTried) {
                std::optional<Shelves> tried = shelves(inColumns ? transposed(area) : area, w, l, o, cuts);
                if (!tried || (best && tried->loss >= best->loss - 1e-9))
                    continue;
                if (inColumns)
                    std::transform(tried->places.begin(), tried->places.end(), tried->places.begin(),
                                   [](const QRect &r) { return transposed(r); });
                best = std::move(tried);
            }
    }
    if (!best)
        return std::nullopt;
    return best->places;
}

} // namespace

Tiling Tiled(QSize area, const QList<Child> &children, int captionHeight, int onTop)
{
    if (children.isEmpty())
        return {};
    QList<QSize> wanted, least;
    for (const Child &child : children) {
        least << child.minimum.boundedTo(area);
        wanted << child.size.boundedTo(area).expandedTo(least.last());
    }
    QList<int> stacking;
    for (int i = 0; i < children.size(); ++i)
        if (i != onTop)
            stacking << i;
    if (onTop >= 0 && onTop < children.size())
        stacking << onTop;
    if (const std::optional<QList<QRect>> places = sideBySide(area, wanted, least))
        return {*places, stacking};
    // Too many for the area even at their least: they overlap, as little as
    // can be found, every caption in sight where that can be done.
    const Attempt fallback = bestLayOut(area, least, captionHeight, onTop);
    return {fallback.places, fallback.stacking};
}

Cascade Cascaded(QSize area, const QList<Child> &children, int step)
{
    const int count = static_cast<int>(children.size());
    step = std::max(step, 1);
    // Each child's least size, and the last step at which that lies wholly
    // inside the area (-1: at none, it is larger than the area).
    QList<QSize> least;
    QList<int> reach;
    for (const Child &child : children) {
        least << child.minimum.boundedTo(area);
        const QSize room = area - least.last();
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
        // Its own size where that fits at its step, else what fits there.
        const QPoint corner(at * step, at * step);
        const QSize room = (area - QSize(corner.x(), corner.y())).expandedTo(QSize(0, 0));
        const QSize size = children[chosen].size.boundedTo(room).expandedTo(least[chosen]);
        cascade.places[chosen] = QRect(corner, size);
    }
    cascade.stacking = onStep;
    return cascade;
}

} // namespace widgets::placement

namespace {

constexpr const char *kKeepsSize = "keepsSize";
constexpr const char *kOwnSize = "ownSize";

// What a child window takes when it has the room: the size it opened at
// (one that shows its whole contents where the area had room); a window
// placed otherwise, its size.
QSize wantedSize(const QMdiSubWindow *window)
{
    const QSize own = window->property(kOwnSize).toSize();
    return (own.isValid() ? own : window->size()).expandedTo(window->minimumSizeHint());
}

// The least an arrangement makes a child window: what its border and its
// controls need, and room for a readable part of what it shows (its
// contents scroll): some thirty characters and five lines under its caption.
QSize usableSize(const QMdiSubWindow *window)
{
    const QFontMetrics metrics(window->font());
    const int caption = window->widget() ? window->widget()->mapTo(window, QPoint(0, 0)).y() : 0;
    const QSize readable(30 * metrics.averageCharWidth(), caption + 5 * metrics.lineSpacing());
    QSize least = window->minimumSizeHint().expandedTo(readable);
    if (!widgets::KeepsSize(window))
        least = least.expandedTo(window->minimumSize());
    return least.boundedTo(wantedSize(window));
}

// A window that keeps its size is given the one it is arranged at.
void placeAt(QMdiSubWindow *window, const QRect &place)
{
    if (widgets::KeepsSize(window))
        window->setFixedSize(place.size());
    window->setGeometry(place);
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

QList<widgets::placement::Child> childrenOf(const QList<QMdiSubWindow *> &windows)
{
    QList<widgets::placement::Child> children;
    for (const QMdiSubWindow *window : windows)
        children << widgets::placement::Child{wantedSize(window), usableSize(window)};
    return children;
}

} // namespace

void widgets::TileSubWindows(QMdiArea *area)
{
    QMdiSubWindow *active = area->activeSubWindow();
    const QList<QMdiSubWindow *> windows = arrangedWindows(area, QMdiArea::CreationOrder);
    int captionHeight = 0;
    for (const QMdiSubWindow *window : windows)
        if (window->widget()) // the caption is all that lies above the contents
            captionHeight = std::max(captionHeight, window->widget()->mapTo(window, QPoint(0, 0)).y());
    const widgets::placement::Tiling tiling = widgets::placement::Tiled(
        area->viewport()->size(), childrenOf(windows), captionHeight, static_cast<int>(windows.indexOf(active)));
    for (qsizetype i = 0; i < windows.size(); ++i)
        placeAt(windows[i], tiling.places[i]);
    for (const int index : tiling.stacking)
        windows[index]->raise();
    if (active && area->activeSubWindow() != active)
        area->setActiveSubWindow(active);
}

void widgets::CascadeSubWindows(QMdiArea *area)
{
    // From the bottom of the pile up: the window on top takes the last place
    // where it fits there, and the pile is raised in the cascade's order.
    QMdiSubWindow *active = area->activeSubWindow();
    const QList<QMdiSubWindow *> windows = arrangedWindows(area, QMdiArea::StackingOrder);
    const widgets::placement::Cascade cascade =
        widgets::placement::Cascaded(area->viewport()->size(), childrenOf(windows), cascadeStep(area));
    for (qsizetype i = 0; i < windows.size(); ++i)
        placeAt(windows[i], cascade.places[i]);
    for (const int index : cascade.stacking)
        windows[index]->raise();
    if (active && area->activeSubWindow() != active)
        area->setActiveSubWindow(active);
}

void widgets::PlaceNewSubWindow(QMdiArea *area, QMdiSubWindow *window, bool centred)
{
    window->setProperty(kOwnSize, window->size());
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
    window->setProperty(kOwnSize, window->size());
    // A window that keeps its size cannot be maximised; a dialog border has
    // no minimise button either.
    Qt::WindowFlags flags = Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!dialogBorder)
        flags |= Qt::WindowMinimizeButtonHint;
    window->setWindowFlags(flags);
}

bool widgets::KeepsSize(const QMdiSubWindow *window) { return window->property(kKeepsSize).toBool(); }

void widgets::KeepUnmaximisableWindowsNormal(QMdiArea *area)
{
    QObject::connect(area, &QMdiArea::subWindowActivated, area, [](QMdiSubWindow *window) {
        if (window && window->isMaximized() && !(window->windowFlags() & Qt::WindowMaximizeButtonHint))
            window->showNormal();
    });
}
