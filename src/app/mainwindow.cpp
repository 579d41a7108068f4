#include "app/mainwindow.h"

#include "widgets/helpviewer.h"
#include "windows/aboutdialog.h"
#include "windows/studyeditor.h"
#include "windows/splashwindow.h"
#include "app/toolbaricons.h"
#include "widgets/userdialogs.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>

#include <utility>

namespace {

constexpr const char *kHelpContext = "helpContext";

// A hint "short|long": the tool tip shows the short part, the status line
// the long part; a hint without a bar is both.
QString shortHint(const QString &hint) { return hint.section('|', 0, 0); }
QString longHint(const QString &hint) { return hint.contains('|') ? hint.section('|', 1) : hint; }

void setHint(QAction *action, const QString &hint)
{
    action->setToolTip(shortHint(hint));
    action->setStatusTip(longHint(hint));
}

} // namespace

MainWindow::MainWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent)
    : QMainWindow(parent), dialogs_(dialogs), separator_(decimalSeparator)
{
    setObjectName("TMainForm");
    setWindowTitle(QStringLiteral("Linealidad del método"));
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName("ClientArea");
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);

    buildMenus();
    buildToolBar();
    buildStatusBar();
    applyStates(CommandEvent::StartUp);
}

MainWindow::~MainWindow() = default;

void MainWindow::setSingleWindows(const SingleWindows &windows) { windows_ = windows; }

QAction *MainWindow::makeAction(const QString &name, const QString &caption, const QString &hint, int helpContext)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    if (!hint.isEmpty())
        setHint(action, hint);
    if (helpContext)
        action->setProperty(kHelpContext, helpContext);
    return action;
}

