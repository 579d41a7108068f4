#pragma once
// The analysis of variance: the table in a grid, the conclusions below it.
#include "windows/resultwindow.h"

#include <QTableWidget>
#include <QWidget>

class QTextEdit;

// The table's grid. Tab moves from cell to cell; from the last cell it
// leaves the grid; leaving puts the current cell back in row 0.
class AnovaTableGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit AnovaTableGrid(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

class AnovaWindow : public ResultWindow {
    Q_OBJECT
public:
    AnovaWindow(const stats::AnovaGrid &cells, const stats::Lines &conclusions, QWidget *parent = nullptr);
    QTableWidget *stganova() const { return stganova_; }
    QTextEdit *memoa() const { return memoa_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *sheet_;
    AnovaTableGrid *stganova_;
    QTextEdit *memoa_;
};
