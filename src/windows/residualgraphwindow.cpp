#include "windows/residualgraphwindow.h"

ResidualGraphWindow::ResidualGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent)
    : PlotWindow(render::Graph::Residuals, QStringLiteral("Gráfica (Residuales)"), QStringLiteral("1"), options,
                 dialogs, parent)
{
}
