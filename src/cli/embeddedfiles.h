#pragma once
// The files of verification/ (the reference studies of the installation
// verification), compiled into the program so the installed program carries
// them: a generated source holds their bytes.
#include <span>
#include <string_view>

namespace cli {

struct EmbeddedFile {
    std::string_view name; // file name, without folders
    std::string_view bytes;
};

std::span<const EmbeddedFile> EmbeddedFiles();

// The bytes of the file called `name`; empty when there is none.
inline std::string_view EmbeddedFileBytes(std::string_view name)
{
    for (const EmbeddedFile &file : EmbeddedFiles())
        if (file.name == name)
            return file.bytes;
    return {};
}

} // namespace cli
