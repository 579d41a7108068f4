// libFuzzer target: arbitrary bytes as a .lin study. The reader takes a
// study whole or refuses it with a message; what it takes saves, reads back
// as the same study and saves to the same bytes, and each series it can
// evaluate becomes a study the editor's checks accept or refuse, and its
// accuracy profile a profile or the reason for none: never a crash.
#include "cli/linfile.h"

#include "stats/accuracyprofile.h"
#include "stats/errors.h"
#include "stats/profiletexts.h"
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
    // The accuracy profile of every series: a profile or the reason, never
    // a crash; a figure beyond a double is the only error it may raise.
    try {
        const stats::ProfileResult profile = stats::ComputeAccuracyProfile(study, {});
        check(profile.profile.has_value() != !profile.refusal.empty());
        if (profile.profile) {
            check(!profile.profile->models.empty());
            for (const stats::ModelProfile &m : profile.profile->models)
                check(!m.range || m.range->lower.compare(m.range->upper.approximation()) < 0);
        }
        (void)stats::ProfileDocument(profile, study, '.');
    } catch (const stats::FloatingPointError &) {
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
