// The weighting window shows what the engine computed, table for table; a
// weight chosen in its list weighs the line again and nothing else changes.
#include "stats/outcomes.h"
#include "stats/studyfile.h"
#include "stats/weightingtexts.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "windows/weightingwindow.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QtTest>

namespace {

const stats::StudyData kStudy =
    stats::StudyFromFile(stats::ParseStudyFile(stats::ReadFileBytes(TEST_DATA_DIR "/worked-25obs.w04")));

QStringList lines(const stats::Lines &from)
{
    QStringList to;
    for (const std::string &line : from)
        to << QString::fromStdString(line);
    return to;
}

stats::WeightingResult computed(const stats::StudyData &study, std::optional<stats::Weight> weight = {})
{
    return *stats::Analyze(study, {.weighting = {weight}}).weighting().value;
}

// Everything the window shows against the engine's texts for `w`.
void expectShows(const WeightingWindow &window, const stats::WeightingResult &w)
{
    QCOMPARE(window.verdict()->text(), QString::fromStdString(stats::WeightingVerdictLine(w)));
    QCOMPARE(windows::TextLines(window.variance()), lines(stats::HomogeneityLines(w.homogeneity, '.')));
    QCOMPARE(shownRows(window.weights()), coreRows(stats::CandidateCells(w, '.')));
    QCOMPARE(window.weightChoice()->currentText(), QString::fromLatin1(stats::WeightId(w.chosen)));
    QCOMPARE(window.choice()->text(), QString::fromStdString(stats::ChoiceLine(w)));
    QCOMPARE(windows::TextLines(window.line()), lines(stats::WeightedLineLines(w, '.')));
    QCOMPARE(window.backCalculation()->isVisibleTo(&window), w.weighted.has_value());
    if (w.weighted) {
        QCOMPARE(shownRows(window.backCalculation()), coreRows(stats::WeightedBackCalculationCells(*w.weighted, '.')));
        QCOMPARE(shownRows(window.levelBias()), coreRows(stats::WeightedLevelBiasCells(*w.weighted, '.')));
    }
    QCOMPARE(shownRows(window.diagnostics()), coreRows(stats::DiagnosticCells(w, '.')));
    QCOMPARE(shownRows(window.grubbs()), coreRows(stats::GrubbsCells(w, '.')));
}

} // namespace

class WeightingWindowTest : public QObject {
    Q_OBJECT

    ScriptedDialogs dialogs;

private slots:
    void showsTheEnginesTablesAndAChosenWeightWeighsTheLineAgain()
    {
        const stats::WeightingResult first = computed(kStudy);
        QCOMPARE(first.diagnostics.size(), size_t(25));
        WeightingWindow window(kStudy, first, '.', dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        expectShows(window, first);
        // Each text box is as wide as its longest line in the font it is
        // drawn with, also once the window takes another font (the main
        // window's bold one, when it joins the workspace): no line is cut.
        QFont larger = window.font();
        larger.setBold(true);
        if (larger.pixelSize() > 0)
            larger.setPixelSize(larger.pixelSize() + 3);
        window.setFont(larger);
        for (QPlainTextEdit *box : {window.variance(), window.line()}) {
            const QFontMetrics metrics(box->font());
            const int room = box->viewport()->width() - 2 * static_cast<int>(box->document()->documentMargin());
            for (const QString &text : windows::TextLines(box))
                QVERIFY2(metrics.horizontalAdvance(text) <= room, qPrintable(text));
        }
        if (const QString shot = qEnvironmentVariable("WEIGHTING_WINDOW_SHOT"); !shot.isEmpty())
            window.resize(window.sizeHint()), window.grab().save(shot);

        // The eight weights in their order; 1/x chosen: the line of 1/x, by
        // the analyst's choice; the tests, the ranking and the diagnostics of
        // the study as they were.
        QCOMPARE(window.weightChoice()->count(), 8);
        window.weightChoice()->setCurrentText(QStringLiteral("1/x"));
        stats::WeightingResult chosen = first;
        const stats::WeightingResult byX = computed(kStudy, stats::Weight::InverseX);
        chosen.chosen = stats::Weight::InverseX;
        chosen.rule = stats::WeightRule::User;
        chosen.weighted = byX.weighted;
        expectShows(window, chosen);
        QVERIFY(window.choice()->text().contains(QStringLiteral("elegida por el analista")));
        QVERIFY(windows::TextLines(window.line()) != lines(stats::WeightedLineLines(first, '.')));

        // An edit of the study keeps the weight the analyst chose.
        stats::StudyData edited = kStudy;
        edited.dataGrid[0][2] += "1";
        window.studyChanged(edited);
        expectShows(window, computed(edited, stats::Weight::InverseX));
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
    }

    void aWeightTheStudyCannotTakeSaysWhyAndShowsNoLine()
    {
        // A blank level: no power of x can weigh it.
        const stats::StudyData blank = stats::StudyData::Shaped(
            {"2", "2", "2"}, {"0", "0", "1", "1", "2", "2"}, {"0.02", "-0.01", "1.01", "0.98", "2.03", "1.99"});
        WeightingWindow window(blank, computed(blank), '.', dialogs);
        window.weightChoice()->setCurrentText(QStringLiteral("1/x^2"));
        QCOMPARE(windows::TextLines(window.line()),
                 QStringList{"La ponderación 1/x^2 no se puede aplicar: una cantidad adicionada es cero o negativa."});
        QVERIFY(!window.backCalculation()->isVisibleTo(&window));
        window.weightChoice()->setCurrentText(QStringLiteral("none"));
        expectShows(window, computed(blank, stats::Weight::None));
    }
};

QTEST_MAIN(WeightingWindowTest)
#include "weightingwindow_test.moc"
