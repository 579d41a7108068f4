#include "cli/outputfile.h"

#include "cli/atomicfile.h"
#include "cli/headless.h"

#include "stats/errors.h"
#include "cli/linfile.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <cctype>
#include <sys/stat.h>

namespace cli {

namespace {

bool endsWith(const std::string &text, const std::string &suffix)
{
    if (text.size() < suffix.size())
        return false;
    for (size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[text.size() - suffix.size() + i])) != suffix[i])
            return false;
    return true;
}

std::string extensionList(const std::vector<std::string> &extensions)
{
    std::string list;
    for (size_t i = 0; i < extensions.size(); ++i)
        list += (i == 0 ? "" : i + 1 == extensions.size() ? " o " : ", ") + extensions[i];
    return list;
}

// What Open would take for a study: the file reader accepts its bytes, or
// they are a .lin study.
bool holdsStudy(const std::string &path)
{
    try {
        const std::string bytes = stats::ReadFileBytes(path);
        if (NamesLinFormat(bytes))
            return true;
        stats::ParseStudyFile(bytes);
        return true;
    } catch (const stats::CommandError &) {
        return false; // unreadable, too large for a study, or not one
    }
}

OutputRefusal refused(int status, const std::string &output, const std::string &why)
{
    return {status, "El archivo de salida «" + output + "» " + why};
}

} // namespace

OutputRefusal CheckOutputFile(const std::string &output, const std::vector<std::string> &extensions,
                              const std::vector<GuardedFile> &guarded)
{
    if (endsWith(output, ".w04"))
        return refused(kExitUsage, output, "es un estudio (.w04): no se escribe sobre él.");
    if (endsWith(output, ".lin"))
        return refused(kExitUsage, output, "es un estudio (.lin): no se escribe sobre él.");
    bool known = false;
    for (const std::string &extension : extensions)
        known = known || endsWith(output, extension);
    if (!known)
        return {kExitUsage, "El archivo de salida debe terminar en " + extensionList(extensions) + ": " + output};

    struct stat info;
    if (stat(output.c_str(), &info) != 0)
        return {};
    for (const GuardedFile &file : guarded) {
        struct stat other;
        if (stat(file.path.c_str(), &other) == 0 && other.st_dev == info.st_dev && other.st_ino == info.st_ino)
            return refused(kExitUsage, output, "es " + file.role + ": no se escribe sobre él.");
    }
    if (!S_ISREG(info.st_mode))
        return {}; // a folder or a device: the writer says why it cannot
    if (holdsStudy(output))
        return refused(kExitUsage, output, "contiene un estudio: no se escribe sobre él.");
    if (const int error = ReplaceRefusal(output, info))
        return {kExitFailed, "No se puede escribir el archivo de salida «" + output + "»: " +
                                 stats::SystemErrorText(error) + "; queda como estaba."};
    return {};
}

} // namespace cli
