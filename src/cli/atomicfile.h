#pragma once
#include <QString>

#include <string>

// Writes `bytes` to `path` through a temporary file renamed over it, so a
// failed or interrupted save never damages the file that was there.
// Throws stats::StudyFileError with a message for the user.
void writeFileAtomically(const QString &path, const std::string &bytes);
