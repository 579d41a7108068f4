#pragma once
// The check every writer of a file other than a study makes before it draws
// or writes anything: a graph, a printed page, the verification report.
// An output never replaces a study, whatever its name, nor a file the user
// may not write.
#include <string>
#include <vector>

namespace cli {

// The extensions an output may carry, lowercase with their dot.
inline const std::vector<std::string> kGraphExtensions = {".png", ".svg", ".pdf"};
inline const std::vector<std::string> kPdfExtension = {".pdf"};

// A file the output must not be, however it is named (another path, a
// symbolic or hard link): the study being read or open in the editor.
struct GuardedFile {
    std::string path;
    std::string role; // "el estudio que se lee"
};

// Why an output is refused. `status` is that of the headless commands: 64
// for an output that may never be written there (no extension of its kind,
// a study), 1 for one this user may not write.
struct OutputRefusal {
    int status = 0;
    std::string message;
    explicit operator bool() const { return status != 0; }
};

// Checks `output` (a UTF-8 path, as typed or as a dialog gave it):
// - it ends in one of `extensions` (any case), and not in .w04;
// - if it exists: it is none of `guarded` (same device and inode), its
//   content is not a study (the study reader accepts it), and the user may
//   write it (as cp decides: the write permission, which root lacks too on
//   a file with no write bit at all).
// A missing file, or a folder that is not there, is left to the writer.
OutputRefusal CheckOutputFile(const std::string &output, const std::vector<std::string> &extensions,
                              const std::vector<GuardedFile> &guarded = {});

} // namespace cli
