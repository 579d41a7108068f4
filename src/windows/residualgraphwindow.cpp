#include "windows/residualgraphwindow.h"

ResidualGraphWindow::ResidualGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent)
    : PlotWindow(render::Graph::Residuals, options, dialogs, parent)
{
}
