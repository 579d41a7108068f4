#include "windows/reportwindow.h"

#include "windows/objectnames.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::Tfrminforme,
    .caption = QStringLiteral("Informe"),
    .helpContext = 19,
    .size = QSize(435, 300),
    .fixedSize = false, // it scrolls
};

} // namespace

ReportWindow::ReportWindow(const stats::Lines &lines, QWidget *parent) : ResultWindow(kLook, parent)
{
    // Read-only, and it takes the focus: its keys close it.
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
    windows::SetLines(mminforme_, lines);
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
    return ResultWindow::eventFilter(watched, event);
}
