#include "windows/inferencewindow.h"

#include "widgets/helpcontext.h"
#include "windows/resultwindow.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

InferenceWindow::InferenceWindow(const stats::Lines &lines, QWidget *parent) : QWidget(parent)
{
    setObjectName("TFinfo");
    setWindowTitle(QStringLiteral("Error Sistematico Proporcional del Método Analítico"));
    setHelpContext(this, 11);
    resultwindow::useResultFont(this);
    resultwindow::setClientSize(this, QSize(532, 264));
    resultwindow::setCentred(this, true);
    memresult_ = resultwindow::makeTextBox(this, "memresult");
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(memresult_);
    resultwindow::addCloseMenu(this, memresult_);
    resultwindow::setLines(memresult_, lines);
}
