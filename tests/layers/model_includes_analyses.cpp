// The study and its files know nothing computed from them.
#include "stats/samples.h"
