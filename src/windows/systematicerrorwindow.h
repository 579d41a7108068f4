#pragma once
// The constant systematic error evaluation, as lines of text.
#include "windows/resultwindow.h"

class SystematicErrorWindow : public ResultWindow {
    Q_OBJECT
public:
    explicit SystematicErrorWindow(const stats::Lines &lines, QWidget *parent = nullptr);
    QPlainTextEdit *mmerrorp() const { return mmerrorp_; }
    QSize sizeHint() const override; // every line whole

private:
    QPlainTextEdit *mmerrorp_;
};
