// The study editor: its pages, grids, pop-up menu and the study's texts.
// The rules that guard the entry are in studyeditor_rules.cpp.
#include "windows/studyeditor.h"

#include "cli/analysismodules.h"

#include "widgets/focustracker.h"
#include "widgets/helpcontext.h"
#include "widgets/printableinput.h"
#include "widgets/stringgrid.h"
#include "widgets/userdialogs.h"
#include "windows/objectnames.h"
#include "windows/studyeditorhost.h"

#include <QAction>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kColumnWidth = 90;
constexpr int kRowHeight = 24;

QLineEdit *makeField(const char *name, int maxLength, int width, const QString &text = {})
{
    auto *field = new QLineEdit(text);
    field->setObjectName(QLatin1String(name));
    field->setMaxLength(maxLength);
    field->setFixedWidth(width);
    widgets::AcceptPrintableOnly(field);
    return field;
}

QLabel *makeLabel(const QString &caption, QWidget *buddy)
{
    auto *label = new QLabel(caption);
    label->setBuddy(buddy);
    return label;
}

QFrame *sunkenPanel()
{
    auto *panel = new QFrame;
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return panel;
}

// The replicates grid is as wide as its columns, up to one heading column
// and five levels; a wider study from a file scrolls sideways, below its two rows.
void fitReplicateGrid(StringGrid *grid)
{
    const int frame = 2 * grid->frameWidth();
    const int bar = grid->columnCount() > 6 ? grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    grid->setFixedSize(std::min(grid->columnCount(), 6) * kColumnWidth + frame, 2 * kRowHeight + frame + bar);
}

// The data grid shows ten rows and scrolls for more, its scroll bar beside
// the columns; when every row fits there is no bar and no room kept for one.
void fitDataGrid(StringGrid *grid)
{
    const int frame = 2 * grid->frameWidth();
    const int bar = grid->rowCount() > 10 ? grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    grid->setFixedSize(3 * kColumnWidth + frame + bar, 10 * kRowHeight + frame);
}

QString hintStatus(const QString &hint) { return hint.contains(u'|') ? hint.section(u'|', 1) : hint; }

} // namespace

StudyEditor::StudyEditor(StudyEditorHost &host, char decimalSeparator, QWidget *parent)
    : QWidget(parent), host_(host), dialogs_(host.dialogs()), separator_(decimalSeparator)
{
    setObjectName(QString(objectnames::Finforma));
    setWindowTitle(QStringLiteral("Nuevo"));
    widgets::SetHelpContext(this, 2);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);

    thoja = new QTabWidget(this);
    thoja->setObjectName(QString(objectnames::thoja));
    thoja->addTab(buildGeneralPage(), QStringLiteral("Información General"));
    thoja->addTab(buildLevelsPage(), QStringLiteral("Niveles y Réplicas"));
    thoja->addTab(buildDataPage(), QStringLiteral("Datos"));
    thoja->setCurrentIndex(stats::PageLevels);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildSeriesBar());
    layout->addWidget(thoja);

    // The fixed headings, and the level numbers for the initial count of levels.
    stgniveles->setCell(0, 0, QStringLiteral("     Nivel"));
    stgniveles->setCell(0, 1, QStringLiteral(" # Replicas"));
    const int levels = eniveles->text().toInt();
    for (int i = 1; i <= levels; ++i)
        stgniveles->setCell(i, 0, QString::number(i));
    stgdatos->setCell(0, 0, QStringLiteral("      Nivel"));
    stgdatos->setCell(1, 0, QStringLiteral("    X"));
    stgdatos->setCell(2, 0, QStringLiteral("    Y"));

    buildPopupMenu();
    trackControls();
    resize(600, 390);
}

StudyEditor::~StudyEditor()
{
    // No check may run on a window that is being taken apart.
    delete tracker_;
    tracker_ = nullptr;
}

