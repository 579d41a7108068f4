// The study editor holding a .lin study: the series bar, the standards the
// grids show, the exclusion of points and what the calculations evaluate.
// A .w04 study never meets any of this: without a .lin study the bar is
// hidden and every limit is the one described for the editor.
#include "windows/studyeditor.h"

#include "cli/printrecord.h"
#include "cli/installationfacts.h"
#include "stats/analysis.h"
#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/studyfile.h"
#include "widgets/focustracker.h"
#include "widgets/stringgrid.h"
#include "widgets/userdialogs.h"
#include "windows/studyeditorhost.h"

#include <QAction>
#include <QBrush>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include <algorithm>

namespace {

// "1 · Día 1", or "2" for a series without a name.
QString seriesCaption(const stats::StudySeries &series, int number)
{
    const QString name = QString::fromStdString(series.name);
    return name.isEmpty() ? QString::number(number) : QStringLiteral("%1 · %2").arg(number).arg(name);
}

QPushButton *barButton(const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

QWidget *StudyEditor::buildSeriesBar()
{
    seriesBar_ = new QWidget;
    seriesBar_->setObjectName(QStringLiteral("barraseries"));
    cbserie = new QComboBox;
    cbserie->setObjectName(QStringLiteral("cbserie"));
    cbserie->setMinimumWidth(160);
    cbserie->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cbestandares = new QComboBox;
    cbestandares->setObjectName(QStringLiteral("cbestandares"));
    cbestandares->addItem(QStringLiteral("Calibración"));
    cbestandares->addItem(QStringLiteral("Validación"));
    auto *add = barButton("btnagregaserie", QStringLiteral("Añadir serie"));
    auto *rename = barButton("btnrenombraserie", QStringLiteral("Renombrar..."));
    auto *remove = barButton("btnquitaserie", QStringLiteral("Quitar serie"));

    auto *row = new QHBoxLayout(seriesBar_);
    row->setContentsMargins(8, 6, 8, 2);
    auto *label = new QLabel(QStringLiteral("&Serie:"));
    label->setBuddy(cbserie);
    row->addWidget(label);
    row->addWidget(cbserie);
    row->addWidget(add);
    row->addWidget(rename);
    row->addWidget(remove);
    row->addSpacing(12);
    auto *standards = new QLabel(QStringLiteral("Es&tándares:"));
    standards->setBuddy(cbestandares);
    row->addWidget(standards);
    row->addWidget(cbestandares);
    row->addStretch();

    connect(cbserie, &QComboBox::activated, this, &StudyEditor::chooseSeries);
    connect(cbestandares, &QComboBox::activated, this, &StudyEditor::chooseKind);
    connect(add, &QPushButton::clicked, this, &StudyEditor::addSeries);
    connect(rename, &QPushButton::clicked, this, &StudyEditor::renameSeries);
    connect(remove, &QPushButton::clicked, this, &StudyEditor::removeSeries);
    seriesBar_->hide();
    return seriesBar_;
}

int StudyEditor::mostLevels() const { return lin_ ? stats::kMaxSeriesLevels : 5; }

// A .lin study's standards may be left empty (no validation standards, or
// an absolute method without calibration): 0 is a count there.
int StudyEditor::fewestLevels() const { return lin_ ? 0 : 3; }

int StudyEditor::mostReplicates() const { return lin_ ? stats::kMaxLevelPoints : 5; }

bool StudyEditor::levelCountAccepted(int levels) const
{
    if (!lin_)
        return stats::LevelCountInRange(levels);
    if (levels == 0)
        return true;
    const int fewest = shownKind_ == stats::StandardKind::Calibration ? stats::kMinCalibrationLevels : 1;
    return levels >= fewest && levels <= stats::kMaxSeriesLevels;
}

QString StudyEditor::levelsOutOfRange() const
{
    if (!lin_)
        return QString::fromUtf8(stats::kLevelsOutOfRange);
    if (shownKind_ == stats::StandardKind::Calibration)
        return QStringLiteral("Datos fuera de rango, 3-%1 Niveles (o 0, sin estándares de calibración)")
            .arg(stats::kMaxSeriesLevels);
    return QStringLiteral("Datos fuera de rango, 0-%1 Niveles").arg(stats::kMaxSeriesLevels);
}

void StudyEditor::loadSeriesStudy(const stats::SeriesStudy &study)
{
    lin_ = study;
    if (lin_->series.empty())
        lin_->series.emplace_back();
    stats::StudyData general;
    general.methodText = study.method;
    general.analystText = study.analyst;
    general.dateText = study.date;
    general.unitsText = study.units;
    loadStudy(general);
    seriesBar_->show();
    // Room for the bar, in the editor and in the frame's window around it.
    const QSize grow(std::max(0, seriesBar_->sizeHint().width() - width()), seriesBar_->sizeHint().height());
    resize(size() + grow);
    if (QWidget *frame = parentWidget())
        frame->resize(frame->size() + grow);
    pmnuexcluir->setVisible(true);
    pmnuincluir->setVisible(true);
    const stats::StudySeries &first = lin_->series.front();
    showStandards(0, first.calibration.empty() && !first.validation.empty() ? stats::StandardKind::Validation
                                                                              : stats::StandardKind::Calibration);
}

// The grids take the standards of one series, shaped as Open shapes a study.
void StudyEditor::showStandards(int series, stats::StandardKind kind)
{
    shownSeries_ = series;
    shownKind_ = kind;
    const std::vector<stats::StudyLevel> &levels = lin_->series.at(static_cast<std::size_t>(series)).levels(kind);
    std::vector<std::string> replicates, x, y;
    for (const stats::StudyLevel &level : levels) {
        replicates.push_back(std::to_string(level.size()));
        for (const stats::StudyPoint &point : level) {
            x.push_back(point.x);
            y.push_back(point.y);
        }
    }
    stats::StudyData shown = stats::StudyData::Shaped(replicates, x, y);
    shown.methodText = emetodo->text().toStdString();
    shown.analystText = eanalista->text().toStdString();
    shown.dateText = efecha->text().toStdString();
    shown.unitsText = uadicionada->text().toStdString();
    shown.levelsText = std::to_string(levels.size());
    loadStudy(shown);
    if (levels.empty()) { // none: the grids hold their headings only
        stgniveles->setColumnCount(1);
        stgdatos->setRowCount(1);
    }
    listSeries();
    markExcludedRows();
}

// The grids' texts go back into the study, each point keeping its
// exclusion and its record by its level and its place in the level. Shown
// standards that are no study yet stay where they are: false, once the
// editor said why.
bool StudyEditor::keepShownStandards()
{
    if (!lin_)
        return true;
    const stats::ValidationFailure failure = stats::ValidateStudy(*this);
    if (failure.failed) {
        showValidationFailure(failure);
        return false;
    }
    writeShownBack();
    return true;
}

// The shown grids, a study by ValidateStudy, into the study.
void StudyEditor::writeShownBack()
{
    stats::StudySeries &series = lin_->series.at(static_cast<std::size_t>(shownSeries_));
    std::vector<stats::StudyLevel> &kept =
        shownKind_ == stats::StandardKind::Calibration ? series.calibration : series.validation;
    std::vector<stats::StudyLevel> levels;
    int row = 1;
    const int k = stats::StrToInt(eniveles->text().toStdString());
    for (int j = 1; j <= k; ++j) {
        const int count = stats::StrToInt(stgniveles->cell(j, 1).toStdString());
        stats::StudyLevel level;
        for (int i = 0; i < count; ++i, ++row) {
            stats::StudyPoint point;
            if (static_cast<std::size_t>(j) <= kept.size() && static_cast<std::size_t>(i) < kept[j - 1].size())
                point = kept[j - 1][i];
            point.x = stgdatos->cell(1, row).toStdString();
            point.y = stgdatos->cell(2, row).toStdString();
            level.push_back(std::move(point));
        }
        levels.push_back(std::move(level));
    }
    kept = std::move(levels);
    lin_->method = emetodo->text().toStdString();
    lin_->analyst = eanalista->text().toStdString();
    lin_->date = efecha->text().toStdString();
    lin_->units = uadicionada->text().toStdString();
}

std::optional<stats::SeriesStudy> StudyEditor::seriesStudy()
{
    if (!keepShownStandards())
        return std::nullopt;
    return lin_;
}

std::optional<stats::SeriesStudy> StudyEditor::currentSeriesStudy()
{
    if (lin_ && !stats::ValidateStudy(*this).failed)
        writeShownBack();
    return lin_;
}

stats::StudyData StudyEditor::evaluatedStudy()
{
    // Shown standards that are no study yet are evaluated as they stand, so
    // that the calculation's own validation says why and goes there.
    if (!lin_ || stats::ValidateStudy(*this).failed)
        return stats::SnapshotOf(*this);
    writeShownBack();
    if (const std::string problem =
            stats::SeriesKindProblem(*lin_, shownSeries(), stats::StandardKind::Calibration);
        !problem.empty())
        throw stats::StudyRefusal(problem);
    stats::StudyData study = stats::StudyFromFile(stats::CalibrationOfSeries(*lin_, shownSeries()));
    study.levelLimit = stats::kMaxSeriesLevels;
    study.series = stats::SeriesNoteOf(*lin_, shownSeries());
    return study;
}

void StudyEditor::listSeries()
{
    const QSignalBlocker blockSeries(cbserie), blockKind(cbestandares);
    cbserie->clear();
    for (std::size_t s = 0; s < lin_->series.size(); ++s)
        cbserie->addItem(seriesCaption(lin_->series[s], static_cast<int>(s) + 1));
    cbserie->setCurrentIndex(shownSeries_);
    cbestandares->setCurrentIndex(shownKind_ == stats::StandardKind::Calibration ? 0 : 1);
    seriesBar_->findChild<QPushButton *>(QStringLiteral("btnquitaserie"))->setEnabled(lin_->series.size() > 1);
    seriesBar_->findChild<QPushButton *>(QStringLiteral("btnagregaserie"))
        ->setEnabled(lin_->series.size() < static_cast<std::size_t>(stats::kMaxSeries));
}

// Another series or kind is shown only once the shown one is a study: what
// is typed is never dropped by a switch.
void StudyEditor::chooseSeries(int index)
{
    if (index == shownSeries_ || index < 0)
        return;
    bool kept = false;
    widgets::RunReportingErrors(dialogs_, this, [&] { kept = keepShownStandards(); });
    if (!kept)
        return listSeries();
    showStandards(index, shownKind_);
}

void StudyEditor::chooseKind(int index)
{
    const stats::StandardKind kind = index == 0 ? stats::StandardKind::Calibration : stats::StandardKind::Validation;
    if (kind == shownKind_)
        return;
    bool kept = false;
    widgets::RunReportingErrors(dialogs_, this, [&] { kept = keepShownStandards(); });
    if (!kept)
        return listSeries();
    showStandards(shownSeries_, kind);
}

void StudyEditor::addSeries()
{
    if (lin_->series.size() >= static_cast<std::size_t>(stats::kMaxSeries))
        return;
    bool kept = false;
    widgets::RunReportingErrors(dialogs_, this, [&] { kept = keepShownStandards(); });
    if (!kept)
        return;
    const QString name = dialogs_.textInput(this, QStringLiteral("Añadir serie"),
                                            QStringLiteral("Nombre de la serie nueva:"),
                                            QStringLiteral("Serie %1").arg(lin_->series.size() + 1));
    if (name.isNull())
        return;
    lin_->series.push_back({.name = name.toStdString()});
    markModified();
    // A new series starts with the calibration standards: three levels to shape.
    showStandards(static_cast<int>(lin_->series.size()) - 1, stats::StandardKind::Calibration);
    eniveles->setText(QStringLiteral("3"));
    shapeLevelGrid();
}

void StudyEditor::renameSeries()
{
    stats::StudySeries &series = lin_->series.at(static_cast<std::size_t>(shownSeries_));
    const QString name = dialogs_.textInput(this, QStringLiteral("Renombrar serie"),
                                            QStringLiteral("Nombre de la serie %1:").arg(shownSeries()),
                                            QString::fromStdString(series.name));
    if (name.isNull() || name.toStdString() == series.name)
        return;
    series.name = name.toStdString();
    markModified();
    listSeries();
}

void StudyEditor::removeSeries()
{
    if (lin_->series.size() <= 1)
        return;
    const QString question = QStringLiteral("¿Quitar la serie %1 con todos sus puntos?").arg(cbserie->currentText());
    if (dialogs_.question(this, QStringLiteral("Quitar serie"), question) != UserDialogs::Answer::Yes)
        return;
    lin_->series.erase(lin_->series.begin() + shownSeries_);
    markModified();
    showStandards(std::min(shownSeries_, static_cast<int>(lin_->series.size()) - 1), shownKind_);
}

// The point of the data grid's current row, once the grids are written back.
stats::StudyPoint *StudyEditor::currentPoint()
{
    const int row = stgdatos->currentRow();
    if (!lin_ || row < 1 || !keepShownStandards())
        return nullptr;
    std::vector<stats::StudyLevel> &levels =
        shownKind_ == stats::StandardKind::Calibration ? lin_->series[shownSeries_].calibration
                                                       : lin_->series[shownSeries_].validation;
    int seen = 0;
    for (stats::StudyLevel &level : levels)
        for (stats::StudyPoint &point : level)
            if (++seen == row)
                return &point;
    return nullptr;
}

void StudyEditor::excludeCurrentPoint()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        stats::StudyPoint *point = currentPoint();
        if (!point)
            return;
        if (point->excluded)
            return dialogs_.message(this, QStringLiteral("Ese punto ya está excluido."));
        const QString answer = dialogs_.textInput(this, QStringLiteral("Excluir punto"),
                                                  QStringLiteral("Razón por la que se excluye el punto:"), QString());
        if (answer.isNull())
            return;
        const QString reason = answer.trimmed();
        if (reason.isEmpty())
            return dialogs_.message(this, QStringLiteral("Escriba la razón: un punto no se excluye sin ella."));
        stats::ExcludePoint(*point, {reason.toStdString(), cli::CurrentUserName(), cli::Iso8601Now()});
        markModified();
        markExcludedRows();
    });
}

