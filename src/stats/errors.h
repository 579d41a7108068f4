#pragma once
// Errors that abandon a command. The windowed application shows them in the
// general error report; the headless commands print them to standard error.
#include <new>
#include <stdexcept>
#include <string>

namespace stats {

// Every error that abandons a command with a message for the user derives
// from this; anything else is a programming error and is not dressed up as
// a user message.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A typed text that is not a number ("'%s' is not a valid integer value").
class ConversionError : public CommandError {
public:
    using CommandError::CommandError;
};

// Division by zero, invalid operation or overflow met by a computation, or a
// degenerate study refused before such an operation with a message naming why.
class FloatingPointError : public CommandError {
public:
    using CommandError::CommandError;
};

// A study file that cannot be read or written as a study.
class StudyFileError : public CommandError {
public:
    using CommandError::CommandError;
};

// A study file read whole whose study is refused: over a limit, a number
// that is not one, a newer format. Refused as a study that fails its
// validation is, not as a file that cannot be read.
class StudyRefusal : public CommandError {
public:
    using CommandError::CommandError;
};

// A file the program writes (a PNG, SVG or PDF output, a study being saved)
// that could not be made or written; what the file held before stays.
class OutputFileError : public CommandError {
public:
    using CommandError::CommandError;
};

inline constexpr const char *kDivisionByZero = "Floating point division by zero";
inline constexpr const char *kInvalidOperation = "Invalid floating point operation";
inline constexpr const char *kOverflow = "Floating point overflow";
inline constexpr const char *kResultTooLarge =
    "Un resultado es demasiado grande para guardarlo como número (más de 1.8E308): "
    "revise las cantidades del estudio y sus unidades.";
inline constexpr const char *kOutOfMemory = "Memoria insuficiente para completar la orden.";

// The text of the general error report: the error's own message, with a full
// stop added when its last character sorts after ".".
inline std::string ErrorReportText(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        message += '.';
    return message;
}

// The one place that tells the errors abandoning a command: runs `work`; when
// a CommandError or a lack of memory abandons it, `report` gets the text of
// the general error report and the answer is false. Anything else is a
// programming error and goes on.
template <class Work, class Report>
bool ReportCommandErrors(Work &&work, Report &&report)
{
    try {
        work();
        return true;
    } catch (const CommandError &e) {
        report(ErrorReportText(e.what()));
    } catch (const std::bad_alloc &) {
        report(std::string(kOutOfMemory));
    }
    return false;
}

} // namespace stats
