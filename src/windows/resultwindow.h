#pragma once
// What the result windows share: the 13-pixel system font, the pop-up menu
// with its single "Cerrar", and how the frame should size and place them.
#include <QSize>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

class QWidget;
class QPlainTextEdit;

namespace resultwindow {

// The font of every result window.
void useResultFont(QWidget *window);

// A pop-up menu on `window` (and on `area`, which fills it) with one entry
// `Cerrar1` "Cerrar" that closes the window.
void addCloseMenu(QWidget *window, QWidget *area);

// Frame placement, read by the frame when it adds the window as a child:
// the outer size of the child window, or its client size, and whether it
// is centred in the frame or placed where new windows go.
void setOuterSize(QWidget *window, QSize size);
void setClientSize(QWidget *window, QSize size);
void setCentred(QWidget *window, bool centred);
QSize outerSize(const QWidget *window);
QSize clientSize(const QWidget *window);
bool centred(const QWidget *window);

// A text box that shows lines and takes no editing or selection.
QPlainTextEdit *makeTextBox(QWidget *parent, const QString &objectName);
void setLines(QPlainTextEdit *box, const std::vector<std::string> &lines);
QStringList lines(const QPlainTextEdit *box);

} // namespace resultwindow
