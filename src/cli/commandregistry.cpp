#include "cli/commandregistry.h"

#include "cli/acceptancelimits.h"
#include "cli/analysismodules.h"
#include "cli/batch.h"
#include "cli/convertfile.h"
#include "cli/importpoints.h"
#include "cli/headless.h"
#include "cli/installationfacts.h"
#include "cli/outputs.h"
#include "cli/printrecord.h"
#include "cli/profileoptions.h"
#include "cli/resultsjson.h"
#include "cli/samplesoptions.h"
#include "cli/verification.h"
#include "cli/weightoption.h"

#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <algorithm>
#include <cerrno>
#include <ostream>

namespace cli {

namespace {

// A result command: the study file read as Open reads it, analysed, and
// what the window of `id` would hold; with the target and limits of the
// command line where it takes them (a bad one is refused before the study
// is read).
// A text output on standard output, or its refusal or error on standard error.
int printRendered(const Rendered &rendered, std::ostream &out, std::ostream &err)
{
    if (rendered.status != kExitDone) {
        err << rendered.message << '\n';
        return rendered.status;
    }
    errno = 0;
    out << rendered.bytes;
    return OutputWritten(out, err);
}

template <const char *id>
int outputCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char separator)
{
    stats::CriteriaOptions options;
    stats::WeightingOptions weighting;
    std::string problem;
    if (!CriteriaOptionsOf(line, separator, options, problem) || !WeightingOptionsOf(line, weighting, problem))
        return UsageError(err, problem, line.command);
    stats::AnalysisOptions analysis{.decimalSeparator = separator, .criteria = options, .weighting = weighting};
    analysis.series = SeriesOf(line);
    const Rendered rendered = RenderOutput(OutputNamed(id), ReadAndAnalyse(line.operands[0], analysis), {});
    return printRendered(rendered, out, err);
}

const char kReport[] = "report", kInference[] = "inference", kAnova[] = "anova", kResiduals[] = "residuals",
           kSystematicError[] = "systematic-error";

int jsonCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char separator)
{
    stats::AnalysisOptions options;
    options.decimalSeparator = separator;
    options.series = SeriesOf(line);
    std::string problem;
    if (!CriteriaOptionsOf(line, separator, options.criteria, problem) ||
        !WeightingOptionsOf(line, options.weighting, problem) ||
        !SamplesOptionsOf(line, line.option("--samples"), options, problem) ||
        !ProfileOptionsOf(line, options.profile, problem))
        return UsageError(err, problem, line.command);
    const int status = RunJsonCommand(line.operands[0], out, err, options);
    return OutputWritten(out, err) ? kExitFailed : status;
}

// An evaluation's command: its options (the samples file and the
// confidence where it takes them) are refused before the study is read.
int analysisCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char separator)
{
    const AnalysisModule &module = *AnalysisModuleNamed(line.command);
    stats::AnalysisOptions options;
    options.decimalSeparator = separator;
    options.series = SeriesOf(line);
    std::string problem;
    const bool read = (module.options & TakesSamples
                           ? SamplesOptionsOf(line, &line.operands[1], options, problem)
                           : CriteriaOptionsOf(line, separator, options.criteria, problem) &&
                                 WeightingOptionsOf(line, options.weighting, problem)) &&
                      ProfileOptionsOf(line, options.profile, problem);
    if (!read)
        return UsageError(err, problem, line.command);
    const Rendered rendered = RenderOutput(OutputNamed(module.id), ReadAndAnalyse(line.operands[0], options), {});
    return printRendered(rendered, out, err);
}

// Without --output (with it, it draws its report and the window library runs it).
int verifyCommand(const CommandLine &, std::ostream &out, std::ostream &err, char)
{
    const int status = PrintVerification(RunVerification(BuiltInReferences()), out);
    return OutputWritten(out, err) ? kExitFailed : status;
}

int checkRecordCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char)
{
    const int status = CheckRecord(line.operands[0], line.operands[1], out, err);
    return OutputWritten(out, err) ? kExitFailed : status;
}

int convertCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char)
{
    const int status = RunConvertCommand(line.operands[0], *line.option("--output"), err);
    return OutputWritten(out, err) ? kExitFailed : status;
}

int importCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char)
{
    auto text = [&](const char *option) { return line.option(option) ? *line.option(option) : std::string(); };
    const ImportTexts texts{.method = text("--method"),
                            .analyst = text("--analyst"),
                            .date = text("--date"),
                            .units = text("--units")};
    const int status = RunImportCommand(line.operands[0], *line.option("--output"), texts, err);
    return OutputWritten(out, err) ? kExitFailed : status;
}

int helpCommand(const CommandLine &, std::ostream &out, std::ostream &err, char)
{
    out << HelpText();
    return OutputWritten(out, err);
}

int versionCommand(const CommandLine &, std::ostream &out, std::ostream &err, char)
{
    out << "linealidad (Linealidad del método) " << ProgramVersion() << "\n";
    return OutputWritten(out, err);
}

// Without graphs or pages a batch run needs no window library.
int batchCommand(const CommandLine &line, std::ostream &out, std::ostream &err, char separator)
{
    return RunBatchCommand(line, out, err, separator, nullptr);
}

bool batchDraws(const std::vector<std::string> &args)
{
    const auto formats = std::find(args.begin(), args.end(), "--formats");
    if (formats == args.end() || formats + 1 == args.end())
        return false;
    std::vector<std::string> asked;
    std::string problem;
    if (!ParseBatchFormats(*(formats + 1), asked, problem))
        return false; // the text dispatcher refuses it
    return std::any_of(asked.begin(), asked.end(), [](const std::string &f) { return f == "graphs" || f == "pages"; });
}

const char *const kStudy = "el archivo del estudio";