QWidget *StudyEditor::buildGeneralPage()
{
    auto *page = new QWidget;
    emetodo = makeField(objectnames::emetodo, 60, 420);
    eanalista = makeField(objectnames::eanalista, 60, 420);
    efecha = makeField(objectnames::efecha, 20, 160);
    uadicionada = makeField(objectnames::uadicionada, 20, 160);
    auto *grid = new QGridLayout(page);
    grid->setContentsMargins(16, 24, 16, 16);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(16);
    const std::pair<QString, QLineEdit *> rows[] = {
        {QStringLiteral("Nombre del &método:"), emetodo},
        {QStringLiteral("Nombre del A&nalista:"), eanalista},
        {QStringLiteral("&Fecha:"), efecha},
        {QStringLiteral("&Unidades de la cantidad adicionada:"), uadicionada},
    };
    int row = 0;
    for (const auto &[caption, field] : rows) {
        grid->addWidget(makeLabel(caption, field), row, 0);
        grid->addWidget(field, row, 1, Qt::AlignLeft);
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(2, 1);
    return page;
}

QWidget *StudyEditor::buildLevelsPage()
{
    auto *page = new QWidget;
    eniveles = makeField(objectnames::eniveles, 2, 36, QStringLiteral("3"));
    btnsinumero = new QPushButton(QStringLiteral("Ac&eptar número de niveles"));
    btnsinumero->setObjectName(QString(objectnames::btnsinumero));
    botonok = new QPushButton(QStringLiteral("Aceptar &replicaciones"));
    botonok->setObjectName(QString(objectnames::botonok));
    for (QPushButton *button : {btnsinumero, botonok}) {
        button->setAutoDefault(true); // Enter presses the button that has the focus
        button->setMinimumWidth(190);
    }
    stgniveles = new StringGrid(4, 2);
    stgniveles->setObjectName(QString(objectnames::stgniveles));
    stgniveles->setColumnWidths(kColumnWidth);
    stgniveles->setRowHeights(kRowHeight);
    stgniveles->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitReplicateGrid(stgniveles);
    for (auto signal : {&QAbstractItemModel::columnsInserted, &QAbstractItemModel::columnsRemoved})
        connect(stgniveles->model(), signal, stgniveles, [grid = stgniveles] { fitReplicateGrid(grid); });

    auto *panel = sunkenPanel();
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(16, 16, 16, 16);
    auto *levelsRow = new QHBoxLayout;
    levelsRow->addWidget(makeLabel(QStringLiteral("Número de N&iveles:"), eniveles));
    levelsRow->addWidget(eniveles);
    levelsRow->addSpacing(24);
    levelsRow->addWidget(btnsinumero);
    levelsRow->addStretch();
    column->addLayout(levelsRow);
    column->addSpacing(18);
    column->addWidget(makeLabel(QStringLiteral("Ca&pturar número de replicaciones por nivel:"), stgniveles));
    column->addWidget(stgniveles, 0, Qt::AlignLeft);
    column->addSpacing(18);
    column->addWidget(botonok, 0, Qt::AlignLeft);
    column->addStretch();

    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->addWidget(panel);
    return page;
}

QWidget *StudyEditor::buildDataPage()
{
    auto *page = new QWidget;
    stgdatos = new StringGrid(3, 10);
    stgdatos->setObjectName(QString(objectnames::stgdatos));
    stgdatos->setColumnWidths(kColumnWidth);
    stgdatos->setRowHeights(kRowHeight);
    stgdatos->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fitDataGrid(stgdatos);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(stgdatos->model(), signal, stgdatos, [grid = stgdatos] { fitDataGrid(grid); });

    auto *panel = sunkenPanel();
    auto *inside = new QVBoxLayout(panel);
    inside->setContentsMargins(6, 6, 6, 6);
    inside->addWidget(stgdatos);
    panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *outer = new QVBoxLayout(page);
    outer->setContentsMargins(16, 12, 16, 12);
    outer->addWidget(new QLabel(QStringLiteral("Captura de Datos")));
    outer->addWidget(panel, 0, Qt::AlignLeft);
    outer->addStretch();
    return page;
}

void StudyEditor::buildPopupMenu()
{
    PopMenu = new QMenu(this);
    PopMenu->setObjectName(QStringLiteral("PopMenu"));
    auto add = [this](const QString &name, const QString &caption, const QString &hint) {
        QAction *action = PopMenu->addAction(caption);
        action->setObjectName(name);
        action->setEnabled(false);
        if (!hint.isEmpty())
            action->setStatusTip(hintStatus(hint));
    };
    add(objectnames::pmnuinferencia, QStringLiteral("&Inferencia"),
        QStringLiteral("Cálculos|Inferencia de pendiente y ordenada al origen"));
    PopMenu->addSeparator();
    add(objectnames::pmnuanova, QStringLiteral("&Analisis de la varianza"),
        QStringLiteral("Cálculos|Presenta el análisis de la varianza"));
    add(objectnames::pmnuresid, QStringLiteral("Análisis de Residuales"),
        QStringLiteral("Cálculos|presenta Análisis de Residuales"));
    add(objectnames::pmnueesc, QStringLiteral("&Evaluación del error sistemático constante"),
        QStringLiteral("Cálculos|Presenta el error sistemático constante"));
    PopMenu->addSeparator();
    add(objectnames::pmnugraph, QStringLiteral("&Gráfica"), QStringLiteral("Cálculos|Presenta la Gáfica"));
    add(objectnames::pmnugraphr, QStringLiteral("Gráfica (Residuales)"), QString());
    PopMenu->addSeparator();
    add(objectnames::pmnupredice, QStringLiteral("&Predicciones"),
        QStringLiteral("Cálculos|Presenta la ecuación de la recta y calcula predicciones"));
    // The evaluations, each as its entry in the Cálculos menu says it.
    for (const cli::AnalysisModule &module : cli::AnalysisModules())
        if (module.popup)
            add(QLatin1Char('p') + QLatin1String(module.menuEntry), QString::fromUtf8(module.menuCaption),
                QString::fromUtf8(module.hint));
    // A .lin study's points are left out and taken back here; the entries
    // show only while the editor holds one.
    QAction *separator = PopMenu->addSeparator();
    pmnuexcluir = PopMenu->addAction(QStringLiteral("E&xcluir punto..."), this, &StudyEditor::excludeCurrentPoint);
    pmnuexcluir->setObjectName(QStringLiteral("pmnuexcluir"));
    pmnuexcluir->setStatusTip(QStringLiteral("Deja el punto fuera de todos los cálculos, con la razón, quién y cuándo"));
    pmnuincluir = PopMenu->addAction(QStringLiteral("I&ncluir punto"), this, &StudyEditor::includeCurrentPoint);
    pmnuincluir->setObjectName(QStringLiteral("pmnuincluir"));
    pmnuincluir->setStatusTip(QStringLiteral("Vuelve a tomar en cuenta el punto excluido, registrando quién y cuándo"));
    for (QAction *entry : {separator, pmnuexcluir, pmnuincluir})
        entry->setVisible(false);
    connect(pmnuexcluir, &QAction::changed, separator, [separator, this] { separator->setVisible(pmnuexcluir->isVisible()); });
    connect(PopMenu, &QMenu::aboutToShow, this, &StudyEditor::enablePointEntries);
    stgdatos->setPopupMenu(PopMenu);
}

void StudyEditor::trackControls()
{
    tracker_ = new FocusTracker(this);
    tracker_->setFirstEntry([this] { thojaEnter(); });
    tracker_->addControl(thoja->tabBar());
    for (QLineEdit *field : {emetodo, eanalista, efecha, uadicionada})
        tracker_->addControl(field);
    tracker_->addControl(eniveles, {}, [this] { enivelesExit(); });
    tracker_->addButton(btnsinumero);
    tracker_->addControl(stgniveles, [this] { stgnivelesEnter(); }, [this] { stgnivelesExit(); });
    tracker_->addButton(botonok);
    tracker_->addControl(stgdatos, [this] { stgdatosEnter(); }, [this] { stgdatosExit(); });

    for (QLineEdit *field : {emetodo, eanalista, efecha, uadicionada, eniveles}) {
        field->installEventFilter(this);
        // Deleting or pasting without a character key changes the study too.
        connect(field, &QLineEdit::textEdited, this, &StudyEditor::markModified);
    }
    connect(stgniveles, &StringGrid::keyTyped, this, &StudyEditor::stgnivelesKeyPress);
    connect(stgdatos, &StringGrid::keyTyped, this, &StudyEditor::stgdatosKeyPress);
    connect(stgniveles, &StringGrid::cellEdited, this, &StudyEditor::markModified);
    connect(stgdatos, &StringGrid::cellEdited, this, &StudyEditor::markModified);
    for (StringGrid *grid : {stgniveles, stgdatos})
        connect(grid, &StringGrid::blockPasted, this, [this, grid](int filled, int leftOut) {
            if (grid == stgdatos && filled > 0)
                host_.dataGridKeyTyped(!stgdatos->cell(2, stgdatos->rowCount() - 1).isEmpty());
            if (leftOut > 0)
                dialogs_.message(this, QStringLiteral("%1 de los valores pegados no caben en la tabla: se dejaron fuera. "
                                                      "Amplíe los niveles o las réplicas y péguelos de nuevo.")
                                           .arg(leftOut));
        });
    connect(btnsinumero, &QPushButton::clicked, this, &StudyEditor::shapeLevelGrid);
    connect(botonok, &QPushButton::clicked, this, &StudyEditor::acceptLevels);
    thoja->tabBar()->installEventFilter(this);
    thoja->installEventFilter(this);
}

QAction *StudyEditor::popupAction(const QString &objectName) const
{
    for (QAction *action : PopMenu->actions())
        if (action->objectName() == objectName)
            return action;
    return nullptr;
}

QList<QAction *> StudyEditor::popupActions() const
{
    QList<QAction *> entries;
    for (QAction *action : PopMenu->actions())
        if (!action->isSeparator() && action->isVisible())
            entries << action;
    return entries;
}

void StudyEditor::loadStudy(const stats::StudyData &study)
{
    // A text longer than the field's limit stays whole: cutting it would lose
    // part of the study at the next save.
    auto fill = [](QLineEdit *field, const std::string &text, int limit) {
        const QString value = QString::fromStdString(text);
        field->setMaxLength(std::max(limit, static_cast<int>(value.size())));
        field->setText(value);
    };
    fill(emetodo, study.method(), 60);
    fill(eanalista, study.analyst(), 60);
    fill(efecha, study.date(), 20);
    fill(uadicionada, study.units(), 20);
    fill(eniveles, study.levelCount(), 2);

    // Each grid keeps at least one cell to type in besides its headings.
    stgniveles->setColumnCount(std::max(2, study.replicateColumnCount()));
    for (int c = 0; c < stgniveles->columnCount(); ++c)
        for (int r = 0; r < 2; ++r)
            stgniveles->setCell(c, r, QString::fromStdString(study.replicateCell(c, r)));
    stgdatos->setRowCount(std::max(2, study.dataRowCount()));
    for (int r = 0; r < stgdatos->rowCount(); ++r)
        for (int c = 0; c < 3; ++c)
            stgdatos->setCell(c, r, QString::fromStdString(study.dataCell(c, r)));
    for (StringGrid *grid : {stgniveles, stgdatos}) {
        grid->moveTo(1, 1);
        grid->setTabMovesBetweenCells(true);
    }
}

std::string StudyEditor::method() const { return emetodo->text().toStdString(); }
std::string StudyEditor::analyst() const { return eanalista->text().toStdString(); }
std::string StudyEditor::date() const { return efecha->text().toStdString(); }
std::string StudyEditor::units() const { return uadicionada->text().toStdString(); }
std::string StudyEditor::levelCount() const { return eniveles->text().toStdString(); }
int StudyEditor::replicateColumnCount() const { return stgniveles->columnCount(); }
std::string StudyEditor::replicateCell(int column, int row) const { return stgniveles->cell(column, row).toStdString(); }
int StudyEditor::dataRowCount() const { return stgdatos->rowCount(); }
std::string StudyEditor::dataCell(int column, int row) const { return stgdatos->cell(column, row).toStdString(); }
