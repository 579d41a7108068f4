#pragma once
// The regression graph window: observations and fitted line of the active
// study. Created hidden at start-up and kept for the whole run, so its title
// and axis labels carry over from one study to the next. Its right-button
// menu opens the shared options dialog on this graph's state.
#include "render/plotstate.h"

#include <QWidget>

class QMenu;
class GraphOptionsDialog;
class UserDialogs;

class RegressionGraphWindow : public QWidget {
    Q_OBJECT
public:
    RegressionGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent = nullptr);

    // Opening a study file gives the graph the file's titles.
    void SetTitle(const QString &text);
    void SetXLabel(const QString &text);
    void SetYLabel(const QString &text);
    QString title() const { return state_.title; }
    QString xLabel() const { return state_.xLabel; }
    QString yLabel() const { return state_.yLabel; }

    const PlotState &state() const { return state_; }
    PlotState &state() { return state_; }

    // The options command: fill the dialog from the graph, show it modally
    // and, when it closes with OK, take the values back and redraw. A limit
    // text that is not a number goes to the general error report.
    void OpcClick();
    // Its two halves, for whoever needs them apart.
    void fillOptions();
    // Throws stats::ConversionError at the first limit that is not a number;
    // what was taken before it stays taken.
    void takeOptions();

    void CrrClick();

    QWidget *plotterBox() const { return plotterBox_; }
    QMenu *popupMenu() const { return popup_; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    GraphOptionsDialog &options_;
    UserDialogs &dialogs_;
    PlotState state_;
    QWidget *plotterBox_ = nullptr;
    QMenu *popup_ = nullptr;
};
