// The window library shows the outside world its entry points only, and a
// missing one is told (the commands that draw open it as the program does:
// commandregistry_test.cpp).
#include "cli/windowlibrary.h"

#include <QProcess>
#include <QStringList>

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
