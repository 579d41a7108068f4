#pragma once
// Help topics by context number: each window and menu entry carries its own,
// and F1 opens the topic of the innermost one around the focus.
class QObject;

void setHelpContext(QObject *object, int context);
// 0 when `object` has none.
int helpContext(const QObject *object);
