// Starts a text command, a drawing command or the windowed application, as
// the table of commands says (cli/commandregistry.h).
#include "cli/commandregistry.h"
#include "cli/headless.h"
#include "cli/windowlibrary.h"

#include <iostream>
#include <malloc.h>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    // A batch analyses one study after another on each thread, and each
    // needs about what the last one freed. glibc's thresholds start low (and
    // rise only when a large block is freed): it would hand that memory back
    // to the system after every study and take it again, page by page.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cli::CommandKind kind = cli::KindOf(args);
    // Text commands never load the window library nor connect to a display.
    if (kind == cli::CommandKind::Text)
        return cli::RunHeadless(args, std::cout, std::cerr, cli::LocaleDecimalSeparator());

    cli::WindowLibrary library;
    std::string failure;
    if (!cli::LoadWindowLibrary(cli::ProgramFolder(), library, failure)) {
        std::cerr << failure << '\n';
        return 1;
    }
    if (kind == cli::CommandKind::Drawing)
        return library.runDrawingCommand(argc - 1, argv + 1);
    return library.runApplication(&argc, argv, args.empty() ? nullptr : argv[1]);
}
