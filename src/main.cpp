#include "cli/headless.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || cli::IsHeadless(args))
        return cli::RunHeadless(args.empty() ? std::vector<std::string>{"--help"} : args, std::cout, std::cerr,
                                cli::LocaleDecimalSeparator());
    return cli::RunHeadless(args, std::cout, std::cerr, cli::LocaleDecimalSeparator());
}
