// Numbers know no study.
#include "stats/study.h"
