// Save and Save as on a disk that refuses the data: the study on disk stays as
// it was, the user is told, the editor keeps its mark and caption, and a
// later save with room again writes the edited study. Two real refusals: a
// full filesystem (a tiny tmpfs, when this process may mount one) and the
// process's file-size limit, which works everywhere.
#include "app/application.h"
#include "windows/studyeditor.h"
#include "app/mainwindow.h"
#include "support/scripteddialogs.h"
#include "support/studybytes.h"
#include "stats/studyfile.h"
#include "support/studies.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace testing_files;

// A folder whose writes can be refused and allowed again.
struct RefusingFolder {
    virtual ~RefusingFolder() = default;
    virtual void refuse() = 0;
    virtual void allow() = 0;
    virtual QString reason() const = 0;
    QTemporaryDir dir;
};

// A 64 KiB tmpfs filled to the last byte.
class FullFilesystem final : public RefusingFolder {
public:
    FullFilesystem()
    {
        mounted_ = dir.isValid() && ::mount("tmpfs", QFile::encodeName(dir.path()).constData(), "tmpfs", 0,
                                             "size=64k") == 0;
    }
    ~FullFilesystem() override
    {
        if (mounted_)
            ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    void refuse() override
    {
        const QByteArray filler = QFile::encodeName(dir.filePath(".relleno"));
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        const QByteArray block(4096, 'x');
        while (::write(fd, block.constData(), block.size()) > 0) {
        }
        // The last partial page too.
        while (::write(fd, block.constData(), 1) > 0) {
        }
        ::close(fd);
    }
    void allow() override { QVERIFY(QFile::remove(dir.filePath(".relleno"))); }
    QString reason() const override { return QStringLiteral("el disco está lleno"); }

private:
    bool mounted_ = false;
};

// Writes beyond 100 bytes refused by the process's file-size limit.
class FileSizeLimit final : public RefusingFolder {
public:
    FileSizeLimit() { ::getrlimit(RLIMIT_FSIZE, &saved_); }
    ~FileSizeLimit() override { allow(); }
    void refuse() override
    {
        std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of ending the process
        rlimit limit = saved_;
        limit.rlim_cur = 100;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    void allow() override { ::setrlimit(RLIMIT_FSIZE, &saved_); }
    QString reason() const override { return QStringLiteral("el archivo excede el tamaño que el sistema permite"); }

private:
    rlimit saved_{};
};

} // namespace

class SaveFailureTest : public QObject {
    Q_OBJECT

private slots:
    void aRefusedWriteKeepsTheStudyAndSaysSo_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("saveAs");
        QTest::newRow("full disk, Save") << "tmpfs" << false;
        QTest::newRow("full disk, Save as") << "tmpfs" << true;
        QTest::newRow("size limit, Save") << "limit" << false;
        QTest::newRow("size limit, Save as") << "limit" << true;
    }
    void aRefusedWriteKeepsTheStudyAndSaysSo()
    {
        QFETCH(QString, device);
        QFETCH(bool, saveAs);
        std::unique_ptr<RefusingFolder> folder;
        if (device == "tmpfs") {
            auto full = std::make_unique<FullFilesystem>();
            if (!full->mounted())
                QSKIP("cannot mount a tmpfs here; the size-limit rows cover the same path");
            folder = std::move(full);
        } else {
            folder = std::make_unique<FileSizeLimit>();
        }
        const QDir dir(folder->dir.path());
        const QString path = dir.filePath("estudio.w04");
        const QString target = saveAs ? dir.filePath("copia.w04") : path;
        const QByteArray oldBytes = studyBytes(testing_studies::anovaStudy());
        writeAll(path, oldBytes);
        // What an earlier save killed before its rename left (empty: removing it
        // frees no room), and two look-alikes that belong to someone else.
        writeAll(target + ".Ab12Cd", "");
        writeAll(target + ".respaldo", "del usuario");
        writeAll(dir.filePath("otro.w04.Ab12Cd"), "de otro estudio");

        ScriptedDialogs dialogs;
        Application app(dialogs, '.');
        MainWindow &frame = app.frame();
        dialogs.files.enqueue(path);
        frame.openStudy();
        QVERIFY(frame.editor());
        frame.editor()->loadStudy(testing_studies::inferenceStudy());
        frame.setStudyMark(StudyEditorHost::StudyMark::Modified);

        folder->refuse();
        if (saveAs)
            dialogs.files.enqueue(target);
        const bool saved = saveAs ? frame.saveAs() : frame.save();
        folder->allow();
        QVERIFY(!saved);
        QCOMPARE(dialogs.errors, QStringList{QStringLiteral("No se pudo guardar el archivo «%1»: %2.")
                                                 .arg(target, folder->reason())});
        QCOMPARE(readAll(path), oldBytes);
        QVERIFY(!saveAs || !QFile::exists(target));
        QCOMPARE(frame.modifiedText(), QStringLiteral("Modificado"));
        QCOMPARE(frame.editor()->windowTitle(), path);
        QVERIFY(!QFile::exists(target + ".Ab12Cd"));
        const QStringList left = dir.entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left.size(), 3); // no temporary stays behind

