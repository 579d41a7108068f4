#include "app/application.h"

#include "app/mainwindow.h"
#include "cli/headless.h"
#include "render/productpicture.h"
#include "widgets/helpviewer.h"
#include "widgets/userdialogs.h"
#include "windows/graphoptionsdialog.h"
#include "windows/predictionwindow.h"
#include "windows/printoptionswindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/splashwindow.h"
#include "windows/residualgraphwindow.h"
#include "windows/profilegraphwindow.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <QScreen>

#include <cstdio>
#include <memory>
#include <optional>
#include <cstdlib>

Application::Application(UserDialogs &dialogs, char decimalSeparator)
    : frame_(std::make_unique<MainWindow>(dialogs, decimalSeparator))
{
    MainWindow *frame = frame_.get();
    options_ = new GraphOptionsDialog(frame);
    plot_ = new RegressionGraphWindow(*options_, dialogs, frame);
    residualPlot_ = new ResidualGraphWindow(*options_, dialogs, frame);
    profilePlot_ = new ProfileGraphWindow(*options_, dialogs, frame);
    splash_ = new SplashWindow(frame);
    printOptions_ = new PrintOptionsWindow(dialogs, decimalSeparator, frame);
    predictions_ = new PredictionWindow(dialogs, decimalSeparator, frame);
    help_ = new HelpViewer(dialogs, HelpViewer::defaultSearchDirectories(), frame);
    frame->setSingleWindows({options_, plot_, residualPlot_, profilePlot_, splash_, printOptions_, predictions_, help_});

    // Typing a graph title is a change to the study, taken back when the
    // dialog is cancelled; accepted titles are a change however they came.
    using StudyMark = StudyEditorHost::StudyMark;
    auto markBefore = std::make_shared<std::optional<StudyMark>>();
    QObject::connect(options_, &GraphOptionsDialog::titleTyped, frame, [frame, markBefore] {
        if (!*markBefore)
            *markBefore = frame->studyMark();
        frame->setStudyMark(StudyMark::Modified);
    });
    QObject::connect(options_, &GraphOptionsDialog::titleEditCancelled, frame, [frame, markBefore] {
        if (*markBefore)
            frame->setStudyMark(**markBefore);
    });
    QObject::connect(options_, &GraphOptionsDialog::titlesAccepted, frame,
                     [frame] { frame->setStudyMark(StudyMark::Modified); });
    QObject::connect(options_, &QDialog::finished, frame, [markBefore] { markBefore->reset(); });
    for (QWidget *window : {static_cast<QWidget *>(options_), static_cast<QWidget *>(predictions_),
                            static_cast<QWidget *>(plot_), static_cast<QWidget *>(residualPlot_),
                            static_cast<QWidget *>(profilePlot_)})
        help_->attachContextKey(window);
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

namespace {

// While the windowing system is being reached, Qt's own warnings (its list of
// platforms) are not for the user, and its fatal error would abort: without
// a display the program says so in Spanish, points to the headless commands
// and ends with status 1.
void startupMessages(QtMsgType type, const QMessageLogContext &, const QString &)
{
    if (type != QtFatalMsg)
        return;
    std::fputs("No se pueden abrir las ventanas: no hay una pantalla disponible.\n"
               "Las órdenes sin ventanas funcionan sin ella; vea «linealidad --help».\n",
               stderr);
    std::_Exit(1);
}

} // namespace

int app::RunApplication(int &argc, char **argv, const QString &studyPath)
{
    const QtMessageHandler previous = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    // The user's settings (acceptance limits) live under these names.
    QApplication::setOrganizationName(QStringLiteral("Ostrevia"));
    QApplication::setApplicationName(QStringLiteral("linealidad"));
    QApplication::setWindowIcon(QIcon(render::ProductPicture(QSize(64, 64))));
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
