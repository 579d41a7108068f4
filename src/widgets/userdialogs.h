#pragma once
// Every modal box and file dialog of the application goes through this small
// interface: the application uses QtUserDialogs, the tests a scripted fake
// that records each message and answers from a plan, so no test ever blocks.
#include <QString>

#include <functional>

class QDialog;
class QPrinter;
class QWidget;

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // A plain box with an OK button, titled with the application title:
    // every rejection of user input.
    virtual void message(QWidget *parent, const QString &text) = 0;

    // The general error report: stop icon, application title, the error's
    // own message with the full-stop rule already applied by the caller.
    virtual void error(QWidget *parent, const QString &text) = 0;

    // A Yes/No question with a question icon; true for Yes.
    virtual bool question(QWidget *parent, const QString &title, const QString &text) = 0;

    // Common file dialogs; an empty string when cancelled. `filter` is in
    // Qt form ("Tolvek v. w3.0 (*.w04)"); `defaultSuffix` has no dot.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &defaultSuffix) = 0;
    // Asks before overwriting an existing file.
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &defaultSuffix, const QString &proposedName) = 0;

    // The platform's print dialog for `printer`, whose orientation and the
    // like the caller has set; false when cancelled (nothing is printed).
    virtual bool print(QWidget *parent, QPrinter &printer) = 0;

    // Shows one of the application's own dialogs modally and returns its
    // result (QDialog::Accepted or Rejected).
    virtual int showModal(QDialog &dialog) = 0;
};

// The application title, shown on every plain message box.
inline const QString kApplicationTitle = QStringLiteral("Error sistemático proporcional del método");

class QtUserDialogs final : public UserDialogs {
public:
    void message(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    bool question(QWidget *parent, const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filter,
                         const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &filter, const QString &defaultSuffix,
                         const QString &proposedName) override;
    bool print(QWidget *parent, QPrinter &printer) override;
    int showModal(QDialog &dialog) override;
};

// A window caption that shows `text` as written (a file name): a caption
// takes "[*]" for the place of its modified mark unless it is doubled.
QString literalCaption(const QString &text);

// The least width of a message box that shows its whole title.
int messageBoxWidthForTitle(const QWidget &box);

// Gives the open and save dialogs room for every column of their file list
// (name, size, type, date), as far as the screen allows.
class QFileDialog;
void fitFileDialog(QFileDialog &dialog);

// Runs a command handler; an error it does not catch itself (a conversion,
// a floating-point fault, a file error) becomes the general error report and
// the application goes on with its windows as they are. Returns false when
// the handler was abandoned that way.
bool runReportingErrors(UserDialogs &dialogs, QWidget *parent, const std::function<void()> &handler);
