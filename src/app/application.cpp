#include "app/application.h"

#include "app/helpviewer.h"
#include "app/tfrmpredice.h"
#include "app/tfshow.h"
#include "app/tmainform.h"
#include "app/userdialogs.h"
#include "cli/headless.h"
#include "graphs/toptionsdlg.h"
#include "graphs/tplotform.h"

#include <QApplication>

Application::Application(UserDialogs &dialogs, char decimalSeparator)
    : frame_(std::make_unique<TMainForm>(dialogs, decimalSeparator))
{
    TMainForm *frame = frame_.get();
    options_ = new TOptionsDlg(frame);
    plot_ = new TPlotForm(*options_, dialogs, frame);
    splash_ = new TFshow(frame);
    predictions_ = new Tfrmpredice(dialogs, decimalSeparator, frame);
    help_ = new HelpViewer(dialogs, HelpViewer::defaultSearchDirectories(), frame);
    frame->setSingleWindows({options_, plot_, splash_, predictions_, help_});

    // Typing a graph title is a change to the study.
    QObject::connect(options_, &TOptionsDlg::titleTyped, frame,
                     [frame] { frame->setModifiedText(QStringLiteral("Modificado")); });
    help_->attachContextKey(options_, 1100);
    help_->attachContextKey(predictions_, 12);
}

Application::~Application() = default;

void Application::show()
{
    frame_->showMaximized();
    splash_->show();
    splash_->raise();
}

int runApplication(int &argc, char **argv, const QString &studyPath)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("linealidad"));
    QtUserDialogs dialogs;
    Application application(dialogs, cli::LocaleDecimalSeparator());
    QObject::connect(&application.frame(), &TMainForm::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    application.show();
    if (!studyPath.isEmpty())
        application.frame().openStudyFile(studyPath);
    return app.exec();
}
