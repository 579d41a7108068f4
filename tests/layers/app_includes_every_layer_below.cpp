// The allowed direction builds: every layer reaches those below it.
#include "app/mainwindow.h"
#include "windows/studyeditor.h"
#include "widgets/userdialogs.h"
#include "render/productpicture.h"
#include "cli/headless.h"
#include "stats/study.h"
