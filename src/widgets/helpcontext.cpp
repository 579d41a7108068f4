#include "widgets/helpcontext.h"

#include <QObject>
#include <QVariant>

namespace {
constexpr const char *kProperty = "helpContext";
}

void widgets::SetHelpContext(QObject *object, int context) { object->setProperty(kProperty, context); }

int widgets::HelpContext(const QObject *object) { return object->property(kProperty).toInt(); }
