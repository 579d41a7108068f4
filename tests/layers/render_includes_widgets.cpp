// Drawing knows no widgets.
#include "widgets/userdialogs.h"
