#include "cli/windowlibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace cli {

std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    const std::string self(path, static_cast<size_t>(length));
    return self.substr(0, self.find_last_of('/'));
}

bool LoadWindowLibrary(const std::string &programFolder, WindowLibrary &library, std::string &failure)
{
    const std::string candidates[] = {programFolder + "/liblinealidad_gui.so",
                                      programFolder + "/../lib/linealidad/liblinealidad_gui.so"};
    failure = "No se pueden cargar las ventanas de la aplicación:";
    for (const std::string &candidate : candidates) {
        void *handle = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            failure += std::string("\n  ") + dlerror();
            continue;
        }
        library.runApplication =
            reinterpret_cast<decltype(library.runApplication)>(dlsym(handle, "linealidad_run_application"));
        library.runDrawingCommand =
            reinterpret_cast<decltype(library.runDrawingCommand)>(dlsym(handle, "linealidad_run_drawing_command"));
        if (library.runApplication && library.runDrawingCommand)
            return true;
        failure += "\n  " + candidate + ": no se encuentran sus puntos de entrada";
        dlclose(handle);
    }
    library = {};
    return false;
}

} // namespace cli
