#include "widgets/stringgrid.h"

#include "widgets/printableinput.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

#include <algorithm>

// Creates the cell editors, writes every edit into the cell at once, draws the
// heading cells and routes the editor's keys to the grid.
class StringGridDelegate final : public QStyledItemDelegate {
public:
    explicit StringGridDelegate(StringGrid *grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *editor = new QLineEdit(parent);
        editor->setFrame(false);
        widgets::AcceptPrintableOnly(editor);
        // Tab order knows the grid, not its editor: Tab out of the grid goes
        // to the next control, not back into the editor.
        editor->setFocusPolicy(Qt::ClickFocus);
        // A right click in the editor shows the grid's menu, not the editor's own.
        editor->setContextMenuPolicy(Qt::NoContextMenu);
        auto *self = const_cast<StringGridDelegate *>(this);
        StringGrid *grid = grid_;
        connect(editor, &QLineEdit::textEdited, self, [self, grid, editor] {
            emit self->commitData(editor);
            emit grid->cellEdited(grid->currentColumn(), grid->currentRow());
        });
        return editor;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *line = static_cast<QLineEdit *>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text) // keeps the cursor where it is while typing
            line->setText(text);
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        const QString text = static_cast<QLineEdit *>(editor)->text();
        if (index.data(Qt::EditRole).toString() != text)
            model->setData(index, text);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        if (!grid_->isFixed(index.column(), index.row())) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->fillRect(option.rect, option.palette.button());
        painter->setPen(option.palette.color(QPalette::Active, QPalette::ButtonText));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(3, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          index.data().toString());
        painter->restore();
    }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (auto *editor = qobject_cast<QLineEdit *>(object)) {
            if (event->type() == QEvent::KeyPress)
                return grid_->editorKeyPress(editor, static_cast<QKeyEvent *>(event));
            if (event->type() == QEvent::FocusOut)
                return false; // the editor stays open: the grid is always in editing mode
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    StringGrid *grid_;
};

StringGrid::StringGrid(int columns, int rows, QWidget *parent) : QTableWidget(rows, columns, parent)
{
    setItemDelegate(new StringGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(true);
    setSelectionMode(NoSelection);
    setEditTriggers(NoEditTriggers); // the grid opens its editor itself
    setTabKeyNavigation(false);      // and moves with Tab itself
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &StringGrid::refreshFixedCells);
    connect(model(), &QAbstractItemModel::columnsInserted, this, &StringGrid::refreshFixedCells);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &StringGrid::refreshFixedCells);
    connect(model(), &QAbstractItemModel::columnsRemoved, this, &StringGrid::refreshFixedCells);

    // The heading rows: a view of the same cells that lies over the top of the
    // grid's own, follows its columns, and is never scrolled up and down.
    heading_ = new QTableView(this);
    heading_->setObjectName(QStringLiteral("headingRows"));
    heading_->setModel(model());
    heading_->setItemDelegate(new StringGridDelegate(this));
    heading_->setFocusPolicy(Qt::NoFocus);
    heading_->setFrameShape(QFrame::NoFrame);
    heading_->horizontalHeader()->hide();
    heading_->verticalHeader()->hide();
    heading_->horizontalHeader()->setMinimumSectionSize(1);
    heading_->verticalHeader()->setMinimumSectionSize(1);
    heading_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    heading_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    heading_->setSelectionMode(NoSelection);
    heading_->setEditTriggers(NoEditTriggers);
    heading_->setWordWrap(false);
    heading_->setTextElideMode(Qt::ElideNone);
    heading_->setContextMenuPolicy(Qt::NoContextMenu); // the grid's own menu
    heading_->viewport()->installEventFilter(this);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &StringGrid::placeHeading);
    connect(verticalHeader(), &QHeaderView::sectionResized, this, &StringGrid::placeHeading);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, heading_->horizontalScrollBar(), &QScrollBar::setValue);
    refreshFixedCells();
}

void StringGrid::setFixedRows(int rows)
{
    fixedRows_ = std::max(0, rows);
    refreshFixedCells();
    placeHeading();
}

int StringGrid::headingHeight() const
{
    int height = 0;
    for (int r = 0; r < std::min(fixedRows_, rowCount()); ++r)
        height += rowHeight(r);
    return height;
}

