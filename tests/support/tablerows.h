#pragma once
// A result window's table as the user reads it (its headings, then its
// rows) and the core's cells in the same shape, to compare the two.
#include "stats/criteriatexts.h"

#include <QHeaderView>
#include <QStringList>
#include <QTableWidget>

#include <string>
#include <vector>

using Rows = QList<QStringList>;

inline Rows shownRows(const QTableWidget *table)
{
    Rows rows(1);
    for (int c = 0; c < table->columnCount(); ++c)
        rows[0] << table->horizontalHeaderItem(c)->text();
    for (int r = 0; r < table->rowCount(); ++r) {
        rows << QStringList();
        for (int c = 0; c < table->columnCount(); ++c)
            rows.back() << table->item(r, c)->text();
    }
    return rows;
}

inline Rows coreRows(const std::vector<stats::CellRow> &cells)
{
    Rows rows;
    for (const stats::CellRow &row : cells) {
        rows << QStringList();
        for (const std::string &cell : row)
            rows.back() << QString::fromStdString(cell);
    }
    return rows;
}
