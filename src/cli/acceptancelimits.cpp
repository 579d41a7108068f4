#include "cli/acceptancelimits.h"

#include "cli/headless.h"

#include "stats/errors.h"
#include "stats/systemerror.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace cli {

namespace {

std::string quoted(const std::string &text) { return "«" + text + "»"; }

// The file's bytes, or false with why they cannot be had. The size limit
// holds while reading too: a file may grow after it was measured.
bool readLimitsFile(const std::string &path, std::string &bytes, std::string &problem)
{
    namespace fs = std::filesystem;
    const std::string file = "el archivo de límites " + quoted(path);
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        problem = "No se encuentra " + file + ".";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        problem = "No es un archivo: " + file + ".";
        return false;
    }
    std::FILE *in = std::fopen(path.c_str(), "rb");
    if (!in) {
        problem = "No se puede leer " + file + ": " + stats::SystemErrorText(errno) + ".";
        return false;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0 && bytes.size() <= kLargestLimitsFile)
        bytes.append(buffer, n);
    const int error = std::ferror(in) ? errno : 0;
    std::fclose(in);
    if (error) {
        problem = "No se puede leer " + file + ": " + stats::SystemErrorText(error) + ".";
        return false;
    }
    if (bytes.size() > kLargestLimitsFile) {
        problem = "El archivo de límites " + quoted(path) + " es demasiado grande (más de " +
                  std::to_string(kLargestLimitsFile / 1024) + " KiB).";
        return false;
    }
    return true;
}

// The key whose value the JSON reader found to be no number (NaN, 1e999):
// the quoted text before the colon that precedes `offset`; empty when there
// is none.
std::string keyBefore(const std::string &bytes, size_t offset)
{
    size_t i = std::min(offset, bytes.size());
    while (i > 0 && bytes[i - 1] != ':' && bytes[i - 1] != ',' && bytes[i - 1] != '{')
        --i;
    if (i == 0 || bytes[i - 1] != ':')
        return {};
    --i;
    while (i > 0 && std::isspace(static_cast<unsigned char>(bytes[i - 1])))
        --i;
    if (i == 0 || bytes[i - 1] != '"')
        return {};
    const size_t end = --i;
    while (i > 0 && bytes[i - 1] != '"')
        --i;
    return i > 0 ? bytes.substr(i, end - i) : std::string();
}

std::string notFinite(const std::string &key, const std::string &path)
{
    return "El límite " + quoted(key) + " del archivo " + quoted(path) + " no es un número finito.";
}

} // namespace

std::string LimitRule(const stats::LimitField &field, double value)
{
    const stats::LimitBounds &b = field.bounds;
    const bool meaningful = (b.aboveLow ? value > b.low : value >= b.low) && value <= b.high &&
                            (!b.whole || value == std::floor(value));
    return meaningful ? "" : b.rule;
}

bool ReadLimitsFile(const std::string &path, stats::AcceptanceLimits &limits, std::string &problem)
{
    std::string bytes;
    if (!readLimitsFile(path, bytes, problem))
        return false;
    Json document;
    JsonReadError error;
    ReadJson(bytes, document, error);
    if (error.kind == JsonReadError::Kind::IllegalNumber) {
        if (const std::string key = keyBefore(bytes, error.offset); !key.empty()) {
            problem = notFinite(key, path);
            return false;
        }
    }
    if (error.kind != JsonReadError::Kind::None || !document.isObject()) {
        problem = "El archivo de límites " + quoted(path) + " no es un objeto JSON" +
                  (error.kind != JsonReadError::Kind::None
                       ? " (error en el carácter " + std::to_string(error.offset + 1) + ")."
                       : ".");
        return false;
    }
    // Every key is checked before any limit is taken: a refused file
    // changes nothing.
    stats::AcceptanceLimits read = limits;
    for (const auto &[key, value] : document.toObject().members()) {
        const stats::LimitField *field = nullptr;
        for (const stats::LimitField &f : stats::LimitFields())
            if (key == f.key)
                field = &f;
        if (!field) {
            problem = "Límite desconocido en el archivo " + quoted(path) + ": " + quoted(key) + ".";
            return false;
        }
        if (!value.isNumber() || !std::isfinite(value.toDouble())) {
            problem = notFinite(key, path);
            return false;
        }
        if (const std::string rule = LimitRule(*field, value.toDouble()); !rule.empty()) {
            problem = "El límite " + quoted(key) + " del archivo " + quoted(path) + " debe ser " + rule + ".";
            return false;
        }
        read.*field->member = value.toDouble();
    }
    limits = read;
    return true;
}

bool CriteriaOptionsOf(const CommandLine &line, char separator, stats::CriteriaOptions &options, std::string &problem)
{
    if (const std::string *target = line.option("--target")) {
        const bool parsed = stats::ReportCommandErrors([&] { options.target = stats::ParseTarget(*target, separator); },
                                                       [&](const std::string &message) { problem = "--target " + *target + ": " + message; });
        if (!parsed)
            return false;
    }
    if (const std::string *limits = line.option("--limits"))
        return ReadLimitsFile(*limits, options.limits, problem);
    return true;
}

JsonObject LimitsJson(const stats::AcceptanceLimits &limits)
{
    JsonObject object;
    for (const stats::LimitField &f : stats::LimitFields())
        object[f.key] = limits.*f.member;
    return object;
}

} // namespace cli
