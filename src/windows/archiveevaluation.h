#pragma once
// Archivo > "Evaluar un archivo de estudios...": the batch run of the
// command line (cli/batch.h) over a folder the user chooses, with a
// progress dialog that can cancel it, then its summary as a table.
#include <QStringList>

class QWidget;
class UserDialogs;

namespace cli {
struct SummaryRow;
}

namespace windows {

// The summary as the window shows it, for a person: headings, and a
// study's cells with the result windows' own Spanish verdict words and the
// figures with 6 significant digits (r² with 8) in the user's separator.
// A study a cancelled run never took reads "sin evaluar". resumen.csv keeps
// its identifiers and full precision.
QStringList SummaryHeadings();
QStringList SummaryCells(const cli::SummaryRow &row, char decimalSeparator);

// Asks for the archive's folder and the results' folder, runs, and shows
// the summary. The criteria are judged against the user's stored limits,
// which the run writes first as limites.json in the results' folder: the
// record of what it judged against, and its --limits file.
void EvaluateArchive(QWidget *parent, UserDialogs &dialogs, char decimalSeparator);

} // namespace windows
