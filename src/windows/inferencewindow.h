#pragma once
// The inference results: slope and intercept with their confidence limits
// and t statistics, as lines of text.
#include "windows/resultwindow.h"

class InferenceWindow : public ResultWindow {
    Q_OBJECT
public:
    explicit InferenceWindow(const stats::Lines &lines, QWidget *parent = nullptr);
    QPlainTextEdit *memresult() const { return memresult_; }

private:
    QPlainTextEdit *memresult_;
};
