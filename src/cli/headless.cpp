#include "cli/headless.h"

#include "stats/seriesstudy.h"

#include "cli/commandregistry.h"

#include "stats/errors.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <algorithm>
#include <cerrno>
#include <langinfo.h>
#include <locale.h>
#include <ostream>

namespace cli {

namespace {

// A word that starts with a dash is an option ("-" alone names no file here
// either: the commands read and write files only).
bool isOption(const std::string &word) { return !word.empty() && word[0] == '-'; }

bool isKnownOption(const std::string &word) { return FindCommand(word) || IsCommandOption(word); }

} // namespace

int RunHeadless(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char separator)
{
    errno = 0;
    CommandLine line;
    std::string problem;
    if (!ParseCommandLine(args, line, problem))
        return UsageError(err, problem, line.command);
    const Command &command = *FindCommand(line.command);
    if (!command.run || (command.drawsWith && line.option(command.drawsWith)) ||
        (command.drawsIf && command.drawsIf(args)))
        return UsageError(err, "La orden " + line.command + " dibuja y no se ejecuta aquí.", line.command);
    return command.run(line, out, err, separator);
}

const std::string *CommandLine::option(const std::string &name) const
{
    for (const auto &[key, value] : options)
        if (key == name)
            return &value;
    return nullptr;
}

bool ParseCommandLine(const std::vector<std::string> &args, CommandLine &line, std::string &problem)
{
    line = {};
    auto fail = [&](std::string why) {
        problem = std::move(why);
        return false;
    };
    const Command *command = args.empty() ? nullptr : FindCommand(args[0]);
    if (!command) {
        // No command first: the application with one study file, or a
        // command that comes too late.
        for (size_t i = 1; i < args.size(); ++i)
            if (FindCommand(args[i])) {
                line.command = args[i];
                return fail(isOption(args[0]) && isKnownOption(args[0])
                                ? "La opción " + args[0] + " va después de la orden " + args[i] + "."
                                : "La orden " + args[i] + " va primero, antes de " + args[0] + ".");
            }
        if (!args.empty() && isOption(args[0]))
            return fail("Opción desconocida: " + args[0]);
        if (args.size() > 1)
            return fail("Argumento inesperado: " + args[1]);
        return fail("Falta la orden.");
    }
    line.command = args[0];
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &word = args[i];
        if (!isOption(word)) {
            if (line.operands.size() == command->operands.size() && !command->repeatsLast)
                return fail("Argumento inesperado: " + word);
            line.operands.push_back(word);
            continue;
        }
        if (!isKnownOption(word))
            return fail("Opción desconocida: " + word);
        // An option may share its name with a command (--json ... --samples M.txt).
        const bool taken = std::find(command->options.begin(), command->options.end(), word) != command->options.end();
        if (!taken && FindCommand(word))
            return fail("Sobra la orden " + word + ": se da una sola orden (" + line.command + ").");
        if (!taken)
            return fail("La orden " + line.command + " no admite " + word + ".");
        if (line.option(word))
            return fail(word + " aparece dos veces.");
        if (i + 1 >= args.size() || isKnownOption(args[i + 1]))
            return fail("Falta el valor de " + word + ".");
        line.options.emplace_back(word, args[++i]);
    }
    if (line.operands.size() + command->optionalOperands < command->operands.size())
        return fail(std::string("Falta ") + command->operands[line.operands.size()] + ".");
    if (command->outputRequired && !line.option("--output"))
        return fail("Falta --output SALIDA.");
    if (const std::string *series = line.option("--series"); series && SeriesOf(line) == 0)
        return fail("--series " + *series + ": la serie es un número entero de 1 a " +
                    std::to_string(stats::kMaxSeries) + ", sin ceros a la izquierda.");
    return true;
}

int SeriesOf(const CommandLine &line)
{
    const std::string *text = line.option("--series");
    if (!text)
        return 1;
    if (text->empty() || text->size() > 2 || text->front() == '0' ||
        text->find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int series = std::stoi(*text);
    return series <= stats::kMaxSeries ? series : 0;
}

int UsageError(std::ostream &err, const std::string &problem, const std::string &command)
{
    err << problem << "\n\n" << UsageLines(command) << "Vea «linealidad --help».\n";
    return kExitUsage;
}

stats::StudyFile ReadStudyFile(const std::string &path)
{
    return stats::ParseStudyFile(stats::ReadFileBytes(path));
}

int RunCatchingErrors(std::ostream &err, const std::function<int()> &work)
{
    int status = kExitFailed;
    stats::ReportCommandErrors([&] { status = work(); }, [&](const std::string &message) { err << message << '\n'; });
    return status;
}

int OutputWritten(std::ostream &out, std::ostream &err)
{
    out.flush();
    if (out)
        return kExitDone;
    const int error = errno;
    err << "No se pudo escribir la salida estándar: "
        << (error == EBADF ? std::string("está cerrada") : stats::SystemErrorText(error)) << ".\n";
    return kExitFailed;
}

// The numeric part of the locale the environment names (LC_ALL, else
// LC_NUMERIC, else LANG); a point where that locale is not installed or
// writes its separator with more than one byte.
char LocaleDecimalSeparator()
{
    const locale_t numeric = newlocale(LC_NUMERIC_MASK, "", locale_t{});
    if (!numeric)
        return '.';
    const std::string point = nl_langinfo_l(RADIXCHAR, numeric);
    freelocale(numeric);
    return point.size() == 1 && static_cast<unsigned char>(point[0]) < 0x80 ? point[0] : '.';
}

} // namespace cli
