#pragma once
// The windowed application: the frame and the windows that live for the
// whole run, created in the start-up order and wired together. The tests
// build the same thing with a scripted dialogs layer.
#include <QString>

#include <memory>

class HelpViewer;
class SplashWindow;
class MainWindow;
class GraphOptionsDialog;
class RegressionGraphWindow;
class ResidualGraphWindow;
class ProfileGraphWindow;
class PredictionWindow;
class PrintOptionsWindow;
class UserDialogs;

class Application {
public:
    Application(UserDialogs &dialogs, char decimalSeparator);
    ~Application();

    MainWindow &frame() { return *frame_; }
    GraphOptionsDialog &options() { return *options_; }
    RegressionGraphWindow &plot() { return *plot_; }
    ResidualGraphWindow &residualPlot() { return *residualPlot_; }
    ProfileGraphWindow &profilePlot() { return *profilePlot_; }
    SplashWindow &splash() { return *splash_; }
    PrintOptionsWindow &printOptions() { return *printOptions_; }
    PredictionWindow &predictions() { return *predictions_; }
    HelpViewer &help() { return *help_; }

    // Shows the frame maximized and the splash window over it.
    void show();

private:
    std::unique_ptr<MainWindow> frame_;
    GraphOptionsDialog *options_ = nullptr; // the others belong to the frame
    RegressionGraphWindow *plot_ = nullptr;
    ResidualGraphWindow *residualPlot_ = nullptr;
    ProfileGraphWindow *profilePlot_ = nullptr;
    SplashWindow *splash_ = nullptr;
    PrintOptionsWindow *printOptions_ = nullptr;
    PredictionWindow *predictions_ = nullptr;
    HelpViewer *help_ = nullptr;
};

namespace app {

// Runs the application until its frame closes; `studyPath`, when given, is
// opened at start.
int RunApplication(int &argc, char **argv, const QString &studyPath);

} // namespace app
