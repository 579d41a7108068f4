#pragma once
// The regression graph "Grafica": the observations of the active study and
// the fitted line, with the legend of the fit. Opening a study file gives it
// the file's title and axis labels, which carry over from one study to the
// next within a run.
#include "windows/plotwindow.h"

class RegressionGraphWindow : public PlotWindow {
    Q_OBJECT
public:
    RegressionGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent = nullptr);
};
