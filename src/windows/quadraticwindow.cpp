#include "windows/quadraticwindow.h"

#include "stats/outcomes.h"
#include "windows/acceptancelimitsdialog.h"
#include "windows/objectnames.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFcuadratico,
    .caption = QStringLiteral("Modelo cuadrático"),
    .helpContext = 18,
    .size = QSize(640, 560),
    .fixedSize = false, // it scrolls
};

} // namespace

QuadraticWindow::QuadraticWindow(const stats::Lines &lines, stats::StudyData study, char decimalSeparator,
                                 QWidget *parent)
    : ResultWindow(kLook, parent), study_(std::move(study)), separator_(decimalSeparator)
{
    mmcuadratico_ = fillWithTextBox(QLatin1String(objectnames::mmcuadratico), lines);
    // The tables are aligned in characters: a fixed pitch keeps their columns.
    mmcuadratico_->setFont(windows::ColumnFont(13));
    mmcuadratico_->setLineWrapMode(QPlainTextEdit::NoWrap);
    addCloseMenu(mmcuadratico_);
    // The limits choose the model: any window's limits dialog changes them.
    connect(&windows::AcceptanceLimitsNotifier::instance(), &windows::AcceptanceLimitsNotifier::stored, this,
            [this] { followStudy([this] { return computed(); }); });
}

void QuadraticWindow::studyChanged(const stats::StudyData &study)
{
    if (study == study_)
        return;
    study_ = study;
    followStudy([this] { return computed(); });
}

std::string QuadraticWindow::computed()
{
    const stats::CommandOutcome outcome = stats::QuadraticOutcome(stats::Analyze(
        study_, {.decimalSeparator = separator_, .criteria = {.target = {}, .limits = windows::StoredAcceptanceLimits()}}));
    if (outcome.refused())
        return outcome.refusalMessage();
    // Where the reader was in the text, as far as it still goes.
    const int scrolled = mmcuadratico_->verticalScrollBar()->value();
    windows::SetLines(mmcuadratico_, outcome.lines);
    mmcuadratico_->verticalScrollBar()->setValue(scrolled);
    return {};
}
