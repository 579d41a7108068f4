#pragma once
// The result windows: child windows of the frame filled once with what the
// engine computed. What they share is described by data (object name,
// caption, help context, size, placement, border) and built here: the
// 13-pixel system font, the pop-up menu with its single "Cerrar", and the
// read-only text boxes. Each window class adds only what is its own.
#include "stats/resulttexts.h"
#include "stats/study.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <string>

class QLabel;
class QPlainTextEdit;

struct ResultWindowLook {
    const char *objectName;
    QString caption;
    int helpContext = 0; // 0: none of its own
    // The size of the child window with its border and title bar, or, when
    // `sizeIsClient`, of what lies inside them.
    QSize size;
    bool sizeIsClient = false;
    // Centred in the frame's client area, or where new windows go.
    bool centred = false;
    // Its contents are laid out to the pixel: the window keeps its size (it
    // grows to its contents if they need more) and the user cannot resize
    // it; only where the frame's arrangement has not the room is it made
    // smaller, and its contents then scroll.
    bool fixedSize = true;
    // A fixed dialog border: no minimise or maximise button.
    bool dialogBorder = false;
};

class ResultWindow : public QWidget {
    Q_OBJECT
public:
    const ResultWindowLook &look() const { return look_; }
    // What shows the whole of it: the described client size where the look
    // gives one.
    QSize sizeHint() const override;

    // The study in the editor has changed (`study`, shaped as the windows
    // keep it). A window that keeps the study to compute again (a T typed, a
    // weight chosen, samples typed) follows it; the described result windows
    // keep the study they were opened with.
    virtual void studyChanged(const stats::StudyData &study);
    virtual bool followsStudy() const { return false; }
    // Whether the window still shows the figures of an earlier study: the
    // study as it is now could not be computed. Its banner and caption say so.
    bool outOfDate() const;
    // The series of a .lin study the window evaluates, named in its caption;
    // none for a .w04 study.
    void setSeries(const stats::SeriesNote *note);
    QLabel *outOfDateBanner() const { return banner_; }

protected:
    ResultWindow(const ResultWindowLook &look, QWidget *parent);

    // Runs `compute`, which shows the study as it is now and returns the
    // refusal that stopped it (empty when shown). A refusal, or an error it
    // raises, marks the window out of date with that reason, rather than a
    // message box in the middle of the analyst's typing; once shown, the
    // window is up to date again.
    void followStudy(const std::function<std::string()> &compute);
    // Out of date for `reason`; up to date with an empty one.
    void setOutOfDate(const std::string &reason);
    void showCaption();

    // A text box that shows `lines` and takes no editing or selection.
    QPlainTextEdit *addTextBox(const QString &objectName, const stats::Lines &lines);
    // Such a text box filling the window.
    QPlainTextEdit *fillWithTextBox(const QString &objectName, const stats::Lines &lines);
    // The pop-up menu with one entry `Cerrar1` "Cerrar" that closes the
    // window, on the window and on `area`, which covers it.
    void addCloseMenu(QWidget *area);
    // Closes the child window (its frame in the frame window), not just the content.
    void closeWindow();

private:
    ResultWindowLook look_;
    QLabel *banner_ = nullptr; // above everything, shown while out of date
    QString series_;           // " — Serie 2 de 3 («Día 2»)", or empty
};

namespace windows {

void SetLines(QPlainTextEdit *box, const stats::Lines &lines);
// For text aligned in characters: a font whose every character has the same
// advance, so that columns line up on any machine. Liberation Mono, which
// the package installs with the Arial-compatible fonts, rather than the
// system's "monospace", which may resolve to a font with characters of
// several widths.
QFont ColumnFont(int pixelSize);
// The lines a text box holds, one per paragraph.
QStringList TextLines(const QPlainTextEdit *box);

} // namespace windows
