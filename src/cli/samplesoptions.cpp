#include "cli/samplesoptions.h"

#include "cli/headless.h"

#include "stats/samplesfile.h"
#include "stats/studyfile.h"

#include <filesystem>

namespace cli {

namespace {

// The file read whole and parsed by `parse`; what stops either names the file.
template <class Parse>
auto readSamples(const std::string &path, Parse parse)
{
    std::string bytes;
    std::error_code ec;
    if (const auto size = std::filesystem::file_size(path, ec); !ec && size > stats::kMaxSamplesFileBytes)
        throw stats::SamplesFileError("El archivo de muestras «" + path + "» pasa de 1 MiB.");
    try {
        bytes = stats::ReadFileBytes(path, stats::kMaxSamplesFileBytes);
    } catch (const stats::CommandError &e) {
        throw stats::SamplesFileError(std::string("Archivo de muestras: ") + e.what());
    }
    try {
        return parse(bytes);
    } catch (const stats::CommandError &e) {
        throw stats::SamplesFileError("«" + path + "»: " + e.what());
    }
}

} // namespace

std::vector<stats::Sample> ReadSamplesFile(const std::string &path)
{
    return readSamples(path, [](const std::string &bytes) { return stats::ParseSamplesFile(bytes); });
}

std::vector<stats::SampleTexts> ReadSamplesFileTexts(const std::string &path)
{
    return readSamples(path, [](const std::string &bytes) { return stats::ParseSamplesFileTexts(bytes); });
}

bool SamplesOptionsOf(const CommandLine &line, const std::string *path, stats::AnalysisOptions &options,
                      std::string &problem)
{
    try {
        if (const std::string *confidence = line.option("--confidence"))
            options.confidence = stats::ParseConfidence(*confidence);
    } catch (const stats::CommandError &e) {
        problem = std::string("--confidence ") + line.option("--confidence")->c_str() + ": " + e.what();
        return false;
    }
    if (!path)
        return true;
    try {
        options.samples = ReadSamplesFile(*path);
    } catch (const stats::CommandError &e) {
        problem = e.what();
        return false;
    }
    return true;
}

} // namespace cli
