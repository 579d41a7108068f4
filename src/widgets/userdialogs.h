#pragma once
// Every modal box and file dialog of the application goes through this small
// interface: the application uses QtUserDialogs, the tests a scripted fake
// that records each message and answers from a plan, so no test ever blocks.
#include <QString>

#include <functional>
#include <string>
#include <vector>

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

    // A question with a question icon and the buttons Sí, No and Cancelar.
    // Escape and the box's close button answer Cancel: a question put
    // aside decides nothing.
    enum class Answer { Yes, No, Cancel };
    virtual Answer question(QWidget *parent, const QString &title, const QString &text) = 0;

    // Common file dialogs; an empty string when cancelled. `filter` is in
    // Qt form ("Tolvek v. w3.0 (*.w04)"); `defaultSuffix` has no dot.
    virtual QString openFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &defaultSuffix) = 0;
    // Asks before overwriting an existing file. A name `refusal` answers
    // with a reason for is told and the dialog stays open, before that question.
    using NameCheck = std::function<QString(const QString &path)>;
    virtual QString saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                 const QString &defaultSuffix, const QString &proposedName,
                                 const NameCheck &refusal = {}) = 0;

    // The save dialog for a file the program writes besides studies (a PDF
    // report): the answer passes outputRefusal() with `extensions`, or the
    // user is told why and asked again. Empty when cancelled.
    QString outputFileName(QWidget *parent, const QString &title, const QString &filter, const QString &defaultSuffix,
                           const QString &proposedName, const std::vector<std::string> &extensions);

    // The platform's print dialog for `printer`, whose orientation and the
    // like the caller has set; false when cancelled (nothing is printed).
    // Printing to a file that outputRefusal() refuses as a PDF is told and
    // the dialog shown again, before anything is printed.
    bool print(QWidget *parent, QPrinter &printer);

    // Why the program may not write `path` as an output with one of
    // `extensions` (cli::CheckOutputFile, and never the study open in the
    // editor); empty when it may.
    QString outputRefusal(const QString &path, const std::vector<std::string> &extensions) const;
    // Where the study open in the editor is stored (empty: none, or not yet saved).
    void setOpenStudy(std::function<QString()> path) { openStudy_ = std::move(path); }

    // Shows one of the application's own dialogs modally and returns its
    // result (QDialog::Accepted or Rejected).
    virtual int showModal(QDialog &dialog) = 0;
    // A folder to read or write a whole archive; empty when cancelled.
    virtual QString existingFolder(QWidget *parent, const QString &title);
    // One line of text (a name, a reason), starting from `text`; a null
    // string when cancelled.
    virtual QString textInput(QWidget *parent, const QString &title, const QString &label, const QString &text);

protected:
    // The print dialog itself; false when cancelled.
    virtual bool printDialog(QWidget *parent, QPrinter &printer) = 0;

private:
    std::function<QString()> openStudy_;
};

// The application title, shown on every plain message box.
inline const QString kApplicationTitle = QStringLiteral("Error sistemático proporcional del método");

class QtUserDialogs final : public UserDialogs {
public:
    void message(QWidget *parent, const QString &text) override;
    void error(QWidget *parent, const QString &text) override;
    Answer question(QWidget *parent, const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &title, const QString &filter,
                         const QString &defaultSuffix) override;
    QString saveFileName(QWidget *parent, const QString &title, const QString &filter, const QString &defaultSuffix,
                         const QString &proposedName, const NameCheck &refusal = {}) override;
    int showModal(QDialog &dialog) override;

protected:
    bool printDialog(QWidget *parent, QPrinter &printer) override;
};

class QFileDialog;

namespace widgets {

// A window caption that shows `text` as written (a file name): a caption
// takes "[*]" for the place of its modified mark unless it is doubled.
QString LiteralCaption(const QString &text);

// The least width of a message box that shows its whole title.
int MessageBoxWidthForTitle(const QWidget &box);

// Gives the open and save dialogs room for every column of their file list
// (name, size, type, date), as far as the screen allows.
void FitFileDialog(QFileDialog &dialog);

// Runs a command handler; an error it does not catch itself (a conversion,
// a floating-point fault, a file error) becomes the general error report and
// the application goes on with its windows as they are. Returns false when
// the handler was abandoned that way.
bool RunReportingErrors(UserDialogs &dialogs, QWidget *parent, const std::function<void()> &handler);

} // namespace widgets
