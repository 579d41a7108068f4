#include "windows/resulttables.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace windows {

QLabel *Heading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QTableWidget *ReadOnlyTable(const char *name, QWidget *parent)
{
    auto *table = new QTableWidget(parent);
    table->setObjectName(QLatin1String(name));
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setWordWrap(false);
    // The whole table shows; the window scrolls.
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->horizontalHeader()->setHighlightSections(false);
    return table;
}

void FillTable(QTableWidget *table, const std::vector<stats::CellRow> &rows, int textColumns)
{
    table->clear();
    table->setRowCount(static_cast<int>(rows.size()) - 1);
    table->setColumnCount(static_cast<int>(rows.front().size()));
    QStringList labels;
    for (const std::string &cell : rows.front())
        labels << QString::fromStdString(cell);
    table->setHorizontalHeaderLabels(labels);
    for (size_t r = 1; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(QString::fromStdString(rows[r][c]));
            item->setTextAlignment(Qt::AlignVCenter | (static_cast<int>(c) < textColumns ? Qt::AlignLeft : Qt::AlignRight));
            table->setItem(static_cast<int>(r - 1), static_cast<int>(c), item);
        }
    table->resizeColumnsToContents();
    for (int c = 0; c < table->columnCount(); ++c)
        table->setColumnWidth(c, table->columnWidth(c) + 12);
    table->resizeRowsToContents();
    const int frame = 2 * table->frameWidth();
    table->setFixedSize(table->horizontalHeader()->length() + frame,
                        table->horizontalHeader()->sizeHint().height() + table->verticalHeader()->length() + frame);
}

} // namespace windows
