// The evaluations' rows: each reaches every list written from it, and
// what each shows is the one document its text and its page read.
#include "cli/analysismodules.h"
#include "cli/linfile.h"
#include "cli/batch.h"
#include "cli/batchsummary.h"
#include "cli/commandregistry.h"
#include "cli/outputs.h"
#include "cli/resultsjson.h"
#include "support/studies.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include <algorithm>
#include <set>

namespace {

bool contains(const std::vector<std::string> &list, std::string_view word)
{
    return std::find(list.begin(), list.end(), word) != list.end();
}

TEST(AnalysisModules, EachRowReachesItsOutputsCommandBatchFormatAndHelp)
{
    std::set<std::string> ids, commands, entries;
    const std::string help = cli::HelpText();
    for (const cli::AnalysisModule &m : cli::AnalysisModules()) {
        SCOPED_TRACE(std::string(m.id));
        EXPECT_TRUE(ids.insert(std::string(m.id)).second);
        EXPECT_TRUE(commands.insert(m.command).second);
        EXPECT_TRUE(entries.insert(m.menuEntry).second);
        EXPECT_EQ(m.command, "--" + std::string(m.id));
        EXPECT_EQ(cli::AnalysisModuleNamed(m.command), &m);

        const cli::Output &text = cli::OutputNamed(m.id);
        EXPECT_EQ(text.kind, cli::OutputKind::Text);
        EXPECT_EQ(text.suffix, m.textSuffix);
        const cli::Output &page = cli::OutputNamed("page-" + std::string(m.id));
        EXPECT_EQ(page.kind, cli::OutputKind::Drawn);
        EXPECT_EQ(page.suffix, m.pageSuffix);

        // Written by a batch run when it has a name there, its page with "pages".
        EXPECT_EQ(contains(cli::BatchFormats(), m.id), !m.textSuffix.empty());
        cli::BatchRequest asked;
        asked.formats = {"pages", std::string(m.id)};
        const auto pages = cli::BatchOutputs("pages", asked);
        EXPECT_EQ(std::count(pages.begin(), pages.end(), &page), m.pageSuffix.empty() ? 0 : 1);

        const cli::Command *command = cli::FindCommand(m.command);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->kind, cli::CommandKind::Text);
        EXPECT_NE(help.find(m.help), std::string::npos);
        EXPECT_NE(help.find(m.printHelp), std::string::npos);
        EXPECT_NE(cli::UsageLines("--print").find("|" + std::string(m.id)), std::string::npos);
        EXPECT_EQ(contains(command->options, "--target"), (m.options & cli::TakesTarget) != 0);
        EXPECT_EQ(contains(command->options, "--limits"), (m.options & cli::TakesLimits) != 0);
        EXPECT_EQ(contains(command->options, "--weight"), (m.options & cli::TakesWeight) != 0);
        EXPECT_EQ(contains(command->options, "--confidence"), (m.options & cli::TakesSamples) != 0);
    }
    EXPECT_EQ(cli::AnalysisModuleNamed("report"), nullptr);
    EXPECT_EQ(cli::AnalysisModuleNamed("page-general"), nullptr);
}

TEST(AnalysisModules, WhatTheCommandPrintsIsTheDocumentAsText)
{
    const stats::StudyAnalysis analysis = stats::Analyze(testing_studies::anovaStudy(), {});
    for (const cli::AnalysisModule &m : cli::AnalysisModules()) {
        SCOPED_TRACE(std::string(m.id));
        const stats::CommandOutcome outcome = m.outcome(analysis);
        ASSERT_FALSE(outcome.refused());
        ASSERT_FALSE(outcome.document.blocks.empty());
        EXPECT_FALSE(outcome.document.pageTitle.empty());
        EXPECT_EQ(outcome.lines, stats::TextOf(outcome.document));
    }
}

