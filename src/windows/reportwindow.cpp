#include "windows/reportwindow.h"

#include "widgets/helpcontext.h"
#include "windows/resultwindow.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

ReportWindow::ReportWindow(const stats::Lines &lines, QWidget *parent) : QWidget(parent)
{
    setObjectName("Tfrminforme");
    setWindowTitle(QStringLiteral("Informe"));
    setHelpContext(this, 19);
    resultwindow::useResultFont(this);
    resultwindow::setOuterSize(this, QSize(435, 300));
    mminforme_ = new QPlainTextEdit(this);
    mminforme_->setObjectName("mminforme");
    mminforme_->setReadOnly(true);
    mminforme_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mminforme_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mminforme_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mminforme_->setContextMenuPolicy(Qt::NoContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mminforme_);
    resultwindow::setLines(mminforme_, lines);
    // Keys reach the text box, clicks its viewport; the scroll bars stay usable.
    mminforme_->installEventFilter(this);
    mminforme_->viewport()->installEventFilter(this);
    setFocusProxy(mminforme_);
}

bool ReportWindow::eventFilter(QObject *watched, QEvent *event)
{
    const bool key = watched == mminforme_ && event->type() == QEvent::KeyPress;
    const bool click = watched == mminforme_->viewport() && event->type() == QEvent::MouseButtonPress;
    if (key || click) {
        closeWindow();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ReportWindow::closeWindow()
{
    QWidget *frame = parentWidget() ? parentWidget() : this;
    frame->close(); // deleted later, once this event is over
}
