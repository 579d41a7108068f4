#include "app/mainwindow.h"
#include "windows/profilegraphwindow.h"
#include "windows/profilewindow.h"
#include "stats/accuracyprofile.h"

#include "app/toolbaricons.h"
#include "widgets/helpcontext.h"
#include "widgets/helpviewer.h"
#include "widgets/userdialogs.h"
#include "widgets/windowplacement.h"
#include "windows/aboutdialog.h"
#include "windows/archiveevaluation.h"
#include "windows/criteriawindow.h"
#include "windows/sampleswindow.h"
#include "windows/objectnames.h"
#include "windows/predictionwindow.h"
#include "windows/printoptionswindow.h"
#include "windows/regressiongraphwindow.h"
#include "windows/residualgraphwindow.h"
#include "windows/splashwindow.h"
#include "windows/studyeditor.h"
#include "windows/verificationwindow.h"
#include "windows/weightingwindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <utility>

// The names of the command table, as the table writes them.
using namespace objectnames;

namespace {

// A hint "short|long": the tool tip shows the short part, the status line
// the long part; a hint without a bar is both.
QString shortHint(const QString &hint) { return hint.section('|', 0, 0); }
QString longHint(const QString &hint) { return hint.contains('|') ? hint.section('|', 1) : hint; }

constexpr int kStatusLineWidth = 336;

void setHint(QAction *action, const QString &hint)
{
    action->setToolTip(shortHint(hint));
    action->setStatusTip(longHint(hint));
}

} // namespace

MainWindow::MainWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent)
    : QMainWindow(parent), dialogs_(dialogs), separator_(decimalSeparator)
{
    setObjectName(TMainForm);
    setWindowTitle(QStringLiteral("Linealidad del método"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    // The windows that follow the study compute once the analyst pauses:
    // an analysis for every keystroke would slow the typing of a large study.
    studyFollow_ = new QTimer(this);
    studyFollow_->setSingleShot(true);
    studyFollow_->setInterval(250);
    connect(studyFollow_, &QTimer::timeout, this, &MainWindow::followStudyNow);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(ClientArea);
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    widgets::KeepUnmaximisableWindowsNormal(mdi_);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    applyStates(CommandEvent::StartUp);
    // No output of any window is written over the study open here.
    dialogs_.setOpenStudy([this] { return openStudyPath(); });
}

MainWindow::~MainWindow() { dialogs_.setOpenStudy({}); }

void MainWindow::setSingleWindows(const SingleWindows &windows)
{
    windows_ = windows;
    // The page printed and the windows that follow the study agree: they
    // catch up with the study before a page is computed.
    if (windows_.printOptions)
        windows_.printOptions->setStudySource([this] {
            followStudyNow();
            return editor_.data();
        });
    // Every printout names the study the same way.
    const StudyOrigin origin = [this] { return studySource(); };
    if (windows_.printOptions) {
        windows_.printOptions->setStudyOrigin(origin);
        windows_.printOptions->setCriteriaTarget([this] { return criteriaTarget(); });
        windows_.printOptions->setWeightChoice([this] { return weightChoice(); });
        // The study as the editor holds it, with β and λ of the newest
        // profile window.
        windows_.printOptions->setWholeStudySource([this](stats::AnalysisOptions &options) {
            if (!editor_ || !editor_->holdsSeries())
                return;
            if (const std::optional<stats::SeriesStudy> study = editor_->currentSeriesStudy())
                options.wholeStudy = std::make_shared<const stats::SeriesStudy>(*study);
            const QList<QMdiSubWindow *> windows = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
            for (auto it = windows.crbegin(); it != windows.crend(); ++it)
                if (const auto *profile = qobject_cast<ProfileWindow *>((*it)->widget())) {
                    options.profile = profile->analysis().options.profile;
                    return;
                }
        });
        windows_.printOptions->setSamplesSource([this](stats::AnalysisOptions &options) {
            const QList<QMdiSubWindow *> windows = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
            for (auto it = windows.crbegin(); it != windows.crend(); ++it)
                if (const auto *samples = qobject_cast<SamplesWindow *>((*it)->widget())) {
                    samples->samplesInto(options);
                    return;
                }
        });
    }
    for (PlotWindow *graph : {static_cast<PlotWindow *>(windows_.plot), static_cast<PlotWindow *>(windows_.residualPlot),
                              static_cast<PlotWindow *>(windows_.profilePlot)})
        if (graph)
            graph->setStudyOrigin(origin);
    // What is typed in the predictions is stored with the study.
    if (windows_.predictions)
        connect(windows_.predictions, &PredictionWindow::stateEdited, this, [this] {
            if (editor_)
                setStudyMark(StudyMark::Modified);
        });
}

namespace {

// The window of type W the user went to last; null without one.
template <class W>
const W *lastVisited(QMdiArea *area)
{
    const QList<QMdiSubWindow *> windows = area->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it)
        if (const auto *window = qobject_cast<W *>((*it)->widget()))
            return window;
    return nullptr;
}

} // namespace

// The T set in the criteria window the user went to last; none without one.
stats::Target MainWindow::criteriaTarget() const
{
    const auto *criteria = lastVisited<CriteriaWindow>(mdi_);
    return criteria ? criteria->userTarget() : stats::Target{};
}

// The weight chosen in the weighting window the user went to last; the
// rule's choice without one.
stats::WeightingOptions MainWindow::weightChoice() const
{
    const auto *weighting = lastVisited<WeightingWindow>(mdi_);
    return weighting ? weighting->userWeight() : stats::WeightingOptions{};
}

// The print command shows the print options window and goes on: the frame
// stays usable, and the study is checked when a report is printed.
void MainWindow::printReports()
{
    if (!windows_.printOptions)
        return;
    windows_.printOptions->show();
    windows_.printOptions->raise();
    windows_.printOptions->activateWindow();
}

QAction *MainWindow::makeAction(const QString &name, const QString &caption, const QString &hint, int helpContext)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    if (!hint.isEmpty())
        setHint(action, hint);
    if (helpContext)
        widgets::SetHelpContext(action, helpContext);
    return action;
}

