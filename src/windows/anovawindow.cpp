#include "windows/anovawindow.h"

#include "windows/objectnames.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include <QHeaderView>
#include <QKeyEvent>
#include <QTextDocument>
#include <QTextEdit>

#include <cmath>

namespace {

constexpr int kGridHeight = 201;
constexpr int kTableWidth = 170 + 5 * 100 + 2; // column 0 widened, five of 100, the frame

const ResultWindowLook kLook = {
    .objectName = objectnames::TfinfoA,
    .caption = QStringLiteral("Análisis de la varianza"),
    .helpContext = 13,
    // Wide enough to show the whole table, Pfcal included.
    .size = QSize(kTableWidth + 16, 300),
    .centred = true,
};

} // namespace

AnovaTableGrid::AnovaTableGrid(QWidget *parent) : QTableWidget(7, 6, parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(100);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(24); // the seven rows within the grid's 201 pixels
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // No cell shows as selected: the focus frame marks the current one.
    setSelectionMode(QAbstractItemView::NoSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTabKeyNavigation(true);
}

bool AnovaTableGrid::event(QEvent *event)
{
    // Tab is taken before keyPressEvent, so the rule looks at every key here.
    const bool handled = QTableWidget::event(event);
    if (event->type() == QEvent::KeyPress && !static_cast<QKeyEvent *>(event)->text().isEmpty() &&
        currentColumn() == columnCount() - 1) // keys that produce a character, once the grid has moved
        setTabKeyNavigation(currentRow() != rowCount() - 1);
    return handled;
}

void AnovaTableGrid::focusOutEvent(QFocusEvent *event)
{
    QTableWidget::focusOutEvent(event);
    setTabKeyNavigation(true);
    setCurrentCell(0, currentColumn() < 0 ? 0 : currentColumn());
}

AnovaWindow::AnovaWindow(const stats::AnovaGrid &cells, const stats::Lines &conclusions, QWidget *parent)
    : ResultWindow(kLook, parent)
{
    // The grid and the conclusions lie on a sheet that fills the window and
    // scrolls where the frame's arrangement makes the window smaller.
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    sheet_ = new QWidget(scroll);
    scroll->setWidget(sheet_);
    sheet_->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    stganova_ = new AnovaTableGrid(sheet_);
    stganova_->setObjectName(objectnames::stganova);
    stganova_->setGeometry(0, 0, 770, kGridHeight);
    stganova_->setColumnWidth(0, 170);
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 6; ++column)
            stganova_->setItem(row, column,
                               new QTableWidgetItem(QString::fromStdString(cells[static_cast<size_t>(row)]
                                                                               [static_cast<size_t>(column)])));

    memoa_ = new QTextEdit(sheet_);
    memoa_->setObjectName("memoa");
    memoa_->setReadOnly(true);
    memoa_->setTextInteractionFlags(Qt::NoTextInteraction);
    memoa_->setFocusPolicy(Qt::NoFocus);
    for (const std::string &line : conclusions) {
        memoa_->append(QString::fromStdString(line));
        memoa_->setAlignment(Qt::AlignCenter);
    }
    addCloseMenu(memoa_);
    stganova_->setContextMenuPolicy(Qt::ActionsContextMenu);
    stganova_->addActions(actions());
    // The sheet never smaller than the whole table and the conclusions.
    QTextDocument *text = memoa_->document();
    text->setTextWidth(kTableWidth - 2 * memoa_->frameWidth());
    sheet_->setMinimumSize(kTableWidth, kGridHeight + static_cast<int>(std::ceil(text->size().height())) +
                                            2 * memoa_->frameWidth());
}

bool AnovaWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The conclusions stay centred in what the window shows.
    if (watched == sheet_ && event->type() == QEvent::Resize)
        memoa_->setGeometry(0, kGridHeight, sheet_->width(), 245);
    return ResultWindow::eventFilter(watched, event);
}
