#pragma once
// The residual analysis: four boxes side by side that read as one table of
// observation, predicted y, residual and studentized residual, on a sheet
// that takes no input and that the window scrolls.
#include "windows/resultwindow.h"

#include <array>

class QScrollArea;

class ResidualsWindow : public ResultWindow {
    Q_OBJECT
public:
    explicit ResidualsWindow(const std::array<stats::Lines, 4> &columns, QWidget *parent = nullptr);
    // memoR, Memo1R, Memo2R, Memo3R
    QPlainTextEdit *box(int index) const { return boxes_[static_cast<size_t>(index)]; }
    QWidget *sheet() const { return sheet_; }
    QScrollArea *scrollArea() const { return scroll_; }
    // The whole sheet: what shows every line without scrolling.
    QSize sizeHint() const override;

private:
    std::array<QPlainTextEdit *, 4> boxes_{};
    QWidget *sheet_ = nullptr;
    QScrollArea *scroll_ = nullptr;
};
