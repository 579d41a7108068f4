#include "windows/profilegraphwindow.h"

ProfileGraphWindow::ProfileGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent)
    : PlotWindow(render::Graph::Profile, options, dialogs, parent)
{
}
