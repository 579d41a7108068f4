// A save killed at any moment leaves the study on disk whole: either the old
// bytes or the new ones, never a mixture, an empty file or a missing one; and
// the next save clears what the killed one left behind. A save whose system
// call fails says so, keeps the old study and leaves no temporary; a save
// keeps the file's permissions and a symbolic link.
#include "cli/atomicfile.h"
#include "cli/batchsummary.h"
#include "cli/savecalls.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no existe>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Two versions of a study of different lengths, so that any mixture shows.
QByteArray version(char mark, int lines)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += QByteArray(20, mark) + "\r\n";
    return bytes;
}

QStringList temporariesBeside(const QString &path)
{
    const QFileInfo info(path);
    return QDir(info.path()).entryList({info.fileName() + ".??????"}, QDir::Files | QDir::Hidden);
}

// Runs a shell command: its exit status (-1 when a signal ended it) and what it wrote.
int run(const std::string &command, std::string *output = nullptr)
{
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        if (output)
            output->append(buffer, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string saveCommand(const QString &target, const QString &source)
{
    return SAVE_TOOL " '" + target.toStdString() + "' 1 '" + source.toStdString() + "'";
}

bool straceWorks()
{
    return run("strace -f -o /dev/null -e trace=none true") == 0;
}

} // namespace

// A real kill (SIGKILL) at a chosen step of the save: the write of the data,
// the flush to the disk, the rename and the flush of the folder after it.
TEST(SaveKilled, AtEachStepTheStudyOnDiskIsWhole)
{
    if (!straceWorks())
        GTEST_SKIP() << "strace cannot trace here";
    QTemporaryDir dir;
    const QString target = dir.filePath("estudio.w04");
    const QString next = dir.filePath("nuevo.bin");
    const QByteArray before = version('A', 38), after = version('B', 900);
    writeBytes(next, after);
    struct Step {
        const char *where;
        bool savedAlready; // the rename had happened when the kill came
    };
    const Step steps[] = {{"write:when=1", false}, {"fsync:when=1", false}, {"close:when=1+", false},
                          {"rename:when=1", false}, {"fsync:when=2", true}};
    for (const Step &step : steps) {
        writeBytes(target, before);
        const int status = run("strace -f -o /dev/null -e trace=write,fsync,close,rename -e inject=" +
                               std::string(step.where) + ":signal=KILL " + saveCommand(target, next));
        EXPECT_GT(status, 0) << step.where << ": the save was not killed";
        EXPECT_EQ(bytesOf(target), step.savedAlready ? after : before) << step.where;
    }
    // The next save, left alone, writes the study and clears the leftovers.
    EXPECT_EQ(run(saveCommand(target, next)), 0);
    EXPECT_EQ(bytesOf(target), after);
    EXPECT_TRUE(temporariesBeside(target).isEmpty()) << temporariesBeside(target).join(' ').toStdString();
}

namespace {

// One system call of the save made to fail on its nth use, with errno `error`.
struct Fault {
    const char *call;
    int nth;
    int error;
    const char *cause; // how the message words `error`
    bool afterRename;  // the new file is in place when it fails
};
Fault g_fault{};
std::map<std::string, int> g_uses;
std::set<std::string> g_fired;
bool g_noUnnamedFiles = false; // the filesystem makes no unnamed files

bool failsNow(const char *call)
{
    if (!g_fault.call || ++g_uses[call] != g_fault.nth || std::string(call) != g_fault.call)
        return false;
    g_fired.insert(call);
    errno = g_fault.error;
    return true;
}

// The system's calls, each with its chance to fail.
cli::SaveCalls faultyCalls()
{
    return {
        [](const char *path, int flags, mode_t mode) {
            if ((flags & O_TMPFILE) == O_TMPFILE && g_noUnnamedFiles) {
                errno = EOPNOTSUPP;
                return -1;
            }
            return failsNow("open") ? -1 : cli::SystemSaveCalls().open(path, flags, mode);
        },
        [](int fd, mode_t mode) { return failsNow("fchmod") ? -1 : ::fchmod(fd, mode); },
        [](int fd, const void *bytes, size_t size) -> ssize_t { return failsNow("write") ? -1 : ::write(fd, bytes, size); },
        [](int fd) { return failsNow("fsync") ? -1 : ::fsync(fd); },
        [](int fromFolder, const char *from, int toFolder, const char *to, int flags) {
            return failsNow("linkat") ? -1 : ::linkat(fromFolder, from, toFolder, to, flags);
        },
        [](int fd) {
            ::close(fd); // a failed close still closes, as the kernel's does
            return failsNow("close") ? -1 : 0;
        },
        [](const char *from, const char *to) { return failsNow("rename") ? -1 : ::rename(from, to); },
    };
}

struct FaultyCallsInUse {
    FaultyCallsInUse() { cli::CurrentSaveCalls() = faultyCalls(); }
    ~FaultyCallsInUse() { cli::CurrentSaveCalls() = cli::SystemSaveCalls(); }
};

int openDescriptors() { return static_cast<int>(QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size()); }

} // namespace

// Each system call of a save made to fail in turn (the open of the new file,
// its permissions, the write, the flush, the naming, the close, the rename,
// the open and flush of the folder), for a study and for a batch file, where
// the filesystem makes unnamed files and where it does not, over an old file
// and where there was none. The failure is reported with its cause; the old
// file stays byte for byte (or stays absent); no temporary and no open
// descriptor is left. Only a failed flush of the folder comes after the new
// file took its place: it is reported all the same.
TEST(SaveFails, EachFailedSystemCallIsReportedAndTheOldFileKept)
{
    const Fault faults[] = {
        {"open", 1, EACCES, "acceso denegado", false},
        {"fchmod", 1, EPERM, "acceso denegado", false},
        {"write", 1, ENOSPC, "el disco está lleno", false},
        {"write", 2, EFBIG, "el archivo excede el tamaño que el sistema permite", false},
        {"fsync", 1, EIO, "error de entrada/salida", false},
        {"linkat", 1, EROFS, "el disco es de sólo lectura", false},
        {"close", 1, EIO, "error de entrada/salida", false},
        {"rename", 1, EROFS, "el disco es de sólo lectura", false},
        {"open", 2, ENOMEM, "no hay memoria suficiente", true},
        {"fsync", 2, EIO, "error de entrada/salida", true},
    };
    const QByteArray before = version('A', 38), after = version('B', 900);
    std::set<std::string> everFired;
    for (const bool batch : {false, true})
        for (const bool unnamed : {true, false})
            for (const bool existing : {true, false})
                for (const Fault &fault : faults) {
                    const std::string row = std::string(batch ? "batch " : "study ") +
                                            (unnamed ? "unnamed " : "named ") + (existing ? "over old " : "new ") +
                                            fault.call + " #" + std::to_string(fault.nth);
                    QTemporaryDir dir;
                    const QString target = dir.filePath("estudio.w04");
                    if (existing) {
                        writeBytes(target, before);
                        ASSERT_EQ(chmod(target.toLocal8Bit().constData(), 0640), 0);
                    }
                    const int descriptors = openDescriptors();
                    std::string message;
                    {
                        FaultyCallsInUse faulty;
                        g_fault = fault;
                        g_uses.clear();
                        g_fired.clear();
                        g_noUnnamedFiles = !unnamed;
                        // Two writes, as the batch summary makes them.
                        try {
                            const std::string bytes = after.toStdString();
                            if (batch) {
                                cli::WriteBatchFile(target.toStdString(), bytes);
                            } else {
                                cli::AtomicFile file(target.toStdString());
                                file.append(bytes.substr(0, 100));
                                file.append(bytes.substr(100));
                                file.commit();
                            }
                        } catch (const stats::OutputFileError &e) {
                            message = e.what();
                        }
                        g_fault = {};
                    }
                    const bool fired = g_fired.count(fault.call) != 0;
                    if (fired)
                        everFired.insert(fault.call + std::to_string(fault.nth));
                    EXPECT_EQ(openDescriptors(), descriptors) << row;
                    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                              (existing || !fired || fault.afterRename) ? QStringList{"estudio.w04"} : QStringList{})
                        << row;
                    if (!fired) { // a call this way of saving does not make
                        EXPECT_EQ(message, "") << row;
                        EXPECT_EQ(bytesOf(target), after) << row;
                        continue;
                    }
                    EXPECT_NE(message.find(fault.cause), std::string::npos) << row << ": " << message;
                    if (!batch) {
                        EXPECT_EQ(message, "No se pudo guardar el archivo «" + target.toStdString() + "»: " +
                                               fault.cause)
                            << row;
                    }
                    if (fault.afterRename || existing) {
                        EXPECT_EQ(bytesOf(target), fault.afterRename ? after : before) << row;
                    }
                    struct stat info;
                    if (existing) {
                        EXPECT_TRUE(stat(target.toLocal8Bit().constData(), &info) == 0 &&
                                    (info.st_mode & 07777) == 0640)
                            << row;
                    }
                }
    // Every call of the table failed somewhere: none was left untried.
    for (const Fault &fault : faults)
        EXPECT_EQ(everFired.count(fault.call + std::to_string(fault.nth)), 1u) << fault.call << fault.nth;
}

