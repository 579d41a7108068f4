#include "windows/inferencewindow.h"

#include "windows/objectnames.h"

#include <QPlainTextEdit>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFinfo,
    .caption = QStringLiteral("Error Sistematico Proporcional del Método Analítico"),
    .helpContext = 11,
    .size = QSize(532, 264),
    .sizeIsClient = true,
    .centred = true,
    .dialogBorder = true,
};

} // namespace

InferenceWindow::InferenceWindow(const stats::Lines &lines, QWidget *parent) : ResultWindow(kLook, parent)
{
    memresult_ = fillWithTextBox("memresult", lines);
    // Where the frame's arrangement makes the window smaller, the lines
    // scroll rather than wrap.
    memresult_->setLineWrapMode(QPlainTextEdit::NoWrap);
    addCloseMenu(memresult_);
}
