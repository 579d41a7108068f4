#pragma once
// The full report: the study and all its results as text, for reading
// only; the first key or click in the text closes it.
#include "windows/resultwindow.h"

class ReportWindow : public ResultWindow {
    Q_OBJECT
public:
    explicit ReportWindow(const stats::Lines &lines, QWidget *parent = nullptr);
    QPlainTextEdit *mminforme() const { return mminforme_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPlainTextEdit *mminforme_;
};
