#include "windows/regressiongraphwindow.h"

RegressionGraphWindow::RegressionGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent)
    : PlotWindow(render::Graph::Regression, options, dialogs, parent)
{
}
