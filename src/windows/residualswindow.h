#pragma once
// The residual analysis: four boxes side by side that read as one table of
// observation, predicted y, residual and studentized residual.
#include "windows/resultwindow.h"

#include <array>


class ResidualsWindow : public ResultWindow {
    Q_OBJECT
public:
    explicit ResidualsWindow(const std::array<stats::Lines, 4> &columns, QWidget *parent = nullptr);
    // memoR, Memo1R, Memo2R, Memo3R
    QPlainTextEdit *box(int index) const { return boxes_[static_cast<size_t>(index)]; }

private:
    std::array<QPlainTextEdit *, 4> boxes_{};
};