namespace {

// The main menu, entry by entry, as it reads in the command table.
// `Evaluations` stands for the entries of the evaluations placed there.
enum class Item { Menu, Command, Separator, Submenu, EndSubmenu, Evaluations };

// A command handler of the frame, whatever it returns.
using Command = void (*)(MainWindow &);
template <auto handler>
void run(MainWindow &frame)
{
    (frame.*handler)();
}

struct MenuItem {
    Item item;
    const char *name = nullptr; // object name (a menu's entry; its QMenu adds "Menu")
    const char *caption = nullptr;
    const char *hint = nullptr;
    int help = 0;
    QKeyCombination shortcut = {};
    Command command = nullptr;
    cli::Placement placement = cli::Placement::Beyond; // of `Evaluations`
};

const MenuItem kMainMenu[] = {
    {Item::Menu, mnuarchivo, "&Archivo", "Crea,abre,guarda e imrpime un archivo", 1},
    {Item::Command, FileNewItem, "&Nuevo", "Archivo|Crea un nuevo archivo", 2, Qt::CTRL | Qt::Key_N,
     run<&MainWindow::newStudy>},
    {Item::Command, FileOpenItem, "&Abrir...", "Archivo|Abre un archivo ya existente", 3, Qt::CTRL | Qt::Key_A,
     run<&MainWindow::openStudy>},
    {Item::Command, FileImportItem, "Im&portar...",
     "Archivo|Crea un estudio con los puntos de una hoja de cálculo (serie;tipo;nivel;x;y)", 3, {},
     run<&MainWindow::importStudy>},
    {Item::Command, mnuclose, "C&errar", "Archivo|Cierra la ventana activa", 4, {}, run<&MainWindow::closeActiveWindow>},
    {Item::Separator},
    {Item::Command, FileSaveItem, "&Guardar", "Archivo|Guarda el archivo", 5, Qt::CTRL | Qt::Key_G,
     run<&MainWindow::save>},
    {Item::Command, FileSaveAsItem, "Guardar &como...", "Archivo|Guarda el archivo con un nuevo nombre y/o trayectoria",
     6, {}, run<&MainWindow::saveAs>},
    {Item::Separator},
    {Item::Submenu, FilePrintItem, "&Imprimir...", "Archivo|Imprime el archivo actual", 7},
    {Item::Command, PrintLasser, "Lasser", "Imprimir|Imprime el Archivo Actual", 0, {},
     run<&MainWindow::printReports>},
    {Item::EndSubmenu},
    {Item::Command, FileEvaluateArchiveItem, "E&valuar un archivo de estudios...",
     "Archivo|Evalúa de una vez todos los estudios de una carpeta y resume sus resultados", 9, {},
     run<&MainWindow::evaluateArchive>},
    {Item::Separator},
    {Item::Command, FileExitItem, "&Salir", "Salir del módulo ZELP", 8, {}, run<&MainWindow::exitApplication>},

    {Item::Menu, mnucalculos, "&Cálculos", "Cálculos de Precisión del sistema", 10},
    {Item::Command, mnuinferencia, "&Inferencia", "Cálculos|Inferencia de pendiente y ordenada al origen", 11, {},
     run<&MainWindow::showInference>},
    {Item::Separator},
    {Item::Command, mnuanova, "&Analisis de la varianza", "Cálculos|Presenta el análisis de la varianza", 13, {},
     run<&MainWindow::showAnova>},
    {Item::Command, mnuresid, "Análisis de Residuales", "Cálculos|presenta el Análisis de Residuales", 0, {},
     run<&MainWindow::showResiduals>},
    {Item::Command, mnueesc, "&Evaluación del error sistemático constante",
     "Cálculos|Presenta el error sistemático constante", 15, {}, run<&MainWindow::showSystematicError>},
    {Item::Separator},
    {Item::Command, mnugraph, "&Gráfica", "Cálculos|Presenta la Gáfica", 14, {}, run<&MainWindow::showRegressionGraph>},
    {Item::Command, mnugraphr, "Gráfica (Residuales)", "", 0, {}, run<&MainWindow::showResidualGraph>},
    {Item::Command, mnuinforme, "I&nforme", "Cálculos|Presenta datos y resultados", 19, {},
     run<&MainWindow::showReport>},
    {.item = Item::Evaluations, .placement = cli::Placement::WithTheLine},
    {Item::Separator},
    {Item::Command, mnupredice, "&Predicciones", "Cálculos|Calcula la cantidad recuperada para cantidades adicionadas",
     12, {}, run<&MainWindow::showPredictions>},
    {.item = Item::Evaluations, .placement = cli::Placement::Beyond},

    {Item::Menu, mnuventana, "&Ventana", "Arregla las ventanas presentes", 20},
    {Item::Command, WindowTileItem, "&Mosaico", "Ventana|Arregla las ventanas en mosaico", 20, {},
     run<&MainWindow::tileWindows>},
    {Item::Command, WindowCascadeItem, "&Cascada", "Ventana|Arregla las ventanas en cascada", 20, {},
     run<&MainWindow::cascadeWindows>},

    {Item::Menu, mnuayuda, "A&yuda", "Ayuda del módulo ZELP", 30},
    {Item::Command, HelpContentsItem, "&Contenido", "Ayuda|Presenta el contenido de la ayuda", 31, Qt::Key_F1,
     run<&MainWindow::showHelpContents>},
    {Item::Command, HelpSearchItem, "&Buscar ayuda sobre...", "Ayuda|Busca ayuda sobre", 32, Qt::CTRL | Qt::Key_F1,
     run<&MainWindow::searchHelp>},
    {Item::Command, HelpHowToUseItem, "Como &usar  la ayuda", "Ayuda|Como usar la ayuda", 0, {},
     run<&MainWindow::showHowToUseHelp>},
    {Item::Separator},
    {Item::Command, HelpAboutItem, "&Acerca...", "Ayuda|Presenta información del programa", 33, {},
     run<&MainWindow::showAbout>},
    {Item::Command, HelpVerifyItem, "Verificar la instalación...",
     "Ayuda|Calcula los estudios de referencia y compara cada resultado con su valor de referencia", 0, {},
     run<&MainWindow::verifyInstallation>},
};

} // namespace

