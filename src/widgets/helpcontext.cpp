#include "widgets/helpcontext.h"

#include <QObject>
#include <QVariant>

namespace {
constexpr const char *kProperty = "helpContext";
}

void setHelpContext(QObject *object, int context) { object->setProperty(kProperty, context); }

int helpContext(const QObject *object) { return object->property(kProperty).toInt(); }
