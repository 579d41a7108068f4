#pragma once
// The application's multiple-document frame: menus, tool bar, status bar,
// the study editor and the result windows as child windows, the file
// commands, and the enabling of every command.
#include "app/commandenabling.h"
#include "cli/analysismodules.h"
#include "cli/printrecord.h"
#include "stats/outcomes.h"
#include "windows/studyeditor.h"
#include "windows/studyeditorhost.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QTimer;
class PredictionWindow;
class GraphOptionsDialog;
class PlotWindow;
class RegressionGraphWindow;
class ResidualGraphWindow;
class ProfileGraphWindow;
class SplashWindow;
class PrintOptionsWindow;
class HelpViewer;
class UserDialogs;

class MainWindow : public QMainWindow, public StudyEditorHost {
    Q_OBJECT
public:
    MainWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The windows that live for the whole run, created after the frame in
    // the start-up order; the frame uses them, it does not own them.
    struct SingleWindows {
        GraphOptionsDialog *options = nullptr;
        RegressionGraphWindow *plot = nullptr;
        ResidualGraphWindow *residualPlot = nullptr;
        ProfileGraphWindow *profilePlot = nullptr;
        SplashWindow *splash = nullptr;
        PrintOptionsWindow *printOptions = nullptr;
        PredictionWindow *predictions = nullptr;
        HelpViewer *help = nullptr;
    };
    void setSingleWindows(const SingleWindows &windows);

    QAction *action(const QString &objectName) const;
    StudyEditor *editor() const { return editor_; }
    QMdiArea *mdiArea() const { return mdi_; }
    QString statusLineText() const;
    // The long part of a hint, in the status line.
    void showHint(const QString &hint);

    // Where the study in the editor is stored; empty for none or a new one.
    QString openStudyPath() const;
    // Which file the study in the editor is, as it was read or last saved,
    // and whether it was changed since: what its printouts identify.
    cli::StudySource studySource() const;

    // Opens `path` as the Open command does after its dialog.
    void openStudyFile(const QString &path);

    // The commands of the menus and the tool bar, named for what they do;
    // the tables in mainwindow.cpp give each its entries' object names
    // (objectnames.h), which the enabling table and the help speak of.
    void newStudy();
    void openStudy();
    void importStudy();
    bool save();
    bool saveAs();
    void closeActiveWindow();
    void exitApplication();
    void tileWindows();
    void cascadeWindows();
    void showHelpContents();
    void searchHelp();
    void showHowToUseHelp();
    void showAbout();
    void verifyInstallation();
    void evaluateArchive();
    void showPredictions();
    void showInference();
    void showAnova();
    void showResiduals();
    void showSystematicError();
    void showReport();
    // An evaluation of the registry: in its own window where it has one.
    void showAnalysis(const cli::AnalysisModule &module);
    void showCriteria();
    void showWeighting();
    void printReports();
    void showRegressionGraph();
    void showResidualGraph();
    void showSamples();
    // The accuracy profile of every series of the study in the editor; its
    // graph, of the analysis its window shows.
    void showProfile();
    void showProfileGraph(const stats::StudyAnalysis &analysis);

    // Adds a result window as a child and applies the last-window rule when it closes.
    QMdiSubWindow *addResultWindow(QWidget *window);

    // The windows that follow the study in the editor (criteria, weighting,
    // quadratic model, samples) computed with it now, rather than once the
    // analyst has paused typing.
    void followStudyNow();

    // StudyEditorHost
    StudyMark studyMark() const override { return mark_; }
    void setStudyMark(StudyMark mark) override;
    // What the status panel `estado` shows of the mark.
    QString modifiedText() const;
    void dataGridEntered() override;
    void dataGridKeyTyped(bool inLastCell) override;
    bool saveStudy() override;
    void editorClosed() override;
    UserDialogs &dialogs() override { return dialogs_; }

    // The help topic of the window or menu entry the user is in.
    int currentHelpContext() const;

signals:
    // The frame has closed: the application ends.
    void closed();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    QAction *makeAction(const QString &name, const QString &caption, const QString &hint, int helpContext = 0);
    void applyStates(CommandEvent event);
    // The profile's entries go with the other calculations, and only for a
    // study with validation standards in two series or more.
    void applyProfileRule();
    StudyEditor *createEditor();
    bool validateEditor();
    bool writeStudy(const QString &path);
    stats::StudyFile withWindowState(stats::StudyFile file) const;
    void loadWindowState(const stats::StudyFile &file);
    void openSeriesStudy(const stats::SeriesStudy &study, const QString &caption);
    // A result window has closed; `wasLast` when it was the last child window.
    void resultWindowClosed(bool wasLast);
    void showGraph(PlotWindow *window);
    stats::Target criteriaTarget() const;
    stats::WeightingOptions weightChoice() const;
    // The study in the editor as the windows that follow it keep it.
    stats::StudyData editorStudy() const;
    // A study the command refused: the editor shows the validation's message,
    // or the zero slope is told. True when refused.
    bool showRefusal(const stats::CommandOutcome &outcome);
    // The study in the editor analysed now, with the stored acceptance limits.
    stats::StudyAnalysis analyzeEditor() const;
    using ResultCommand = stats::CommandOutcome (*)(const stats::StudyAnalysis &);
    void runResultCommand(ResultCommand command,
                          const std::function<QWidget *(const stats::CommandOutcome &)> &makeWindow);

    UserDialogs &dialogs_;
    const char separator_;
    QMdiArea *mdi_ = nullptr;
    QLabel *statusLine_ = nullptr;
    QLabel *paneld_ = nullptr;
    QLabel *estado_ = nullptr;
    QPointer<StudyEditor> editor_;
    SingleWindows windows_;
    QString saveDialogFileName_ = QStringLiteral("Nuevo");
    QString studyFile_; // where the study in the editor is stored; empty for a new one
    StudyMark mark_ = StudyMark::Unchanged;
    cli::StudySource source_; // the file as last read or written
    stats::StudyFile stateAtOpen_; // the predictions and graph titles as a .lin study opened with them
    bool helpKeyPressed_ = false;
    QTimer *studyFollow_ = nullptr; // a change to the study, not yet given to the windows
    QMdiSubWindow *closing_ = nullptr; // a result window whose close is being delivered
};
