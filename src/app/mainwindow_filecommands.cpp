// The frame's study commands: New, Open, Save, Save as, Close, Exit and the
// prediction command, and the rules that run when child windows close.
#include "app/mainwindow.h"
#include "cli/importpoints.h"
#include "cli/linfile.h"
#include "cli/atomicfile.h"
#include "stats/studyfile.h"
#include "widgets/userdialogs.h"
#include "windows/graphoptionsdialog.h"
#include "windows/objectnames.h"
#include "windows/predictionwindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/residualgraphwindow.h"
#include "windows/sampleswindow.h"
#include "windows/studyeditor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const QString kNewCaption = QStringLiteral("Nuevo");
const QString kFilter = QStringLiteral("Tolvek v. w3.0 (*.w04)");
const QString kSuffix = QStringLiteral("w04");
const QString kLinFilter = QStringLiteral("Estudio de varias series (*.lin)");
const QString kLinSuffix = QStringLiteral("lin");
const QString kImportFilter = QStringLiteral("Puntos de un estudio (*.csv *.txt);;Todos los archivos (*)");

// The prediction window's state and the graph titles a .lin study keeps.
stats::StudyFile editorStateOf(const stats::SeriesStudy &study)
{
    stats::StudyFile file;
    if (study.editor)
        stats::CopyEditorState(*study.editor, file);
    return file;
}

bool sameEditorState(const stats::StudyFile &a, const stats::StudyFile &b)
{
    return a.predictionSlope == b.predictionSlope && a.predictionIntercept == b.predictionIntercept &&
           a.predictionCount == b.predictionCount && a.predictionX == b.predictionX &&
           a.predictionY == b.predictionY && a.title == b.title && a.xLabel == b.xLabel && a.yLabel == b.yLabel;
}

// Stored where the study had one or the windows changed since it opened: a
// .lin file from elsewhere gains no member for nothing.
void storeEditorState(stats::SeriesStudy &study, const stats::StudyFile &state, const stats::StudyFile &atOpen)
{
    if (!study.editor && sameEditorState(state, atOpen))
        return;
    stats::CopyEditorState(state, study.editor ? *study.editor : study.editor.emplace());
}

// The hourglass for as long as a file command works.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

} // namespace

StudyEditor *MainWindow::createEditor()
{
    auto *editor = new StudyEditor(*this, separator_);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow *sub = mdi_->addSubWindow(editor);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    editor_ = editor;
    // The pop-up menu has no window of its own to show its hints: the status line does.
    connect(editor->popupMenu(), &QMenu::hovered, this, [this](QAction *entry) { showHint(entry->statusTip()); });
    connect(editor->popupMenu(), &QMenu::aboutToHide, this, [this] { showHint(QString()); });
    // The editor's pop-up entries run the frame's commands of the same meaning.
    connect(editor->popupAction(objectnames::pmnupredice), &QAction::triggered, this,
            &MainWindow::showPredictions);
    QStringList popups = {objectnames::pmnuinferencia, objectnames::pmnuanova, objectnames::pmnuresid,
                          objectnames::pmnueesc,      objectnames::pmnugraph, objectnames::pmnugraphr};
    for (const cli::AnalysisModule &module : cli::AnalysisModules())
        if (module.popup)
            popups << QLatin1Char('p') + QLatin1String(module.menuEntry);
    for (const QString &name : popups)
        if (QAction *twin = action(name.mid(1)))
            connect(editor->popupAction(name), &QAction::triggered, twin, &QAction::trigger);
    return editor;
}

void MainWindow::newStudy()
{
    if (editor_)
        return;
    StudyEditor *editor = createEditor();
    editor->setWindowTitle(kNewCaption);
    studyFile_.clear();
    editor->show();
    applyStates(CommandEvent::NewStudy);
    followStudyNow();
}

void MainWindow::openStudy()
{
    if (editor_)
        return;
    const QString path =
        dialogs_.openFileName(this, QStringLiteral("Abrir archivo"), kFilter + ";;" + kLinFilter, kSuffix);
    if (!path.isEmpty())
        openStudyFile(path);
}

void MainWindow::importStudy()
{
    if (editor_)
        return;
    const QString path = dialogs_.openFileName(this, QStringLiteral("Importar puntos"), kImportFilter,
                                               QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    WaitCursor wait;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const std::string bytes = stats::ReadFileBytes(QFile::encodeName(path).toStdString());
        const stats::SeriesStudy study = cli::ImportPoints(bytes, {});
        studyFile_.clear();
        // Saved beside the spreadsheet's text, under its name, as .lin.
        const QFileInfo text(path);
        saveDialogFileName_ = text.absoluteDir().filePath(text.completeBaseName() + "." + kLinSuffix);
        source_ = {};
        openSeriesStudy(study, kNewCaption);
        // Imported, not saved: the save commands are there at once.
        setStudyMark(StudyMark::Modified);
        applyStates(CommandEvent::DataGridEntered);
    });
}

