#pragma once
// Every command of the program in one table: how `main` starts it, what the
// text dispatcher and the window library run, its usage line and its lines
// in --help. A new command is one entry of the tables in commandregistry.cpp
// (an evaluation's, one row of cli/analysismodules.cpp);
// a drawing command's work also needs its function in the window library
// (render/drawingcommands.cpp), which cannot be linked from here.
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace cli {

struct CommandLine;

// Where a command runs: without any window nor QtGui; in the window library,
// with no display, because it draws; or as the windowed application.
enum class CommandKind { Text, Drawing, Window };

// The paragraphs of --help's descriptions, in their order.
enum class HelpSection { Opening, WithoutWindows, Drawings, Results, Information };

// The work of a text command, on its parsed command line.
using TextRunner = int (*)(const CommandLine &line, std::ostream &out, std::ostream &err, char decimalSeparator);

struct Command {
    const char *option;            // empty for the application itself
    const char *alias = nullptr;   // another spelling of the option, or null
    CommandKind kind;
    // A text command that draws (and runs as a drawing command) when given
    // this option; null for none.
    const char *drawsWith = nullptr;
    TextRunner run = nullptr;      // the text commands' work; null for the others
    // What follows "linealidad " in the usage lines; a new line continues
    // it. Null for a command the synopsis leaves out.
    const char *usage = nullptr;
    HelpSection section;
    const char *help;              // its lines in --help, each ending in a new line
    // The words after it, by what they are (to name a missing one), and the
    // options it takes, each with a value.
    std::vector<const char *> operands = {};
    std::vector<std::string> options = {};
    bool outputRequired = false;
    // The last operand may be given again and again (--batch PATH...).
    bool repeatsLast = false;
    // A text command that draws (and runs as a drawing command) when this
    // says so of its arguments; null for none.
    bool (*drawsIf)(const std::vector<std::string> &args) = nullptr;
    // Lines of --help written from data, after `help`; null for none.
    std::string (*moreHelp)() = nullptr;
    // How many of the last operands may be left out (--print's samples file).
    size_t optionalOperands = 0;
};

std::span<const Command> Commands();

// The command `word` names (its option or alias); null for any other word,
// the empty one included.
const Command *FindCommand(const std::string &word);

// An option some command takes (--output, --size).
bool IsCommandOption(const std::string &word);

// How the program runs `args` (its arguments without its name): a drawing
// command, the application (nothing, or a study file alone), and otherwise
// a text command, whose dispatcher also refuses what is no command.
CommandKind KindOf(const std::vector<std::string> &args);

// What --help prints: the usage lines, a blank line, then each section's
// descriptions.
std::string HelpText();

// The usage lines of `command` ("Uso: " before the first); all of them when
// it has none or is no command.
std::string UsageLines(const std::string &command);

} // namespace cli
