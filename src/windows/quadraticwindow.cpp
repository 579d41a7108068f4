#include "windows/quadraticwindow.h"

#include "windows/objectnames.h"

#include <QPlainTextEdit>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFcuadratico,
    .caption = QStringLiteral("Modelo cuadrático"),
    .helpContext = 18,
    .size = QSize(640, 560),
    .fixedSize = false, // it scrolls
};

} // namespace

QuadraticWindow::QuadraticWindow(const stats::Lines &lines, QWidget *parent) : ResultWindow(kLook, parent)
{
    mmcuadratico_ = fillWithTextBox(QLatin1String(objectnames::mmcuadratico), lines);
    // The tables are aligned in characters: a fixed pitch keeps their columns.
    mmcuadratico_->setFont(windows::ColumnFont(13));
    mmcuadratico_->setLineWrapMode(QPlainTextEdit::NoWrap);
    addCloseMenu(mmcuadratico_);
}
