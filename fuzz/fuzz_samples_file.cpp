// libFuzzer target: arbitrary bytes as a samples file. The reader takes a
// file whole or refuses it naming a line; what it takes saves and reads back
// the same, and is evaluated on a study's line without a crash.
#include "stats/outcomes.h"
#include "stats/samplesfile.h"
#include "stats/samplestexts.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

const stats::StudyData &study()
{
    static const stats::StudyData s = [] {
        stats::StudyData d = stats::StudyData::Shaped({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                                                      {"1.02", "0.97", "2.10", "2.02", "2.95", "3.05"});
        d.levelsText = "3";
        return d;
    }();
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    std::vector<stats::Sample> samples;
    std::vector<stats::SampleTexts> texts;
    try {
        samples = stats::ParseSamplesFile(bytes);
        texts = stats::ParseSamplesFileTexts(bytes);
    } catch (const stats::SamplesFileError &e) {
        check(std::string(e.what()).rfind("Archivo de muestras, línea ", 0) == 0 ||
              std::string(e.what()).rfind("El archivo de muestras pasa de 1 MiB", 0) == 0);
        return 0;
    }
    check(samples.size() == texts.size());
    for (const stats::Sample &s : samples)
        check(!s.name.empty() && !s.responses.empty() && s.responses.size() <= 20);
    // What was taken saves (or is refused for a name) and reads back the same.
    try {
        const std::vector<stats::Sample> again = stats::ParseSamplesFile(stats::SamplesFileText(texts, '.'));
        check(again.size() == samples.size());
        for (size_t i = 0; i < again.size(); ++i)
            check(again[i].name == samples[i].name && again[i].responses == samples[i].responses);
    } catch (const stats::SamplesFileError &) {
    }
    stats::AnalysisOptions options;
    options.samples = samples;
    const stats::StudyAnalysis analysis = stats::Analyze(study(), options);
    try {
        stats::SamplesOutcome(analysis);
    } catch (const stats::CommandError &) {
    }
    return 0;
}
