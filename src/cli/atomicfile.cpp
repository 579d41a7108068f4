#include "cli/atomicfile.h"

#include "stats/errors.h"
#include "stats/systemerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isTemporaryName(const std::string &entry, const std::string &name)
{
    constexpr size_t kRandomChars = 6; // as mkstemp makes them
    if (entry.size() != name.size() + 1 + kRandomChars || entry.compare(0, name.size(), name) != 0 ||
        entry[name.size()] != '.')
        return false;
    for (size_t i = name.size() + 1; i < entry.size(); ++i) {
        const char c = entry[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Removes the temporaries of an earlier save of `name` in `dir` that never
// reached their rename: plain files of this user, named as this writer
// names them.
void removeLeftovers(const std::string &dir, const std::string &name)
{
    DIR *listing = opendir(dir.c_str());
    if (!listing)
        return;
    while (const dirent *entry = readdir(listing)) {
        const std::string entryName = entry->d_name;
        if (!isTemporaryName(entryName, name))
            continue;
        const std::string path = dir + "/" + entryName;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid())
            unlink(path.c_str());
    }
    closedir(listing);
}

} // namespace

namespace cli {

void WriteFileAtomically(const QString &path, const std::string &bytes)
{
    auto fail = [&](int error) {
        throw stats::OutputFileError(QStringLiteral("No se pudo guardar el archivo «%1»: %2")
                                        .arg(path, QString::fromStdString(stats::SystemErrorText(error)))
                                        .toStdString());
    };
    // A link is followed: the file it names is replaced, the link stays.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo targetInfo(target);
    const std::string dir = QFile::encodeName(targetInfo.absolutePath()).toStdString();
    const std::string name = QFile::encodeName(targetInfo.fileName()).toStdString();
    const std::string finalPath = dir + "/" + name;

    removeLeftovers(dir, name);

    // The new file gets the old one's permissions, or the usual ones.
    mode_t mode = 0;
    struct stat old;
    if (stat(finalPath.c_str(), &old) == 0) {
        // A study made read-only is kept as it is, as writing it in place
        // would be refused; the rename would otherwise replace it anyway.
        const bool writable = geteuid() == 0 ? (old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
                                             : faccessat(AT_FDCWD, finalPath.c_str(), W_OK, AT_EACCESS) == 0;
        if (!writable)
            throw stats::StudyFileError(
                QStringLiteral("No se pudo guardar el archivo «%1»: el archivo es de sólo lectura").arg(path).toStdString());
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temporary = finalPath + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        fail(errno);
    auto abandon = [&](int error, bool open) {
        if (open)
            close(fd);
        unlink(temporary.c_str());
        fail(error);
    };
    if (fchmod(fd, mode) != 0)
        abandon(errno, true);
    // Unbuffered, so every refusal of the disk is seen here.
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            abandon(n < 0 ? errno : ENOSPC, true);
        written += static_cast<size_t>(n);
    }
    // A disk may report that it is full or failing only when the data reaches it.
    if (fsync(fd) != 0 && errno != EINVAL)
        abandon(errno, true);
    if (close(fd) != 0 && errno != EINTR)
        abandon(errno, false);
    if (rename(temporary.c_str(), finalPath.c_str()) != 0)
        abandon(errno, false);
    // The rename itself is made durable; a failure here no longer risks the file.
    if (const int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
}

} // namespace cli