// Each evaluation's columns stand after the line's and read its own part of
// the object --json writes: on a study that has every result, every column
// that --json fills has a value, and a verdict is never shown as its id.
TEST(AnalysisModules, EachSummaryColumnReadsItsEvaluationsPartOfTheJson)
{
    // The accuracy profile needs a study of several series: one whose every
    // level passes wide limits.
    std::ifstream lin(TEST_DATA_DIR "/perfil.lin", std::ios::binary);
    stats::AnalysisOptions options;
    options.wholeStudy = std::make_shared<const stats::SeriesStudy>(
        cli::ParseLinFile(std::string(std::istreambuf_iterator<char>(lin), {})));
    options.profile.lambda = 60;
    const stats::StudyAnalysis analysis = stats::Analyze(testing_studies::anovaStudy(), options);
    const cli::JsonOutcome json = cli::ResultsJson(analysis);
    ASSERT_FALSE(json.refused);
    cli::SummaryRow row;
    cli::FillResultColumns(row, 0, "", json.object);
    const std::vector<cli::SummaryColumn> &columns = cli::SummaryColumns();
    const std::vector<std::string> person = cli::SummaryCellsForPerson(row, ',');
    std::set<std::string> keys;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        SCOPED_TRACE(columns[c].key);
        EXPECT_TRUE(keys.insert(columns[c].key).second);
        if (!columns[c].json)
            continue;
        EXPECT_FALSE(row.values.at(c - 4).empty());
        if (columns[c].kind == cli::SummaryKind::Verdict && columns[c].words.size() > 1) {
            EXPECT_NE(person.at(c), row.values.at(c - 4));
        }
    }
    // A verdict without words of its own (a weight) is shown as itself.
    const auto weight = std::find_if(columns.begin(), columns.end(),
                                     [](const cli::SummaryColumn &c) { return c.key == std::string("ponderacion"); });
    ASSERT_NE(weight, columns.end());
    row.values.at(static_cast<std::size_t>(weight - columns.begin()) - 4) = "1/x^2";
    EXPECT_EQ(cli::SummaryCellsForPerson(row, ',').at(static_cast<std::size_t>(weight - columns.begin())), "1/x^2");
    for (const cli::AnalysisModule &m : cli::AnalysisModules()) {
        SCOPED_TRACE(std::string(m.id));
        cli::JsonObject own;
        m.json(analysis, own);
        for (const cli::SummaryColumn &column : m.summary) {
            const std::string_view path = column.json;
            EXPECT_TRUE(own.contains(path.substr(0, path.find('/'))));
            EXPECT_NE(std::find_if(columns.begin(), columns.end(),
                                   [&](const cli::SummaryColumn &c) { return c.key == std::string(column.key); }),
                      columns.end());
        }
    }
}

TEST(Documents, TextShowsWhatIsItsOwnWithHeadingsInCapitals)
{
    const stats::Document document = {
        .textTitle = "  TÍTULO",
        .pageTitle = "Título",
        .blocks = {
            {.lines = {"uno"}},
            {.heading = "Cálculo Inverso y Señal de Pingüino ÷", .cells = {{"a", "bb"}, {"ccc", "d"}}},
            {.lines = {"solo en la página"}, .shownIn = stats::ShownIn::PageOnly},
            {.heading = "Sensibilidad E(x)", .textHeading = "SENSIBILIDAD E(x)", .lines = {"dos"}},
            {.lines = {"solo en el texto"}, .shownIn = stats::ShownIn::TextOnly},
        }};
    const stats::Lines expected = {"  TÍTULO", " ", "uno", " ", "CÁLCULO INVERSO Y SEÑAL DE PINGÜINO ÷", " ",
                                   "a    bb", "ccc  d", " ", "SENSIBILIDAD E(x)", " ", "dos", " ",
                                   "solo en el texto"};
    EXPECT_EQ(stats::TextOf(document), expected);
    // Without a title the text starts with its first block, no blank above.
    EXPECT_EQ(stats::TextOf({.pageTitle = "P", .blocks = {{.lines = {"sin modelo"}}}}), stats::Lines{"sin modelo"});
}

} // namespace
