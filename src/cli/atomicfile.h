#pragma once
// The one way the program saves a file (a study, a graph, a printed page,
// the verification report, every output of a batch run): a save either
// replaces the file whole or leaves it as it was, and every step of it is
// checked.
#include "stats/errors.h"

#include <string>
#include <sys/stat.h>

namespace cli {

// A save that failed: the message for the user, and the step and the
// system's reason, for a caller that words it its own way.
class SaveError : public stats::OutputFileError {
public:
    enum class Step { Open, Write, Sync, Replace };
    SaveError(const std::string &message, Step step, int error)
        : stats::OutputFileError(message), step_(step), error_(error)
    {
    }
    Step step() const { return step_; }
    int error() const { return error_; }

private:
    Step step_;
    int error_;
};

// A file built beside its target and put in its place only by commit():
// - it is made unnamed in the target's folder (O_TMPFILE), or where the
//   filesystem cannot, as a temporary beside it named as mkstemp names them
//   (the file's name, a dot and six letters or digits);
// - commit() flushes it to the disk, names it (directly when the name is
//   free, otherwise through such a temporary renamed over the old file) and
//   flushes the folder, so that the new name survives a power loss too;
//   a file made with Flush::WithTheFilesystem is named without those two
//   flushes, and whoever wrote it flushes the whole filesystem (with
//   syncFilesystem) before anything tells that it was saved.
// Temporaries of this kind that a killed earlier save of the same file left
// are removed first. A symbolic link is followed: the file it names is
// replaced, the link stays. A replaced file keeps its permissions; a new one
// gets the usual ones (0666 less the umask); the file belongs to whoever
// saves it. An existing file this user may not write (ReplaceRefusal) is
// kept, and stats::StudyFileError says it is read-only. Anything else that
// fails throws SaveError ("No se pudo guardar el archivo «path»: why"); the
// old file stays byte for byte and no temporary is left, except when only
// the folder's flush failed, after the new file took its place.
class AtomicFile {
public:
    enum class Flush { Now, WithTheFilesystem };
    // A path in the system's encoding.
    explicit AtomicFile(const std::string &path, Flush flush = Flush::Now);
    ~AtomicFile();                                // abandons an uncommitted file
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    void append(const std::string &bytes);
    // Flushes everything written on the file's filesystem, not this file
    // alone: a batch's outputs before the summary that lists them.
    void syncFilesystem();
    void commit();

private:
    [[noreturn]] void fail(SaveError::Step step, int error);
    void abandon();

    std::string shown_;     // the path as the caller gave it, for messages
    std::string folder_, target_;
    std::string temporary_; // the named temporary, while there is one
    Flush flush_;
    bool linkedTarget_ = false; // the unnamed file was linked as the target itself
    int fd_ = -1;
    bool done_ = false;
};

// Saves `bytes` as `path` (in the system's encoding) with AtomicFile.
void WriteFileAtomically(const std::string &path, const std::string &bytes);

// Whether this user may replace the content of the existing file `path`
// (`info`, its stat): 0 when so, otherwise the reason (an errno value). A
// save replaces a file by a rename, which the folder's permission alone
// allows, so the file's own permission is asked, as cp asks it; root, whom
// the system lets write anything, is refused a file that nobody may write.
int ReplaceRefusal(const std::string &path, const struct stat &info);

} // namespace cli
