#include "cli/headless.h"

#include "cli/resultsjson.h"
#include "cli/verification.h"

#include "stats/commands.h"
#include "stats/errors.h"
#include "stats/studyfile.h"
#include "stats/systemerror.h"

#include <QLocale>

#include <cerrno>
#include <new>
#include <ostream>

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
    "Los números del estudio se leen con punto o con coma decimal; los resultados se\n"
    "escriben con el separador decimal de la configuración regional del usuario.\n"
    "\n"
    "Estado de salida: 0 correcto; 2 el estudio fue rechazado (datos incompletos o\n"
    "pendiente cero); 1 error de archivo, de conversión, de cálculo o al escribir la\n"
    "salida; 64 uso incorrecto.\n"
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
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kUsage;
        return outputWritten(out, err);
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << "linealidad (Linealidad del método) " << ProgramVersion() << "\n";
        return outputWritten(out, err);
    }
    if (args.size() == 1 && args[0] == "--verify") {
        const int status = PrintVerification(RunVerification(BuiltInReferences()), out);
        return outputWritten(out, err) ? 1 : status;
    }
    if (args.size() == 2 && args[0] == "--json") {
        const int status = RunJsonCommand(args[1], out, err, sep);
        return outputWritten(out, err) ? 1 : status;
    }
    if (args.size() != 2 || !commandFor(args[0])) {
        err << kUsage;
        return kExitUsage;
    }
    return RunCatchingErrors(err, [&] {
        const stats::StudyData study = stats::StudyFromFile(ReadStudyFile(args[1]));
        stats::SharedResults shared;
        const stats::CommandOutcome outcome = commandFor(args[0])(study, shared, sep);
        if (outcome.refused())
            return ReportRefusal(outcome, err);
        errno = 0;
        printOutcome(args[0], outcome, out);
        return outputWritten(out, err);
    });
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
