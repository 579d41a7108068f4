#include "app/tmainform.h"

#include "app/helpviewer.h"
#include "app/taboutbox.h"
#include "app/tfinforma.h"
#include "app/tfshow.h"
#include "app/toolicons.h"
#include "app/userdialogs.h"

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

TMainForm::TMainForm(UserDialogs &dialogs, char decimalSeparator, QWidget *parent)
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

TMainForm::~TMainForm() = default;

void TMainForm::setSingleWindows(const SingleWindows &windows) { windows_ = windows; }

QAction *TMainForm::makeAction(const QString &name, const QString &caption, const QString &hint, int helpContext)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(name);
    if (!hint.isEmpty())
        setHint(action, hint);
    if (helpContext)
        action->setProperty(kHelpContext, helpContext);
    return action;
}

void TMainForm::buildMenus()
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
    connect(a, &QAction::triggered, this, &TMainForm::FileNewItemClick);
    file->addAction(a);
    a = makeAction("FileOpenItem", "&Abrir...", "Archivo|Abre un archivo ya existente", 3);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(a, &QAction::triggered, this, &TMainForm::FileOpenItemClick);
    file->addAction(a);
    a = makeAction("mnuclose", "C&errar", "Archivo|Cierra la ventana activa", 4);
    connect(a, &QAction::triggered, this, &TMainForm::mnucloseClick);
    file->addAction(a);
    file->addSeparator();
    a = makeAction("FileSaveItem", "&Guardar", "Archivo|Guarda el archivo", 5);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(a, &QAction::triggered, this, &TMainForm::FileSaveItemClick);
    file->addAction(a);
    a = makeAction("FileSaveAsItem", "Guardar &como...", "Archivo|Guarda el archivo con un nuevo nombre y/o trayectoria", 6);
    connect(a, &QAction::triggered, this, &TMainForm::FileSaveAsItemClick);
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
    connect(a, &QAction::triggered, this, &TMainForm::FileExitItemClick);
    file->addAction(a);

    QMenu *calc = addMenu("mnucalculos", "&Cálculos", "Cálculos de Precisión del sistema", 10);
    auto command = [this, calc](QAction *a, void (TMainForm::*handler)()) {
        connect(a, &QAction::triggered, this, handler);
        calc->addAction(a);
    };
    command(makeAction("mnuinferencia", "&Inferencia", "Cálculos|Inferencia de pendiente y ordenada al origen", 11),
            &TMainForm::mnuinferenciaClick);
    calc->addSeparator();
    command(makeAction("mnuanova", "&Analisis de la varianza", "Cálculos|Presenta el análisis de la varianza", 13),
            &TMainForm::mnuanovaClick);
    command(makeAction("mnuresid", "Análisis de Residuales", "Cálculos|presenta el Análisis de Residuales"),
            &TMainForm::mnuresidClick);
    command(makeAction("mnueesc", "&Evaluación del error sistemático constante",
                       "Cálculos|Presenta el error sistemático constante", 15),
            &TMainForm::mnueescClick);
    calc->addSeparator();
    calc->addAction(makeAction("mnugraph", "&Gráfica", "Cálculos|Presenta la Gáfica", 14));
    calc->addAction(makeAction("mnugraphr", "Gráfica (Residuales)", QString()));
    command(makeAction("mnuinforme", "I&nforme", "Cálculos|Presenta datos y resultados", 19),
            &TMainForm::mnuinformeClick);
    calc->addSeparator();
    a = makeAction("mnupredice", "&Predicciones", "Cálculos|Calcula la cantidad recuperada para cantidades adicionadas", 12);
    connect(a, &QAction::triggered, this, &TMainForm::mnupredicePrediccionesClick);
    calc->addAction(a);

    QMenu *windowMenu = addMenu("mnuventana", "&Ventana", "Arregla las ventanas presentes", 20);
    a = makeAction("WindowTileItem", "&Mosaico", "Ventana|Arregla las ventanas en mosaico", 20);
    connect(a, &QAction::triggered, this, &TMainForm::WindowTileItemClick);
    windowMenu->addAction(a);
    a = makeAction("WindowCascadeItem", "&Cascada", "Ventana|Arregla las ventanas en cascada", 20);
    connect(a, &QAction::triggered, this, &TMainForm::WindowCascadeItemClick);
    windowMenu->addAction(a);

    QMenu *help = addMenu("mnuayuda", "A&yuda", "Ayuda del módulo ZELP", 30);
    a = makeAction("HelpContentsItem", "&Contenido", "Ayuda|Presenta el contenido de la ayuda", 31);
    a->setShortcut(QKeySequence(Qt::Key_F1));
    a->setShortcutContext(Qt::ApplicationShortcut);
    a->installEventFilter(this); // tells F1 from a click on the entry
    connect(a, &QAction::triggered, this, &TMainForm::HelpContentsItemClick);
    help->addAction(a);
    a = makeAction("HelpSearchItem", "&Buscar ayuda sobre...", "Ayuda|Busca ayuda sobre", 32);
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    connect(a, &QAction::triggered, this, &TMainForm::HelpSearchItemClick);
    help->addAction(a);
    a = makeAction("HelpHowToUseItem", "Como &usar  la ayuda", "Ayuda|Como usar la ayuda");
    a->setVisible(false);
    connect(a, &QAction::triggered, this, &TMainForm::HelpHowToUseItemClick);
    help->addAction(a);
    help->addSeparator();
    a = makeAction("HelpAboutItem", "&Acerca...", "Ayuda|Presenta información del programa", 33);
    connect(a, &QAction::triggered, this, &TMainForm::HelpAboutItemClick);
    help->addAction(a);
}

