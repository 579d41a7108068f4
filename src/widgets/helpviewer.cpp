#include "widgets/helpviewer.h"

#include "widgets/helpcontext.h"
#include "widgets/userdialogs.h"
#include "widgets/windowplacement.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <functional>

namespace {

const char *const kHelpOnHelp = R"(<h2>Cómo usar la ayuda</h2>
<p>Esta ventana presenta la ayuda del módulo de Linealidad del Método. Puede dejarla abierta
mientras trabaja; se cierra con el botón de cierre de la ventana o con Esc.</p>
<h3>Contenido</h3>
<p>El botón <b>Contenido</b> (o F1 en la ventana principal) muestra la lista de todos los temas,
agrupados por menú y por ventana. Haga clic en un tema para leerlo.</p>
<h3>Buscar</h3>
<p>Escriba una o varias palabras en el campo <b>Buscar</b>: la lista de abajo presenta los temas
que contienen todas esas palabras, sin distinguir mayúsculas, minúsculas ni acentos
(<i>regresion</i> encuentra «regresión»). Haga clic en un tema de la lista para abrirlo.</p>
<h3>Enlaces y regreso</h3>
<p>Las palabras subrayadas llevan a otro tema. El botón <b>Atrás</b> regresa al tema anterior.</p>
<h3>Ayuda de cada ventana</h3>
<p>En las ventanas que tienen un tema propio, como el cuadro de opciones de la gráfica, la tecla F1
abre directamente ese tema.</p>)";

// Pages are addressed "help:contents", "help:usage" and "help:N" for the
// topic of context N; the browser asks the viewer for their text and keeps
// the visited pages for Back.
QUrl pageUrl(int page)
{
    if (page == HelpViewer::kContentsPage)
        return QUrl(QStringLiteral("help:contents"));
    if (page == HelpViewer::kHelpOnHelpPage)
        return QUrl(QStringLiteral("help:usage"));
    return QUrl(QStringLiteral("help:%1").arg(page));
}

int pageOf(const QUrl &url)
{
    const QString path = url.path();
    if (path == QLatin1String("usage"))
        return HelpViewer::kHelpOnHelpPage;
    bool ok = false;
    const int context = path.toInt(&ok);
    return ok ? context : HelpViewer::kContentsPage;
}

class HelpBrowser final : public QTextBrowser {
public:
    explicit HelpBrowser(std::function<QString(int)> page) : page_(std::move(page)) {}

    QVariant loadResource(int type, const QUrl &url) override
    {
        if (url.scheme() == QLatin1String("help"))
            return page_(pageOf(url));
        return QTextBrowser::loadResource(type, url);
    }

private:
    std::function<QString(int)> page_;
};

} // namespace

QStringList HelpViewer::defaultSearchDirectories()
{
    const QString bin = QCoreApplication::applicationDirPath();
    return {bin, QDir::cleanPath(bin + QStringLiteral("/../share/linealidad"))};
}

