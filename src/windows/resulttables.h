#pragma once
// What the windows with tables share: a bold heading and a read-only table
// that shows every cell at once (the window scrolls, not the table).
#include "stats/criteriatexts.h"

#include <QString>

class QLabel;
class QTableWidget;
class QWidget;

namespace windows {

QLabel *Heading(const QString &text, QWidget *parent);
QTableWidget *ReadOnlyTable(const char *name, QWidget *parent);
// The heading row becomes the table's header, the other rows its cells; the
// first `textColumns` columns are text, the others figures (right-aligned).
void FillTable(QTableWidget *table, const std::vector<stats::CellRow> &rows, int textColumns);

} // namespace windows
