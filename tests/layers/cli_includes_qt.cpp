// The headless commands start without Qt.
#include <QString>
