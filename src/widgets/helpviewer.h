#pragma once
// The help window: contents, word search, its own help, and topics opened by
// help context number, all read from the help file AYUDA4.HLP (see
// helpfile.h). The file is looked for beside the executable, then in
// ../share/linealidad; when it is missing or damaged the user is told so
// through UserDialogs and nothing opens.
#include "widgets/helpfile.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;
class UserDialogs;

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // Beside the executable (build tree), then ../share/linealidad (installed).
    static QStringList defaultSearchDirectories();

    explicit HelpViewer(UserDialogs &dialogs, QStringList searchDirectories = defaultSearchDirectories(),
                        QWidget *parent = nullptr);

    // Each returns false, after telling the user, when the help file cannot
    // be read; the help window then stays closed.
    bool showContents();             // Help contents, F1
    bool showSearch();               // Help search: an empty search text
    bool showHelpOnHelp();           // how to use this window
    bool showContext(int context);   // a topic by its help context number

    // F1 pressed in `window` (a dialog or a window of its own) opens the
    // topic of its help context.
    void attachContextKey(QWidget *window);

    // What is on show: a topic's context, or one of these pages.
    static constexpr int kContentsPage = -1;
    static constexpr int kHelpOnHelpPage = -2;
    int currentPage() const;
    QString currentHtml() const;

private:
    bool ensureLoaded();
    // Shows a page asked for from outside the window: the search of an
    // earlier visit is forgotten.
    void showRequested(int page);
    void showPage(int page);
    QString pageHtml(int page) const;
    QString contentsHtml(const QString &note = {}) const;
    void runSearch(const QString &words);
    void markFoundTopic();
    void present();

    UserDialogs &dialogs_;
    QStringList searchDirectories_;
    HelpFile file_;
    QString loadedPath_;
    QString missingNote_;

    QTextBrowser *browser_ = nullptr;
    QLineEdit *searchEdit_ = nullptr;
    QListWidget *results_ = nullptr;
    QLabel *resultCount_ = nullptr;
    QPushButton *backButton_ = nullptr;
    bool placed_ = false;   // given its place on the screen once
    bool searched_ = false; // the result count shows a search's outcome
};
