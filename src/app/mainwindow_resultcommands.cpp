// The calculation commands: the study analysed, the refusal the command
// meets (validation, zero slope, an error), then a new child window filled
// once with text, or a graph window built and shown modally.
#include "windows/studyeditor.h"
#include "app/mainwindow.h"
#include "widgets/userdialogs.h"
#include "widgets/windowplacement.h"
#include "stats/errors.h"
#include "stats/studyfile.h"
#include "windows/acceptancelimitsdialog.h"
#include "windows/anovawindow.h"
#include "windows/criteriawindow.h"
#include "windows/sampleswindow.h"
#include "windows/inferencewindow.h"
#include "windows/documentwindow.h"
#include "windows/reportwindow.h"
#include "windows/residualswindow.h"
#include "windows/resultwindow.h"
#include "windows/studyeditor.h"
#include "windows/systematicerrorwindow.h"
#include "windows/weightingwindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/residualgraphwindow.h"
#include "windows/profilegraphwindow.h"
#include "windows/profilewindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

bool MainWindow::showRefusal(const stats::CommandOutcome &outcome)
{
    if (outcome.validation.failed)
        editor_->showValidationFailure(outcome.validation);
    else if (outcome.zeroSlope)
        dialogs_.message(this, QString::fromUtf8(stats::kZeroSlopeMessage));
    return outcome.validation.failed || outcome.zeroSlope;
}

stats::StudyAnalysis MainWindow::analyzeEditor() const
{
    return stats::Analyze(editor_->evaluatedStudy(), {.decimalSeparator = separator_,
                                     .criteria = {.target = std::nullopt, .limits = windows::StoredAcceptanceLimits()}});
}

void MainWindow::runResultCommand(ResultCommand command,
                                  const std::function<QWidget *(const stats::CommandOutcome &)> &makeWindow)
{
    if (!editor_)
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const stats::StudyAnalysis analysis = analyzeEditor();
        stats::CommandOutcome outcome = command(analysis);
        if (showRefusal(outcome))
            return;
        // A .lin study's series and the points left out end the text, as
        // they end the command's output.
        if (const stats::SeriesNote *note = analysis.texts.seriesNote(); note && !outcome.lines.empty())
            for (std::string &line : stats::SeriesNoteLines(*note))
                outcome.lines.push_back(std::move(line));
        addResultWindow(makeWindow(outcome));
    });
}

void MainWindow::showInference()
{
    runResultCommand(stats::InferenceOutcome, [](const stats::CommandOutcome &o) { return new InferenceWindow(o.lines); });
}

void MainWindow::showAnova()
{
    runResultCommand(stats::AnovaOutcome, [](const stats::CommandOutcome &o) { return new AnovaWindow(o.grid, o.lines); });
}

void MainWindow::showResiduals()
{
    runResultCommand(stats::ResidualsOutcome, [](const stats::CommandOutcome &o) { return new ResidualsWindow(o.columns); });
}

void MainWindow::showSystematicError()
{
    runResultCommand(stats::SystematicErrorOutcome, [](const stats::CommandOutcome &o) { return new SystematicErrorWindow(o.lines); });
}

void MainWindow::showReport()
{
    runResultCommand(stats::ReportOutcome, [](const stats::CommandOutcome &o) { return new ReportWindow(o.lines); });
}

// The criteria window follows the study in the editor: a T typed later, new
// limits or a change to the study judge it again.
void MainWindow::showCriteria()
{
    if (!editor_)
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const stats::StudyAnalysis analysis = analyzeEditor();
        if (showRefusal(stats::CriteriaOutcome(analysis)))
            return;
        addResultWindow(
            new CriteriaWindow(editorStudy(), *analysis.criteria().value, separator_, dialogs_, windows_.help));
    });
}

// The weighting window follows the study in the editor too: another weight
// chosen there weighs it again.
void MainWindow::showWeighting()
{
    if (!editor_)
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const stats::StudyAnalysis analysis = analyzeEditor();
        if (showRefusal(stats::WeightingOutcome(analysis)))
            return;
        addResultWindow(new WeightingWindow(editorStudy(), *analysis.weighting().value, separator_, dialogs_));
    });
}

