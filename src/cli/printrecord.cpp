#include "cli/printrecord.h"

#include "cli/headless.h"
#include "cli/installationfacts.h"
#include "stats/errors.h"
#include "stats/studyfile.h"

#include <QByteArrayView>
#include <QCryptographicHash>
#include <QDateTime>

#include <mutex>
#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <ostream>

namespace cli {

namespace {

const char *const kSeparator = " · ";

std::string fileNameOf(const std::string &path)
{
    return QFileInfo(QString::fromStdString(path)).fileName().toStdString();
}

// "+01:00": the offset of local time from UTC at `when`.
std::string utcOffset(const QDateTime &when)
{
    const int minutes = when.offsetFromUtc() / 60;
    const int magnitude = minutes < 0 ? -minutes : minutes;
    return QStringLiteral("%1%2:%3")
        .arg(minutes < 0 ? '-' : '+')
        .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
        .arg(magnitude % 60, 2, 10, QLatin1Char('0'))
        .toStdString();
}

} // namespace

StudySource StudySource::ofFile(const std::string &path, std::string_view bytes)
{
    return {path, Sha256Hex(bytes), false};
}

std::string Sha256Hex(std::string_view bytes)
{
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
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
        const QDateTime now = QDateTime::currentDateTime();
        record.generated = now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toStdString() + utcOffset(now);
        record.printed = now.toString(QStringLiteral("yyyy-MM-dd HH:mm ")).toStdString() + utcOffset(now);
    }
    record.user = CurrentUserName();
    return record;
}

} // namespace

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