void MainWindow::buildMenus()
{
    auto addMenu = [this](const QString &name, const QString &title, const QString &hint, int help) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(name + "Menu");
        menu->menuAction()->setObjectName(name);
        setHint(menu->menuAction(), hint);
        menu->menuAction()->setProperty(kHelpContext, help);
        menu->installEventFilter(this); // F1 on a highlighted entry
        return menu;
    };

    QMenu *file = addMenu("mnuarchivo", "&Archivo", "Crea,abre,guarda e imrpime un archivo", 1);
    QAction *a = makeAction("FileNewItem", "&Nuevo", "Archivo|Crea un nuevo archivo", 2);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(a, &QAction::triggered, this, &MainWindow::FileNewItemClick);
    file->addAction(a);
    a = makeAction("FileOpenItem", "&Abrir...", "Archivo|Abre un archivo ya existente", 3);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(a, &QAction::triggered, this, &MainWindow::FileOpenItemClick);
    file->addAction(a);
    a = makeAction("mnuclose", "C&errar", "Archivo|Cierra la ventana activa", 4);
    connect(a, &QAction::triggered, this, &MainWindow::mnucloseClick);
    file->addAction(a);
    file->addSeparator();
    a = makeAction("FileSaveItem", "&Guardar", "Archivo|Guarda el archivo", 5);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(a, &QAction::triggered, this, &MainWindow::FileSaveItemClick);
    file->addAction(a);
    a = makeAction("FileSaveAsItem", "Guardar &como...", "Archivo|Guarda el archivo con un nuevo nombre y/o trayectoria", 6);
    connect(a, &QAction::triggered, this, &MainWindow::FileSaveAsItemClick);
    file->addAction(a);
    file->addSeparator();
    QMenu *print = file->addMenu("&Imprimir...");
    print->setObjectName("FilePrintMenu");
    print->menuAction()->setObjectName("FilePrintItem");
    setHint(print->menuAction(), "Archivo|Imprime el archivo actual");
    print->menuAction()->setProperty(kHelpContext, 7);
    print->addAction(makeAction("PrintLasser", "Lasser", "Imprimir|Imprime el Archivo Actual"));
    file->addSeparator();
    a = makeAction("FileExitItem", "&Salir", "Salir del módulo ZELP", 8);
    connect(a, &QAction::triggered, this, &MainWindow::FileExitItemClick);
    file->addAction(a);

    QMenu *calc = addMenu("mnucalculos", "&Cálculos", "Cálculos de Precisión del sistema", 10);
    auto command = [this, calc](QAction *a, void (MainWindow::*handler)()) {
        connect(a, &QAction::triggered, this, handler);
        calc->addAction(a);
    };
    command(makeAction("mnuinferencia", "&Inferencia", "Cálculos|Inferencia de pendiente y ordenada al origen", 11),
            &MainWindow::mnuinferenciaClick);
    calc->addSeparator();
    command(makeAction("mnuanova", "&Analisis de la varianza", "Cálculos|Presenta el análisis de la varianza", 13),
            &MainWindow::mnuanovaClick);
    command(makeAction("mnuresid", "Análisis de Residuales", "Cálculos|presenta el Análisis de Residuales"),
            &MainWindow::mnuresidClick);
    command(makeAction("mnueesc", "&Evaluación del error sistemático constante",
                       "Cálculos|Presenta el error sistemático constante", 15),
            &MainWindow::mnueescClick);
    calc->addSeparator();
    command(makeAction("mnugraph", "&Gráfica", "Cálculos|Presenta la Gáfica", 14), &MainWindow::mnugraphClick);
    command(makeAction("mnugraphr", "Gráfica (Residuales)", QString()), &MainWindow::mnugraphrClick);
    command(makeAction("mnuinforme", "I&nforme", "Cálculos|Presenta datos y resultados", 19),
            &MainWindow::mnuinformeClick);
    calc->addSeparator();
    a = makeAction("mnupredice", "&Predicciones", "Cálculos|Calcula la cantidad recuperada para cantidades adicionadas", 12);
    connect(a, &QAction::triggered, this, &MainWindow::mnupredicePrediccionesClick);
    calc->addAction(a);

    QMenu *windowMenu = addMenu("mnuventana", "&Ventana", "Arregla las ventanas presentes", 20);
    a = makeAction("WindowTileItem", "&Mosaico", "Ventana|Arregla las ventanas en mosaico", 20);
    connect(a, &QAction::triggered, this, &MainWindow::WindowTileItemClick);
    windowMenu->addAction(a);
    a = makeAction("WindowCascadeItem", "&Cascada", "Ventana|Arregla las ventanas en cascada", 20);
    connect(a, &QAction::triggered, this, &MainWindow::WindowCascadeItemClick);
    windowMenu->addAction(a);

    QMenu *help = addMenu("mnuayuda", "A&yuda", "Ayuda del módulo ZELP", 30);
    a = makeAction("HelpContentsItem", "&Contenido", "Ayuda|Presenta el contenido de la ayuda", 31);
    a->setShortcut(QKeySequence(Qt::Key_F1));
    a->setShortcutContext(Qt::ApplicationShortcut);
    a->installEventFilter(this); // tells F1 from a click on the entry
    connect(a, &QAction::triggered, this, &MainWindow::HelpContentsItemClick);
    help->addAction(a);
    a = makeAction("HelpSearchItem", "&Buscar ayuda sobre...", "Ayuda|Busca ayuda sobre", 32);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    connect(a, &QAction::triggered, this, &MainWindow::HelpSearchItemClick);
    help->addAction(a);
    a = makeAction("HelpHowToUseItem", "Como &usar  la ayuda", "Ayuda|Como usar la ayuda");
    a->setVisible(false);
    connect(a, &QAction::triggered, this, &MainWindow::HelpHowToUseItemClick);
    help->addAction(a);
    help->addSeparator();
    a = makeAction("HelpAboutItem", "&Acerca...", "Ayuda|Presenta información del programa", 33);
    connect(a, &QAction::triggered, this, &MainWindow::HelpAboutItemClick);
    help->addAction(a);
}

void MainWindow::buildToolBar()
{
    QToolBar *bar = addToolBar("SpeedBar");
    bar->setObjectName("SpeedBar");
    bar->setMovable(false);
    bar->setIconSize(QSize(28, 28));
    struct Button {
        const char *name;
        ToolIcon icon;
        const char *hint;
        void (MainWindow::*command)();
    };
    const Button buttons[] = {
        {"spdnuevo", ToolIcon::New, "Nuevo|Crea un nuevo archivo", &MainWindow::FileNewItemClick},
        {"spdabrir", ToolIcon::Open, "Abrir|Abre un archivo ya existente", &MainWindow::FileOpenItemClick},
        {"spdguardar", ToolIcon::Save, "Guardar|Guarda el archivo", nullptr},
        {"spdprint", ToolIcon::Print, "Imprimir en Lasser", nullptr},
        {"spdclose", ToolIcon::Close, "Cerrar|Cierra la ventana activa", &MainWindow::mnucloseClick},
        {"spdexit", ToolIcon::Exit, "Salir|Salir del módulo de Linealidad del Método", &MainWindow::FileExitItemClick},
        {"spdmosaico", ToolIcon::Tile, "Mosaico|Arregla las ventanas en mosaico", &MainWindow::WindowTileItemClick},
        {"spdcascada", ToolIcon::Cascade, "Cascada|Arregla las ventanas en cascada", &MainWindow::WindowCascadeItemClick},
        {"spdcontenido", ToolIcon::Help, "Contenido|Presenta el contenido de la ayuda", &MainWindow::HelpContentsItemClick},
    };
    for (const Button &b : buttons) {
        QAction *a = makeAction(b.name, shortHint(b.hint), b.hint);
        a->setIcon(toolIcon(b.icon));
        if (b.command)
            connect(a, &QAction::triggered, this, b.command);
        bar->addAction(a);
    }
    connect(action("spdguardar"), &QAction::triggered, this, &MainWindow::FileSaveItemClick);
}

