// What is computed knows not how it is written.
#include "stats/resulttexts.h"
