// The errors that abandon a command are told in one place, in the words of
// the general error report; a file the program cannot write is one of them.
#include "cli/atomicfile.h"
#include "stats/errors.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>

TEST(CommandErrors, AreToldInTheWordsOfTheGeneralErrorReport)
{
    const struct {
        std::function<void()> work;
        std::string told; // empty: the work was done
    } cases[] = {
        {[] {}, ""},
        {[] { throw stats::ConversionError("'x' is not a valid integer value"); }, "'x' is not a valid integer value."},
        {[] { throw stats::FloatingPointError(stats::kDivisionByZero); }, "Floating point division by zero."},
        {[] { throw stats::StudyFileError("Falta el archivo."); }, "Falta el archivo."},
        {[] { throw std::bad_alloc(); }, "Memoria insuficiente para completar la orden."},
    };
    for (const auto &c : cases) {
        std::string told;
        EXPECT_EQ(stats::ReportCommandErrors(c.work, [&](const std::string &message) { told = message; }),
                  c.told.empty());
        EXPECT_EQ(told, c.told);
    }
    // A programming error is not dressed up as a message for the user.
    EXPECT_THROW(stats::ReportCommandErrors([] { throw std::logic_error("bug"); }, [](const std::string &) {}),
                 std::logic_error);
    EXPECT_THROW(cli::WriteFileAtomically("/nonexistent/carpeta/grafica.png", "x"), stats::OutputFileError);
}
