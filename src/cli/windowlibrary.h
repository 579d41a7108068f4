#pragma once
// The windows and everything that draws (QtGui, QtWidgets) live in
// liblinealidad_gui.so, which the program opens only to show windows or to
// draw a graph or a page: the text commands start without those libraries.
#include <string>
#include <vector>

namespace cli {

// The library's entry points (exported with C names, see windowlibrary.map).
struct WindowLibrary {
    // Runs the application until its frame closes; `studyPath` (or null) is
    // opened at start.
    int (*runApplication)(int *argc, char **argv, const char *studyPath) = nullptr;
    // Runs one drawing command with no display; `args` are the program's
    // arguments without its name. Same exit statuses as the text commands.
    int (*runDrawingCommand)(int argc, const char *const *args) = nullptr;
};

// The folder of the running program.
std::string ProgramFolder();

// Opens the library beside the program (the build tree) or where an
// installation puts it (../lib/linealidad). On failure returns false and
// says, in Spanish, what was tried in `failure`.
bool LoadWindowLibrary(const std::string &programFolder, WindowLibrary &library, std::string &failure);

} // namespace cli