void MainWindow::buildStatusBar()
{
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName("StatusLine");
    statusLine_->setFixedWidth(336);
    paneld_ = new QLabel(QStringLiteral("F1 <Ayuda>"), this);
    paneld_->setObjectName("Paneld");
    estado_ = new QLabel(this);
    estado_->setObjectName("estado");
    estado_->setFixedWidth(132);
    for (QLabel *panel : {statusLine_, paneld_, estado_})
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusBar()->addWidget(statusLine_);
    statusBar()->addWidget(paneld_, 1);
    statusBar()->addWidget(estado_);
}

QAction *MainWindow::action(const QString &objectName) const { return findChild<QAction *>(objectName); }

QString MainWindow::statusLineText() const { return statusLine_->text(); }
void MainWindow::showHint(const QString &hint) { statusLine_->setText(hint); }

void MainWindow::applyStates(CommandEvent event)
{
    const CommandStateChange change = commandStateChange(event);
    const QStringList withoutWork = commandsWithoutWorkYet();
    // The editor's pop-up entries are found among its children too.
    for (const QString &name : change.enabled)
        if (!withoutWork.contains(name))
            for (QAction *a : findChildren<QAction *>(name))
                a->setEnabled(true);
    for (const QString &name : change.disabled)
        for (QAction *a : findChildren<QAction *>(name))
            a->setEnabled(false);
}

QString MainWindow::modifiedText() const { return estado_->text(); }
void MainWindow::setModifiedText(const QString &text) { estado_->setText(text); }
void MainWindow::dataGridEntered() { applyStates(CommandEvent::DataGridEntered); }
void MainWindow::dataGridKeyTyped(bool inLastCell)
{
    applyStates(inLastCell ? CommandEvent::DataGridLastCellKey : CommandEvent::DataGridKey);
}

void MainWindow::WindowTileItemClick() { mdi_->tileSubWindows(); }
void MainWindow::WindowCascadeItemClick() { mdi_->cascadeSubWindows(); }

void MainWindow::HelpContentsItemClick()
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
                context = menu->activeAction()->property(kHelpContext).toInt();
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
void MainWindow::HelpSearchItemClick()
{
    if (windows_.help)
        windows_.help->showSearch();
}
void MainWindow::HelpHowToUseItemClick()
{
    if (windows_.help)
        windows_.help->showHelpOnHelp();
}
void MainWindow::HelpAboutItemClick()
{
    AboutDialog about(this);
    if (windows_.help)
        windows_.help->attachContextKey(&about, AboutDialog::kHelpContext);
    about.exec();
}

int MainWindow::currentHelpContext() const
{
    // The innermost widget with a help context, from the focus outwards.
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget())
        if (const int context = w->property(kHelpContext).toInt())
            return context;
    if (QWidget *active = QApplication::activeWindow(); active && active != this)
        if (const int context = active->property(kHelpContext).toInt())
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
        if (auto *sub = qobject_cast<QMdiSubWindow *>(watched); sub && sub->widget() != finforma_)
            resultWindowClosing(sub);
    if (e->type() == QEvent::Shortcut && watched == action("HelpContentsItem"))
        helpKeyPressed_ = true;
    // A menu that keeps F1 to itself still opens the highlighted entry's topic.
    if (auto *menu = qobject_cast<QMenu *>(watched); menu && e->type() == QEvent::KeyPress &&
                                                     static_cast<QKeyEvent *>(e)->key() == Qt::Key_F1) {
        helpKeyPressed_ = true;
        HelpContentsItemClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, e);
}
