#pragma once
// What the operating system said when a file could not be read or written,
// in the user's words.
#include <string>

namespace stats {

// A short Spanish reason for the errno value `error` ("el disco está lleno"),
// or "error del sistema N" for the rare ones.
std::string SystemErrorText(int error);

} // namespace stats