void MainWindow::openSeriesStudy(const stats::SeriesStudy &study, const QString &caption)
{
    StudyEditor *editor = createEditor();
    editor->loadSeriesStudy(study);
    loadWindowState(editorStateOf(study));
    stateAtOpen_ = withWindowState({});
    editor->setWindowTitle(caption);
    editor->show();
    applyStates(CommandEvent::OpenStudy);
    followStudyNow();
}

void MainWindow::openStudyFile(const QString &path)
{
    if (editor_)
        return;
    WaitCursor wait;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        // Everything is read before anything is filled: a bad file changes nothing.
        const std::string bytes = stats::ReadFileBytes(path.toStdString());
        if (cli::IsLinPath(path.toStdString())) {
            const stats::SeriesStudy study = cli::ParseLinFile(bytes);
            const QString fullPath = QFileInfo(path).absoluteFilePath();
            saveDialogFileName_ = fullPath;
            studyFile_ = fullPath;
            source_ = cli::StudySource::ofFile(fullPath.toStdString(), bytes);
            openSeriesStudy(study, widgets::LiteralCaption(fullPath));
            return;
        }
        const stats::StudyFile file = stats::ParseStudyFile(bytes);
        const stats::StudyData study = stats::StudyFromFile(file);
        StudyEditor *editor = createEditor();
        editor->loadStudy(study);
        loadWindowState(file);
        const QString fullPath = QFileInfo(path).absoluteFilePath();
        editor->setWindowTitle(widgets::LiteralCaption(fullPath));
        saveDialogFileName_ = fullPath;
        studyFile_ = fullPath;
        source_ = cli::StudySource::ofFile(fullPath.toStdString(), bytes);
        editor->show();
        applyStates(CommandEvent::OpenStudy);
        followStudyNow();
    });
}

QString MainWindow::openStudyPath() const
{
    return editor_ ? studyFile_ : QString();
}

cli::StudySource MainWindow::studySource() const
{
    if (openStudyPath().isEmpty())
        return {};
    cli::StudySource source = source_;
    source.modified = mark_ == StudyMark::Modified;
    return source;
}

bool MainWindow::validateEditor()
{
    bool valid = false;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        if (editor_->holdsSeries()) {
            const std::optional<stats::SeriesStudy> study = editor_->seriesStudy();
            if (!study)
                return; // the editor said why
            const std::string problem = stats::SeriesStudyProblem(*study);
            if (!problem.empty())
                dialogs_.message(this, QString::fromStdString(problem));
            valid = problem.empty();
            return;
        }
        const stats::ValidationFailure failure = stats::ValidateStudy(*editor_);
        if (failure.failed)
            editor_->showValidationFailure(failure);
        valid = !failure.failed;
    });
    return valid;
}

// The prediction window's state and the graph titles of a study read.
void MainWindow::loadWindowState(const stats::StudyFile &file)
{
    if (windows_.predictions)
        windows_.predictions->loadFrom(file);
    for (PlotWindow *plot : std::initializer_list<PlotWindow *>{windows_.plot, windows_.residualPlot})
        if (plot && plot->engine().kind().takesFileTitles) {
            plot->SetTitle(QString::fromStdString(file.title));
            plot->SetXLabel(QString::fromStdString(file.xLabel));
            plot->SetYLabel(QString::fromStdString(file.yLabel));
        }
    // Save stores the options dialog's titles: they are the file's until
    // a graph's options are accepted, or a Save would drop them.
    if (windows_.options) {
        windows_.options->setTitleText(QString::fromStdString(file.title));
        windows_.options->setXLabelText(QString::fromStdString(file.xLabel));
        windows_.options->setYLabelText(QString::fromStdString(file.yLabel));
    }
}

stats::StudyFile MainWindow::withWindowState(stats::StudyFile file) const
{
    if (windows_.predictions)
        windows_.predictions->storeInto(file);
    if (windows_.options) {
        file.title = windows_.options->titleText().toStdString();
        file.xLabel = windows_.options->xLabelText().toStdString();
        file.yLabel = windows_.options->yLabelText().toStdString();
    }
    return file;
}

// A .lin path takes the study whole; a .w04 path takes a typed study, or a
// .lin one that fits the file (refused, saying why, when it does not).
bool MainWindow::writeStudy(const QString &path)
{
    return widgets::RunReportingErrors(dialogs_, this, [&] {
        const bool toLin = cli::IsLinPath(path.toStdString());
        std::optional<stats::SeriesStudy> lin;
        if (editor_->holdsSeries()) {
            lin = editor_->seriesStudy();
            if (!lin)
                throw stats::StudyRefusal("El estudio no se guardó.");
        }
        std::string bytes;
        if (toLin) {
            stats::SeriesStudy study =
                lin ? *lin : stats::SeriesStudyFromFile(withWindowState(stats::StudyFileFromTexts(*editor_)));
            storeEditorState(study, withWindowState({}), stateAtOpen_);
            bytes = cli::SerializeLinFile(study);
        } else if (lin) {
            if (const std::string misfit = stats::W04Misfit(*lin); !misfit.empty())
                throw stats::StudyRefusal(misfit);
            bytes = stats::SerializeStudyFile(withWindowState(stats::StudyFileFromSeries(*lin)));
        } else {
            bytes = stats::SerializeStudyFile(withWindowState(stats::StudyFileFromTexts(*editor_)));
        }
        cli::WriteFileAtomically(path.toStdString(), bytes);
        source_ = cli::StudySource::ofFile(QFileInfo(path).absoluteFilePath().toStdString(), bytes);
        // A typed study saved as .lin is a .lin study from now on: it may grow.
        if (toLin && !lin)
            editor_->loadSeriesStudy(cli::ParseLinFile(bytes));
    });
}

