// The statistics core knows no Qt.
#include <QString>