void MainWindow::buildMenus()
{
    QMenu *menu = nullptr;
    QMenu *outer = nullptr; // the menu holding the open submenu
    for (const MenuItem &entry : kMainMenu) {
        switch (entry.item) {
        case Item::Menu:
        case Item::Submenu: {
            QMenu *added = entry.item == Item::Menu ? menuBar()->addMenu(entry.caption) : menu->addMenu(entry.caption);
            added->setObjectName(QLatin1String(entry.name) + "Menu");
            added->menuAction()->setObjectName(entry.name);
            setHint(added->menuAction(), entry.hint);
            widgets::SetHelpContext(added->menuAction(), entry.help);
            if (entry.item == Item::Menu)
                added->installEventFilter(this); // F1 on a highlighted entry
            else
                outer = menu;
            menu = added;
            break;
        }
        case Item::EndSubmenu:
            menu = outer;
            break;
        case Item::Separator:
            menu->addSeparator();
            break;
        case Item::Evaluations:
            for (const cli::AnalysisModule &module : cli::AnalysisModules()) {
                if (module.placement != entry.placement)
                    continue;
                QAction *a = makeAction(QLatin1String(module.menuEntry), QString::fromUtf8(module.menuCaption),
                                        QString::fromUtf8(module.hint), module.helpContext);
                connect(a, &QAction::triggered, this, [this, &module] { showAnalysis(module); });
                menu->addAction(a);
            }
            break;
        case Item::Command: {
            QAction *a = makeAction(entry.name, entry.caption, entry.hint, entry.help);
            if (entry.shortcut != QKeyCombination())
                a->setShortcut(QKeySequence(entry.shortcut));
            if (entry.command)
                connect(a, &QAction::triggered, this, [this, command = entry.command] { command(*this); });
            menu->addAction(a);
            break;
        }
        }
    }
    // F1 works wherever the focus is, and is told from a click on the entry.
    QAction *contents = action(HelpContentsItem);
    contents->setShortcutContext(Qt::ApplicationShortcut);
    contents->installEventFilter(this);
    action(HelpHowToUseItem)->setVisible(false);
}

void MainWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(SpeedBar);
    bar->setObjectName(SpeedBar);
    bar->setMovable(false);
    bar->setIconSize(QSize(28, 28));
    struct Button {
        const char *name;
        ToolIcon icon;
        const char *hint;
        Command command;
    };
    const Button buttons[] = {
        {spdnuevo, ToolIcon::New, "Nuevo|Crea un nuevo archivo", run<&MainWindow::newStudy>},
        {spdabrir, ToolIcon::Open, "Abrir|Abre un archivo ya existente", run<&MainWindow::openStudy>},
        {spdguardar, ToolIcon::Save, "Guardar|Guarda el archivo", run<&MainWindow::save>},
        {spdprint, ToolIcon::Print, "Imprimir en Lasser", run<&MainWindow::printReports>},
        {spdclose, ToolIcon::Close, "Cerrar|Cierra la ventana activa", run<&MainWindow::closeActiveWindow>},
        {spdexit, ToolIcon::Exit, "Salir|Salir del módulo de Linealidad del Método", run<&MainWindow::exitApplication>},
        {spdmosaico, ToolIcon::Tile, "Mosaico|Arregla las ventanas en mosaico", run<&MainWindow::tileWindows>},
        {spdcascada, ToolIcon::Cascade, "Cascada|Arregla las ventanas en cascada", run<&MainWindow::cascadeWindows>},
        {spdcontenido, ToolIcon::Help, "Contenido|Presenta el contenido de la ayuda", run<&MainWindow::showHelpContents>},
    };
    for (const Button &b : buttons) {
        QAction *a = makeAction(b.name, shortHint(b.hint), b.hint);
        a->setIcon(toolIcon(b.icon));
        if (b.command)
            connect(a, &QAction::triggered, this, [this, command = b.command] { command(*this); });
        bar->addAction(a);
    }
}

void MainWindow::buildStatusBar()
{
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName(StatusLine);
    statusLine_->setFixedWidth(kStatusLineWidth);
    paneld_ = new QLabel(QStringLiteral("F1 <Ayuda>"), this);
    paneld_->setObjectName(Paneld);
    estado_ = new QLabel(this);
    estado_->setObjectName(estado);
    estado_->setFixedWidth(132);
    for (QLabel *panel : {statusLine_, paneld_, estado_})
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(statusLine_);
    statusBar()->addWidget(paneld_, 1);
    statusBar()->addWidget(estado_);
}

QAction *MainWindow::action(const QString &objectName) const { return findChild<QAction *>(objectName); }

QString MainWindow::statusLineText() const { return statusLine_->text(); }
void MainWindow::showHint(const QString &hint)
{
    // The panel is 336 pixels wide, and wider for a hint that needs it, as far
    // as the frame allows; its tool tip holds the whole hint in any case.
    statusLine_->setText(hint);
    statusLine_->setToolTip(hint);
    const int room = statusBar()->width() - estado_->width() - 2 * paneld_->sizeHint().width();
    // A label's size hint keeps within its fixed width: free it to measure.
    statusLine_->setMinimumWidth(0);
    statusLine_->setMaximumWidth(QWIDGETSIZE_MAX);
    statusLine_->setFixedWidth(std::max(kStatusLineWidth, std::min(statusLine_->sizeHint().width(), room)));
}

void MainWindow::applyStates(CommandEvent event)
{
    const CommandStateChange change = commandStateChange(event);
    // The editor's pop-up entries are found among its children too.
    for (const QString &name : change.enabled)
        for (QAction *a : findChildren<QAction *>(name))
            a->setEnabled(true);
    for (const QString &name : change.disabled)
        for (QAction *a : findChildren<QAction *>(name))
            a->setEnabled(false);
    applyProfileRule();
}