HelpViewer::HelpViewer(UserDialogs &dialogs, QStringList searchDirectories, QWidget *parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), searchDirectories_(std::move(searchDirectories))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Ayuda - Linealidad del método"));
    resize(820, 560);

    auto *contents = new QPushButton(QStringLiteral("&Contenido"));
    contents->setObjectName(QStringLiteral("contentsButton"));
    backButton_ = new QPushButton(QStringLiteral("&Atrás"));
    backButton_->setObjectName(QStringLiteral("backButton"));
    auto *howTo = new QPushButton(QStringLiteral("Cómo &usar la ayuda"));
    howTo->setObjectName(QStringLiteral("helpOnHelpButton"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(backButton_);
    buttons->addWidget(howTo);
    buttons->addStretch();

    auto *searchLabel = new QLabel(QStringLiteral("&Buscar:"));
    searchEdit_ = new QLineEdit;
    searchEdit_->setObjectName(QStringLiteral("searchEdit"));
    searchEdit_->setPlaceholderText(QStringLiteral("Palabras a buscar"));
    searchEdit_->setClearButtonEnabled(true);
    searchLabel->setBuddy(searchEdit_);
    results_ = new QListWidget;
    results_->setObjectName(QStringLiteral("searchResults"));
    results_->setWordWrap(true);
    results_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    resultCount_ = new QLabel;
    resultCount_->setObjectName(QStringLiteral("resultCount"));
    resultCount_->setWordWrap(true);
    auto *searchPanel = new QWidget;
    auto *searchLayout = new QVBoxLayout(searchPanel);
    searchLayout->setContentsMargins(0, 0, 0, 0);
    searchLayout->addWidget(searchLabel);
    searchLayout->addWidget(searchEdit_);
    searchLayout->addWidget(resultCount_);
    searchLayout->addWidget(results_, 1);

    browser_ = new HelpBrowser([this](int page) { return pageHtml(page); });
    browser_->setObjectName(QStringLiteral("topicBrowser"));
    browser_->setOpenLinks(false);

    auto *splitter = new QSplitter;
    splitter->addWidget(searchPanel);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({240, 580});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(contents, &QPushButton::clicked, this, [this] { showPage(kContentsPage); });
    connect(backButton_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, backButton_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpViewer::markFoundTopic);
    connect(howTo, &QPushButton::clicked, this, [this] { showPage(kHelpOnHelpPage); });
    connect(searchEdit_, &QLineEdit::textChanged, this, &HelpViewer::runSearch);
    connect(results_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toInt()); });
    connect(results_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { showPage(item->data(Qt::UserRole).toInt()); });
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        bool ok = false;
        const int context = url.fragment().toInt(&ok);
        if (ok)
            showPage(context);
    });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    backButton_->setEnabled(false);
}

bool HelpViewer::ensureLoaded()
{
    if (!file_.isEmpty())
        return true;
    const QString path = HelpFile::locate(searchDirectories_);
    if (path.isEmpty()) {
        QStringList places;
        for (const QString &directory : std::as_const(searchDirectories_))
            places << QDir::toNativeSeparators(QDir::cleanPath(directory));
        dialogs_.message(QApplication::activeWindow(),
                         QStringLiteral("No se encontró el archivo de ayuda %1.\nSe buscó en:\n%2")
                             .arg(HelpFile::kFileName, places.join(QLatin1Char('\n'))));
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        dialogs_.message(QApplication::activeWindow(),
                         QStringLiteral("No se pudo leer el archivo de ayuda %1:\n%2")
                             .arg(QDir::toNativeSeparators(path), in.errorString()));
        return false;
    }
    QString error;
    if (!file_.parse(in.readAll(), &error)) {
        dialogs_.message(QApplication::activeWindow(),
                         QStringLiteral("El archivo de ayuda %1 está dañado (%2).")
                             .arg(QDir::toNativeSeparators(path), error));
        return false;
    }
    loadedPath_ = path;
    return true;
}

bool HelpViewer::showContents()
{
    if (!ensureLoaded())
        return false;
    showRequested(kContentsPage);
    present();
    return true;
}

bool HelpViewer::showSearch()
{
    if (!ensureLoaded())
        return false;
    searchEdit_->clear();
    runSearch({});
    if (currentPage() != kContentsPage || !isVisible())
        showPage(kContentsPage);
    present();
    searchEdit_->setFocus();
    return true;
}

bool HelpViewer::showHelpOnHelp()
{
    // The window's own help does not need the file, but the rest of the
    // window does: without it there is nothing to come back to.
    if (!ensureLoaded())
        return false;
    showRequested(kHelpOnHelpPage);
    present();
    return true;
}

bool HelpViewer::showContext(int context)
{
    if (!ensureLoaded())
        return false;
    if (context >= 0 && file_.topic(context)) {
        showRequested(context);
    } else {
        missingNote_ = QStringLiteral("El archivo de ayuda no tiene un tema para este elemento (contexto %1).")
                           .arg(context);
        showRequested(kContentsPage);
        missingNote_.clear();
    }
    present();
    return true;
}

void HelpViewer::attachContextKey(QWidget *window)
{
    const int context = widgets::HelpContext(window);
    auto *key = new QShortcut(QKeySequence(Qt::Key_F1), window);
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this, [this, context] { showContext(context); });
}