        // With room again the edited study is written.
        dialogs.clear();
        if (saveAs)
            dialogs.files.enqueue(target);
        QVERIFY(saveAs ? frame.saveAs() : frame.save());
        QVERIFY(dialogs.errors.isEmpty());
        QCOMPARE(readAll(target), studyBytes(testing_studies::inferenceStudy()));
        QCOMPARE(frame.modifiedText(), QString());
        QCOMPARE(frame.editor()->windowTitle(), target);
        QCOMPARE(readAll(target + ".respaldo"), QByteArray("del usuario"));
        QCOMPARE(readAll(dir.filePath("otro.w04.Ab12Cd")), QByteArray("de otro estudio"));
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), saveAs ? 4 : 3);
        frame.setStudyMark(StudyEditorHost::StudyMark::Unchanged); // no close question at teardown
    }

    // Closing with Sí on a disk that refuses the data: the error is told, the
    // editor stays with the study, Salir does not end the application and
    // the file keeps its old bytes.
    void aRefusedWriteFromTheCloseQuestionKeepsTheEditorOpen()
    {
        FileSizeLimit folder;
        const QString path = QDir(folder.dir.path()).filePath("estudio.w04");
        const QByteArray oldBytes = studyBytes(testing_studies::anovaStudy());
        writeAll(path, oldBytes);
        ScriptedDialogs dialogs;
        Application app(dialogs, '.');
        MainWindow &frame = app.frame();
        bool ended = false;
        QObject::connect(&frame, &MainWindow::closed, [&] { ended = true; });
        dialogs.files.enqueue(path);
        frame.openStudy();
        QVERIFY(frame.editor());
        frame.editor()->loadStudy(testing_studies::inferenceStudy());
        frame.setStudyMark(StudyEditorHost::StudyMark::Modified);

        folder.refuse();
        dialogs.answers.enqueue(UserDialogs::Answer::Yes);
        const bool closed = frame.close();
        folder.allow();
        QVERIFY(!closed && !ended);
        QCOMPARE(dialogs.questions.size(), 1);
        QCOMPARE(dialogs.errors, QStringList{QStringLiteral("No se pudo guardar el archivo «%1»: %2.")
                                                 .arg(path, folder.reason())});
        QVERIFY(frame.editor());
        QCOMPARE(frame.modifiedText(), QStringLiteral("Modificado"));
        QCOMPARE(readAll(path), oldBytes);

        // Asked again with room: saved, and the application ends.
        dialogs.answers.enqueue(UserDialogs::Answer::Yes);
        QVERIFY(frame.close());
        QVERIFY(ended);
        QCOMPARE(readAll(path), studyBytes(testing_studies::inferenceStudy()));
    }
};

QTEST_MAIN(SaveFailureTest)
#include "savefailure_test.moc"
