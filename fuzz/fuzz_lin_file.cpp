// libFuzzer target: arbitrary bytes as a .lin study. The reader takes a
// study whole or refuses it with a message; what it takes saves, reads back
// as the same study and saves to the same bytes, and each series it can
// evaluate becomes a study the editor's checks accept or refuse, never a crash.
#include "cli/linfile.h"

#include "stats/errors.h"
#include "stats/study.h"
#include "stats/studyfile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    stats::SeriesStudy study;
    try {
        study = cli::ParseLinFile(bytes);
    } catch (const stats::StudyRefusal &e) {
        check(std::string(e.what()).size() > 0);
        return 0;
    }
    const std::string saved = cli::SerializeLinFile(study);
    const stats::SeriesStudy again = cli::ParseLinFile(saved);
    check(again == study);
    check(cli::SerializeLinFile(again) == saved);
    for (int s = 1; s <= static_cast<int>(study.series.size()); ++s) {
        try {
            stats::StudyData calibration = stats::StudyFromFile(stats::CalibrationOfSeries(study, s));
            calibration.levelLimit = stats::kMaxSeriesLevels;
            calibration.series = stats::SeriesNoteOf(study, s);
            check(!stats::ValidateStudy(calibration).failed);
            (void)stats::SeriesNoteText(*calibration.seriesNote());
        } catch (const stats::StudyRefusal &) {
        }
    }
    if (stats::W04Misfit(study).empty()) {
        try {
            const std::string w04 = stats::SerializeStudyFile(stats::StudyFileFromSeries(study));
            check(!w04.empty());
        } catch (const stats::StudyFileError &) {
            // a text a .w04 cannot hold (a character beyond Windows-1252)
        }
    }
    return 0;
}
