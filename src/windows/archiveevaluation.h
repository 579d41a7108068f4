#pragma once
// Archivo > "Evaluar un archivo de estudios...": the batch run of the
// command line (cli/batch.h) over a folder the user chooses, with a
// progress dialog that can cancel it, then its summary as a table.
class QWidget;
class UserDialogs;

namespace windows {

// Asks for the archive's folder and the results' folder, runs, and shows
// the summary. The criteria are judged against the user's stored limits,
// which the run writes first as limites.json in the results' folder: the
// record of what it judged against, and its --limits file.
void EvaluateArchive(QWidget *parent, UserDialogs &dialogs, char decimalSeparator);

} // namespace windows
