#pragma once
// The quadratic model beside the straight line, for the study in the editor:
// the coefficients, the model's analysis of variance, its sensitivity, the
// comparison with the line and the model chosen, then the back-calculation.
// One text, in columns; it scrolls. A change to the study or to the stored
// acceptance limits computes it again.
#include "windows/resultwindow.h"

class QuadraticWindow : public ResultWindow {
    Q_OBJECT
public:
    // `lines` are what the quadratic command showed of `study`.
    QuadraticWindow(const stats::Lines &lines, stats::StudyData study = {}, char decimalSeparator = '.',
                    QWidget *parent = nullptr);
    QPlainTextEdit *text() const { return mmcuadratico_; }

    void studyChanged(const stats::StudyData &study) override;

private:
    // The model of `study_` with the stored limits, shown; the refusal's
    // message when the study is refused.
    std::string computed();

    stats::StudyData study_;
    const char separator_;
    QPlainTextEdit *mmcuadratico_;
};
