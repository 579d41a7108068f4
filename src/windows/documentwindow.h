#pragma once
// The window of an evaluation that has none of its own (the quadratic model
// is one): its document as text, for the study in the editor, in columns;
// it scrolls. A change to the study or to the stored acceptance limits
// computes it again.
#include "cli/analysismodules.h"
#include "windows/resultwindow.h"

class DocumentWindow : public ResultWindow {
    Q_OBJECT
public:
    // `lines` are what the evaluation's command showed of `study`.
    DocumentWindow(const cli::AnalysisModule &module, const stats::Lines &lines, stats::StudyData study = {},
                   char decimalSeparator = '.', QWidget *parent = nullptr);
    QPlainTextEdit *text() const { return text_; }
    const cli::AnalysisModule &module() const { return module_; }

    void studyChanged(const stats::StudyData &study) override;
    bool followsStudy() const override { return true; }

private:
    // The evaluation of `study_` with the stored limits, shown; the
    // refusal's message when the study is refused.
    std::string computed();

    const cli::AnalysisModule &module_;
    stats::StudyData study_;
    const char separator_;
    QPlainTextEdit *text_;
};
