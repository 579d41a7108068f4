// Reusable widgets know no particular window.
#include "windows/studyeditor.h"
