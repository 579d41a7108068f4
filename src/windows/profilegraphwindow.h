#pragma once
// «Gráfica del perfil de exactitud»: for the model chosen in the profile's
// window, each back-calculated result's relative error against its amount,
// the relative bias, the β-expectation tolerance limits, the acceptance
// limits and the ends of the validated range. Its title and Y label come
// from the options dialog; every build labels the X axis with the units.
#include "windows/plotwindow.h"

class ProfileGraphWindow : public PlotWindow {
    Q_OBJECT
public:
    ProfileGraphWindow(GraphOptionsDialog &options, UserDialogs &dialogs, QWidget *parent = nullptr);
};