void TMainForm::buildToolBar()
{
    QToolBar *bar = addToolBar("SpeedBar");
    bar->setObjectName("SpeedBar");
    bar->setMovable(false);
    bar->setIconSize(QSize(28, 28));
    struct Button {
        const char *name;
        ToolIcon icon;
        const char *hint;
        void (TMainForm::*command)();
    };
    const Button buttons[] = {
        {"spdnuevo", ToolIcon::New, "Nuevo|Crea un nuevo archivo", &TMainForm::FileNewItemClick},
        {"spdabrir", ToolIcon::Open, "Abrir|Abre un archivo ya existente", &TMainForm::FileOpenItemClick},
        {"spdguardar", ToolIcon::Save, "Guardar|Guarda el archivo", nullptr},
        {"spdprint", ToolIcon::Print, "Imprimir en Lasser", nullptr},
        {"spdclose", ToolIcon::Close, "Cerrar|Cierra la ventana activa", &TMainForm::mnucloseClick},
        {"spdexit", ToolIcon::Exit, "Salir|Salir del módulo de Linealidad del Método", &TMainForm::FileExitItemClick},
        {"spdmosaico", ToolIcon::Tile, "Mosaico|Arregla las ventanas en mosaico", &TMainForm::WindowTileItemClick},
        {"spdcascada", ToolIcon::Cascade, "Cascada|Arregla las ventanas en cascada", &TMainForm::WindowCascadeItemClick},
        {"spdcontenido", ToolIcon::Help, "Contenido|Presenta el contenido de la ayuda", &TMainForm::HelpContentsItemClick},
    };
    for (const Button &b : buttons) {
        QAction *a = makeAction(b.name, shortHint(b.hint), b.hint);
        a->setIcon(toolIcon(b.icon));
        if (b.command)
            connect(a, &QAction::triggered, this, b.command);
        bar->addAction(a);
    }
    connect(action("spdguardar"), &QAction::triggered, this, &TMainForm::FileSaveItemClick);
}

void TMainForm::buildStatusBar()
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

QAction *TMainForm::action(const QString &objectName) const { return findChild<QAction *>(objectName); }

QString TMainForm::statusLineText() const { return statusLine_->text(); }
void TMainForm::showHint(const QString &hint) { statusLine_->setText(hint); }

void TMainForm::applyStates(CommandEvent event)
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

QString TMainForm::modifiedText() const { return estado_->text(); }
void TMainForm::setModifiedText(const QString &text) { estado_->setText(text); }
void TMainForm::dataGridEntered() { applyStates(CommandEvent::DataGridEntered); }
void TMainForm::dataGridKeyTyped(bool inLastCell)
{
    applyStates(inLastCell ? CommandEvent::DataGridLastCellKey : CommandEvent::DataGridKey);
}

void TMainForm::WindowTileItemClick() { mdi_->tileSubWindows(); }
void TMainForm::WindowCascadeItemClick() { mdi_->cascadeSubWindows(); }

void TMainForm::HelpContentsItemClick()
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
void TMainForm::HelpSearchItemClick()
{
    if (windows_.help)
        windows_.help->showSearch();
}
void TMainForm::HelpHowToUseItemClick()
{
    if (windows_.help)
        windows_.help->showHelpOnHelp();
}
void TMainForm::HelpAboutItemClick()
{
    TAboutBox about(this);
    if (windows_.help)
        windows_.help->attachContextKey(&about, TAboutBox::kHelpContext);
    about.exec();
}

int TMainForm::currentHelpContext() const
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

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        showHint(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    if (e->type() == QEvent::WindowActivate && windows_.splash)
        windows_.splash->mainWindowActivated();
    return QMainWindow::event(e);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *e)
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
