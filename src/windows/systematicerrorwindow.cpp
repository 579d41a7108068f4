#include "windows/systematicerrorwindow.h"

#include "windows/objectnames.h"

#include <QFontMetrics>
#include <QPlainTextEdit>

#include <algorithm>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFerrorp,
    .caption = QStringLiteral("Evaluación del Error"),
    .helpContext = 15,
    .size = QSize(435, 253),
};

} // namespace

SystematicErrorWindow::SystematicErrorWindow(const stats::Lines &lines, QWidget *parent) : ResultWindow(kLook, parent)
{
    mmerrorp_ = fillWithTextBox("mmerrorp", lines);
    mmerrorp_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmerrorp_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmerrorp_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    addCloseMenu(mmerrorp_);

    // Wide enough for the longest line and tall enough for all of them: the
    // box neither wraps a value onto a line of its own nor hides the verdict.
    const QFontMetrics metrics(mmerrorp_->font());
    int widest = 0;
    for (const std::string &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(line)));
    const int margins = 2 * (static_cast<int>(mmerrorp_->document()->documentMargin()) + mmerrorp_->frameWidth());
    mmerrorp_->setMinimumSize(widest + margins + metrics.averageCharWidth(),
                              static_cast<int>(lines.size()) * metrics.lineSpacing() + margins);
}