void MainWindow::showAnalysis(const cli::AnalysisModule &module)
{
    // The evaluations whose windows take input of their own.
    static const std::pair<std::string_view, void (MainWindow::*)()> kOwnWindows[] = {
        {"criteria", &MainWindow::showCriteria},
        {"weighting", &MainWindow::showWeighting},
        {"samples", &MainWindow::showSamples},
        {"profile", &MainWindow::showProfile},
    };
    for (const auto &[id, show] : kOwnWindows)
        if (module.id == id)
            return (this->*show)();
    runResultCommand(module.outcome, [this, &module](const stats::CommandOutcome &o) {
        return new DocumentWindow(module, o.lines, editorStudy(), separator_);
    });
}

// The samples window follows the study in the editor, like the criteria window.
void MainWindow::showSamples()
{
    if (!editor_)
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        if (showRefusal(stats::SamplesOutcome(analyzeEditor())))
            return;
        addResultWindow(new SamplesWindow(editorStudy(), separator_, dialogs_));
    });
}

void MainWindow::showProfile()
{
    if (!editor_)
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        std::optional<stats::SeriesStudy> whole;
        if (editor_->holdsSeries() && !(whole = editor_->seriesStudy()))
            return; // the editor said why
        auto *window = new ProfileWindow(whole ? *whole : stats::SeriesStudy(), separator_, dialogs_);
        window->setGraphHandler([this](const stats::StudyAnalysis &analysis) { showProfileGraph(analysis); });
        addResultWindow(window);
    });
}

void MainWindow::showProfileGraph(const stats::StudyAnalysis &analysis)
{
    PlotWindow *window = windows_.profilePlot;
    if (!window)
        return;
    bool built = false;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const stats::CommandOutcome outcome = stats::ProfileGraphOutcome(analysis);
        if (showRefusal(outcome))
            return;
        built = window->build(outcome, analysis.texts);
    });
    if (built)
        window->showModally();
}

stats::StudyData MainWindow::editorStudy() const
{
    // Shaped as its file would hold it; as typed where it cannot be (a level
    // count that is not a whole number), for the windows' validation to say why.
    try {
        if (editor_->holdsSeries())
            return editor_->evaluatedStudy();
        return stats::StudyFromFile(stats::StudyFileFromTexts(*editor_));
    } catch (const stats::CommandError &) {
        return stats::SnapshotOf(*editor_);
    }
}

void MainWindow::followStudyNow()
{
    studyFollow_->stop();
    if (!editor_)
        return; // the windows keep the study that was closed; nothing prints without one
    const stats::StudyData study = editorStudy();
    // The profile takes every series: the whole study, as far as it is one.
    const std::optional<stats::SeriesStudy> whole = editor_->currentSeriesStudy();
    applyProfileRule();
    for (QMdiSubWindow *sub : mdi_->subWindowList()) {
        if (auto *profile = qobject_cast<ProfileWindow *>(sub->widget())) {
            if (whole)
                profile->wholeStudyChanged(*whole);
            continue;
        }
        if (auto *result = qobject_cast<ResultWindow *>(sub->widget())) {
            result->studyChanged(study);
            if (result->followsStudy())
                result->setSeries(study.seriesNote());
        }
    }
}

void MainWindow::showGraph(PlotWindow *window)
{
    if (!editor_ || !window)
        return;
    bool built = false;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const stats::CommandOutcome outcome = window->engine().kind().compute(analyzeEditor());
        if (showRefusal(outcome))
            return;
        built = window->build(outcome, editorStudy());
    });
    if (built)
        window->showModally();
}

void MainWindow::showRegressionGraph() { showGraph(windows_.plot); }
void MainWindow::showResidualGraph() { showGraph(windows_.residualPlot); }

QMdiSubWindow *MainWindow::addResultWindow(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->installEventFilter(this); // the last-window rule when it closes
    if (auto *result = qobject_cast<ResultWindow *>(window)) {
        // The profile names every series itself.
        if (editor_ && editor_->holdsSeries() && !qobject_cast<ProfileWindow *>(window))
            result->setSeries(editorStudy().seriesNote());
        const ResultWindowLook &look = result->look();
        if (look.sizeIsClient) {
            sub->adjustSize(); // the window's size hint is the described client size
        } else {
            // A window that scrolls starts large enough for its contents,
            // where the area has room, and no larger than the area.
            sub->resize(look.fixedSize ? look.size
                                       : look.size.expandedTo(sub->sizeHint()).boundedTo(mdi_->viewport()->size()));
        }
        if (look.fixedSize) {
            // Never smaller than what it shows.
            sub->resize(sub->size().expandedTo(sub->sizeHint()));
            widgets::SetKeepsSize(sub, look.dialogBorder);
        }
        widgets::PlaceNewSubWindow(mdi_, sub, look.centred);
    }
    sub->show();
    return sub;
}
