#pragma once
// A grid of text cells for data entry. The first fixedRows() rows and
// fixedColumns() columns are ordinary cells that hold headings: they are drawn
// like buttons and can never become current or be edited. Cells are addressed
// (column, row), counting the heading cells.
//
// The grid is always in editing mode: while it has the focus the cell editor
// is open on the current cell, and every edit is written into the cell at
// once, so cell() always reads what the user sees. Tab moves from cell to cell
// (wrapping at the end) or, when switched off, leaves the grid.
#include <QMenu>
#include <QPointer>
#include <QTableWidget>

class QLineEdit;

class StringGrid : public QTableWidget {
    Q_OBJECT
public:
    StringGrid(int columns, int rows, QWidget *parent = nullptr);

    void setFixedRows(int rows);
    int fixedRows() const { return fixedRows_; }
    void setFixedColumns(int columns);
    int fixedColumns() const { return fixedColumns_; }

    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);

    // Makes (column, row) the current cell; heading cells are refused.
    void moveTo(int column, int row);
    bool isLastColumn() const;
    bool isLastCell() const;

    void setTabMovesBetweenCells(bool on) { tabMoves_ = on; }
    bool tabMovesBetweenCells() const { return tabMoves_; }

    void setColumnWidths(int width);
    void setRowHeights(int height);

    // The menu shown on a right click anywhere in the grid, cell editor included.
    void setPopupMenu(QMenu *menu) { popup_ = menu; }

    // Fills the cells from (column, row) on with a spreadsheet's block of
    // text, never the heading cells, and emits blockPasted.
    void pasteBlock(int column, int row, const QString &block);

    // The open cell editor, or nullptr.
    QLineEdit *cellEditor() const;

    // Brings a cell into view below the heading rows.
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

signals:
    // A key that produces a character was typed in the grid: Enter (13), Tab
    // (9, after it moved the current cell), Backspace (8) and the printable
    // characters (before they go into the cell).
    void keyTyped(QChar key);
    // The user changed the text of a cell.
    void cellEdited(int column, int row);
    // A block copied from a spreadsheet (cells split by tabs, rows by line
    // ends) was pasted from the current cell on: `filled` cells took a
    // value, `leftOut` values fell beyond the grid's last row or column.
    void blockPasted(int filled, int leftOut);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void updateGeometries() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class StringGridDelegate;

    bool isFixed(int column, int row) const { return row < fixedRows_ || column < fixedColumns_; }
    bool editorKeyPress(QLineEdit *editor, QKeyEvent *event);
    void moveByTab(bool forward);
    void leaveByTab(bool forward);
    void step(int columns, int rows);
    void openEditor();
    bool focusInside() const;
    void refreshFixedCells();
    int headingHeight() const;
    void placeHeading();

    int fixedRows_ = 1;
    int fixedColumns_ = 1;
    bool tabMoves_ = true;
    bool leaving_ = false;
    QPointer<QMenu> popup_;
    // The heading rows again, over the top of the cells, for when they scroll.
    QTableView *heading_ = nullptr;
};
