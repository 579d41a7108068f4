// The windowed application's entry, in a library of its own: the program
// opens it only when it starts its windows, so the headless commands never
// load the window libraries (they start several times faster without them).
#include "app/application.h"

extern "C" __attribute__((visibility("default"))) int linealidad_run_application(int *argc, char **argv,
                                                                                  const char *studyPath)
{
    return runApplication(*argc, argv, studyPath ? QString::fromLocal8Bit(studyPath) : QString());
}
