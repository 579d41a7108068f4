#include "windows/plotwindow.h"

#include "windows/objectnames.h"
#include "cli/headless.h"
#include "render/graphcommand.h"
#include "render/page.h"
#include "stats/conversions.h"
#include "stats/numberformat.h"
#include "widgets/helpcontext.h"
#include "widgets/userdialogs.h"
#include "windows/graphoptionsdialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenu>
#include <QPainter>
#include <QPrinter>
#include <QVBoxLayout>

namespace {

QString limitText(double value, char separator)
{
    return QString::fromStdString(stats::FormatGeneral(value, 15, separator));
}

double limitValue(const QString &text, char separator) { return stats::StrToFloat(text.toStdString(), separator); }

} // namespace

PlotWindow::PlotWindow(render::Graph graph, GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), graph_(graph), engine_(render::KindOf(graph)),
      options_(options), dialogs_(dialogs)
{
    const QString &suffix = engine_.kind().objectSuffix;
    const QString &caption = engine_.kind().windowCaption;
    setObjectName(objectnames::PlotForm + suffix);
    widgets::SetHelpContext(this, 14);
    setWindowTitle(caption);
    setFont(QFont(QStringLiteral("Arial")));
    setToolTip(QStringLiteral("Botón derecho para opciones"));
    resize(engine_.kind().windowSize);

    plotterBox_ = new QWidget(this);
    plotterBox_->setObjectName(QStringLiteral("PlotterBox") + suffix);
    plotterBox_->setToolTip(toolTip());
    plotterBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    plotterBox_->setAttribute(Qt::WA_OpaquePaintEvent); // the drawing covers it all
    plotterBox_->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plotterBox_);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PlotterPopupMenu") + suffix);
    QAction *opc = popup_->addAction(QStringLiteral("&Opciones"));
    opc->setObjectName(QStringLiteral("Opc") + suffix);
    connect(opc, &QAction::triggered, this, &PlotWindow::showOptions);
    QAction *recalc = popup_->addAction(QStringLiteral("&Recalcula Límites"));
    recalc->setObjectName(QStringLiteral("Recalc") + suffix);
    recalc->setVisible(false);
    recalc->setEnabled(false);
    connect(recalc, &QAction::triggered, this, &PlotWindow::recalculateLimits);
    QAction *print = popup_->addAction(QStringLiteral("&Imprimir"));
    print->setObjectName(QStringLiteral("Imprime") + suffix);
    connect(print, &QAction::triggered, this, &PlotWindow::printGraph);
    if (graph == render::Graph::Regression) {
        QAction *curve = popup_->addAction(QStringLiteral("Curva cua&drática"));
        curve->setObjectName(QStringLiteral("Cuadratica") + suffix);
        curve->setCheckable(true);
        connect(curve, &QAction::toggled, this, &PlotWindow::setShowsQuadratic);
    }
    popup_->addSeparator()->setObjectName(QStringLiteral("N1") + suffix);
    QAction *close = popup_->addAction(QStringLiteral("&Cerrar"));
    close->setObjectName(QStringLiteral("Crr") + suffix);
    connect(close, &QAction::triggered, this, &PlotWindow::closeGraph);
    connect(plotterBox_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { popup_->popup(plotterBox_->mapToGlobal(at)); });
}

PlotWindow::~PlotWindow() = default;

bool PlotWindow::build(const stats::CommandOutcome &outcome, const stats::StudyTexts &study)
{
    render::PlotEngine trial(engine_.kind());
    // The texts of the outcome are in the user's separator; so are the ticks.
    const char separator = cli::LocaleDecimalSeparator();
    render::FillGraph(trial, outcome, study, separator);
    if (!trial.PointsDrawable()) {
        dialogs_.message(this, QString::fromUtf8(render::kPointsNotDrawable));
        return false;
    }
    render::FillGraph(engine_, outcome, study, separator, showsQuadratic_);
    built_ = outcome;
    builtStudy_ = stats::SnapshotOf(study);
    analyst_ = study.analyst();
    method_ = study.method();
    plotterBox_->update();
    return true;
}

void PlotWindow::setShowsQuadratic(bool shows)
{
    showsQuadratic_ = shows;
    if (QAction *curve = popup_->findChild<QAction *>(QStringLiteral("Cuadratica") + engine_.kind().objectSuffix))
        curve->setChecked(shows);
    if (built_) {
        render::FillGraph(engine_, *built_, builtStudy_, cli::LocaleDecimalSeparator(), showsQuadratic_);
        plotterBox_->update();
    }
}

