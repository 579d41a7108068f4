#pragma once
// The variance homogeneity, the eight weights ranked, the line with the
// chosen weight and the diagnostics of each observation, for the study in
// the editor. Choosing another weight in the list computes the weighted line
// again; the rest stays as it is. A change to the study computes it all
// again, with the weight chosen.
#include "stats/analysis.h"
#include "stats/study.h"
#include "stats/weighting.h"
#include "windows/resultwindow.h"

class QBoxLayout;
class QComboBox;
class QLayout;
class QScrollArea;
class QLabel;
class QTableWidget;
class UserDialogs;

class WeightingWindow : public ResultWindow {
    Q_OBJECT
public:
    // `study` has passed the weighting command; `weighting` is what it computed.
    WeightingWindow(stats::StudyData study, const stats::WeightingResult &weighting, char decimalSeparator,
                    UserDialogs &dialogs, QWidget *parent = nullptr);

    QLabel *verdict() const { return Lveredicto_; }
    QPlainTextEdit *variance() const { return mmvarianza_; }
    QTableWidget *weights() const { return stgponderaciones_; }
    QComboBox *weightChoice() const { return cbponderacion_; }
    QLabel *choice() const { return Lelegida_; }
    QPlainTextEdit *line() const { return mmrecta_; }
    QTableWidget *backCalculation() const { return stginversop_; }
    QTableWidget *levelBias() const { return stgsesgop_; }
    QTableWidget *diagnostics() const { return stgdiagnostico_; }
    QTableWidget *grubbs() const { return stggrubbs_; }
    const stats::WeightingResult &weighting() const { return weighting_; }
    // The weight the analyst chose in the list, which the printed weighting
    // page uses too; none while the rule's choice is shown.
    stats::WeightingOptions userWeight() const;

    QSize sizeHint() const override;

    void studyChanged(const stats::StudyData &study) override;
    bool followsStudy() const override { return true; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Everything from `weighting_`.
    void display();
    // The weighted line with the weight chosen in the list; on an error it
    // is told and the window stays as it was.
    void weightChosen(int index);
    void showLine();

    stats::StudyData study_;
    // The study's analysis since it last changed: another weight computes
    // the weighting again, nothing else.
    std::optional<stats::StudyAnalysis> analysis_;
    const char separator_;
    UserDialogs &dialogs_;
    stats::WeightingResult weighting_;

    QLabel *Lveredicto_;
    QPlainTextEdit *mmvarianza_;
    QTableWidget *stgponderaciones_;
    QLabel *indefinidas_;
    QComboBox *cbponderacion_;
    QLabel *Lelegida_;
    QPlainTextEdit *mmrecta_;
    QTableWidget *stginversop_;
    QTableWidget *stgsesgop_;
    QTableWidget *stgdiagnostico_;
    QTableWidget *stggrubbs_;
    QWidget *content_;
    QScrollArea *scroll_;
    QBoxLayout *columns_;
    QLayout *left_, *right_;
};
