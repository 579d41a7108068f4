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
    // Where the frame's arrangement makes the window smaller than its
    // lines, they scroll rather than wrap.
    mmerrorp_->setLineWrapMode(QPlainTextEdit::NoWrap);
    addCloseMenu(mmerrorp_);

}

// Wide enough for the longest line and tall enough for all of them, in the
// font the box draws with (the workspace's bold, once the window is in it):
// no value stands on a line of its own and the verdict shows.
QSize SystematicErrorWindow::sizeHint() const
{
    const QFontMetrics metrics(mmerrorp_->font());
    const QStringList lines = windows::TextLines(mmerrorp_);
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margins = 2 * (static_cast<int>(mmerrorp_->document()->documentMargin()) + mmerrorp_->frameWidth());
    return {widest + margins + metrics.averageCharWidth(), static_cast<int>(lines.size()) * metrics.lineSpacing() + margins};
}
