// A save killed at any moment leaves the study on disk whole: either the old
// bytes or the new ones, never a mixture, an empty file or a missing one; and
// the next save clears what the killed one left behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <sys/wait.h>

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

int run(const std::string &command) { return std::system(command.c_str()); }

bool straceWorks()
{
    return run("strace -f -o /dev/null -e trace=none true >/dev/null 2>&1") == 0;
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
        const std::string command = "strace -f -o /dev/null -e trace=write,fsync,close,rename -e inject=" +
                                    std::string(step.where) + ":signal=KILL " SAVE_TOOL " '" +
                                    target.toStdString() + "' 1 '" + next.toStdString() + "' >/dev/null 2>&1";
        const int status = run(command);
        ASSERT_TRUE(WIFEXITED(status)) << step.where;
        EXPECT_NE(WEXITSTATUS(status), 0) << step.where << ": the save was not killed";
        EXPECT_EQ(bytesOf(target), step.savedAlready ? after : before) << step.where;
    }
    // The next save, left alone, writes the study and clears the leftovers.
    EXPECT_EQ(run(SAVE_TOOL " '" + target.toStdString() + "' 1 '" + next.toStdString() + "' >/dev/null"), 0);
    EXPECT_EQ(bytesOf(target), after);
    EXPECT_TRUE(temporariesBeside(target).isEmpty()) << temporariesBeside(target).join(' ').toStdString();
}