bool MainWindow::save()
{
    if (!editor_ || !validateEditor())
        return false;
    if (studyFile_.isEmpty()) {
        // An imported study proposes its spreadsheet's name, as .lin.
        if (!editor_->holdsSeries())
            saveDialogFileName_ = kNewCaption;
        return saveAs();
    }
    {
        WaitCursor wait;
        if (!writeStudy(studyFile_))
            return false;
    }
    setStudyMark(StudyMark::Unchanged);
    return true;
}

bool MainWindow::saveAs()
{
    if (!editor_ || !validateEditor())
        return false;
    // Both types are offered, the study's own first; a .w04 name is refused
    // for a study that does not fit one, and the dialog stays open.
    const bool series = editor_->holdsSeries();
    const QString filter = series ? kLinFilter + ";;" + kFilter : kFilter + ";;" + kLinFilter;
    const auto refusal = [this, series](const QString &name) {
        if (!series || cli::IsLinPath(name.toStdString()))
            return QString();
        const std::optional<stats::SeriesStudy> study = editor_->seriesStudy();
        return study ? QString::fromStdString(stats::W04Misfit(*study)) : QString();
    };
    const QString path = dialogs_.saveFileName(this, QStringLiteral("Guardar como"), filter,
                                               series ? kLinSuffix : kSuffix, saveDialogFileName_, refusal);
    if (path.isEmpty() || !writeStudy(path))
        return false;
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    saveDialogFileName_ = fullPath;
    studyFile_ = fullPath;
    editor_->setWindowTitle(widgets::LiteralCaption(fullPath));
    setStudyMark(StudyMark::Unchanged);
    return true;
}

bool MainWindow::saveStudy() { return save(); }

void MainWindow::editorClosed()
{
    // The closing editor still counts among the child windows here.
    const bool last = mdi_->subWindowList().size() == 1;
    editor_ = nullptr; // deleted later; no command may reach it any more
    applyStates(CommandEvent::EditorClosed);
    if (last)
        applyStates(CommandEvent::EditorClosedLast);
}

void MainWindow::closeActiveWindow()
{
    QMdiSubWindow *active = mdi_->activeSubWindow();
    if (!active)
        return;
    const bool isEditor = editor_ && active->widget() == editor_;
    if (!active->close() || !isEditor)
        return; // a result window, or an editor kept open by its close question
    applyStates(CommandEvent::CloseUsedOnEditor);
}

void MainWindow::exitApplication() { close(); }

void MainWindow::closeEvent(QCloseEvent *event)
{
    // Each samples window with samples not saved asks first, then the
    // editor; whatever the user asked to keep but could not be saved keeps
    // the application open.
    const QList<QMdiSubWindow *> children = mdi_->subWindowList(QMdiArea::StackingOrder);
    for (auto it = children.crbegin(); it != children.crend(); ++it) { // the one in front first
        auto *samples = qobject_cast<SamplesWindow *>((*it)->widget());
        if (!samples || !samples->hasUnsavedSamples())
            continue;
        mdi_->setActiveSubWindow(*it); // the question is about the window in front
        if (!samples->askToSaveSamples()) {
            event->ignore();
            return;
        }
    }
    if (editor_) {
        QMdiSubWindow *sub = qobject_cast<QMdiSubWindow *>(editor_->parentWidget());
        if (sub && !sub->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit closed();
}

void MainWindow::resultWindowClosed(bool wasLast)
{
    if (wasLast)
        applyStates(CommandEvent::ResultClosedLast);
}

void MainWindow::showPredictions()
{
    if (!editor_ || !windows_.predictions || !validateEditor())
        return;
    std::optional<stats::RegressionResult> regression;
    bool computed = false;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        stats::CommandOutcome outcome;
        const stats::StudyAnalysis analysis = analyzeEditor();
        if (stats::Validated(analysis, outcome))
            if (const stats::RegressionResult *r = stats::Require(analysis.regression(), outcome))
                regression = *r;
        computed = true;
    });
    if (!computed)
        return;
    // Without a slope there is no coefficient of determination to show.
    if (!regression) {
        dialogs_.message(this, QString::fromUtf8(stats::kZeroSlopeMessage));
        return;
    }
    windows_.predictions->showEquation(*regression);
    dialogs_.showModal(*windows_.predictions);
}
