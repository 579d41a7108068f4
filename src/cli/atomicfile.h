#pragma once
#include <QString>

#include <string>

// Writes `bytes` to `path` through a temporary file beside it (the file's
// name followed by a dot and six letters or digits) renamed over it, so a
// failed or interrupted save never damages the file that was there. Every
// step is checked: writing, flushing to the disk, closing and renaming.
// Temporaries of this kind left by an earlier save that was killed are
// removed first. Throws stats::OutputFileError with a message for the user.
namespace cli {

void WriteFileAtomically(const QString &path, const std::string &bytes);

} // namespace cli
