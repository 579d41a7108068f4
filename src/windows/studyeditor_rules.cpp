// The study editor's rules: what each key does, the checks run when the focus
// leaves or enters a control, the two buttons, the page rules and the close
// question. Every refusal is a plain message box, after which the focus goes
// back to the control named, and the refused text stays for correction.
#include "windows/studyeditor.h"

#include "widgets/focustracker.h"
#include "widgets/stringgrid.h"
#include "widgets/userdialogs.h"
#include "windows/studyeditorhost.h"

#include "stats/conversions.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

const QString kLevelCellsMismatch = QString::fromUtf8(stats::kLevelCellsMismatch);

int toInt(const QString &text) { return stats::StrToInt(text.toStdString()); }

bool isEnter(const QKeyEvent *key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

} // namespace

// ---- Keys -------------------------------------------------------------------

bool StudyEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == thoja->tabBar())
        return tabBarEvent(event);
    if (watched == thoja && event->type() == QEvent::KeyPress) {
        // Ctrl+Tab and its kin select the next or previous page.
        const auto *key = static_cast<QKeyEvent *>(event);
        int step = 0;
        if (key->modifiers() & Qt::ControlModifier) {
            if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_PageDown)
                step = 1;
            else if (key->key() == Qt::Key_Backtab || key->key() == Qt::Key_PageUp)
                step = -1;
        }
        if (step != 0) {
            thojaChange((thoja->currentIndex() + step + thoja->count()) % thoja->count());
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        auto *field = qobject_cast<QLineEdit *>(watched);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (!field || key->text().isEmpty() || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            return false;
        fieldKeyPress(field, isEnter(key) ? QChar(13) : key->text().at(0));
        return isEnter(key);
    }
    return QWidget::eventFilter(watched, event);
}

void StudyEditor::fieldKeyPress(QLineEdit *field, QChar key)
{
    markModified();
    if (key != QChar(13) || field->text().isEmpty())
        return;
    if (field == emetodo) {
        tracker_->moveFocus(eanalista);
    } else if (field == eanalista) {
        tracker_->moveFocus(efecha);
    } else if (field == efecha) {
        tracker_->moveFocus(uadicionada);
    } else if (field == uadicionada) {
        turnPage(stats::PageLevels);
        tracker_->moveFocus(eniveles);
    } else if (field == eniveles) {
        tracker_->moveFocus(btnsinumero);
    }
}

void StudyEditor::stgnivelesKeyPress(QChar key)
{
    markModified();
    if (!stgniveles->isLastColumn())
        return;
    stgniveles->setTabMovesBetweenCells(false);
    if (key == QChar(13))
        tracker_->moveFocus(botonok);
}

void StudyEditor::stgdatosKeyPress(QChar)
{
    markModified();
    const bool lastCell = stgdatos->isLastCell();
    host_.dataGridKeyTyped(lastCell);
    if (lastCell)
        stgdatos->setTabMovesBetweenCells(false);
    else if (stgdatos->isLastColumn())
        stgdatos->setTabMovesBetweenCells(true);
}

void StudyEditor::markModified() { host_.setStudyMark(StudyEditorHost::StudyMark::Modified); }

// ---- Leave and enter checks ---------------------------------------------------

void StudyEditor::enivelesExit()
{
    const QString text = eniveles->text();
    int levels = 0;
    if (text.isEmpty())
        refuse(eniveles, QStringLiteral("Falta capturar número de Niveles"));
    else if (!stats::TryStrToInt(text.toStdString(), levels))
        refuse(eniveles, QStringLiteral("El valor de captura no es un valor numérico."));
    else if (!levelCountAccepted(levels))
        refuse(eniveles, levelsOutOfRange());
}

void StudyEditor::stgnivelesExit()
{
    stgniveles->setTabMovesBetweenCells(true);
    stgniveles->moveTo(1, 1);
    const int last = stgniveles->columnCount() - 1;
    for (int i = 1; i <= last; ++i) {
        const QString text = stgniveles->cell(i, 1);
        double value = 0.0;
        if (text.isEmpty())
            return refuse(stgniveles, QStringLiteral("Falta el dato %1").arg(i));
        if (!stats::TryStrToFloat(text.toStdString(), separator_, value))
            return refuse(stgniveles, QStringLiteral("El dato%1 no es un valor numérico.").arg(i));
    }
    bool refused = false;
    const bool converted = widgets::RunReportingErrors(dialogs_, this, [&] {
        for (int i = 1; i <= last && !refused; ++i)
            if (toInt(stgniveles->cell(i, 1)) > mostReplicates()) {
                refuse(stgniveles, QStringLiteral("Datos fuera de rango, maximo %1 Réplicas").arg(mostReplicates()));
                refused = true;
            }
        // A level without replicates would vanish from every computation.
        for (int i = 1; i <= last && !refused; ++i)
            if (toInt(stgniveles->cell(i, 1)) < 1) {
                refuse(stgniveles, QString::fromUtf8(stats::kAtLeastOneReplicate));
                refused = true;
            }
    });
    if (!converted) // a count such as 2.5, reported as not a whole number
        focusOn(stgniveles);
}

