#include "windows/residualswindow.h"

#include "windows/objectnames.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Heading lines and one line per observation of a full study of five by five:
// the boxes are never shorter than that.
constexpr int kLeastLines = 2 + 25;

const ResultWindowLook kLook = {
    .objectName = objectnames::TfinfoR,
    .caption = QStringLiteral("Análisis de Residuales"),
    .helpContext = 13,
    .size = QSize(609, 615),
    .centred = true,
    .fixedSize = false, // it scrolls
};

} // namespace

ResidualsWindow::ResidualsWindow(const std::array<stats::Lines, 4> &columns, QWidget *parent)
    : ResultWindow(kLook, parent)
{
    // The title and the four boxes lie on a sheet as tall as every line
    // needs. The sheet takes no input (its text can be neither selected nor
    // edited); the window around it scrolls it, so that a study with more
    // observations than the window's height shows every one of them.
    sheet_ = new QWidget;
    sheet_->setObjectName(QStringLiteral("hojaresiduales"));
    auto *title = new QLabel(QStringLiteral("ANÁLISIS DE RESIDUALES"), sheet_);
    title->setObjectName("Label1");
    title->move(168, 8);

    size_t lines = kLeastLines;
    for (const stats::Lines &column : columns)
        lines = std::max(lines, column.size());
    const QFontMetrics metrics(font());
    const int height = static_cast<int>(lines) * metrics.lineSpacing() + 12;
    const struct {
        const char *name;
        int left, width;
    } layout[] = {{"memoR", 0, 120}, {"Memo1R", 115, 160}, {"Memo2R", 270, 160}, {"Memo3R", 424, 160}};
    for (size_t i = 0; i < boxes_.size(); ++i) {
        QPlainTextEdit *box = addTextBox(layout[i].name, columns[i]);
        box->setParent(sheet_);
        box->setGeometry(layout[i].left, 32, layout[i].width, height);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        boxes_[i] = box;
    }
    sheet_->setFixedSize(layout[3].left + layout[3].width + 8, 32 + height + 8);
    // Disabled, its text keeps the colours of enabled text: it is there to be read.
    QPalette readable = palette();
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::Base, QPalette::Window})
        readable.setColor(QPalette::Disabled, role, readable.color(QPalette::Active, role));
    sheet_->setPalette(readable);
    sheet_->setEnabled(false);
    // The mouse passes through it to the window, whose wheel and bars scroll.
    sheet_->setAttribute(Qt::WA_TransparentForMouseEvents);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("desplazamiento"));
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidget(sheet_);
    // It scrolls by the wheel and its bars, and takes no keys nor offers a menu.
    scroll_->setFocusPolicy(Qt::NoFocus);
    for (QWidget *w : {static_cast<QWidget *>(scroll_), static_cast<QWidget *>(scroll_->verticalScrollBar()),
                       static_cast<QWidget *>(scroll_->horizontalScrollBar())}) {
        w->setContextMenuPolicy(Qt::NoContextMenu);
        w->setFocusPolicy(Qt::NoFocus);
    }
    setFocusPolicy(Qt::NoFocus);
    auto *fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(scroll_);
}

// With room for the vertical bar: a screen too short for every line never
// costs a horizontal one.
QSize ResidualsWindow::sizeHint() const
{
    return sheet_->size() + QSize(scroll_->verticalScrollBar()->sizeHint().width(), 0);
}
