#pragma once
// The acceptance limits the criteria are judged against: the user's own,
// kept in the user's settings (group "criteria", one key per limit), and the
// dialog that changes them.
#include "stats/criteria.h"

#include <QDialog>
#include <QList>

class QLineEdit;
class QSettings;
class UserDialogs;

namespace windows {

// The limits stored in `settings`; a limit that is missing, not a finite
// number or meaningless (cli::LimitRule; a hand-edited file) is its default.
stats::AcceptanceLimits AcceptanceLimitsFromSettings(QSettings &settings);
void WriteAcceptanceLimits(QSettings &settings, const stats::AcceptanceLimits &limits);

// The same in the user's settings file (the application's organisation and
// name). Storing answers false, with nothing stored, when the file cannot be
// written.
stats::AcceptanceLimits StoredAcceptanceLimits();
bool StoreAcceptanceLimits(const stats::AcceptanceLimits &limits);

// Tells the open criteria windows that the user stored new limits.
class AcceptanceLimitsNotifier : public QObject {
    Q_OBJECT
public:
    static AcceptanceLimitsNotifier &instance();
signals:
    void stored();
};

} // namespace windows

class AcceptanceLimitsDialog : public QDialog {
    Q_OBJECT
public:
    AcceptanceLimitsDialog(UserDialogs &dialogs, char decimalSeparator, QWidget *parent = nullptr);

    // One field per limit, in the order of stats::LimitFields().
    QLineEdit *field(int index) const { return fields_.at(index); }

    // Aceptar: every field must hold a finite number that means something
    // for its limit (cli::LimitRule); the first that does not is named in a
    // message and gets the focus, and nothing is stored.
    void accept() override;

private:
    void fill(const stats::AcceptanceLimits &limits);
    void refuse(qsizetype index, const QString &rule);

    UserDialogs &dialogs_;
    const char separator_;
    QList<QLineEdit *> fields_;
};
