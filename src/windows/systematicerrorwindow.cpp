#include "windows/systematicerrorwindow.h"

#include "widgets/helpcontext.h"
#include "windows/resultwindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

SystematicErrorWindow::SystematicErrorWindow(const stats::Lines &lines, QWidget *parent) : QWidget(parent)
{
    setObjectName("TFerrorp");
    setWindowTitle(QStringLiteral("Evaluación del Error"));
    setHelpContext(this, 15);
    resultwindow::useResultFont(this);
    resultwindow::setOuterSize(this, QSize(435, 253));
    mmerrorp_ = resultwindow::makeTextBox(this, "mmerrorp");
    mmerrorp_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmerrorp_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmerrorp_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mmerrorp_);
    resultwindow::addCloseMenu(this, mmerrorp_);
    resultwindow::setLines(mmerrorp_, lines);
}
