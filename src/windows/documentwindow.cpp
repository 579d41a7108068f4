#include "windows/documentwindow.h"

#include "stats/seriesstudy.h"

#include "stats/outcomes.h"
#include "windows/acceptancelimitsdialog.h"

#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

// Its names: the row's, or "TF" and "mm" before the evaluation's id.
QByteArray nameOf(const char *given, const char *prefix, std::string_view id)
{
    return given ? QByteArray(given) : QByteArray(prefix) + QByteArray(id.data(), static_cast<qsizetype>(id.size()));
}

} // namespace

DocumentWindow::DocumentWindow(const cli::AnalysisModule &module, const stats::Lines &lines, stats::StudyData study,
                               char decimalSeparator, QWidget *parent)
    : ResultWindow(
          {
              .objectName = nullptr,
              .caption = QString::fromUtf8(module.name),
              .helpContext = module.helpContext,
              .size = QSize(module.windowWidth, module.windowHeight),
              .fixedSize = false, // it scrolls
          },
          parent),
      module_(module), study_(std::move(study)), separator_(decimalSeparator)
{
    setObjectName(QString::fromLatin1(nameOf(module.windowName, "TF", module.id)));
    text_ = fillWithTextBox(QString::fromLatin1(nameOf(module.textBoxName, "mm", module.id)), lines);
    // The tables are aligned in characters: a fixed pitch keeps their columns.
    text_->setFont(windows::ColumnFont(13));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    addCloseMenu(text_);
    // The limits may decide what it shows (the quadratic model is chosen
    // against them): any window's limits dialog changes them.
    connect(&windows::AcceptanceLimitsNotifier::instance(), &windows::AcceptanceLimitsNotifier::stored, this,
            [this] { followStudy([this] { return computed(); }); });
}

void DocumentWindow::studyChanged(const stats::StudyData &study)
{
    if (study == study_)
        return;
    study_ = study;
    followStudy([this] { return computed(); });
}

std::string DocumentWindow::computed()
{
    const stats::CommandOutcome outcome = module_.outcome(stats::Analyze(
        study_, {.decimalSeparator = separator_, .criteria = {.target = {}, .limits = windows::StoredAcceptanceLimits()}}));
    if (outcome.refused())
        return outcome.refusalMessage();
    // Where the reader was in the text, as far as it still goes.
    const int scrolled = text_->verticalScrollBar()->value();
    stats::Lines lines = outcome.lines;
    if (const stats::SeriesNote *note = study_.seriesNote())
        for (std::string &line : stats::SeriesNoteLines(*note))
            lines.push_back(std::move(line));
    windows::SetLines(text_, lines);
    text_->verticalScrollBar()->setValue(scrolled);
    return {};
}