QString HelpViewer::currentHtml() const { return browser_->toHtml(); }

int HelpViewer::currentPage() const { return pageOf(browser_->source()); }

void HelpViewer::showRequested(int page)
{
    searchEdit_->clear();
    showPage(page);
}

void HelpViewer::showPage(int page)
{
    const QUrl url = pageUrl(page);
    if (browser_->source() == url)
        browser_->reload(); // the contents may carry a note this time
    else
        browser_->setSource(url);
    // Back stays within one visit of the window.
    if (!isVisible())
        browser_->clearHistory();
    markFoundTopic();
}

QString HelpViewer::pageHtml(int page) const
{
    if (page == kContentsPage)
        return contentsHtml(missingNote_);
    if (page == kHelpOnHelpPage)
        return QString::fromUtf8(kHelpOnHelp);
    if (const HelpTopic *topic = file_.topic(page))
        return QStringLiteral("<h2>%1</h2>\n%2").arg(topic->title.toHtmlEscaped(), topic->html);
    return {};
}

QString HelpViewer::contentsHtml(const QString &note) const
{
    QString html;
    if (!note.isEmpty())
        html += QStringLiteral("<p><i>%1</i></p>\n").arg(note.toHtmlEscaped());
    html += QStringLiteral("<h2>Contenido</h2>\n");
    if (const HelpTopic *introduction = file_.topic(0))
        html += introduction->html;
    QString group = QStringLiteral("\x01"); // no heading written yet
    bool listOpen = false;
    for (const HelpTopic &topic : file_.topics()) {
        if (topic.context == 0)
            continue;
        if (topic.group != group) {
            if (listOpen)
                html += QStringLiteral("</ul>\n");
            group = topic.group;
            if (!group.isEmpty())
                html += QStringLiteral("<h3>%1</h3>\n").arg(group.toHtmlEscaped());
            html += QStringLiteral("<ul>\n");
            listOpen = true;
        }
        html += QStringLiteral("<li><a href=\"#%1\">%2</a></li>\n").arg(topic.context).arg(topic.title.toHtmlEscaped());
    }
    if (listOpen)
        html += QStringLiteral("</ul>\n");
    return html;
}

void HelpViewer::runSearch(const QString &words)
{
    results_->clear();
    const QList<int> found = file_.search(words);
    for (const int context : found) {
        auto *item = new QListWidgetItem(file_.topic(context)->title, results_);
        item->setToolTip(item->text());
        item->setData(Qt::UserRole, context);
    }
    if (words.trimmed().isEmpty())
        resultCount_->setText(QStringLiteral("Escriba las palabras que busca."));
    else if (found.isEmpty())
        resultCount_->setText(QStringLiteral("Ningún tema contiene esas palabras."));
    else if (found.size() == 1)
        resultCount_->setText(QStringLiteral("1 tema encontrado:"));
    else
        resultCount_->setText(QStringLiteral("%1 temas encontrados:").arg(found.size()));
    searched_ = true;
    markFoundTopic();
}

// The found topic on show is the one highlighted in the list; none when the
// page on show is not among them.
void HelpViewer::markFoundTopic()
{
    const int page = currentPage();
    results_->setCurrentItem(nullptr);
    results_->clearSelection();
    for (int row = 0; row < results_->count(); ++row) {
        if (results_->item(row)->data(Qt::UserRole).toInt() == page) {
            results_->setCurrentRow(row);
            break;
        }
    }
}

void HelpViewer::present()
{
    // A modal window (the options dialog, a graph) would block the help
    // window; over one, the help window is modal itself until it closes.
    QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
        setWindowFlag(Qt::WindowStaysOnTopHint, wanted == Qt::ApplicationModal);
        browser_->clearHistory();
    }
    if (!searched_)
        runSearch(searchEdit_->text());
    // Placed by the program, not the window manager, whose choice beside a
    // dialog low on a small screen can put it past the bottom: centred on
    // the screen the first time, and again whenever it would not lie
    // wholly on it.
    if (!isVisible()) {
        const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (!placed_ || (screen && !screen->availableGeometry().contains(frameGeometry())))
            widgets::FitOnScreen(this, size());
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}
