// Starts a text command, a drawing command or the windowed application.
#include "cli/headless.h"
#include "cli/windowlibrary.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool drawing = cli::IsDrawingCommand(args);
    // Text commands never load the window library nor connect to a display.
    const bool option = !args.empty() && args[0].size() > 1 && args[0][0] == '-';
    if (!drawing && (cli::IsHeadless(args) || option || args.size() > 1))
        return cli::RunHeadless(args, std::cout, std::cerr, cli::LocaleDecimalSeparator());

    cli::WindowLibrary library;
    std::string failure;
    if (!cli::LoadWindowLibrary(cli::ProgramFolder(), library, failure)) {
        std::cerr << failure << '\n';
        return 1;
    }
    if (drawing)
        return library.runDrawingCommand(argc - 1, argv + 1);
    return library.runApplication(&argc, argv, args.empty() ? nullptr : argv[1]);
}
