// Starts a headless command, or the windowed application from its library.
#include "cli/headless.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <iostream>
#include <string>
#include <vector>

namespace {

// The folder of this program (where the build puts the library too).
std::string programFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.find_last_of('/'));
}

int runWindows(int argc, char **argv, const char *studyPath)
{
    const std::string folder = programFolder();
    const std::string candidates[] = {folder + "/liblinealidad_gui.so", folder + "/../lib/linealidad/liblinealidad_gui.so"};
    std::string failures;
    for (const std::string &candidate : candidates) {
        void *library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            failures += std::string("\n  ") + dlerror();
            continue;
        }
        using Run = int (*)(int *, char **, const char *);
        if (auto run = reinterpret_cast<Run>(dlsym(library, "linealidad_run_application")))
            return run(&argc, argv, studyPath);
        failures += "\n  " + candidate + ": no se encuentra el punto de entrada";
    }
    std::cerr << "No se pueden cargar las ventanas de la aplicación:" << failures << '\n';
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    // Headless commands never create a window or connect to a display.
    const bool option = !args.empty() && args[0].size() > 1 && args[0][0] == '-';
    if (cli::IsHeadless(args) || option || args.size() > 1)
        return cli::RunHeadless(args, std::cout, std::cerr, cli::LocaleDecimalSeparator());
    return runWindows(argc, argv, args.empty() ? nullptr : argv[1]);
}