// Words filled into lines of at most 80 characters under a description's column.
std::string wrapped(const std::string &first, const std::vector<std::string> &words)
{
    constexpr size_t kWidth = 80;
    const std::string indent(22, ' ');
    auto characters = [](const std::string &s) {
        return static_cast<size_t>(std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
    };
    std::string text, line = first;
    for (const std::string &word : words) {
        if (characters(line) + 1 + characters(word) > kWidth) {
            text += line + '\n';
            line = indent + word;
        } else {
            line += (line.size() == indent.size() ? "" : " ") + word;
        }
    }
    return text + line + '\n';
}

// --limits and the keys of every limit, from the table of criteria.
std::string limitsHelp()
{
    std::vector<std::string> words;
    const std::span<const stats::LimitField> limits = stats::LimitFields();
    for (size_t i = 0; i < limits.size(); ++i) {
        const bool last = i + 1 == limits.size();
        if (last)
            words.push_back("y");
        words.push_back(std::string(limits[i].key) + (last || i + 2 == limits.size() ? "" : ","));
    }
    for (const char *word : {"(números);", "los", "que", "falten", "conservan", "su", "valor", "por", "omisión"})
        words.push_back(word);
    return "  --limits L.json     los límites de aceptación: un objeto JSON con cualquiera de\n" +
           wrapped(std::string(22, ' '), words);
}

// The rest of --batch's description, with the formats a run may write.
std::string batchHelp()
{
    std::vector<std::string> words = {"CARPETA", "lo", "que", "pide", "LISTA"};
    for (size_t i = 0; i < BatchFormats().size(); ++i)
        words.push_back((i == 0 ? "(" : "") + BatchFormats()[i] + ",");
    for (const char *word : {"separados", "por", "comas;", "report,json", "si", "se", "omite),", "cada", "salida",
                             "con", "el", "nombre", "del", "estudio", "bajo", "su", "RUTA,", "y", "resumen.csv", "con",
                             "una", "fila", "por", "estudio;", "un", "estudio", "rechazado", "o", "ilegible", "no",
                             "detiene", "la", "evaluación;", "estado", "0", "si", "todos", "son", "correctos,", "2",
                             "si", "hay", "rechazados", "y", "ningún", "error,", "1", "si", "hay", "errores"})
        words.push_back(word);
    return wrapped(std::string(22, ' '), words);
}

using enum CommandKind;
using enum HelpSection;

// The application and the line's own results.
const Command kLineCommands[] = {
    {.option = "",
     .kind = Window,
     .usage = "[ARCHIVO.w04]",
     .section = Opening,
     .help = "Sin opciones abre la aplicación (con ARCHIVO, abre ese estudio).\n"},
    {.option = "--report",
     .kind = Text,
     .run = outputCommand<kReport>,
     .usage = "--report ARCHIVO.w04",
     .section = WithoutWindows,
     .help = "  --report            el informe completo, una línea por renglón\n",
     .operands = {kStudy}},
    {.option = "--inference",
     .kind = Text,
     .run = outputCommand<kInference>,
     .usage = "--inference ARCHIVO.w04",
     .section = WithoutWindows,
     .help = "  --inference         la inferencia de pendiente y ordenada al origen\n",
     .operands = {kStudy}},
    {.option = "--anova",
     .kind = Text,
     .run = outputCommand<kAnova>,
     .usage = "--anova ARCHIVO.w04",
     .section = WithoutWindows,
     .help = "  --anova             el análisis de la varianza: las siete filas de la\n"
             "                      tabla (celdas separadas por tabuladores) y las conclusiones\n",
     .operands = {kStudy}},
    {.option = "--residuals",
     .kind = Text,
     .run = outputCommand<kResiduals>,
     .usage = "--residuals ARCHIVO.w04",
     .section = WithoutWindows,
     .help = "  --residuals         el análisis de residuales: las cuatro columnas\n"
             "                      separadas por tabuladores\n",
     .operands = {kStudy}},
    {.option = "--systematic-error",
     .kind = Text,
     .run = outputCommand<kSystematicError>,
     .usage = "--systematic-error ARCHIVO.w04",
     .section = WithoutWindows,
     .help = "  --systematic-error  la evaluación del error sistemático constante\n",
     .operands = {kStudy}},
};

// The commands after the evaluations' own.
const Command kOtherCommands[] = {
    {.option = "--graph",
     .kind = Drawing,
     .usage = "--graph regression|residuals|profile ARCHIVO.w04 --output SALIDA.png|.svg|.pdf\n"
              "[--size ANCHOxALTO] [--beta B] [--lambda L]",
     .section = Drawings,
     .help = "  --graph             dibuja la gráfica de regresión (regression), la de\n"
             "                      residuales (residuals) o la del perfil de exactitud de un\n"
             "                      estudio .lin (profile, con --beta y --lambda como en\n"
             "                      --profile) en SALIDA: PNG o SVG como la muestra su ventana\n"
             "                      (491x315, o el tamaño de --size), PDF como la imprime, en\n"
             "                      el papel de la configuración regional; no necesita\n"
             "                      pantalla\n"
             "  --size ANCHOxALTO   píxeles de PNG y SVG: dos enteros de 1 a 5000 sin ceros a\n"
             "                      la izquierda, con una x minúscula entre ellos (982x630)\n",
     .operands = {"la gráfica (regression, residuals o profile)", kStudy},
     .options = {"--output", "--size", "--beta", "--lambda"},
     .outputRequired = true},
    {.option = "--json",
     .kind = Text,
     .run = jsonCommand,
     .usage = "--json ARCHIVO.w04 [--target T] [--limits L.json] [--weight W]\n"
              "[--samples MUESTRAS.txt] [--confidence C] [--beta B] [--lambda L]",
     .section = Results,
     .help = "  --json              todos los resultados del estudio en un objeto JSON, con los\n"
             "                      números a precisión completa (para un sistema de\n"
             "                      laboratorio), los criterios de aceptación incluidos\n"
             "                      (--target y --limits como en --criteria, --weight como en\n"
             "                      --weighting), los límites de detección y cuantificación\n"
             "                      siempre, las muestras de --samples (con --confidence\n"
             "                      como en la orden --samples) y el perfil de exactitud\n"
             "                      (--beta y --lambda como en --profile)\n",
     .operands = {kStudy},
     .options = {"--target", "--limits", "--weight", "--samples", "--confidence", "--beta", "--lambda"}},
    {.option = "--verify",
     .kind = Text,
     .drawsWith = "--output",
     .run = verifyCommand,
     .usage = "--verify [--output VERIFICACION.pdf]",
     .section = Results,
     .help = "  --verify            verifica la instalación: calcula los estudios de referencia\n"
             "                      incorporados y compara cada magnitud con su valor de\n"
             "                      referencia; estado 0 solo si todas coinciden (con --output,\n"
             "                      además el informe en PDF para firmar)\n",
     .options = {"--output"}},
    {.option = "--check-record",
     .kind = Text,
     .run = checkRecordCommand,
     .usage = "--check-record ARCHIVO.w04 RESUMEN",
     .section = Results,
     .help = "  --check-record      dice si ARCHIVO es el estudio que nombra un registro\n"
             "                      impreso: RESUMEN son las 16 cifras de su SHA-256 que lleva\n"
             "                      la línea de identificación de cada página; estado 0 si\n"
             "                      coinciden, 1 si no\n",
     .operands = {kStudy, "el resumen (las 16 cifras del registro)"}},
    {.option = "--batch",
     .kind = Text,
     .run = batchCommand,
     .usage = "--batch RUTA... --output CARPETA [--formats LISTA]\n[--target T] [--limits L.json]",
     .section = Results,
     .help = "  --batch             evalúa de una vez cada estudio (*.w04, y cada serie de un\n"
             "                      *.lin, llamada ESTUDIO.lin#N) de las RUTAS, archivos o\n"
             "                      carpetas (con sus subcarpetas), en paralelo; escribe en\n",
     .operands = {"la ruta de los estudios (archivo o carpeta)"},
     .options = {"--output", "--formats", "--target", "--limits"},
     .outputRequired = true,
     .repeatsLast = true,
     .drawsIf = batchDraws,
     .moreHelp = batchHelp},
    {.option = "--convert",
     .kind = Text,
     .run = convertCommand,
     .usage = "--convert ARCHIVO.w04|.lin --output SALIDA.lin|.w04",
     .section = Results,
     .help = "  --convert           escribe el estudio en el otro tipo de archivo: un .w04 como\n"
             "                      .lin, y un .lin como .w04 si cabe en él (una serie de 3 a 5\n"
             "                      niveles, sin estándares de validación ni puntos\n"
             "                      excluidos); nunca reemplaza un archivo existente\n",
     .operands = {kStudy},
     .options = {"--output"},
     .outputRequired = true},
    {.option = "--import",
     .kind = Text,
     .run = importCommand,
     .usage = "--import DATOS.csv --output SALIDA.lin [--method M]\n[--analyst A] [--date D] [--units U]",
     .section = Results,
     .help = "  --import            hace un estudio .lin de los puntos de DATOS, un texto de\n"
             "                      hoja de cálculo: la cabecera serie;tipo;nivel;x;y (nivel\n"
             "                      se puede omitir: la misma x hace el nivel; separados por\n"
             "                      punto y coma, tabuladores o comas) y un punto por línea,\n"
             "                      tipo calibración o validación; --method, --analyst,\n"
             "                      --date y --units dan los textos del estudio\n",
     .operands = {"el archivo de datos"},
     .options = {"--output", "--method", "--analyst", "--date", "--units"},
     .outputRequired = true},
    {.option = "--help",
     .alias = "-h",
     .kind = Text,
     .run = helpCommand,
     .section = Information,
     .help = "  --help              muestra esta ayuda\n"},
    {.option = "--version",
     .kind = Text,
     .run = versionCommand,
     .section = Information,
     .help = "  --version           muestra la versión\n"},
};

// Each section's first line in --help; the sections without one are set
// apart by a blank line only.
const char *heading(HelpSection section)
{
    switch (section) {
    case Opening:
        return "Linealidad del método: evalúa la linealidad de un método analítico.\n";
    case WithoutWindows:
        return "Órdenes sin ventanas (leen el estudio como lo hace Abrir y escriben en la\n"
               "salida estándar, en UTF-8, lo que mostraría la ventana correspondiente):\n";
    case Drawings:
        return "Órdenes que dibujan sin pantalla (escriben el archivo de --output):\n";
    case Results:
    case Information:
        break;
    }
    return "";
}

const char *const kHelpClosing =
    "Ninguna orden escribe sobre un estudio: SALIDA debe llevar la extensión de lo\n"
    "que se escribe (.pdf, o .png, .svg o .pdf para --graph), no puede ser el estudio\n"
    "que se lee (con cualquier nombre o enlace) ni un archivo que contenga un estudio;\n"
    "un archivo existente que el usuario no puede escribir tampoco se reemplaza.\n"
    "\n"
    "Los números del estudio se leen con punto o con coma decimal; los resultados se\n"
    "escriben con el separador decimal de la configuración regional del usuario.\n"
    "\n"
    "Cada orden que evalúa un estudio lee también un estudio .lin (varias series de\n"
    "estándares de calibración y de validación, hasta 20 niveles de 12 puntos) y\n"
    "evalúa los estándares de calibración de una serie: --series N (de 1 a 20; la 1\n"
    "si se omite), sin sus puntos excluidos, que lista al final.\n"
    "\n"
    "Estado de salida: 0 correcto; 2 el estudio fue rechazado (datos incompletos o\n"
    "pendiente cero); 1 error de archivo, de conversión, de cálculo o al escribir la\n"
    "salida (también una SALIDA existente que no se puede escribir); 64 uso\n"
    "incorrecto (dice primero qué falla), una SALIDA rechazada, una cantidad al\n"
    "100 % que no es mayor que cero o un archivo de límites que no se acepta.\n"
    "\n"
    "Los mensajes de rechazo y de error se escriben en la salida de errores.\n";

// A command's usage lines: its continuation lines under its first word.
std::string usageOf(const Command &command, bool first)
{
    std::string lines = first ? "Uso: linealidad " : "     linealidad ";
    for (const char *c = command.usage; *c; ++c)
        lines += *c == '\n' ? std::string("\n                ") : std::string(1, *c);
    return lines + '\n';
}


// The evaluations' commands, and --print with a page for each, as the
// registry of evaluations describes them.
struct EvaluationCommands {
    std::vector<std::string> texts; // what the rows' pointers show
    std::vector<Command> commands;
};

EvaluationCommands evaluationCommands()
{
    EvaluationCommands e;
    std::string pages = "general|inference|error", names = "general, inference, error";
    std::string printHelp = "  --print general     la página de información general y datos del estudio\n"
                            "  --print inference   la de inferencia y análisis de la varianza\n"
                            "  --print error       la de error sistemático y residuales\n";
    const auto modules = AnalysisModules();
    for (size_t i = 0; i < modules.size(); ++i) {
        const AnalysisModule &m = modules[i];
        Command command = {.option = m.command,
                           .kind = Text,
                           .run = analysisCommand,
                           .usage = m.usage,
                           .section = WithoutWindows,
                           .help = m.help,
                           .operands = {kStudy}};
        if (m.options & TakesTarget) {
            command.options.push_back("--target");
            command.moreHelp = limitsHelp;
        }
        if (m.options & TakesLimits)
            command.options.push_back("--limits");
        if (m.options & TakesWeight)
            command.options.push_back("--weight");
        if (m.options & TakesSamples) {
            command.operands.push_back("el archivo de muestras");
            command.options.push_back("--confidence");
        }
        if (m.options & TakesProfile) {
            command.options.push_back("--beta");
            command.options.push_back("--lambda");
        }
        e.commands.push_back(command);
        if (!m.pageSuffix.empty() || m.options & TakesSamples) {
            pages += "|" + std::string(m.id);
            names += (i + 1 == modules.size() ? " o " : ", ") + std::string(m.id);
            printHelp += m.printHelp;
        }
    }
    e.texts = {"--print " + pages + "\nARCHIVO.w04 [MUESTRAS.txt] --output SALIDA.pdf\n"
                                    "[--target T] [--limits L.json] [--weight W] [--confidence C]\n"
                                    "[--beta B] [--lambda L]",
               printHelp, "la página (" + names + ")"};
    e.commands.push_back({.option = "--print",
                          .kind = Drawing,
                          .usage = e.texts[0].c_str(),
                          .section = Drawings,
                          .help = e.texts[1].c_str(),
                          .operands = {e.texts[2].c_str(), kStudy, "el archivo de muestras"},
                          .options = {"--output", "--target", "--limits", "--weight", "--confidence", "--beta",
                                      "--lambda"},
                          .outputRequired = true,
                          .optionalOperands = 1});
    return e;
}

const std::vector<Command> &allCommands()
{
    static const EvaluationCommands evaluations = evaluationCommands();
    static const std::vector<Command> commands = [] {
        std::vector<Command> all(std::begin(kLineCommands), std::end(kLineCommands));
        all.insert(all.end(), evaluations.commands.begin(), evaluations.commands.end());
        all.insert(all.end(), std::begin(kOtherCommands), std::end(kOtherCommands));
        // Each command that evaluates a study evaluates a series of a .lin one.
        for (Command &command : all)
            if (command.kind != Window && std::find(command.operands.begin(), command.operands.end(), kStudy) !=
                                              command.operands.end() &&
                command.option != std::string("--check-record") && command.option != std::string("--convert"))
                command.options.push_back("--series");
        return all;
    }();
    return commands;
}

std::string allUsageLines()
{
    std::string lines;
    for (const Command &command : allCommands())
        if (command.usage)
            lines += usageOf(command, lines.empty());
    return lines;
}

} // namespace

