#pragma once
// The windowed application: the frame and the windows that live for the
// whole run, created in the start-up order and wired together. The tests
// build the same thing with a scripted dialogs layer.
#include <QString>

#include <memory>

class HelpViewer;
class TFshow;
class TMainForm;
class TOptionsDlg;
class TPlotForm;
class Tfrmpredice;
class UserDialogs;

class Application {
public:
    Application(UserDialogs &dialogs, char decimalSeparator);
    ~Application();

    TMainForm &frame() { return *frame_; }
    TOptionsDlg &options() { return *options_; }
    TPlotForm &plot() { return *plot_; }
    TFshow &splash() { return *splash_; }
    Tfrmpredice &predictions() { return *predictions_; }
    HelpViewer &help() { return *help_; }

    // Shows the frame maximized and the splash window over it.
    void show();

private:
    std::unique_ptr<TMainForm> frame_;
    TOptionsDlg *options_ = nullptr; // the others belong to the frame
    TPlotForm *plot_ = nullptr;
    TFshow *splash_ = nullptr;
    Tfrmpredice *predictions_ = nullptr;
    HelpViewer *help_ = nullptr;
};

// Runs the application until its frame closes; `studyPath`, when given, is
// opened at start.
int runApplication(int &argc, char **argv, const QString &studyPath);
