#include "widgets/focustracker.h"

#include <QApplication>
#include <QEvent>
#include <QScopedValueRollback>
#include <QWidget>

#include <algorithm>

namespace {

// Counts a section during which the tracker ignores the focus moves it sees.
class Suspension {
public:
    explicit Suspension(int &counter) : counter_(counter) { ++counter_; }
    ~Suspension() { --counter_; }
    Suspension(const Suspension &) = delete;
    Suspension &operator=(const Suspension &) = delete;

private:
    int &counter_;
};

} // namespace

FocusTracker::FocusTracker(QWidget *window) : QObject(window), window_(window)
{
    connect(qApp, &QApplication::focusChanged, this, &FocusTracker::focusChanged);
}

void FocusTracker::addControl(QWidget *control, Check onEnter, Check onLeave)
{
    controls_.push_back({control, std::move(onEnter), std::move(onLeave)});
}

void FocusTracker::addButton(QWidget *button)
{
    addControl(button);
    button->installEventFilter(this);
}

bool FocusTracker::eventFilter(QObject *watched, QEvent *event)
{
    auto *button = qobject_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::Shortcut: // Qt would give the focus and press the button at once
        moveFocus(button);
        [[fallthrough]];
    case QEvent::MouseButtonPress: // the press has given the focus already
    case QEvent::MouseButtonDblClick:
        return active_ != button;
    default:
        return false;
    }
}

const FocusTracker::Entry *FocusTracker::find(QWidget *control) const
{
    for (const Entry &entry : controls_)
        if (entry.widget == control)
            return &entry;
    return nullptr;
}

// The control that `widget` belongs to, or nullptr when it is outside the
// window. A widget that belongs to no registered control counts on its own.
QWidget *FocusTracker::controlOf(QWidget *widget) const
{
    if (!widget || !(widget == window_ || window_->isAncestorOf(widget)))
        return nullptr;
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (find(w))
            return w;
        if (w == window_)
            break;
    }
    return widget;
}

void FocusTracker::focusChanged(QWidget *, QWidget *now)
{
    if (suspended_)
        return;
    QWidget *control = controlOf(now);
    if (control && control != active_)
        transition(control);
}

void FocusTracker::transition(QWidget *to)
{
    if (to == active_)
        return;
    if (checking_) { // a move made while a check runs starts no other check
        active_ = to;
        return;
    }
    QScopedValueRollback<bool> checking(checking_, true);
    QWidget *from = active_;
    active_ = to;
    if (!from) {
        if (firstEntry_) {
            firstEntry_();
            return;
        }
    } else if (const Entry *entry = find(from); entry && entry->onLeave) {
        const Check leave = entry->onLeave;
        leave();
        if (active_ != to) // the leave check kept the focus, or sent it elsewhere
            return;
    }
    if (const Entry *entry = find(to); entry && entry->onEnter) {
        const Check enter = entry->onEnter;
        enter();
    }
}

void FocusTracker::moveFocus(QWidget *control)
{
    if (!control)
        return;
    {
        Suspension quiet(suspended_);
        control->setFocus(Qt::OtherFocusReason);
    }
    transition(control);
}

void FocusTracker::putFocus(QWidget *control)
{
    if (!control)
        return;
    Suspension quiet(suspended_);
    control->setFocus(Qt::OtherFocusReason);
    active_ = control;
}

void FocusTracker::withoutTracking(const std::function<void()> &change)
{
    Suspension quiet(suspended_);
    change();
}

bool FocusTracker::focusNext(bool forward)
{
    std::vector<QWidget *> order;
    for (const Entry &entry : controls_) {
        QWidget *w = entry.widget;
        if (w && w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
            order.push_back(w);
    }
    if (order.empty())
        return false;
    const auto n = static_cast<std::ptrdiff_t>(order.size());
    const auto at = std::find(order.begin(), order.end(), controlOf(QApplication::focusWidget())) - order.begin();
    std::ptrdiff_t next;
    if (at == n)
        next = forward ? 0 : n - 1;
    else
        next = forward ? (at + 1) % n : (at + n - 1) % n;
    order[static_cast<size_t>(next)]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}
