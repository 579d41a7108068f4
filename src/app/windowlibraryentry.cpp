// The window library's entry points, the only symbols it exports (see
// windowlibrary.map): the windowed application, and the commands that draw
// without a display.
#include "app/application.h"
#include "cli/headless.h"
#include "render/drawingcommands.h"

#include <QGuiApplication>

#include <iostream>

extern "C" __attribute__((visibility("default"))) int linealidad_run_application(int *argc, char **argv,
                                                                                  const char *studyPath)
{
    return app::RunApplication(*argc, argv, studyPath ? QString::fromLocal8Bit(studyPath) : QString());
}

extern "C" __attribute__((visibility("default"))) int linealidad_run_drawing_command(int argc,
                                                                                      const char *const *args)
{
    // Images, SVG and PDF need fonts, not a screen: never ask for a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    render::SilenceQtMessages();
    int qtArgc = 1;
    char name[] = "linealidad";
    char *qtArgv[] = {name, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    const std::vector<std::string> arguments(args, args + argc);
    return render::RunDrawingCommand(arguments, std::cout, std::cerr, cli::LocaleDecimalSeparator());
}
