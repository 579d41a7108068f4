#include "app/application.h"
#include "cli/headless.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Headless commands never create a window or connect to a display.
    const bool option = !args.empty() && args[0].size() > 1 && args[0][0] == '-';
    if (cli::IsHeadless(args) || option || args.size() > 1)
        return cli::RunHeadless(args, std::cout, std::cerr, cli::LocaleDecimalSeparator());
    return runApplication(argc, argv, args.empty() ? QString() : QString::fromLocal8Bit(argv[1]));
}
