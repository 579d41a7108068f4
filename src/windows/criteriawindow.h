#pragma once
// The acceptance criteria of the study in the editor: T, which the user may
// set, the figures, the checks with their limits and results, the verdict,
// the back-calculation and the level biases. A T typed, new limits stored or
// a change to the study compute them again; the window shows only what the
// engine computed.
#include "stats/analysis.h"
#include "stats/criteria.h"
#include "stats/study.h"
#include "windows/resultwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class HelpViewer;
class UserDialogs;

class CriteriaWindow : public ResultWindow {
    Q_OBJECT
public:
    // `study` has passed the criteria command; `criteria` is what it computed.
    CriteriaWindow(stats::StudyData study, const stats::CriteriaResult &criteria, char decimalSeparator,
                   UserDialogs &dialogs, HelpViewer *help = nullptr, QWidget *parent = nullptr);

    QLineEdit *target() const { return ecantidad_; }
    QPushButton *limitsButton() const { return btnlimites_; }
    QPlainTextEdit *figures() const { return mmcifras_; }
    QTableWidget *checks() const { return stgcriterios_; }
    QLabel *verdict() const { return Ldictamen_; }
    QTableWidget *backCalculation() const { return stginverso_; }
    QTableWidget *levelBias() const { return stgsesgo_; }
    const stats::CriteriaResult &criteria() const { return criteria_; }
    // The T the user set, which the printed criteria page uses too; none
    // while the mean of the levels is used.
    stats::Target userTarget() const { return criteria_.userTarget(); }

    // The limits dialog; accepting it computes every open window again.
    void editLimits();

    // The whole of its contents: what shows them without scrolling.
    QSize sizeHint() const override;

    void studyChanged(const stats::StudyData &study) override;
    bool followsStudy() const override { return true; }

private:
    // The T typed: empty is the mean of the levels; a text that is not a
    // number greater than zero is told and the last good T stays.
    void targetEdited();
    // Computes with `target` and the stored limits; false, with the error
    // told and the window as it was, when the computation fails.
    bool recompute(const stats::Target &target);
    // Computes with `target` and the stored limits and shows it; the
    // refusal's message, with the window as it was, when the study is
    // refused. Raises what stops the computation.
    std::string computed(const stats::Target &target);
    void display(const stats::CriteriaResult &criteria);

    stats::StudyData study_;
    // The study's analysis since it last changed: another T computes the
    // criteria again, not the line they stand on.
    std::optional<stats::StudyAnalysis> analysis_;
    std::string units_;
    const char separator_;
    UserDialogs &dialogs_;
    HelpViewer *help_;
    stats::CriteriaResult criteria_;
    QString targetText_; // the last good T as typed
    bool editing_ = false; // a message box up for the T: its focus change is not another edit

    QLineEdit *ecantidad_;
    QLabel *unitsLabel_;
    QPushButton *btnlimites_;
    QPlainTextEdit *mmcifras_;
    QTableWidget *stgcriterios_;
    QLabel *Ldictamen_;
    QTableWidget *stginverso_;
    QTableWidget *stgsesgo_;
    QWidget *content_;
};