void StudyEditor::includeCurrentPoint()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        stats::StudyPoint *point = currentPoint();
        if (!point)
            return;
        if (!point->excluded)
            return dialogs_.message(this, QStringLiteral("Ese punto no está excluido."));
        stats::IncludePoint(*point, cli::CurrentUserName(), cli::Iso8601Now());
        markModified();
        markExcludedRows();
    });
}

// The point a data row shows, by its level and its place in the level as
// the replicate counts stand; null for a point not yet written back.
const stats::StudyPoint *StudyEditor::shownPoint(int row) const
{
    const std::vector<stats::StudyLevel> &levels = lin_->series[shownSeries_].levels(shownKind_);
    int first = 1;
    for (int j = 1; j < stgniveles->columnCount(); ++j) {
        int count = 0;
        if (!stats::TryStrToInt(stgniveles->cell(j, 1).toStdString(), count) || count < 0)
            return nullptr;
        if (row < first + count) {
            const int i = row - first;
            const bool known = static_cast<std::size_t>(j) <= levels.size() &&
                               static_cast<std::size_t>(i) < levels[j - 1].size();
            return known ? &levels[j - 1][i] : nullptr;
        }
        first += count;
    }
    return nullptr;
}

// An excluded point's row is drawn greyed and struck through, its reason
// in the tooltip.
void StudyEditor::markExcludedRows()
{
    if (!lin_)
        return;
    for (int row = 1; row < stgdatos->rowCount(); ++row) {
        const stats::StudyPoint *point = shownPoint(row);
        const bool excluded = point && point->excluded;
        for (int column = 1; column <= 2; ++column) {
            if (!stgdatos->item(row, column))
                stgdatos->setCell(column, row, stgdatos->cell(column, row));
            QTableWidgetItem *item = stgdatos->item(row, column);
            QFont font = stgdatos->font();
            font.setStrikeOut(excluded);
            item->setFont(font);
            item->setForeground(excluded ? QBrush(Qt::gray) : QBrush());
            item->setToolTip(excluded ? QStringLiteral("Excluido: %1 (%2, %3)")
                                            .arg(QString::fromStdString(point->excluded->reason),
                                                 QString::fromStdString(point->excluded->by),
                                                 QString::fromStdString(point->excluded->at))
                                      : QString());
        }
    }
}

// The pop-up offers to leave out a point that counts, and to take back one
// left out.
void StudyEditor::enablePointEntries()
{
    const stats::StudyPoint *point = lin_ ? shownPoint(stgdatos->currentRow()) : nullptr;
    pmnuexcluir->setEnabled(lin_ && stgdatos->currentRow() >= 1 && !(point && point->excluded));
    pmnuincluir->setEnabled(point && point->excluded);
}
