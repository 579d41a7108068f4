#include "cli/convertfile.h"

#include "cli/atomicfile.h"
#include "cli/headless.h"
#include "cli/linfile.h"

#include "stats/errors.h"
#include "stats/seriesstudy.h"
#include "stats/study.h"
#include "stats/studyfile.h"

#include <filesystem>
#include <ostream>

namespace cli {

namespace {

bool isW04Path(const std::string &path)
{
    const std::string end = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
    return end.size() == 4 && end[0] == '.' && (end[1] | 0x20) == 'w' && end[2] == '0' && end[3] == '4';
}

// The study of a .w04 file, refused as its evaluation refuses it (a count
// or a number that is not one, a missing value) so that the .lin written
// holds a study that reads back.
stats::SeriesStudy fromW04(const std::string &bytes)
{
    const stats::StudyFile file = stats::ParseStudyFile(bytes);
    const stats::StudyData typed = stats::StudyFromFile(file);
    if (const stats::ValidationFailure failure = stats::ValidateStudy(typed); failure.failed)
        throw stats::StudyRefusal(failure.message);
    stats::SeriesStudy study = stats::SeriesStudyFromFile(file);
    if (const std::string problem = stats::SeriesStudyProblem(study); !problem.empty())
        throw stats::StudyRefusal(problem);
    return study;
}

} // namespace

int RunConvertCommand(const std::string &input, const std::string &output, std::ostream &err)
{
    const bool toLin = IsLinPath(output);
    if (!toLin && !isW04Path(output)) {
        err << "La SALIDA de --convert es un estudio: debe terminar en .lin o en .w04: " << output << "\n";
        return kExitUsage;
    }
    return WriteNewStudyFile(output, "--convert", err, [&] {
        const std::string bytes = stats::ReadFileBytes(input);
        const stats::SeriesStudy study = IsLinPath(input) ? ParseLinFile(bytes) : fromW04(bytes);
        if (toLin)
            return SerializeLinFile(study);
        if (const std::string misfit = stats::W04Misfit(study); !misfit.empty())
            throw stats::StudyRefusal(misfit);
        return stats::SerializeStudyFile(stats::StudyFileFromSeries(study));
    });
}

int WriteNewStudyFile(const std::string &output, const char *command, std::ostream &err,
                      const std::function<std::string()> &bytes)
{
    std::error_code ec;
    if (std::filesystem::symlink_status(output, ec).type() != std::filesystem::file_type::not_found && !ec) {
        // Never over a study (the one being read included) nor any other file.
        err << "«" << output << "» ya existe: " << command << " no reemplaza ningún archivo.\n";
        return kExitUsage;
    }
    return RunCatchingErrors(err, [&] {
        std::string written;
        try {
            written = bytes();
        } catch (const stats::StudyRefusal &e) {
            err << stats::ErrorReportText(e.what()) << "\n";
            return kExitRefused;
        }
        WriteFileAtomically(output, written);
        return kExitDone;
    });
}

} // namespace cli