void StringGrid::placeHeading()
{
    const int height = std::min(headingHeight(), viewport()->height());
    heading_->setVisible(height > 0);
    if (height == 0)
        return;
    for (int c = 0; c < columnCount(); ++c)
        heading_->setColumnWidth(c, columnWidth(c));
    for (int r = 0; r < std::min(fixedRows_, rowCount()); ++r)
        heading_->setRowHeight(r, rowHeight(r));
    heading_->setGeometry(QRect(viewport()->geometry().topLeft(), QSize(viewport()->width(), height)));
    heading_->horizontalScrollBar()->setRange(horizontalScrollBar()->minimum(), horizontalScrollBar()->maximum());
    heading_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    heading_->raise();
}

void StringGrid::updateGeometries()
{
    QTableWidget::updateGeometries();
    if (heading_)
        placeHeading();
}

void StringGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    QTableWidget::scrollTo(index, hint);
    // A cell is not in view while the heading rows cover it.
    if (!index.isValid() || index.row() < fixedRows_)
        return;
    QScrollBar *bar = verticalScrollBar();
    while (bar->value() > bar->minimum() && visualRect(index).top() < headingHeight())
        bar->setValue(bar->value() - 1);
}

bool StringGrid::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel over the heading rows scrolls the cells.
    if (heading_ && watched == heading_->viewport() && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(viewport(), event);
        return true;
    }
    return QTableWidget::eventFilter(watched, event);
}

void StringGrid::setFixedColumns(int columns)
{
    fixedColumns_ = std::max(0, columns);
    refreshFixedCells();
}

QString StringGrid::cell(int column, int row) const
{
    const QTableWidgetItem *it = item(row, column);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int column, int row, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (QTableWidgetItem *it = item(row, column)) {
        it->setText(text);
        return;
    }
    auto *it = new QTableWidgetItem(text);
    if (isFixed(column, row))
        it->setFlags(Qt::NoItemFlags);
    setItem(row, column, it);
}

void StringGrid::moveTo(int column, int row)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount() || isFixed(column, row))
        return;
    setCurrentCell(row, column);
}

bool StringGrid::isLastColumn() const { return currentColumn() == columnCount() - 1; }

bool StringGrid::isLastCell() const { return isLastColumn() && currentRow() == rowCount() - 1; }

void StringGrid::setColumnWidths(int width)
{
    horizontalHeader()->setDefaultSectionSize(width);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, width);
}

void StringGrid::setRowHeights(int height)
{
    verticalHeader()->setDefaultSectionSize(height);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, height);
}

QLineEdit *StringGrid::cellEditor() const { return qobject_cast<QLineEdit *>(indexWidget(currentIndex())); }

// Heading cells hold items that can be neither current nor edited; the
// current cell never rests on one.
void StringGrid::refreshFixedCells()
{
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem *it = item(r, c);
            if (isFixed(c, r)) {
                if (!it) {
                    it = new QTableWidgetItem;
                    setItem(r, c, it);
                }
                it->setFlags(Qt::NoItemFlags);
            } else if (it && it->flags() == Qt::NoItemFlags) {
                it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            }
        }
    }
    const QModelIndex current = currentIndex();
    if (!current.isValid() || isFixed(current.column(), current.row()))
        moveTo(fixedColumns_, fixedRows_);
}

bool StringGrid::focusInside() const
{
    const QWidget *f = QApplication::focusWidget();
    return f && (f == this || isAncestorOf(f));
}

void StringGrid::openEditor()
{
    const QModelIndex index = currentIndex();
    if (!index.isValid() || isFixed(index.column(), index.row()))
        return;
    if (QLineEdit *editor = cellEditor()) {
        if (!editor->hasFocus()) { // coming back into the grid
            editor->setFocus(Qt::OtherFocusReason);
            editor->selectAll();
        }
        return;
    }
    edit(index);
}

void StringGrid::focusInEvent(QFocusEvent *event)
{
    QTableWidget::focusInEvent(event);
    if (!leaving_)
        openEditor();
}

void StringGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableWidget::currentChanged(current, previous);
    if (isVisible() && focusInside())
        openEditor();
}

void StringGrid::contextMenuEvent(QContextMenuEvent *event)
{
    if (popup_) {
        popup_->popup(event->globalPos());
        event->accept();
        return;
    }
    QTableWidget::contextMenuEvent(event);
}