void StudyEditor::stgdatosExit()
{
    stgdatos->setTabMovesBetweenCells(true);
    stgdatos->moveTo(1, 1);
    for (int column = 1; column <= 2; ++column) {
        for (int row = 1; row < stgdatos->rowCount(); ++row) {
            const QString text = stgdatos->cell(column, row);
            double value = 0.0;
            if (text.isEmpty())
                return refuse(stgdatos, QStringLiteral("Falta capturar algun dato "));
            if (!stats::TryStrToFloat(text.toStdString(), separator_, value))
                return refuse(stgdatos, QStringLiteral("Algun dato capturado no es un valor numérico."));
        }
    }
}

void StudyEditor::stgnivelesEnter()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        if (toInt(eniveles->text()) != stgniveles->columnCount() - 1)
            refuse(eniveles, kLevelCellsMismatch);
    });
}

void StudyEditor::stgdatosEnter()
{
    host_.dataGridEntered();
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const int levels = toInt(eniveles->text());
        const int columns = stgniveles->columnCount() - 1;
        if (levels != columns)
            return refuse(eniveles, kLevelCellsMismatch);
        for (int i = 1; i <= columns; ++i)
            if (stgniveles->cell(i, 1).isEmpty())
                return refuse(stgniveles, QString::fromStdString(stats::MissingReplicatesMessage(i)));
        if (stats::ReplicateTotal(*this, levels) != stgdatos->rowCount() - 1)
            refuse(eniveles, QString::fromUtf8(stats::kDataCellsMismatch));
    });
}

// The focus comes into the notebook from outside: the first page, first field.
void StudyEditor::thojaEnter()
{
    turnPage(stats::PageGeneral);
    tracker_->putFocus(emetodo);
}

// ---- Buttons -------------------------------------------------------------------

void StudyEditor::shapeLevelGrid()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const int levels = toInt(eniveles->text());
        // Only a count the leave check of the field accepts shapes the grid.
        if (!levelCountAccepted(levels))
            return refuse(eniveles, levelsOutOfRange());
        stgniveles->setColumnCount(levels + 1);
        for (int i = 1; i <= levels; ++i)
            stgniveles->setCell(i, 0, QString::number(i));
        tracker_->moveFocus(stgniveles);
    });
}

void StudyEditor::acceptLevels()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        if (toInt(eniveles->text()) != stgniveles->columnCount() - 1) {
            dialogs_.message(this, kLevelCellsMismatch);
            tracker_->moveFocus(eniveles);
            return;
        }
        shapeDataGrid();
        turnPage(stats::PageData);
        tracker_->moveFocus(stgdatos);
    });
}

// One data row per replicate, labelled with its level in column 0, as Open
// shapes it. Values typed stay with their level: a level keeps its first
// pairs up to its new count, so changing one count never moves a value to
// another level. Rows not yet labelled (a new study) are taken in order.
// Counts that the replicate checks would refuse leave the grid alone;
// entering the data page says why.
void StudyEditor::shapeDataGrid()
{
    std::vector<int> counts;
    for (int i = 1; i < stgniveles->columnCount(); ++i) {
        int count = 0;
        if (!stats::TryStrToInt(stgniveles->cell(i, 1).toStdString(), count) || count < 1 || count > mostReplicates())
            return;
        counts.push_back(count);
    }

    using Pair = std::pair<QString, QString>;
    std::vector<std::vector<Pair>> byLevel(counts.size());
    std::vector<Pair> unlabelled;
    for (int row = 1; row < stgdatos->rowCount(); ++row) {
        const Pair pair{stgdatos->cell(1, row), stgdatos->cell(2, row)};
        int level = 0;
        if (stats::TryStrToInt(stgdatos->cell(0, row).toStdString(), level) && level >= 1)
            if (static_cast<size_t>(level) <= byLevel.size())
                byLevel[static_cast<size_t>(level - 1)].push_back(pair);
        if (level < 1)
            unlabelled.push_back(pair);
    }

    int total = 0;
    for (int count : counts)
        total += count;
    stgdatos->setRowCount(total + 1);
    int row = 1;
    size_t nextUnlabelled = 0;
    for (size_t level = 0; level < counts.size(); ++level)
        for (size_t r = 0; r < static_cast<size_t>(counts[level]); ++r, ++row) {
            Pair pair;
            if (r < byLevel[level].size())
                pair = byLevel[level][r];
            else if (nextUnlabelled < unlabelled.size())
                pair = unlabelled[nextUnlabelled++];
            stgdatos->setCell(0, row, QString::fromStdString(stats::DataLevelLabel(static_cast<int>(level + 1))));
            stgdatos->setCell(1, row, pair.first);
            stgdatos->setCell(2, row, pair.second);
        }
    markExcludedRows();
}

