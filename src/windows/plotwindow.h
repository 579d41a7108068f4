#pragma once
// A graph window: one drawing engine, its drawing surface, the right-button
// menu (options, print, close) and the round trip through the shared options
// dialog. Created hidden at start-up and kept for the whole run; a build
// fills it from the active study and shows it modally. The regression and
// residual graphs are the two kinds.
#include "render/graphbuild.h"
#include "render/plotengine.h"
#include "windows/recordedprinting.h"

#include <QWidget>

#include <memory>
#include <optional>

class QMenu;
class QPrinter;
class GraphOptionsDialog;
class UserDialogs;

class PlotWindow : public QWidget {
    Q_OBJECT
public:
    ~PlotWindow() override;

    render::Graph graph() const { return graph_; }
    const render::PlotEngine &engine() const { return engine_; }
    render::PlotEngine &engine() { return engine_; }
    const PlotState &state() const { return engine_.state(); }
    PlotState &state() { return engine_.state(); }

    void SetTitle(const QString &text) { engine_.SetTitle(text); }
    void SetXLabel(const QString &text) { engine_.SetXLabel(text); }
    void SetYLabel(const QString &text) { engine_.SetYLabel(text); }
    QString title() const { return state().title; }
    QString xLabel() const { return state().xLabel; }
    QString yLabel() const { return state().yLabel; }

    // The build after its computation: refills the curves from the outcome.
    // False, with the user told why and the graph as it was, when the points
    // give limits no drawing can show.
    bool build(const stats::CommandOutcome &outcome, const stats::StudyTexts &study);
    // Shows the window modally; returns once it is closed.
    void showModally();

    // The options command: fill the dialog from the graph, show it modally
    // and, when it closes with OK, take the values back and redraw.
    void showOptions();
    // Its two halves, for whoever needs them apart.
    void fillOptions();
    // Converts the four limits before anything is taken: a limit that is
    // not a number throws stats::ConversionError and limits no drawing can
    // show are refused with a message; either way nothing changes and the
    // answer is false.
    bool takeOptions();

    // The printed page: landscape, the print dialog, one page, with the
    // identification line of the study `origin` names.
    void printGraph();
    void setStudyOrigin(StudyOrigin origin) { origin_ = std::move(origin); }
    void closeGraph();
    void recalculateLimits();

    QWidget *plotterBox() const { return plotterBox_; }
    QMenu *popupMenu() const { return popup_; }
    // The regression graph's option: the quadratic model's curve beside the
    // line (off until the user asks for it).
    void setShowsQuadratic(bool shows);
    bool showsQuadratic() const { return showsQuadratic_; }
    // The printer the window prints with; it stays landscape once printed.
    QPrinter *printer() const { return printer_.get(); }

signals:
    void closed();

protected:
    // The caption and the suffix of the controls' object names ("PlotterBox1",
    // "Opc1", ...) are the graph kind's.
    PlotWindow(render::Graph graph, GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent);

    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const render::Graph graph_;
    render::PlotEngine engine_;
    GraphOptionsDialog &options_;
    UserDialogs &dialogs_;
    QWidget *plotterBox_ = nullptr;
    QMenu *popup_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    StudyOrigin origin_;
    std::string analyst_, method_; // of the study the graph was built from
    bool showsQuadratic_ = false;
    // What the last build drew, to draw it again with or without the curve.
    std::optional<stats::CommandOutcome> built_;
    stats::StudyData builtStudy_;
};
