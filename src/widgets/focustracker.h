#pragma once
// Enter and leave checks of a window's controls.
//
// The tracker remembers which of the window's controls holds the focus and
// runs a control's leave check and the next control's enter check when the
// focus moves from one control to another inside the window. The focus going
// to another window (a message box, another child window of the frame) and
// coming back is not a move: a check is not run again because its own message
// box took the focus. A grid counts as one control together with its cell
// editor.
//
// Checks that refuse put the focus back with putFocus(), which runs no check:
// focus moves made while a check runs never start another check, so a check
// can neither re-enter itself nor start a loop of messages.
#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

class QWidget;

class FocusTracker : public QObject {
    Q_OBJECT
public:
    using Check = std::function<void()>;

    explicit FocusTracker(QWidget *window);

    // The window's controls in Tab order, with their checks.
    void addControl(QWidget *control, Check onEnter = {}, Check onLeave = {});
    // A button that gets the focus from a click or its access key before it
    // acts: when the leave check of the control that had the focus keeps the
    // focus there, the press is lost.
    void addButton(QWidget *button);
    // Run instead of the enter check when the focus comes into the window's
    // controls for the first time.
    void setFirstEntry(Check action) { firstEntry_ = std::move(action); }

    QWidget *activeControl() const { return active_; }

    // Moves the focus as the user would: the leave check of the active
    // control, then (when that let the focus go) the enter check of `control`.
    void moveFocus(QWidget *control);
    // Puts the focus on `control` without running any check.
    void putFocus(QWidget *control);
    // Runs `change` (turning a page, hiding a control) ignoring the focus
    // moves it makes; the caller then puts the focus where it belongs.
    void withoutTracking(const std::function<void()> &change);
    // Tab and Shift+Tab: the next visible, enabled control in Tab order.
    bool focusNext(bool forward);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry {
        QPointer<QWidget> widget;
        Check onEnter, onLeave;
    };

    void focusChanged(QWidget *old, QWidget *now);
    void transition(QWidget *to);
    QWidget *controlOf(QWidget *widget) const;
    const Entry *find(QWidget *control) const;

    QWidget *window_;
    std::vector<Entry> controls_;
    Check firstEntry_;
    QPointer<QWidget> active_;
    int suspended_ = 0;
    bool checking_ = false;
};