// A save replaces the study's bytes, not what the user set around them: the
// file's permissions, and a symbolic link, which still names the study.
TEST(SaveFails, PermissionsAndSymbolicLinkSurviveASaveAndAReadOnlyStudyIsKept)
{
    QTemporaryDir dir;
    const QString real = dir.filePath("real.w04");
    const QString link = dir.filePath("enlace.w04");
    const QString next = dir.filePath("nuevo.bin");
    writeBytes(real, version('A', 3));
    writeBytes(next, version('B', 5));
    ASSERT_EQ(chmod(real.toLocal8Bit().constData(), 0604), 0);
    ASSERT_EQ(symlink("real.w04", link.toLocal8Bit().constData()), 0);

    ASSERT_EQ(run(saveCommand(link, next)), 0);
    struct stat info;
    ASSERT_EQ(lstat(link.toLocal8Bit().constData(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced by a plain file";
    EXPECT_EQ(bytesOf(real), version('B', 5));
    ASSERT_EQ(stat(real.toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);
    EXPECT_TRUE(temporariesBeside(real).isEmpty());

    // A study made read-only is not replaced, for root either.
    ASSERT_EQ(chmod(real.toLocal8Bit().constData(), 0444), 0);
    writeBytes(next, version('C', 7));
    std::string output;
    EXPECT_EQ(run(saveCommand(link, next), &output), 1);
    EXPECT_NE(output.find("es de sólo lectura"), std::string::npos) << output;
    EXPECT_EQ(bytesOf(real), version('B', 5));
    ASSERT_EQ(lstat(real.toLocal8Bit().constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0444u);
}

// A save writes the file its path names, byte for byte: a name that is not
// UTF-8 (a study named on an older system), "." and ".." on the way, a
// symbolic link, relative or absolute, which stays a link.
TEST(SaveFails, EachPathSavesTheFileItNamesAndNoOther)
{
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    ASSERT_EQ(mkdir((root + "/sub").c_str(), 0777), 0);
    ASSERT_EQ(symlink("../lat\xedn.w04", (root + "/sub/relative.w04").c_str()), 0);
    ASSERT_EQ(symlink((root + "/sub/target.w04").c_str(), (root + "/absolute.w04").c_str()), 0);
    const struct {
        std::string saved, written;
    } cases[] = {
        {root + "/lat\xedn-\xff.w04", root + "/lat\xedn-\xff.w04"},
        {root + "/sub/../sub/./plain.w04", root + "/sub/plain.w04"},
        {root + "/sub/relative.w04", root + "/lat\xedn.w04"},
        {root + "/absolute.w04", root + "/sub/target.w04"},
    };
    for (const auto &c : cases) {
        cli::WriteFileAtomically(c.saved, "bytes of " + c.saved);
        std::FILE *in = std::fopen(c.written.c_str(), "rb");
        ASSERT_TRUE(in) << c.written;
        char text[512] = "";
        text[std::fread(text, 1, sizeof text - 1, in)] = 0;
        std::fclose(in);
        EXPECT_EQ(text, "bytes of " + c.saved);
    }
    struct stat info;
    for (const char *link : {"/sub/relative.w04", "/absolute.w04"})
        EXPECT_TRUE(lstat((root + link).c_str(), &info) == 0 && S_ISLNK(info.st_mode)) << link;
    // Nothing else was written: two files and a link beside the folder.
    std::set<std::string> names;
    DIR *listing = opendir(root.c_str());
    while (const dirent *entry = listing ? readdir(listing) : nullptr)
        names.insert(entry->d_name);
    if (listing)
        closedir(listing);
    EXPECT_EQ(names, (std::set<std::string>{".", "..", "sub", "absolute.w04", "lat\xedn.w04", "lat\xedn-\xff.w04"}));
    // (names QTemporaryDir could not spell)
    for (const char *name : {"/lat\xedn.w04", "/lat\xedn-\xff.w04"})
        unlink((root + name).c_str());
}
