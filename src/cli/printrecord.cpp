#include "cli/printrecord.h"

#include "cli/headless.h"
#include "cli/installationfacts.h"
#include "stats/errors.h"
#include "stats/studyfile.h"

#include <nettle/sha2.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <ostream>

namespace cli {

namespace {

const char *const kSeparator = " · ";

std::string fileNameOf(const std::string &path) { return path.substr(path.find_last_of('/') + 1); }

// "+01:00": the offset of local time from UTC at `when`.
std::string utcOffset(const std::tm &when)
{
    const long minutes = when.tm_gmtoff / 60;
    const long magnitude = minutes < 0 ? -minutes : minutes;
    char text[48];
    std::snprintf(text, sizeof text, "%c%02ld:%02ld", minutes < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

std::string formatted(const char *format, const std::tm &when)
{
    char text[64] = "";
    std::strftime(text, sizeof text, format, &when);
    return text;
}

} // namespace

StudySource StudySource::ofFile(const std::string &path, std::string_view bytes)
{
    return {path, Sha256Hex(bytes), false};
}

std::string Sha256Hex(std::string_view bytes)
{
    sha256_ctx context;
    sha256_init(&context);
    sha256_update(&context, bytes.size(), reinterpret_cast<const uint8_t *>(bytes.data()));
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&context, sizeof digest, digest);
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const uint8_t byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0xF];
    }
    return hex;
}

namespace {

// Who made the record, with what and when.
PrintRecord stamped(PrintRecord record)
{
    record.program = "linealidad";
    record.version = ProgramVersion();
    record.revision = kSourceRevision;
    {
        const std::lock_guard<std::mutex> lock(LocalTimeLock());
        const std::time_t seconds = std::time(nullptr);
        std::tm now{};
        localtime_r(&seconds, &now);
        record.generated = formatted("%Y-%m-%dT%H:%M:%S", now) + utcOffset(now);
        record.printed = formatted("%Y-%m-%d %H:%M ", now) + utcOffset(now);
    }
    record.user = CurrentUserName();
    return record;
}

} // namespace

std::string Iso8601Now()
{
    const std::lock_guard<std::mutex> lock(LocalTimeLock());
    const std::time_t seconds = std::time(nullptr);
    std::tm now{};
    localtime_r(&seconds, &now);
    return formatted("%Y-%m-%dT%H:%M:%S", now) + utcOffset(now);
}

std::mutex &LocalTimeLock()
{
    static std::mutex lock;
    return lock;
}

PrintRecord MakePrintRecord(const StudySource &source)
{
    PrintRecord record;
    record.file = fileNameOf(source.path);
    if (source.path.empty()) {
        record.state = FileState::Unsaved;
    } else if (source.modified) {
        record.state = FileState::Modified;
    } else {
        // The digest of the bytes read or saved then is printed only while
        // the file on disk still has them: another program may have
        // replaced the file since.
        std::string now;
        try {
            now = Sha256Hex(stats::ReadFileBytes(source.path));
        } catch (const stats::CommandError &) {
        }
        record.state = now == source.sha256 ? FileState::Saved : FileState::ChangedOnDisk;
        if (record.state == FileState::Saved)
            record.sha256 = now;
    }
    return stamped(std::move(record));
}

PrintRecord RecordOfFileRead(const std::string &path, std::string_view bytes)
{
    PrintRecord record;
    record.file = fileNameOf(path);
    record.state = FileState::Saved;
    record.sha256 = Sha256Hex(bytes);
    return stamped(std::move(record));
}


std::string PrintRecord::studyName() const
{
    switch (state) {
    case FileState::Unsaved:
        return "Estudio sin guardar";
    case FileState::Modified:
        return file + " (modificado, sin guardar)";
    case FileState::ChangedOnDisk:
        return file + " (el archivo cambió en el disco)";
    case FileState::Saved:
        break;
    }
    return file;
}

std::string PrintRecord::studyText() const
{
    if (state != FileState::Saved)
        return studyName();
    return file + kSeparator + "SHA-256 " + sha256.substr(0, kPrintedDigestDigits);
}

std::string PrintRecord::programText() const { return program + " " + version + ", revisión " + revision; }

std::string PrintRecord::line(int page, int pages) const { return lineWithout(studyText(), *this, page, pages); }

std::string PrintRecord::lineWithout(const std::string &what, const PrintRecord &record, int page, int pages)
{
    return what + kSeparator + record.programText() + kSeparator + "Impreso " + record.printed + kSeparator +
           "Usuario " + record.user + kSeparator + "Página " + std::to_string(page) + " de " + std::to_string(pages);
}

int CheckRecord(const std::string &path, const std::string &digest, std::ostream &out, std::ostream &err)
{
    std::string wanted = digest;
    std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (wanted.size() < kPrintedDigestDigits || wanted.size() > 64 ||
        wanted.find_first_not_of("0123456789abcdef") != std::string::npos)
        return UsageError(err,
                          "El resumen son las 16 cifras hexadecimales que imprime el registro (o las 64 de "
                          "--json): " + digest,
                          "--check-record");
    return RunCatchingErrors(err, [&] {
        const std::string actual = Sha256Hex(stats::ReadFileBytes(path));
        const std::string name = fileNameOf(path);
        if (actual.compare(0, wanted.size(), wanted) == 0) {
            out << "Coincide: " << name << " es el archivo que nombra el registro (SHA-256 "
                << actual.substr(0, kPrintedDigestDigits) << ").\n";
            return kExitDone;
        }
        out << "No coincide: " << name << " no es el archivo que nombra el registro. Su SHA-256 empieza por "
            << actual.substr(0, kPrintedDigestDigits) << "; el registro dice " << wanted.substr(0, kPrintedDigestDigits)
            << ".\n";
        return kExitFailed;
    });
}

} // namespace cli
