#pragma once
// Help topics by context number: each window and menu entry carries its own,
// and F1 opens the topic of the innermost one around the focus.
class QObject;

namespace widgets {

void SetHelpContext(QObject *object, int context);
// 0 when `object` has none.
int HelpContext(const QObject *object);

} // namespace widgets
