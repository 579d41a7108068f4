// The window library shows the outside world its entry points only, and a
// missing one is told (the commands that draw open it as the program does:
// commandregistry_test.cpp); a text command starts without it and without Qt.
#include "cli/windowlibrary.h"
#include "support/processrun.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

TEST(WindowLibrary, ExportsOnlyItsEntryPoints)
{
    QProcess nm;
    nm.start("nm", {"-D", "--defined-only", WINDOW_LIBRARY_FILE});
    ASSERT_TRUE(nm.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &line : lines)
        EXPECT_TRUE(line.section(' ', -1).startsWith("linealidad_run_")) << line.toStdString();
}

TEST(WindowLibrary, MissingLibraryIsReportedInSpanishWithWhatWasTried)
{
    cli::WindowLibrary library;
    std::string failure;
    EXPECT_FALSE(cli::LoadWindowLibrary("/nonexistent/bin", library, failure));
    EXPECT_EQ(library.runApplication, nullptr);
    EXPECT_NE(failure.find("No se pueden cargar las ventanas de la aplicación:"), std::string::npos);
    EXPECT_NE(failure.find("/nonexistent/bin/../lib/linealidad/liblinealidad_gui.so"), std::string::npos);
}

// Qt, and what it pulls in (ICU, GLib), is most of what a text command
// would cost to start: those commands never load it.
TEST(WindowLibrary, TextCommandsLoadNoQt)
{
    QTemporaryDir dir;
    const QString study = TEST_DATA_DIR "/worked-anova.w04";
    const QString limits = writeBytes(dir.filePath("limites.json"), "{\"minR\": 0.99}");
    const QStringList commands[] = {
        {"--version"},
        {"--help"},
        {"--report", study},
        {"--inference", study},
        {"--anova", study},
        {"--json", study, "--limits", limits},
        {"--criteria", study, "--limits", limits},
        {"--verify"},
        {"--check-record", study, "0123456789abcdef"},
        {"--batch", study, "--output", dir.filePath("lote"), "--formats", "report,json,criteria"},
        {"--bogus"},
    };
    for (const QStringList &args : commands) {
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_DEBUG", "files");
        env.insert("LC_ALL", "es_ES.UTF-8");
        run.setProcessEnvironment(env);
        run.start(LINEALIDAD_BINARY, args);
        ASSERT_TRUE(run.waitForFinished(60000)) << args.join(' ').toStdString();
        const std::string loaded = run.readAllStandardError().toStdString();
        ASSERT_NE(loaded.find("liblinealidad_core"), std::string::npos) << "no loader trace: " << loaded;
        for (const char *library : {"libQt6", "libicu", "libglib", "liblinealidad_gui"})
            EXPECT_EQ(loaded.find(library), std::string::npos) << args.join(' ').toStdString() << " loads " << library;
    }
}