void PlotWindow::showModally()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    connect(this, &PlotWindow::closed, &loop, &QEventLoop::quit);
    if (isVisible())
        loop.exec();
}

bool PlotWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == plotterBox_ && event->type() == QEvent::Paint) {
        QPainter painter(plotterBox_);
        engine_.PaintPlot(painter, plotterBox_->size());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void PlotWindow::fillOptions()
{
    const char separator = cli::LocaleDecimalSeparator();
    const PlotState &s = state();
    options_.setTitleText(s.title);
    options_.setXLabelText(s.xLabel);
    options_.setYLabelText(s.yLabel);
    // The limits the window shows, widened to whole steps.
    const PlotLimits shown = engine_.ScreenLimits();
    options_.setLimitTexts(limitText(shown.xMin, separator), limitText(shown.xMax, separator),
                           limitText(shown.yMin, separator), limitText(shown.yMax, separator));
    options_.setReferenceIndex(static_cast<int>(s.gridStyle));
}

bool PlotWindow::takeOptions()
{
    const char separator = cli::LocaleDecimalSeparator();
    // Every limit is converted, in this order, before anything is taken.
    PlotLimits typed;
    typed.xMin = limitValue(options_.xMinText(), separator);
    typed.yMin = limitValue(options_.yMinText(), separator);
    typed.xMax = limitValue(options_.xMaxText(), separator);
    typed.yMax = limitValue(options_.yMaxText(), separator);
    if (!render::Drawable(typed)) {
        dialogs_.message(this, QString::fromUtf8(render::kLimitsNotDrawable));
        return false;
    }
    PlotState &s = state();
    s.title = options_.titleText();
    s.xLabel = options_.xLabelText();
    s.yLabel = options_.yLabelText();
    s.requestedLimits = typed;
    s.limitsComputed = true; // typed limits hold until the next build
    const int reference = options_.referenceIndex();
    s.gridStyle = static_cast<GridStyle>(reference >= 0 && reference <= 3 ? reference : 0);
    plotterBox_->update();
    return true;
}

void PlotWindow::showOptions()
{
    fillOptions();
    // The shared dialog comes up as this window's own (its transient
    // parent): a window manager then keeps it above this stay-on-top
    // window, maximised or not, instead of opening it out of reach beneath.
    QWidget *owner = options_.parentWidget();
    const Qt::WindowFlags flags = options_.windowFlags();
    if (owner != this)
        options_.setParent(this, flags);
    const int result = dialogs_.showModal(options_);
    if (owner != this)
        options_.setParent(owner, flags);
    if (result != QDialog::Accepted)
        return;
    bool taken = false;
    widgets::RunReportingErrors(dialogs_, this, [&] { taken = takeOptions(); });
    // Limits the graph refused leave it as it was, titles included: the
    // dialog, which Save reads, holds the graph's own again.
    if (!taken)
        fillOptions();
}

void PlotWindow::printGraph()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setResolution(render::kPageResolution);
        printer_->setPageLayout(render::DefaultPageLayout(QPageLayout::Landscape));
    }
    // Landscape even when the user then cancels.
    printer_->setPageOrientation(QPageLayout::Landscape);
    if (!dialogs_.print(this, *printer_))
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const cli::PrintRecord record = cli::MakePrintRecord(origin_ ? origin_() : cli::StudySource{});
        const render::DocumentInfo info =
            render::StudyDocumentInfo(render::GraphName(graph_), record, analyst_, method_);
        BeginRecordedPrint(*printer_, info);
        QPainter painter;
        if (!painter.begin(printer_.get())) {
            dialogs_.error(this, QStringLiteral("No se pudo iniciar la impresión."));
            return;
        }
        render::PrintGraphPage(engine_, painter, QSize(printer_->width(), printer_->height()), record);
        if (!painter.end()) {
            dialogs_.error(this, QStringLiteral("No se pudo terminar la impresión."));
            return;
        }
        FinishRecordedPrint(*printer_, info);
    });
}

void PlotWindow::closeGraph() { close(); }

void PlotWindow::recalculateLimits()
{
    engine_.ComputeLimits();
    plotterBox_->update();
}

void PlotWindow::closeEvent(QCloseEvent *event)
{
    // Hidden, not destroyed: every opening starts with empty curves, no grid
    // and limits derived from the data; the titles stay.
    engine_.ResetPlot();
    QWidget::closeEvent(event);
    emit closed();
}
