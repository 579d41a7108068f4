#pragma once
// The graph options dialog: title and axis labels, typed axis limits and the
// strength of the grid. One instance lives for the whole run and is shared by
// both graph windows, which fill it, show it modally and take the values back
// when it closes with OK. It keeps its texts between uses, which is why saving
// a study reads the three title texts from it; closed any other way than OK
// (Cancelar, Escape, its close button) it gives back what it held when shown,
// so that only accepted edits are ever saved.
#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QTabWidget;

class GraphOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit GraphOptionsDialog(QWidget *parent = nullptr);

    // "Titulos" page.
    QString titleText() const;
    QString xLabelText() const;
    QString yLabelText() const;
    void setTitleText(const QString &text);
    void setXLabelText(const QString &text);
    void setYLabelText(const QString &text);

    // "Escala" page: the four limit texts, never checked here.
    QString xMinText() const;
    QString xMaxText() const;
    QString yMinText() const;
    QString yMaxText() const;
    void setLimitTexts(const QString &xMin, const QString &xMax, const QString &yMin, const QString &yMax);

    // "Grid" page: index of ReferenceGroup, 0 "Ninguno" .. 3 "Fuerte".
    int referenceIndex() const;
    void setReferenceIndex(int index);

    // Closes the dialog; any result but Accepted restores the texts, the
    // limits and the grid it held when it was shown.
    void done(int result) override;

signals:
    // A character (Backspace included) was typed into TitleEdit: the frame
    // marks the active study modified.
    void titleTyped();
    // Closed with OK holding other title texts than it was shown with: a
    // change the study's Save will store.
    void titlesAccepted();
    // Closed without OK after a title was typed: the frame takes back the
    // mark that typing set.
    void titleEditCancelled();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildTitlesPage();
    QWidget *buildScalePage();
    QWidget *buildGridPage();

    QTabWidget *notebook_ = nullptr;
    QLineEdit *titleEdit_ = nullptr;
    QLineEdit *xLabelEdit_ = nullptr;
    QLineEdit *yLabelEdit_ = nullptr;
    QLineEdit *xMinEdit_ = nullptr;
    QLineEdit *xMaxEdit_ = nullptr;
    QLineEdit *yMinEdit_ = nullptr;
    QLineEdit *yMaxEdit_ = nullptr;
    QButtonGroup *reference_ = nullptr;

    // What the dialog held when shown, in the order of the fields above.
    QStringList shownTexts_;
    int shownReference_ = 0;
    bool titleTypedSinceShown_ = false;
    QStringList texts() const;
};
