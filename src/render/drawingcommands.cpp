#include "render/drawingcommands.h"

#include <ostream>

namespace render {

namespace {

using Command = int (*)(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator);

struct Entry {
    const char *option;
    Command run;
};

// One entry per drawing command; its option is also listed in
// cli/windowlibrary.cpp, which sends it here.
constexpr Entry kCommands[] = {
    {"", nullptr},
};

} // namespace

int RunDrawingCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator)
{
    for (const Entry &entry : kCommands)
        if (entry.run && !args.empty() && args[0] == entry.option)
            return entry.run(args, out, err, separator);
    err << "Orden desconocida: " << (args.empty() ? std::string() : args[0]) << "\nUse --help para ver las órdenes.\n";
    return 64;
}

} // namespace render
