// The window library shows the outside world its entry points only, and a
// missing one is told (the commands that draw open it as the program does:
// commandregistry_test.cpp).
#include "cli/windowlibrary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<std::string> exportedSymbols(const std::string &library)
{
    std::vector<std::string> names;
    const std::string command = "nm -D --defined-only '" + library + "'";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return names;
    char line[4096];
    while (fgets(line, sizeof line, pipe)) {
        std::string text(line);
        const size_t blank = text.find_last_of(' ');
        names.push_back(text.substr(blank + 1, text.find_last_not_of("\r\n") - blank));
    }
    pclose(pipe);
    return names;
}

} // namespace

TEST(WindowLibrary, ExportsOnlyItsEntryPoints)
{
    const std::vector<std::string> names = exportedSymbols(WINDOW_LIBRARY_FILE);
    ASSERT_FALSE(names.empty());
    for (const std::string &name : names)
        EXPECT_EQ(name.rfind("linealidad_run_", 0), 0u) << name;
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
