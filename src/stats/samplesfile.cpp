#include "stats/samplesfile.h"

#include "stats/conversions.h"

#include <algorithm>

namespace stats {

namespace {

std::string trimmed(const std::string &s)
{
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Well-formed UTF-8: no stray continuation byte, no overlong or surrogate
// form, nothing beyond U+10FFFF.
bool validUtf8(const std::string &s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        unsigned long code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1, code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2, code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<size_t>(extra) >= s.size())
            return false;
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (extra == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

std::vector<std::string> fields(const std::string &line)
{
    std::vector<std::string> parts(1);
    for (char c : line) {
        if (c == ';' || c == '\t')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// A number with a point, or else with a comma.
bool number(const std::string &text, char separator, Rational &value)
{
    return TryStrToRational(text, separator, value) || (separator != '.' && TryStrToRational(text, '.', value)) ||
           (separator != ',' && TryStrToRational(text, ',', value));
}

// What the reader and the typed rows say of a fault, after where it is.
const std::string kNoName = "falta el nombre de la muestra.";
const std::string kTooManyResponses = "más de 20 respuestas.";
std::string noResponses(const std::string &name) { return "la muestra '" + QuotedValue(name) + "' no tiene respuestas."; }
std::string notANumber(const std::string &text) { return "'" + QuotedValue(trimmed(text)) + "' no es un número."; }

[[noreturn]] void refuse(size_t line, const std::string &why)
{
    throw SamplesFileError("Archivo de muestras, línea " + std::to_string(line) + ": " + why);
}

// Reads the whole file, refusing it at the first fault; each sample's
// texts too when `texts` is given.
std::vector<Sample> parse(const std::string &bytes, std::vector<SampleTexts> *texts)
{
    if (bytes.size() > kMaxSamplesFileBytes)
        throw SamplesFileError("El archivo de muestras pasa de 1 MiB.");
    std::vector<Sample> samples;
    bool first = true;
    size_t start = 0, lineNumber = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() > kMaxSamplesLineBytes)
            refuse(lineNumber, "pasa de 4 KiB.");
        if (!validUtf8(line))
            refuse(lineNumber, "no es texto UTF-8.");
        // Byte order marks, invisible: before the first line, or before a
        // line pasted from another file, perhaps after blanks (a name never
        // starts with one, or it would not read back the same once saved).
        for (size_t start; (start = line.find_first_not_of(" \t")) != std::string::npos &&
                           line.compare(start, 3, "\xEF\xBB\xBF") == 0;)
            line.erase(start, 3);
        const std::string content = trimmed(line);
        if (content.empty() || content[0] == '#')
            continue;
        std::vector<std::string> parts = fields(line);
        Sample sample;
        sample.name = trimmed(parts[0]);
        size_t numbers = 0;
        for (size_t i = 1; i < parts.size(); ++i) {
            Rational value;
            if (number(parts[i], '.', value)) {
                sample.responses.push_back(std::move(value));
                ++numbers;
            }
        }
        const bool heading = first && numbers == 0;
        first = false;
        if (heading)
            continue;
        if (sample.name.empty())
            refuse(lineNumber, kNoName);
        if (parts.size() < 2)
            refuse(lineNumber, noResponses(sample.name));
        for (size_t i = 1; i < parts.size(); ++i) {
            Rational value;
            if (!number(parts[i], '.', value))
                refuse(lineNumber, notANumber(parts[i]));
        }
        if (sample.responses.size() > static_cast<size_t>(kMaxSampleResponses))
            refuse(lineNumber, kTooManyResponses);
        if (texts) {
            SampleTexts typed{sample.name, {}};
            for (size_t i = 1; i < parts.size(); ++i)
                typed.responses.push_back(trimmed(parts[i]));
            texts->push_back(std::move(typed));
        }
        samples.push_back(std::move(sample));
    }
    return samples;
}

} // namespace

std::vector<Sample> ParseSamplesFile(const std::string &bytes) { return parse(bytes, nullptr); }

std::vector<SampleTexts> ParseSamplesFileTexts(const std::string &bytes)
{
    std::vector<SampleTexts> texts;
    parse(bytes, &texts);
    return texts;
}

Sample SampleOf(const SampleTexts &texts, char separator)
{
    Sample sample;
    sample.name = trimmed(texts.name);
    // A name the reader would take for a comment or cut at a separator.
    if (sample.name.empty())
        throw ConversionError(kNoName);
    if (sample.name[0] == '#' || sample.name.find_first_of(";\t\r\n") != std::string::npos || !validUtf8(sample.name))
        throw ConversionError("el nombre '" + QuotedValue(sample.name) +
                              "' no puede empezar por # ni llevar ; ni tabuladores.");
    for (const std::string &text : texts.responses) {
        if (trimmed(text).empty())
            continue;
        Rational value;
        if (!number(text, separator, value))
            throw ConversionError(notANumber(text));
        sample.responses.push_back(std::move(value));
    }
    if (sample.responses.empty())
        throw ConversionError(noResponses(sample.name));
    if (sample.responses.size() > static_cast<size_t>(kMaxSampleResponses))
        throw ConversionError(kTooManyResponses);
    return sample;
}

std::string SamplesFileText(std::span<const SampleTexts> samples, char separator)
{
    std::string text;
    for (const SampleTexts &texts : samples) {
        try {
            text += SampleOf(texts, separator).name;
        } catch (const ConversionError &e) {
            throw SamplesFileError(e.what());
        }
        for (const std::string &response : texts.responses) {
            std::string number = trimmed(response);
            if (number.empty())
                continue;
            std::replace(number.begin(), number.end(), ',', '.');
            text += ';' + number;
        }
        text += '\n';
    }
    return text;
}

} // namespace stats
