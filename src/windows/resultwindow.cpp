#include "windows/resultwindow.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QWidget>

namespace resultwindow {

void useResultFont(QWidget *window)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    window->setFont(font);
}

void addCloseMenu(QWidget *window, QWidget *area)
{
    auto *close = new QAction(QStringLiteral("Cerrar"), window);
    close->setObjectName("Cerrar1");
    QObject::connect(close, &QAction::triggered, window, [window] {
        // The child window (its frame) closes, not just the content.
        QWidget *frame = window->parentWidget() ? window->parentWidget() : window;
        frame->close();
    });
    window->addAction(close);
    window->setContextMenuPolicy(Qt::ActionsContextMenu);
    if (area) {
        area->addAction(close);
        area->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
}

void setOuterSize(QWidget *window, QSize size) { window->setProperty("outerSize", size); }
void setClientSize(QWidget *window, QSize size) { window->setProperty("clientSize", size); }
void setCentred(QWidget *window, bool isCentred) { window->setProperty("centred", isCentred); }
QSize outerSize(const QWidget *window) { return window->property("outerSize").toSize(); }
QSize clientSize(const QWidget *window) { return window->property("clientSize").toSize(); }
bool centred(const QWidget *window) { return window->property("centred").toBool(); }

QPlainTextEdit *makeTextBox(QWidget *parent, const QString &objectName)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::NoFocus);
    box->setUndoRedoEnabled(false);
    return box;
}

void setLines(QPlainTextEdit *box, const std::vector<std::string> &lines)
{
    QStringList text;
    for (const std::string &line : lines)
        text << QString::fromStdString(line);
    box->setPlainText(text.join('\n'));
}

QStringList lines(const QPlainTextEdit *box)
{
    QStringList result;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next())
        result << block.text();
    return result;
}

} // namespace resultwindow