void MainWindow::applyProfileRule()
{
    const QAction *calculation = action(QLatin1String(objectnames::mnuanova));
    std::optional<stats::SeriesStudy> study;
    if (editor_ && editor_->holdsSeries())
        study = editor_->currentSeriesStudy();
    const bool enabled = calculation && calculation->isEnabled() && study && stats::HasProfileDesign(*study);
    for (const QString name : {QStringLiteral("mnuperfil"), QStringLiteral("pmnuperfil")})
        for (QAction *a : findChildren<QAction *>(name))
            a->setEnabled(enabled);
}

QString MainWindow::modifiedText() const { return estado_->text(); }

void MainWindow::setStudyMark(StudyMark mark)
{
    if (mark == StudyMark::Modified)
        studyFollow_->start();
    mark_ = mark;
    estado_->setText(mark == StudyMark::Modified ? QStringLiteral("Modificado")
                     : mark == StudyMark::Closed ? QStringLiteral(" ")
                                                 : QString());
}
void MainWindow::dataGridEntered() { applyStates(CommandEvent::DataGridEntered); }
void MainWindow::dataGridKeyTyped(bool inLastCell)
{
    applyStates(inLastCell ? CommandEvent::DataGridLastCellKey : CommandEvent::DataGridKey);
}

// Inside the client area as it is: the frame never grows for its children.
void MainWindow::tileWindows() { widgets::TileSubWindows(mdi_); }
void MainWindow::cascadeWindows() { widgets::CascadeSubWindows(mdi_); }

void MainWindow::showHelpContents()
{
    if (!windows_.help)
        return;
    // F1 opens the topic of the highlighted menu entry or of the window the
    // user is in; the menu entry itself, and F1 where no topic applies, the
    // contents.
    int context = 0;
    if (std::exchange(helpKeyPressed_, false)) {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            if (menu->activeAction())
                context = widgets::HelpContext(menu->activeAction());
            menu->close();
        } else {
            context = currentHelpContext();
        }
    }
    if (context)
        windows_.help->showContext(context);
    else
        windows_.help->showContents();
}
void MainWindow::searchHelp()
{
    if (windows_.help)
        windows_.help->showSearch();
}
void MainWindow::showHowToUseHelp()
{
    if (windows_.help)
        windows_.help->showHelpOnHelp();
}
void MainWindow::showAbout()
{
    AboutDialog about(this);
    if (windows_.help)
        windows_.help->attachContextKey(&about);
    dialogs_.showModal(about);
}

// The verification runs the reference studies in a moment; its window shows
// the table and offers the report for filing.
void MainWindow::evaluateArchive()
{
    windows::EvaluateArchive(this, dialogs_, separator_);
}

void MainWindow::verifyInstallation()
{
    ::VerificationWindow window(cli::RunVerification(cli::BuiltInReferences()), dialogs_, this);
    dialogs_.showModal(window);
}

int MainWindow::currentHelpContext() const
{
    // The innermost widget with a help context, from the focus outwards. A
    // child window whose contents take no focus holds it in its border.
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (const int context = widgets::HelpContext(w))
            return context;
        if (auto *sub = qobject_cast<QMdiSubWindow *>(w); sub && sub->widget())
            if (const int context = widgets::HelpContext(sub->widget()))
                return context;
    }
    if (QWidget *active = QApplication::activeWindow(); active && active != this)
        if (const int context = widgets::HelpContext(active))
            return context;
    return 0;
}

bool MainWindow::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        showHint(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    if (e->type() == QEvent::WindowActivate && windows_.splash)
        windows_.splash->mainWindowActivated();
    return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::Close)
        if (auto *sub = qobject_cast<QMdiSubWindow *>(watched); sub && sub != closing_ && sub->widget() != editor_) {
            // A window may stay open (the samples' question): the close is
            // delivered first, and the last-window rule follows only a window
            // that closed. The closing window still counts among the children.
            const bool last = mdi_->subWindowList().size() == 1;
            const QScopedValueRollback guard(closing_, sub);
            QCoreApplication::sendEvent(sub, e);
            if (e->isAccepted())
                resultWindowClosed(last);
            return true;
        }
    if (e->type() == QEvent::Shortcut && watched == action(HelpContentsItem))
        helpKeyPressed_ = true;
    // A menu that keeps F1 to itself still opens the highlighted entry's topic.
    if (auto *menu = qobject_cast<QMenu *>(watched); menu && e->type() == QEvent::KeyPress &&
                                                     static_cast<QKeyEvent *>(e)->key() == Qt::Key_F1) {
        helpKeyPressed_ = true;
        showHelpContents();
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}
