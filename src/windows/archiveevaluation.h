#pragma once
// Archivo > "Evaluar un archivo de estudios...": the batch run of the
// command line (cli/batch.h) over a folder the user chooses, with a
// progress dialog that can cancel it, then its summary as a table.
#include <string>
#include <utility>
#include <vector>

class QWidget;
class UserDialogs;

namespace windows {

// Asks for the archive's folder and the results' folder, runs, and shows
// the summary. `criteriaOptions` are handed to the criteria as --target and
// --limits would be.
void EvaluateArchive(QWidget *parent, UserDialogs &dialogs, char decimalSeparator,
                     const std::vector<std::pair<std::string, std::string>> &criteriaOptions);

} // namespace windows
