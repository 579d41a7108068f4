#pragma once
// The installation verification in the application: the table of reference
// quantities with their verdicts, the overall verdict, and the report saved
// as a PDF for filing.
#include "cli/verification.h"

#include <QDialog>

class QLabel;
class QTableWidget;
class UserDialogs;

class VerificationWindow : public QDialog {
    Q_OBJECT
public:
    VerificationWindow(cli::VerificationReport report, UserDialogs &dialogs, QWidget *parent = nullptr);

    QTableWidget *table() const { return table_; }
    QString verdictText() const;

    // "Guardar PDF...": asks for the file and writes the report.
    void saveReport();

private:
    cli::VerificationReport report_;
    UserDialogs &dialogs_;
    QTableWidget *table_ = nullptr;
    QLabel *verdict_ = nullptr;
};
