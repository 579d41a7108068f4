#include "cli/atomicfile.h"

#include "cli/savecalls.h"

#include "stats/systemerror.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <climits>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t kRandomChars = 6; // as mkstemp makes them

bool isTemporaryName(const std::string &entry, const std::string &name)
{
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

std::string temporaryName(const std::string &target)
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::string name = target + '.';
    for (size_t i = 0; i < kRandomChars; ++i)
        name += kLetters[random() % (sizeof kLetters - 1)];
    return name;
}

// `path` made absolute, without "." or ".." or repeated slashes, by its
// text alone (a link on the way is not followed).
std::string absoluteClean(const std::string &path)
{
    std::string whole = path;
    if (whole.empty() || whole[0] != '/') {
        std::vector<char> here(PATH_MAX);
        whole = (getcwd(here.data(), here.size()) ? std::string(here.data()) : std::string()) + "/" + whole;
    }
    std::vector<std::string> parts;
    for (size_t start = 0; start <= whole.size();) {
        size_t slash = whole.find('/', start);
        if (slash == std::string::npos)
            slash = whole.size();
        const std::string part = whole.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string clean;
    for (const std::string &part : parts)
        clean += "/" + part;
    return clean.empty() ? "/" : clean;
}

// The file a save of `path` writes: `path` itself, or the file a symbolic
// link there names (a relative target from the link's folder).
std::string savedFile(const std::string &path)
{
    const std::string file = absoluteClean(path);
    struct stat info;
    if (lstat(file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return file;
    std::vector<char> target(PATH_MAX);
    const ssize_t length = readlink(file.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) >= target.size())
        return file;
    const std::string named(target.data(), static_cast<size_t>(length));
    return absoluteClean(named[0] == '/' ? named : file.substr(0, file.find_last_of('/') + 1) + named);
}

// An unnamed file is named through its entry in /proc; without /proc it
// could not be, and a named temporary is used instead.
bool canNameUnnamedFiles()
{
    static const bool can = access("/proc/self/fd", X_OK) == 0;
    return can;
}

// The open of an unnamed file fails so where the kernel or the filesystem
// does not make them.
bool unnamedUnsupported(int error) { return error == EOPNOTSUPP || error == EISDIR || error == EINVAL; }

} // namespace

namespace cli {

int ReplaceRefusal(const std::string &path, const struct stat &info)
{
    if (geteuid() == 0)
        return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) ? 0 : EACCES;
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

AtomicFile::AtomicFile(const std::string &path, Flush flush) : shown_(path), flush_(flush)
{
    const std::string target = savedFile(path);
    const size_t slash = target.find_last_of('/');
    folder_ = slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = target.substr(slash + 1);
    target_ = folder_ + "/" + name;
    removeLeftovers(folder_, name);

    // Created as any new file is: 0666 less the umask (or the folder's
    // default access list); a replaced file's permissions are set at commit.
    const SaveCalls &calls = CurrentSaveCalls();
    fd_ = canNameUnnamedFiles() ? calls.open(folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    if (fd_ < 0 && (!canNameUnnamedFiles() || unnamedUnsupported(errno))) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            temporary_ = temporaryName(target_);
            fd_ = calls.open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd_ >= 0 || errno != EEXIST)
                break;
        }
        if (fd_ < 0)
            temporary_.clear();
    }
    if (fd_ < 0)
        fail(SaveError::Step::Open, errno);
}

AtomicFile::~AtomicFile()
{
    if (!done_)
        abandon();
}

void AtomicFile::abandon()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
    temporary_.clear();
    if (linkedTarget_)
        ::unlink(target_.c_str());
    linkedTarget_ = false;
    done_ = true;
}

void AtomicFile::fail(SaveError::Step step, int error)
{
    abandon();
    throw SaveError("No se pudo guardar el archivo «" + shown_ + "»: " + stats::SystemErrorText(error), step,
                    error);
}

void AtomicFile::append(const std::string &bytes)
{
    // Unbuffered, so every refusal of the disk is seen here.
    const SaveCalls &calls = CurrentSaveCalls();
    for (size_t written = 0; written < bytes.size();) {
        const ssize_t n = calls.write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(SaveError::Step::Write, n < 0 ? errno : ENOSPC);
        written += static_cast<size_t>(n);
    }
}

void AtomicFile::syncFilesystem()
{
    if (::syncfs(fd_) != 0)
        fail(SaveError::Step::Sync, errno);
}

void AtomicFile::commit()
{
    const SaveCalls &calls = CurrentSaveCalls();
    struct stat old;
    const bool replacing = ::stat(target_.c_str(), &old) == 0;
    if (replacing) {
        // A file made read-only is kept as it is, as writing it in place
        // would be refused; the rename would otherwise replace it anyway.
        if (ReplaceRefusal(target_, old) != 0) {
            abandon();
            throw stats::StudyFileError("No se pudo guardar el archivo «" + shown_ +
                                        "»: el archivo es de sólo lectura");
        }
        if (calls.fchmod(fd_, old.st_mode & 07777) != 0)
            fail(SaveError::Step::Write, errno);
    }
    // A disk may report that it is full or failing only when the data reaches it.
    const bool flushNow = flush_ == Flush::Now;
    if (flushNow && calls.fsync(fd_) != 0 && errno != EINVAL)
        fail(SaveError::Step::Sync, errno);
    if (temporary_.empty()) {
        // The unnamed file takes the name directly when it is free, so that
        // a save killed at any moment leaves no temporary; over an old file
        // it goes through one.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        if (!replacing && calls.linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            linkedTarget_ = true;
        } else {
            if (!replacing && errno != EEXIST)
                fail(SaveError::Step::Write, errno);
            for (int attempt = 0; attempt < 100 && temporary_.empty(); ++attempt) {
                const std::string name = temporaryName(target_);
                if (calls.linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                    temporary_ = name;
                else if (errno != EEXIST)
                    fail(SaveError::Step::Write, errno);
            }
            if (temporary_.empty())
                fail(SaveError::Step::Write, EEXIST);
        }
    }
    const int fd = fd_;
    fd_ = -1; // closed even when close reports an error
    if (calls.close(fd) != 0 && errno != EINTR)
        fail(SaveError::Step::Write, errno);
    if (!temporary_.empty()) {
        if (calls.rename(temporary_.c_str(), target_.c_str()) != 0)
            fail(SaveError::Step::Replace, errno);
        temporary_.clear();
    }
    linkedTarget_ = false; // the new file is in place: nothing is taken back now
    done_ = true;
    if (!flushNow)
        return;

    // The new name is made durable too. A folder this user may not read
    // cannot be opened to be flushed; what the kernel refuses otherwise is told.
    const int folder = calls.open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (folder < 0) {
        if (errno != EACCES)
            fail(SaveError::Step::Sync, errno);
        return;
    }
    const bool synced = calls.fsync(folder) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(folder);
    if (!synced)
        fail(SaveError::Step::Sync, error);
}

void WriteFileAtomically(const std::string &path, const std::string &bytes)
{
    AtomicFile file(path);
    file.append(bytes);
    file.commit();
}

} // namespace cli