void StringGrid::pasteBlock(int column, int row, const QString &block)
{
    QStringList lines = QString(block).remove(u'\r').split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end a spreadsheet puts after the last row
    int filled = 0, leftOut = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QStringList cells = lines[i].split(u'\t');
        for (int j = 0; j < cells.size(); ++j) {
            const int c = column + j, r = row + i;
            if (c >= columnCount() || r >= rowCount() || isFixed(c, r)) {
                ++leftOut;
                continue;
            }
            QString text;
            for (QChar ch : cells[j].trimmed())
                if (ch.isPrint())
                    text += ch;
            setCell(c, r, text);
            emit cellEdited(c, r);
            ++filled;
        }
    }
    if (QLineEdit *editor = cellEditor())
        editor->setText(cell(currentColumn(), currentRow()));
    emit blockPasted(filled, leftOut);
}

bool StringGrid::editorKeyPress(QLineEdit *editor, QKeyEvent *event)
{
    // One value pastes into the cell; a block from a spreadsheet fills the
    // cells from this one on.
    if (event->matches(QKeySequence::Paste)) {
        const QString text = QGuiApplication::clipboard()->text();
        if (text.contains(u'\t') || text.trimmed().contains(u'\n')) {
            pasteBlock(currentColumn(), currentRow(), text);
            return true;
        }
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!plain)
            break;
        const bool forward = event->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier);
        if (tabMoves_) {
            moveByTab(forward);
            emit keyTyped(QChar(9));
        } else {
            leaveByTab(forward);
        }
        return true;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The cell stays; the key goes on to the window (a dialog's default button).
        emit keyTyped(QChar(13));
        return false;
    case Qt::Key_Escape:
        emit keyTyped(QChar(27));
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (!plain)
            break;
        step(0, event->key() == Qt::Key_Up ? -1 : 1);
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        step(0, event->key() == Qt::Key_PageUp ? -rowCount() : rowCount());
        return true;
    case Qt::Key_Left:
        if (plain && editor->cursorPosition() == 0 && !editor->hasSelectedText()) {
            step(-1, 0);
            return true;
        }
        break;
    case Qt::Key_Right:
        if (plain && editor->cursorPosition() == editor->text().size() && !editor->hasSelectedText()) {
            step(1, 0);
            return true;
        }
        break;
    default:
        if (!event->text().isEmpty())
            emit keyTyped(event->text().at(0));
        break;
    }
    return false;
}

void StringGrid::keyPressEvent(QKeyEvent *event)
{
    // A key the cell editor did not use goes on to the grid's parents.
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    // A key that reached the grid itself goes into its cell editor.
    openEditor();
    if (QLineEdit *editor = cellEditor(); editor && editor->hasFocus()) {
        QCoreApplication::sendEvent(editor, event);
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool StringGrid::focusNextPrevChild(bool next)
{
    // Tab arriving at the grid itself (not through the editor) moves like Tab in a cell.
    if (!leaving_ && tabMoves_ && isVisible() && focusInside()) {
        moveByTab(next);
        emit keyTyped(QChar(9));
        return true;
    }
    return QTableWidget::focusNextPrevChild(next);
}

void StringGrid::moveByTab(bool forward)
{
    const int firstColumn = fixedColumns_, firstRow = fixedRows_;
    const int lastColumn = columnCount() - 1, lastRow = rowCount() - 1;
    if (lastColumn < firstColumn || lastRow < firstRow)
        return;
    int column = currentColumn(), row = currentRow();
    if (forward) {
        if (++column > lastColumn) {
            column = firstColumn;
            if (++row > lastRow)
                row = firstRow;
        }
    } else if (--column < firstColumn) {
        column = lastColumn;
        if (--row < firstRow)
            row = lastRow;
    }
    moveTo(column, row);
}

void StringGrid::leaveByTab(bool forward)
{
    QScopedValueRollback<bool> leaving(leaving_, true);
    // From the grid itself, so that Shift+Tab does not stop at the grid.
    setFocus(Qt::OtherFocusReason);
    focusNextPrevChild(forward);
    if (hasFocus()) { // nowhere else to go
        leaving_ = false;
        openEditor();
    }
}

void StringGrid::step(int columns, int rows)
{
    if (columnCount() <= fixedColumns_ || rowCount() <= fixedRows_)
        return;
    const int column = std::clamp(currentColumn() + columns, fixedColumns_, columnCount() - 1);
    const int row = std::clamp(currentRow() + rows, fixedRows_, rowCount() - 1);
    moveTo(column, row);
}
