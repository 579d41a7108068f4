#include "stats/windows1252.h"

#include <array>
#include <cstdint>

namespace stats {

namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 character at `i`, advancing it; false on a bad sequence.
bool nextUtf8(std::string_view s, size_t &i, char32_t &c)
{
    const auto byte = [&](size_t k) { return static_cast<std::uint8_t>(s[k]); };
    const std::uint8_t lead = byte(i);
    int extra = 0;
    if (lead < 0x80) {
        c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        c = lead & 0x1F;
        extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        c = lead & 0x0F;
        extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        c = lead & 0x07;
        extra = 3;
    } else {
        return false;
    }
    if (i + static_cast<size_t>(extra) >= s.size() && extra > 0)
        return false;
    for (int k = 1; k <= extra; ++k) {
        const std::uint8_t b = byte(i + static_cast<size_t>(k));
        if ((b & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (b & 0x3F);
    }
    // Overlong forms (C0 80 for NUL, say), surrogates and code points past
    // U+10FFFF are not UTF-8: they could smuggle in a byte the text does not show.
    constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return false;
    i += static_cast<size_t>(extra) + 1;
    return true;
}

} // namespace

std::string Windows1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        const auto b = static_cast<std::uint8_t>(ch);
        appendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char32_t(b));
    }
    return out;
}

bool Utf8ToWindows1252(std::string_view utf8, std::string &bytes, std::string &offending)
{
    bytes.clear();
    size_t i = 0;
    while (i < utf8.size()) {
        const size_t start = i;
        char32_t c = 0;
        if (!nextUtf8(utf8, i, c)) {
            offending = std::string(utf8.substr(start, 1));
            return false;
        }
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (size_t k = 0; k < kHighControls.size() && !found; ++k)
            if (kHighControls[k] == c) {
                bytes += static_cast<char>(0x80 + k);
                found = true;
            }
        if (!found) {
            offending = std::string(utf8.substr(start, i - start));
            return false;
        }
    }
    return true;
}

} // namespace stats
