#pragma once
// The quadratic model beside the straight line, as the study was when the
// window opened: the coefficients, the model's analysis of variance, its
// sensitivity, the comparison with the line and the model chosen, then the
// back-calculation. One text, in columns; it scrolls.
#include "windows/resultwindow.h"

class QuadraticWindow : public ResultWindow {
    Q_OBJECT
public:
    explicit QuadraticWindow(const stats::Lines &lines, QWidget *parent = nullptr);
    QPlainTextEdit *text() const { return mmcuadratico_; }

private:
    QPlainTextEdit *mmcuadratico_;
};
