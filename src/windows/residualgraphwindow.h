#pragma once
// The residual graph "Gráfica (Residuales)": the studentized residual of
// every observation against its amount added, with the zero line. Its title
// and Y label come only from the options dialog; every build labels the X
// axis with the study's units.
#include "windows/plotwindow.h"

class ResidualGraphWindow : public PlotWindow {
    Q_OBJECT
public:
    ResidualGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent = nullptr);
};
