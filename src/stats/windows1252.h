#pragma once
// Study files hold single-byte Windows-1252 text; the program works in UTF-8.
// Every byte decodes (the five bytes the code page leaves unassigned become
// the C1 controls of the same number), so any file reads and writes back
// byte for byte.
#include <string>
#include <string_view>

namespace stats {

std::string Windows1252ToUtf8(std::string_view bytes);

// Encodes `utf8` into `bytes`. Returns false when a character has no
// Windows-1252 byte (or the text is not valid UTF-8); `offending` then holds
// that character (UTF-8) for the message.
bool Utf8ToWindows1252(std::string_view utf8, std::string &bytes, std::string &offending);

} // namespace stats
