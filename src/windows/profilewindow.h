#pragma once
// «Perfil de exactitud»: the accuracy profile of the study of several series
// in the editor. β and λ are typed in it, the model its graph shows is
// chosen in it, and it computes again when either changes or the study
// does; its text is the profile's document, as the command prints it.
#include "stats/analysis.h"
#include "windows/resultwindow.h"

#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class UserDialogs;

class ProfileWindow : public ResultWindow {
    Q_OBJECT
public:
    ProfileWindow(stats::SeriesStudy study, char decimalSeparator, UserDialogs &dialogs, QWidget *parent = nullptr);

    QLineEdit *betaField() const { return beta_; }
    QLineEdit *lambdaField() const { return lambda_; }
    QComboBox *modelChooser() const { return model_; }
    QPlainTextEdit *text() const { return text_; }
    QPushButton *graphButton() const { return graph_; }

    // The whole study as the editor holds it now.
    void wholeStudyChanged(const stats::SeriesStudy &study);
    // What the window shows: the study with the β and λ it computed with
    // and the model chosen for the graph.
    const stats::StudyAnalysis &analysis() const { return analysis_; }
    // What «Gráfica...» does with that analysis (the frame shows the graph).
    void setGraphHandler(std::function<void(const stats::StudyAnalysis &)> show) { showGraph_ = std::move(show); }

    // β and λ as typed: false, with the reason told and the focus on the
    // field, when one is out of its range; the profile is computed anew.
    bool recompute();

private:
    std::string computed();
    void fillModels();

    stats::SeriesStudy study_;
    const char separator_;
    UserDialogs &dialogs_;
    stats::StudyAnalysis analysis_;
    QLineEdit *beta_, *lambda_;
    QComboBox *model_;
    QPushButton *graph_;
    QPlainTextEdit *text_;
    std::function<void(const stats::StudyAnalysis &)> showGraph_;
};
