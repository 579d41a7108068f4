#include "windows/regressiongraphwindow.h"

#include "widgets/userdialogs.h"
#include "cli/headless.h"
#include "windows/graphoptionsdialog.h"
#include "stats/conversions.h"
#include "stats/numberformat.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QVBoxLayout>

namespace {

void resetPlot(PlotState &state)
{
    PlotState reset;
    reset.requestedLimits = state.requestedLimits;
    reset.title = state.title;
    reset.xLabel = state.xLabel;
    reset.yLabel = state.yLabel;
    state = reset;
}

QString limitText(double value, char separator)
{
    return QString::fromStdString(stats::FormatGeneral(value, 15, separator));
}

double limitValue(const QString &text, char separator)
{
    return stats::StrToFloat(text.toStdString(), separator);
}

} // namespace

RegressionGraphWindow::RegressionGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), options_(options), dialogs_(dialogs)
{
    setObjectName(QStringLiteral("PlotForm"));
    setWindowTitle(QStringLiteral("Grafica"));
    setFont(QFont(QStringLiteral("Arial")));
    setToolTip(QStringLiteral("Botón derecho para opciones"));
    resize(491, 315);

    plotterBox_ = new QWidget(this);
    plotterBox_->setObjectName(QStringLiteral("PlotterBox"));
    plotterBox_->setToolTip(toolTip());
    plotterBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plotterBox_);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PlotterPopupMenu"));
    QAction *opc = popup_->addAction(QStringLiteral("&Opciones"));
    opc->setObjectName(QStringLiteral("Opc"));
    connect(opc, &QAction::triggered, this, &RegressionGraphWindow::OpcClick);
    QAction *recalc = popup_->addAction(QStringLiteral("&Recalcula Límites"));
    recalc->setObjectName(QStringLiteral("Recalc"));
    recalc->setVisible(false);
    recalc->setEnabled(false);
    QAction *print = popup_->addAction(QStringLiteral("&Imprimir"));
    print->setObjectName(QStringLiteral("Imprime"));
    print->setEnabled(false); // printing comes with the drawing engine
    popup_->addSeparator()->setObjectName(QStringLiteral("N1"));
    QAction *close = popup_->addAction(QStringLiteral("&Cerrar"));
    close->setObjectName(QStringLiteral("Crr"));
    connect(close, &QAction::triggered, this, &RegressionGraphWindow::CrrClick);
    connect(plotterBox_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { popup_->popup(plotterBox_->mapToGlobal(at)); });

    resetPlot(state_);
}

void RegressionGraphWindow::SetTitle(const QString &text) { state_.title = text; }
void RegressionGraphWindow::SetXLabel(const QString &text) { state_.xLabel = text; }
void RegressionGraphWindow::SetYLabel(const QString &text) { state_.yLabel = text; }

void RegressionGraphWindow::fillOptions()
{
    const char separator = cli::LocaleDecimalSeparator();
    options_.setTitleText(state_.title);
    options_.setXLabelText(state_.xLabel);
    options_.setYLabelText(state_.yLabel);
    options_.setModifiers(state_.barDrawing, state_.logX, state_.logY);
    // The limits last drawn, already widened to whole steps.
    const PlotLimits &shown = state_.axisLimits;
    options_.setLimitTexts(limitText(shown.xMin, separator), limitText(shown.xMax, separator),
                           limitText(shown.yMin, separator), limitText(shown.yMax, separator));
    options_.setReferenceIndex(static_cast<int>(state_.gridStyle));
}

void RegressionGraphWindow::takeOptions()
{
    const char separator = cli::LocaleDecimalSeparator();
    state_.title = options_.titleText();
    state_.xLabel = options_.xLabelText();
    state_.yLabel = options_.yLabelText();
    state_.barDrawing = options_.histogram();
    state_.logX = options_.logX();
    state_.logY = options_.logY();
    // In this order: a faulty text stops here, after the ones before it.
    state_.requestedLimits.xMin = limitValue(options_.xMinText(), separator);
    state_.requestedLimits.yMin = limitValue(options_.yMinText(), separator);
    state_.requestedLimits.xMax = limitValue(options_.xMaxText(), separator);
    state_.requestedLimits.yMax = limitValue(options_.yMaxText(), separator);
    state_.gridStyle = static_cast<GridStyle>(options_.referenceIndex());
    plotterBox_->update();
}

void RegressionGraphWindow::OpcClick()
{
    fillOptions();
    if (options_.exec() != QDialog::Accepted)
        return;
    runReportingErrors(dialogs_, this, [this] { takeOptions(); });
}

void RegressionGraphWindow::CrrClick() { close(); }

void RegressionGraphWindow::closeEvent(QCloseEvent *event)
{
    // Hidden, not destroyed: every opening starts with empty curves, no grid
    // and limits derived from the data; the titles stay.
    resetPlot(state_);
    QWidget::closeEvent(event);
}