// ---- Pages and focus ----------------------------------------------------------

// The user selects a page: the control that has the focus runs its leave
// check, then the focus goes to the page's first control.
void StudyEditor::thojaChange(int page)
{
    if (page < 0 || page >= thoja->count() || page == thoja->currentIndex())
        return;
    QTabBar *bar = thoja->tabBar();
    tracker_->moveFocus(bar);
    if (tracker_->activeControl() != bar)
        return;
    turnPage(page);
    tracker_->moveFocus(firstControlOf(page));
}

// The notebook's pages change only through thojaChange, so that the leave
// check runs before the page turns.
bool StudyEditor::tabBarEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        thojaChange(thoja->tabBar()->tabAt(mouse->position().toPoint()));
        return true;
    }
    case QEvent::Wheel:
        return true;
    case QEvent::KeyPress: {
        int page = thoja->currentIndex();
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            --page;
            break;
        case Qt::Key_Right:
        case Qt::Key_Down:
            ++page;
            break;
        case Qt::Key_Home:
            page = 0;
            break;
        case Qt::Key_End:
            page = thoja->count() - 1;
            break;
        default:
            return false;
        }
        thojaChange(std::clamp(page, 0, thoja->count() - 1));
        return true;
    }
    default:
        return false;
    }
}

bool StudyEditor::focusNextPrevChild(bool next)
{
    return (tracker_ && tracker_->focusNext(next)) || QWidget::focusNextPrevChild(next);
}

void StudyEditor::turnPage(int page)
{
    if (page >= 0 && page < thoja->count() && page != thoja->currentIndex())
        tracker_->withoutTracking([&] { thoja->setCurrentIndex(page); });
}

void StudyEditor::focusOn(QWidget *control)
{
    for (int page = 0; page < thoja->count(); ++page)
        if (thoja->widget(page)->isAncestorOf(control))
            turnPage(page);
    tracker_->putFocus(control);
}

void StudyEditor::refuse(QWidget *control, const QString &message)
{
    dialogs_.message(this, message);
    focusOn(control);
}

QWidget *StudyEditor::firstControlOf(int page) const
{
    switch (page) {
    case stats::PageGeneral:
        return emetodo;
    case stats::PageLevels:
        return eniveles;
    default:
        return stgdatos;
    }
}

QWidget *StudyEditor::controlFor(stats::StudyControl control) const
{
    switch (control) {
    case stats::StudyControl::emetodo:
        return emetodo;
    case stats::StudyControl::eanalista:
        return eanalista;
    case stats::StudyControl::efecha:
        return efecha;
    case stats::StudyControl::uadicionada:
        return uadicionada;
    case stats::StudyControl::eniveles:
        return eniveles;
    case stats::StudyControl::stgniveles:
        return stgniveles;
    case stats::StudyControl::stgdatos:
        return stgdatos;
    case stats::StudyControl::None:
        break;
    }
    return nullptr;
}

void StudyEditor::showValidationFailure(const stats::ValidationFailure &failure)
{
    if (!failure.failed)
        return;
    dialogs_.message(this, QString::fromStdString(failure.message));
    turnPage(failure.page);
    if (QWidget *control = controlFor(failure.focus))
        tracker_->putFocus(control);
}

// ---- Close question -----------------------------------------------------------

void StudyEditor::closeEvent(QCloseEvent *event)
{
    if (closed_) {
        event->accept();
        return;
    }
    if (host_.studyMark() == StudyEditorHost::StudyMark::Modified) {
        const UserDialogs::Answer answer =
            dialogs_.question(this, QStringLiteral("Guardar archivo?"),
                              QStringLiteral("Se realizaron cambios!\nQuiere guardar su información?"));
        // Cancelar keeps the editor open with the study as it is, and so
        // does a save that did not happen: closing would lose what the user
        // asked to keep.
        bool keep = answer == UserDialogs::Answer::Cancel;
        if (answer == UserDialogs::Answer::Yes) {
            bool saved = false;
            widgets::RunReportingErrors(dialogs_, this, [&] { saved = host_.saveStudy(); });
            keep = !saved;
        }
        if (keep) {
            event->ignore();
            return;
        }
    }
    host_.setStudyMark(StudyEditorHost::StudyMark::Closed);
    closed_ = true;
    event->accept();
    host_.editorClosed();
}
