#include "windows/residualswindow.h"

#include "windows/objectnames.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

// Heading lines and one line per observation of the largest study.
constexpr int kLinesShown = 2 + 25;

const ResultWindowLook kLook = {
    .objectName = objectnames::TfinfoR,
    .caption = QStringLiteral("Análisis de Residuales"),
    .helpContext = 13,
    .size = QSize(609, 615),
    .centred = true,
};

} // namespace

ResidualsWindow::ResidualsWindow(const std::array<stats::Lines, 4> &columns, QWidget *parent)
    : ResultWindow(kLook, parent)
{
    auto *title = new QLabel(QStringLiteral("ANÁLISIS DE RESIDUALES"), this);
    title->setObjectName("Label1");
    title->move(168, 8);

    // Every line of a full study fits: the window takes no input, so
    // nothing could be scrolled into view.
    const QFontMetrics metrics(font());
    const int height = kLinesShown * metrics.lineSpacing() + 12;
    const struct {
        const char *name;
        int left, width;
    } layout[] = {{"memoR", 0, 120}, {"Memo1R", 115, 160}, {"Memo2R", 270, 160}, {"Memo3R", 424, 160}};
    for (size_t i = 0; i < boxes_.size(); ++i) {
        QPlainTextEdit *box = addTextBox(layout[i].name, columns[i]);
        box->setGeometry(layout[i].left, 32, layout[i].width, height);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        boxes_[i] = box;
    }
    // The whole window is disabled: it takes no mouse or keyboard input and
    // is closed from the frame. Its text keeps the colours of enabled text:
    // it is there to be read.
    QPalette readable = palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::Base, QPalette::Window})
        readable.setColor(QPalette::Disabled, role, readable.color(QPalette::Active, role));
    setPalette(readable);
    setEnabled(false);
}
