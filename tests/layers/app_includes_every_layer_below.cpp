// The allowed direction builds: every layer reaches those below it.
#include "app/mainwindow.h"
#include "cli/headless.h"
#include "render/productpicture.h"
#include "stats/study.h"
#include "widgets/userdialogs.h"
#include "windows/studyeditor.h"
