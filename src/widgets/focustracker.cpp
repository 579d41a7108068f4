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
    explicit Suspension(int &counter) : m_counter(counter) { ++m_counter; }
    ~Suspension() { --m_counter; }
    Suspension(const Suspension &) = delete;
    Suspension &operator=(const Suspension &) = delete;

private:
    int &m_counter;
};

} // namespace

FocusTracker::FocusTracker(QWidget *window) : QObject(window), m_window(window)
{
    connect(qApp, &QApplication::focusChanged, this, &FocusTracker::focusChanged);
}

void FocusTracker::addControl(QWidget *control, Check onEnter, Check onLeave)
{
    m_controls.push_back({control, std::move(onEnter), std::move(onLeave)});
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
        return m_active != button;
    default:
        return false;
    }
}

const FocusTracker::Entry *FocusTracker::find(QWidget *control) const
{
    for (const Entry &entry : m_controls)
        if (entry.widget == control)
            return &entry;
    return nullptr;
}

// The control that `widget` belongs to, or nullptr when it is outside the
// window. A widget that belongs to no registered control counts on its own.
QWidget *FocusTracker::controlOf(QWidget *widget) const
{
    if (!widget || !(widget == m_window || m_window->isAncestorOf(widget)))
        return nullptr;
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (find(w))
            return w;
        if (w == m_window)
            break;
    }
    return widget;
}

void FocusTracker::focusChanged(QWidget *, QWidget *now)
{
    if (m_suspended)
        return;
    QWidget *control = controlOf(now);
    if (control && control != m_active)
        transition(control);
}

void FocusTracker::transition(QWidget *to)
{
    if (to == m_active)
        return;
    if (m_checking) { // a move made while a check runs starts no other check
        m_active = to;
        return;
    }
    QScopedValueRollback<bool> checking(m_checking, true);
    QWidget *from = m_active;
    m_active = to;
    if (!from) {
        if (m_firstEntry) {
            m_firstEntry();
            return;
        }
    } else if (const Entry *entry = find(from); entry && entry->onLeave) {
        const Check leave = entry->onLeave;
        leave();
        if (m_active != to) // the leave check kept the focus, or sent it elsewhere
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
        Suspension quiet(m_suspended);
        control->setFocus(Qt::OtherFocusReason);
    }
    transition(control);
}

void FocusTracker::putFocus(QWidget *control)
{
    if (!control)
        return;
    Suspension quiet(m_suspended);
    control->setFocus(Qt::OtherFocusReason);
    m_active = control;
}

void FocusTracker::withoutTracking(const std::function<void()> &change)
{
    Suspension quiet(m_suspended);
    change();
}

bool FocusTracker::focusNext(bool forward)
{
    std::vector<QWidget *> order;
    for (const Entry &entry : m_controls) {
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
