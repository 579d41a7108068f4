#pragma once
// What makes a printout or an export a record a quality unit can file: which
// study file it came from (and whether it is still that file), which program
// computed it, when, for whom, and which page of how many.
#include <iosfwd>
#include <mutex>
#include <string>
#include <string_view>

namespace cli {

// Where the study being printed comes from. The windows, the printouts and
// the headless commands pass this one value down.
struct StudySource {
    std::string path;      // the file it was read from or last saved to; empty: never saved
    std::string sha256;    // of the bytes read or written then, 64 hexadecimal digits
    bool modified = false; // edited since it was read or saved

    // A study just read from (or written to) `path` as `bytes`.
    static StudySource ofFile(const std::string &path, std::string_view bytes);
};

// The state of a study's file when a record is made.
enum class FileState {
    Unsaved,       // never saved
    Modified,      // edited since it was read or saved
    ChangedOnDisk, // the file on disk is no longer the one read or saved
    Saved,         // the file on disk is the study: its digest applies
};

// One record, made once for all the pages of a printout.
struct PrintRecord {
    FileState state = FileState::Unsaved;
    std::string file;      // the study file's name, without its folder
    std::string sha256;    // all 64 digits; empty unless Saved
    std::string program, version, revision;
    std::string generated; // ISO 8601 with the UTC offset, to the second
    std::string printed;   // "2026-12-06 20:05 +01:00"
    std::string user;

    // "worked.w04", "Estudio sin guardar", "worked.w04 (modificado, sin guardar)".
    std::string studyName() const;
    // The name with the first digits of the digest where it applies:
    // "worked.w04 · SHA-256 3f2a9c0d1e2b4a5c".
    std::string studyText() const;
    // "linealidad 1.0.0, revisión 10d47f4a1b2c"
    std::string programText() const;
    // The identification line of page `page` of `pages`.
    std::string line(int page, int pages) const;
    // The same for a document that is not a study's (the verification).
    static std::string lineWithout(const std::string &what, const PrintRecord &record, int page, int pages);
};

// The record of `source` now: the file on disk is read again, so a digest
// on paper is always that of the file as it is at the time of printing.
PrintRecord MakePrintRecord(const StudySource &source);
// The record of a study file whose `bytes` were just read from `path`, by a
// command that uses no other reading of it: the digest is of those bytes.
PrintRecord RecordOfFileRead(const std::string &path, std::string_view bytes);

// Held by whatever reads the local time (a record's time, a PDF's dates):
// the C library sets its time zone up again on each conversion, under a
// lock of its own that a race detector cannot see, and the threads of a
// batch run convert at once.
std::mutex &LocalTimeLock();

// Now, as ISO 8601 with the UTC offset, to the second: "2026-12-08T10:02:11+01:00".
std::string Iso8601Now();

// The SHA-256 of `bytes` in lower-case hexadecimal.
std::string Sha256Hex(std::string_view bytes);

// How many leading digits of the digest a printout shows.
inline constexpr int kPrintedDigestDigits = 16;

// linealidad --check-record FILE DIGEST: whether FILE is the study file a
// printout names. 0 when the digits match, 1 when not (or the file cannot
// be read), 64 for a digest that is not 16 to 64 hexadecimal digits.
int CheckRecord(const std::string &path, const std::string &digest, std::ostream &out, std::ostream &err);

} // namespace cli
