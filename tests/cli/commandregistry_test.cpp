// The table of commands and what the program makes of it: every command is
// in --help, its usage line runs as written, and `main` starts each kind
// where it belongs.
#include "cli/commandregistry.h"
#include "support/processrun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// The command line a usage line shows, with the worked study, the first of
// each choice ("general|inference|error"), outputs in `dir`, and without
// what it shows as optional.
QStringList commandLineOf(const cli::Command &command, const QTemporaryDir &dir)
{
    QStringList args{command.option};
    std::istringstream words(command.usage ? command.usage : "");
    std::string word;
    words >> word; // the option
    bool optional = false;
    while (words >> word) {
        optional = optional || word[0] == '[';
        if (optional) {
            optional = word.back() != ']';
            continue;
        }
        if (word.substr(0, word.find('|')) == "ARCHIVO.w04" || word == "RUTA...")
            args << TEST_DATA_DIR "/worked-anova.w04";
        else if (word == "ARCHIVO.lin") // a study of several series with validation standards
            args << TEST_DATA_DIR "/perfil.lin";
        else if (word == "DATOS.csv")
            args << writeBytes(dir.filePath("datos.csv"), "serie;tipo;x;y\n1;calibración;1;1,02\n1;calibración;2;2\n"
                                                          "1;calibración;3;3,05\n");
        else if (word == "MUESTRAS.txt")
            args << writeBytes(dir.filePath("muestras.txt"), "Lote 1;1.5;1.52\n");
        else if (word == "CARPETA")
            args << dir.filePath("CARPETA");
        else if (word == "RESUMEN") // the digest its printouts carry
            args << "635dbbb6aeb8857a";
        else if (word[0] == '-')
            args << QString::fromStdString(word);
        else if (word.find('.') != std::string::npos) // SALIDA.png|.svg|.pdf
            args << dir.filePath(QString::fromStdString(word.substr(0, word.find('|'))));
        else
            args << QString::fromStdString(word.substr(0, word.find('|')));
    }
    return args;
}

} // namespace

TEST(CommandRegistry, EveryCommandIsInTheHelpAndRunsAsItsUsageLineShows)
{
    // The help as reviewed (the manual page is made from it).
    std::ifstream reviewed(TEST_DATA_DIR "/help.txt");
    const std::string help = cli::HelpText();
    EXPECT_EQ(help, std::string(std::istreambuf_iterator<char>(reviewed), {}));
    for (const cli::Command &command : cli::Commands()) {
        if (command.kind == cli::CommandKind::Window)
            continue; // needs a display; its kind is checked below
        const std::string option = command.option;
        EXPECT_NE(help.find("\n  " + option + " "), std::string::npos) << option;
        if (command.usage) {
            EXPECT_NE(help.find("linealidad " + std::string(command.usage).substr(0, option.size() + 1)),
                      std::string::npos)
                << option;
        }
        QTemporaryDir dir;
        const QStringList args = commandLineOf(command, dir);
        const ProcessRun r = runLinealidad(args);
        EXPECT_EQ(r.status, 0) << args.join(' ').toStdString() << "\n" << r.err;
        if (option == "--batch") { // its outputs in the folder, its summary line on standard error
            EXPECT_TRUE(QFile::exists(dir.filePath("CARPETA/resumen.csv")));
            EXPECT_EQ(r.err.rfind("1 estudios en ", 0), 0u) << r.err;
            continue;
        }
        EXPECT_EQ(r.err, "") << option;
        if (option == "--convert" || option == "--import") { // a study written, nothing printed
            EXPECT_TRUE(r.out.empty());
            EXPECT_TRUE(QFile::exists(dir.filePath("SALIDA.lin")));
            continue;
        }
        EXPECT_NE(r.out.empty(), command.kind == cli::CommandKind::Text) << option;
        if (command.kind == cli::CommandKind::Drawing) {
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << option;
        }
    }
}

TEST(CommandRegistry, TheProgramStartsEachKindWhereItRuns)
{
    using enum cli::CommandKind;
    const struct {
        std::vector<std::string> args;
        cli::CommandKind kind;
    } cases[] = {
        {{}, Window},
        {{"estudio.w04"}, Window},
        {{"-"}, Window},
        {{""}, Window},
        {{"--graph"}, Drawing},
        {{"--print", "general", "a.w04", "--output", "p.pdf"}, Drawing},
        {{"--verify"}, Text},
        {{"--verify", "--output", "v.pdf"}, Drawing}, // its report is drawn
        {{"--output", "v.pdf", "--verify"}, Text},    // refused without the window library
        {{"--json", "a.w04"}, Text},
        {{"-h"}, Text},
        {{"a.w04", "--graph"}, Text},
        {{"--bogus"}, Text},
        {{"a.w04", "b.w04"}, Text},
    };
    for (const auto &c : cases) {
        std::string line;
        for (const std::string &word : c.args)
            line += "'" + word + "' ";
        EXPECT_EQ(cli::KindOf(c.args), c.kind) << line;
    }
}
