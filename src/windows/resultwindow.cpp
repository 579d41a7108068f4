#include "windows/resultwindow.h"

#include "widgets/helpcontext.h"

#include "stats/errors.h"

#include <QAction>
#include <QBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

ResultWindow::ResultWindow(const ResultWindowLook &look, QWidget *parent) : QWidget(parent), look_(look)
{
    setObjectName(QLatin1String(look.objectName));
    setWindowTitle(look.caption);
    if (look.helpContext)
        widgets::SetHelpContext(this, look.helpContext);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);
}

QSize ResultWindow::sizeHint() const { return look_.sizeIsClient ? look_.size : QWidget::sizeHint(); }

QPlainTextEdit *ResultWindow::addTextBox(const QString &objectName, const stats::Lines &lines)
{
    auto *box = new QPlainTextEdit(this);
    box->setObjectName(objectName);
    box->setReadOnly(true);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    box->setFocusPolicy(Qt::NoFocus);
    box->setUndoRedoEnabled(false);
    windows::SetLines(box, lines);
    return box;
}

QPlainTextEdit *ResultWindow::fillWithTextBox(const QString &objectName, const stats::Lines &lines)
{
    QPlainTextEdit *box = addTextBox(objectName, lines);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    return box;
}

void ResultWindow::addCloseMenu(QWidget *area)
{
    auto *close = new QAction(QStringLiteral("Cerrar"), this);
    close->setObjectName("Cerrar1");
    connect(close, &QAction::triggered, this, &ResultWindow::closeWindow);
    addAction(close);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    if (area) {
        area->addAction(close);
        area->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
}

void ResultWindow::studyChanged(const stats::StudyData &) {}

bool ResultWindow::outOfDate() const { return banner_ && !banner_->isHidden(); }

void ResultWindow::setSeries(const stats::SeriesNote *note)
{
    series_.clear();
    if (note) {
        series_ = QStringLiteral(" — Serie %1 de %2").arg(note->number).arg(note->count);
        if (!note->name.empty())
            series_ += QStringLiteral(" («%1»)").arg(QString::fromStdString(note->name));
    }
    showCaption();
}

void ResultWindow::showCaption()
{
    setWindowTitle(look_.caption + series_ + (outOfDate() ? QStringLiteral(" (DESACTUALIZADA)") : QString()));
}

void ResultWindow::followStudy(const std::function<std::string()> &compute)
{
    std::string refusal;
    stats::ReportCommandErrors([&] { refusal = compute(); }, [&](const std::string &message) { refusal = message; });
    setOutOfDate(refusal);
}

void ResultWindow::setOutOfDate(const std::string &reason)
{
    if (reason.empty()) {
        if (banner_)
            banner_->hide();
        showCaption();
        return;
    }
    if (!banner_) {
        // Across the top of the window, above whatever it shows.
        banner_ = new QLabel(this);
        banner_->setObjectName(QStringLiteral("Ldesactualizada"));
        banner_->setTextFormat(Qt::PlainText);
        banner_->setWordWrap(true);
        banner_->setMargin(6);
        banner_->setAutoFillBackground(true);
        QPalette palette = banner_->palette();
        palette.setColor(QPalette::Window, QColor(190, 0, 0));
        palette.setColor(QPalette::WindowText, Qt::white);
        banner_->setPalette(palette);
        QFont bold = banner_->font();
        bold.setBold(true);
        banner_->setFont(bold);
        if (auto *box = qobject_cast<QBoxLayout *>(layout()))
            box->insertWidget(0, banner_);
    }
    QString why = QString::fromStdString(reason);
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    banner_->setText(QStringLiteral("DESACTUALIZADA: el estudio del editor no se puede calcular (") + why +
                     QStringLiteral("). Sus cifras no son las del estudio del editor."));
    banner_->show();
    showCaption();
}

void ResultWindow::closeWindow()
{
    QWidget *frame = parentWidget() ? parentWidget() : this;
    frame->close(); // deleted later, once the current event is over
}

namespace windows {

void SetLines(QPlainTextEdit *box, const stats::Lines &lines)
{
    QStringList text;
    for (const std::string &line : lines)
        text << QString::fromStdString(line);
    box->setPlainText(text.join('\n'));
}

QFont ColumnFont(int pixelSize)
{
    QFont font(QStringLiteral("Liberation Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true); // where it is missing, another fixed-pitch font
    font.setPixelSize(pixelSize);
    return font;
}

QStringList TextLines(const QPlainTextEdit *box)
{
    QStringList result;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next())
        result << block.text();
    return result;
}

} // namespace windows