std::span<const Command> Commands() { return allCommands(); }

const Command *FindCommand(const std::string &word)
{
    if (word.empty())
        return nullptr;
    for (const Command &command : allCommands())
        if (word == command.option || (command.alias && word == command.alias))
            return &command;
    return nullptr;
}

bool IsCommandOption(const std::string &word)
{
    return std::any_of(allCommands().begin(), allCommands().end(), [&](const Command &command) {
        return std::find(command.options.begin(), command.options.end(), word) != command.options.end();
    });
}

CommandKind KindOf(const std::vector<std::string> &args)
{
    if (args.empty())
        return Window;
    if (const Command *first = FindCommand(args[0]))
        if (first->kind == Drawing ||
            (first->drawsWith && std::find(args.begin(), args.end(), first->drawsWith) != args.end()) ||
            (first->drawsIf && first->drawsIf(args)))
            return Drawing;
    for (const std::string &word : args)
        if (const Command *command = FindCommand(word); command && command->kind == Text)
            return Text;
    // An unknown option, or words too many for a study file alone: the text
    // dispatcher says what is wrong, without loading any window.
    const bool option = args[0].size() > 1 && args[0][0] == '-';
    return option || args.size() > 1 ? Text : Window;
}

std::string HelpText()
{
    // Section by section, each command under its section wherever the
    // table holds it.
    std::string text = allUsageLines();
    for (const HelpSection section : {Opening, WithoutWindows, Drawings, Results, Information}) {
        text += std::string("\n") + heading(section);
        for (const Command &command : allCommands()) {
            if (command.section != section)
                continue;
            text += command.help;
            if (command.moreHelp)
                text += command.moreHelp();
        }
    }
    return text + "\n" + kHelpClosing;
}

std::string UsageLines(const std::string &command)
{
    const Command *found = FindCommand(command);
    return found && found->usage ? usageOf(*found, true) : allUsageLines();
}

} // namespace cli
