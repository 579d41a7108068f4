#include "app/application.h"

#include "widgets/helpviewer.h"
#include "render/productpicture.h"
#include "windows/predictionwindow.h"
#include "windows/splashwindow.h"
#include "app/mainwindow.h"
#include "widgets/userdialogs.h"
#include "cli/headless.h"
#include "windows/graphoptionsdialog.h"
#include "windows/regressiongraphwindow.h"
#include "windows/residualgraphwindow.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <QScreen>

Application::Application(UserDialogs &dialogs, char decimalSeparator)
    : frame_(std::make_unique<MainWindow>(dialogs, decimalSeparator))
{
    MainWindow *frame = frame_.get();
    options_ = new GraphOptionsDialog(frame);
    plot_ = new RegressionGraphWindow(*options_, dialogs, frame);
    residualPlot_ = new ResidualGraphWindow(*options_, dialogs, frame);
    splash_ = new SplashWindow(frame);
    predictions_ = new PredictionWindow(dialogs, decimalSeparator, frame);
    help_ = new HelpViewer(dialogs, HelpViewer::defaultSearchDirectories(), frame);
    frame->setSingleWindows({options_, plot_, residualPlot_, splash_, predictions_, help_});

    // Typing a graph title is a change to the study.
    QObject::connect(options_, &GraphOptionsDialog::titleTyped, frame,
                     [frame] { frame->setModifiedText(QStringLiteral("Modificado")); });
    help_->attachContextKey(options_, 1100);
    help_->attachContextKey(predictions_, 12);
    help_->attachContextKey(plot_, PlotWindow::kHelpContext);
    help_->attachContextKey(residualPlot_, PlotWindow::kHelpContext);
}

Application::~Application() = default;

void Application::show()
{
    // Maximized; where no window manager maximizes it, the screen's size.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        frame_->setGeometry(screen->availableGeometry());
    frame_->showMaximized();
    splash_->show();
    splash_->raise();
    // The splash hides once the frame has been active for a while; its time
    // runs from now, so that it never stays over a frame that did not become
    // active (another program kept the focus).
    splash_->mainWindowActivated();
}

int runApplication(int &argc, char **argv, const QString &studyPath)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("linealidad"));
    QApplication::setWindowIcon(QIcon(productPicture(QSize(64, 64))));
    // The interface is Spanish, Qt's own dialogs and buttons included.
    QTranslator qtSpanish;
    if (qtSpanish.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtSpanish);
    QtUserDialogs dialogs;
    Application application(dialogs, cli::LocaleDecimalSeparator());
    QObject::connect(&application.frame(), &MainWindow::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    application.show();
    if (!studyPath.isEmpty())
        application.frame().openStudyFile(studyPath);
    return app.exec();
}
