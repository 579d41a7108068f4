#include "cli/headless.h"

#include "cli/resultsjson.h"
#include "cli/verification.h"

#include "stats/commands.h"
#include "stats/errors.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <new>
#include <ostream>
#include <string_view>

namespace cli {

namespace {

const char *const kUsage =
    "Uso: linealidad [ARCHIVO.w04]\n"
    "     linealidad --report ARCHIVO.w04\n"
    "     linealidad --inference ARCHIVO.w04\n"
    "     linealidad --anova ARCHIVO.w04\n"
    "     linealidad --residuals ARCHIVO.w04\n"
    "     linealidad --systematic-error ARCHIVO.w04\n"
    "     linealidad --print general|inference|error ARCHIVO.w04 --output SALIDA.pdf\n"
    "     linealidad --graph regression|residuals ARCHIVO.w04 --output SALIDA.png|.svg|.pdf\n"
    "                [--size ANCHOxALTO]\n"
    "     linealidad --json ARCHIVO.w04\n"
    "     linealidad --verify [--output VERIFICACION.pdf]\n"
    "\n"
    "Linealidad del método: evalúa la linealidad de un método analítico.\n"
    "Sin opciones abre la aplicación (con ARCHIVO, abre ese estudio).\n"
    "\n"
    "Órdenes sin ventanas (leen el estudio como lo hace Abrir y escriben en la\n"
    "salida estándar, en UTF-8, lo que mostraría la ventana correspondiente):\n"
    "  --report            el informe completo, una línea por renglón\n"
    "  --inference         la inferencia de pendiente y ordenada al origen\n"
    "  --anova             el análisis de la varianza: las siete filas de la\n"
    "                      tabla (celdas separadas por tabuladores) y las conclusiones\n"
    "  --residuals         el análisis de residuales: las cuatro columnas\n"
    "                      separadas por tabuladores\n"
    "  --systematic-error  la evaluación del error sistemático constante\n"
    "\n"
    "Órdenes que dibujan sin pantalla (escriben el archivo de --output):\n"
    "  --print general     la página de información general y datos del estudio\n"
    "  --print inference   la de inferencia y análisis de la varianza\n"
    "  --print error       la de error sistemático y residuales; en PDF, en el papel\n"
    "                      de la configuración regional\n"
    "  --graph             dibuja la gráfica de regresión (regression) o la de\n"
    "                      residuales (residuals) en SALIDA: PNG o SVG como la muestra\n"
    "                      su ventana (491x315, o el tamaño de --size), PDF como la\n"
    "                      imprime, en el papel de la configuración regional; no\n"
    "                      necesita pantalla\n"
    "  --size ANCHOxALTO   píxeles de PNG y SVG: dos enteros de 1 a 5000 sin ceros a\n"
    "                      la izquierda, con una x minúscula entre ellos (982x630)\n"
    "\n"
    "  --json              todos los resultados del estudio en un objeto JSON, con los\n"
    "                      números a precisión completa (para un sistema de laboratorio)\n"
    "  --verify            verifica la instalación: calcula los estudios de referencia\n"
    "                      incorporados y compara cada magnitud con su valor de\n"
    "                      referencia; estado 0 solo si todas coinciden (con --output,\n"
    "                      además el informe en PDF para firmar)\n"
    "\n"
    "  --help              muestra esta ayuda\n"
    "  --version           muestra la versión\n"
    "\n"
    "Ninguna orden escribe sobre un estudio: SALIDA debe llevar la extensión de lo\n"
    "que se escribe (.pdf, o .png, .svg o .pdf para --graph), no puede ser el estudio\n"
    "que se lee (con cualquier nombre o enlace) ni un archivo que contenga un estudio;\n"
    "un archivo existente que el usuario no puede escribir tampoco se reemplaza.\n"
    "\n"
    "Los números del estudio se leen con punto o con coma decimal; los resultados se\n"
    "escriben con el separador decimal de la configuración regional del usuario.\n"
    "\n"
    "Estado de salida: 0 correcto; 2 el estudio fue rechazado (datos incompletos o\n"
    "pendiente cero); 1 error de archivo, de conversión, de cálculo o al escribir la\n"
    "salida (también una SALIDA existente que no se puede escribir); 64 uso\n"
    "incorrecto (dice primero qué falla) o una SALIDA rechazada.\n"
    "\n"
    "Los mensajes de rechazo y de error se escriben en la salida de errores.\n";

using Command = stats::CommandOutcome (*)(const stats::StudyTexts &, stats::SharedResults &, char);

struct Entry {
    const char *option;
    Command run;
};

constexpr Entry kCommands[] = {
    {"--report", stats::RunReport},
    {"--inference", stats::RunInference},
    {"--anova", stats::RunAnova},
    {"--residuals", stats::RunResiduals},
    {"--systematic-error", stats::RunSystematicError},
};

Command commandFor(const std::string &option)
{
    for (const Entry &e : kCommands)
        if (option == e.option)
            return e.run;
    return nullptr;
}

// What each command takes: the words after it, by what they are (to name
// a missing one), and its options, each with a value.
struct Syntax {
    const char *command;
    std::vector<const char *> operands;
    std::vector<std::string> options;
    bool outputRequired = false;
};

const char *const kStudyOperand = "el archivo del estudio";

const Syntax kSyntax[] = {
    {"--report", {kStudyOperand}, {}},
    {"--inference", {kStudyOperand}, {}},
    {"--anova", {kStudyOperand}, {}},
    {"--residuals", {kStudyOperand}, {}},
    {"--systematic-error", {kStudyOperand}, {}},
    {"--json", {kStudyOperand}, {}},
    {"--print", {"la página (general, inference o error)", kStudyOperand}, {"--output"}, true},
    {"--graph", {"la gráfica (regression o residuals)", kStudyOperand}, {"--output", "--size"}, true},
    {"--verify", {}, {"--output"}},
    {"--help", {}, {}},
    {"-h", {}, {}},
    {"--version", {}, {}},
};

const Syntax *syntaxOf(const std::string &word)
{
    for (const Syntax &syntax : kSyntax)
        if (word == syntax.command)
            return &syntax;
    return nullptr;
}

// A word that starts with a dash is an option ("-" alone names no file here
// either: the commands read and write files only).
bool isOption(const std::string &word) { return !word.empty() && word[0] == '-'; }

bool isKnownOption(const std::string &word) { return syntaxOf(word) || word == "--output" || word == "--size"; }

void printOutcome(const std::string &option, const stats::CommandOutcome &outcome, std::ostream &out)
{
    if (option == "--anova")
        for (const auto &row : outcome.grid) {
            for (size_t c = 0; c < row.size(); ++c)
                out << (c ? "\t" : "") << row[c];
            out << '\n';
        }
    if (option == "--residuals") {
        for (size_t i = 0; i < outcome.columns[0].size(); ++i) {
            for (size_t c = 0; c < outcome.columns.size(); ++c)
                out << (c ? "\t" : "") << outcome.columns[c][i];
            out << '\n';
        }
        return;
    }
    for (const std::string &line : outcome.lines)
        out << line << '\n';
}

// What was printed reached its destination: a full disk, a full device or a
// closed standard output is an error, not a silent empty result.
int outputWritten(std::ostream &out, std::ostream &err)
{
    out.flush();
    if (out)
        return kExitDone;
    const int error = errno;
    err << "No se pudo escribir la salida estándar: "
        << (error == EBADF ? std::string("está cerrada") : stats::SystemErrorText(error)) << ".\n";
    return kExitFailed;
}

} // namespace

bool IsHeadless(const std::vector<std::string> &args)
{
    for (const std::string &a : args)
        if (a == "--help" || a == "-h" || a == "--version" || a == "--json" || a == "--verify" || commandFor(a))
            return true;
    return false;
}

int RunHeadless(const std::vector<std::string> &args, std::ostream &out, std::ostream &err, char sep)
{
    errno = 0;
    CommandLine line;
    std::string problem;
    if (!ParseCommandLine(args, line, problem))
        return UsageError(err, problem, line.command);
    if (line.command == "--help" || line.command == "-h") {
        out << kUsage;
        return outputWritten(out, err);
    }
    if (line.command == "--version") {
        out << "linealidad (Linealidad del método) " << ProgramVersion() << "\n";
        return outputWritten(out, err);
    }
    if (line.command == "--verify" && !line.option("--output")) {
        const int status = PrintVerification(RunVerification(BuiltInReferences()), out);
        return outputWritten(out, err) ? 1 : status;
    }
    if (line.command == "--json") {
        const int status = RunJsonCommand(line.operands[0], out, err, sep);
        return outputWritten(out, err) ? 1 : status;
    }
    if (!commandFor(line.command)) // a drawing command: the window library runs those
        return UsageError(err, "La orden " + line.command + " dibuja y no se ejecuta aquí.", line.command);
    return RunCatchingErrors(err, [&] {
        const stats::StudyData study = stats::StudyFromFile(ReadStudyFile(line.operands[0]));
        stats::SharedResults shared;
        const stats::CommandOutcome outcome = commandFor(line.command)(study, shared, sep);
        if (outcome.refused())
            return ReportRefusal(outcome, err);
        errno = 0;
        printOutcome(line.command, outcome, out);
        return outputWritten(out, err);
    });
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
    const Syntax *syntax = args.empty() ? nullptr : syntaxOf(args[0]);
    if (!syntax) {
        // No command first: the application with one study file, or a
        // command that comes too late.
        for (size_t i = 1; i < args.size(); ++i)
            if (const Syntax *late = syntaxOf(args[i])) {
                line.command = late->command;
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
    line.command = syntax->command;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &word = args[i];
        if (!isOption(word)) {
            if (line.operands.size() == syntax->operands.size())
                return fail("Argumento inesperado: " + word);
            line.operands.push_back(word);
            continue;
        }
        if (!isKnownOption(word))
            return fail("Opción desconocida: " + word);
        if (syntaxOf(word))
            return fail("Sobra la orden " + word + ": se da una sola orden (" + line.command + ").");
        if (std::find(syntax->options.begin(), syntax->options.end(), word) == syntax->options.end())
            return fail("La orden " + line.command + " no admite " + word + ".");
        if (line.option(word))
            return fail(word + " aparece dos veces.");
        if (i + 1 >= args.size() || isKnownOption(args[i + 1]))
            return fail("Falta el valor de " + word + ".");
        line.options.emplace_back(word, args[++i]);
    }
    if (line.operands.size() < syntax->operands.size())
        return fail(std::string("Falta ") + syntax->operands[line.operands.size()] + ".");
    if (syntax->outputRequired && !line.option("--output"))
        return fail("Falta --output SALIDA.");
    return true;
}

int UsageError(std::ostream &err, const std::string &problem, const std::string &command)
{
    // The usage lines are the help's first paragraph: "Uso: " before the
    // first, an indented line continues the one above.
    const std::string synopsis(kUsage, std::string_view(kUsage).find("\n\n") + 1);
    std::vector<std::string> entries;
    for (size_t at = 0; at < synopsis.size();) {
        const size_t end = synopsis.find('\n', at);
        std::string text = synopsis.substr(at, end - at);
        at = end + 1;
        const size_t start = text.find_first_not_of(' ', text.rfind("Uso:", 0) == 0 ? 4 : 0);
        if (entries.empty() || (text.compare(start, 11, "linealidad ") == 0 && text.size() > start + 11))
            entries.push_back(text.substr(start));
        else
            entries.back() += "\n" + text;
    }
    err << problem << "\n\n";
    bool shown = false;
    for (const std::string &entry : entries) {
        const size_t space = entry.find_first_of(" \n", 11);
        if (entry.compare(11, space - 11, command) != 0)
            continue;
        err << (shown ? "     " : "Uso: ") << entry << '\n';
        shown = true;
    }
    if (!shown)
        err << synopsis;
    err << "Vea «linealidad --help».\n";
    return kExitUsage;
}

const char *UsageText() { return kUsage; }

stats::StudyFile ReadStudyFile(const std::string &path)
{
    return stats::ParseStudyFile(stats::ReadFileBytes(path));
}

int RunCatchingErrors(std::ostream &err, const std::function<int()> &work)
{
    try {
        return work();
    } catch (const stats::CommandError &e) {
        err << stats::ErrorReportText(e.what()) << '\n';
        return kExitFailed;
    } catch (const std::bad_alloc &) {
        err << "Memoria insuficiente para completar la orden.\n";
        return kExitFailed;
    }
}

int ReportRefusal(const stats::CommandOutcome &outcome, std::ostream &err)
{
    err << outcome.refusalMessage() << '\n';
    return kExitRefused;
}

char LocaleDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() == 1 && point.at(0).unicode() < 0x80)
        return static_cast<char>(point.at(0).unicode());
    return '.';
}

} // namespace cli
