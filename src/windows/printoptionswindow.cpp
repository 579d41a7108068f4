#include "windows/printoptionswindow.h"

#include "windows/acceptancelimitsdialog.h"
#include "cli/analysismodules.h"
#include "windows/objectnames.h"
#include "windows/studyeditor.h"
#include "widgets/userdialogs.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

PrintOptionsWindow::PrintOptionsWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent)
    : QWidget(parent, Qt::Window), m_dialogs(dialogs), m_separator(decimalSeparator)
{
    setObjectName(QString(objectnames::Fopprt1));
    setWindowTitle(QStringLiteral("opciones"));
    // The described window holds three items; each further page adds a row.
    const int extra = 30 * (static_cast<int>(render::PrintedPages().size()) - 3);
    setFixedSize(350, 229 + extra);

    auto *group = new QGroupBox(QStringLiteral("Imprimir en Lasser:"), this);
    group->setObjectName(QStringLiteral("opcion"));
    group->setGeometry(8, 8, 334, 140 + extra);
    auto *items = new QVBoxLayout(group);
    opcion = new QButtonGroup(this);
    for (const render::PrintedPage &page : render::PrintedPages()) {
        const int i = static_cast<int>(page.report);
        auto *item = new QRadioButton(page.caption, group);
        item->setObjectName(QStringLiteral("opcion%1").arg(i));
        items->addWidget(item);
        opcion->addButton(item, i);
    }
    opcion->button(0)->setChecked(true);

    auto *accept = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Aceptar"), this);
    accept->setObjectName(QStringLiteral("BitBtn1"));
    accept->setGeometry(64, 172 + extra, 100, 33);
    accept->setDefault(true);
    connect(accept, &QPushButton::clicked, this, &PrintOptionsWindow::printSelected);

    auto *cancel =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancelar"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setGeometry(186, 172 + extra, 100, 33);
    connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
}

render::PrintedReport PrintOptionsWindow::selectedReport() const
{
    return static_cast<render::PrintedReport>(opcion->checkedId());
}

void PrintOptionsWindow::selectReport(render::PrintedReport report)
{
    opcion->button(static_cast<int>(report))->setChecked(true);
}

void PrintOptionsWindow::printSelected()
{
    StudyEditor *editor = m_study ? m_study() : nullptr;
    if (!editor)
        return; // the study was closed while the window stayed open
    widgets::RunReportingErrors(m_dialogs, this, [&] {
        // Everything is checked and computed before the printer is asked
        // for: a refused study starts no job.
        stats::AnalysisOptions options{.decimalSeparator = m_separator,
                                       .criteria = {.target = m_target ? m_target() : stats::Target(),
                                                    .limits = windows::StoredAcceptanceLimits()},
                                       .weighting = m_weight ? m_weight() : stats::WeightingOptions()};
        const cli::AnalysisModule *module =
            render::PrintedPages()[static_cast<size_t>(selectedReport())].module;
        if (m_samples && module && (module->options & cli::TakesSamples))
            m_samples(options);
        const bool wholeStudy = module && module->wholeStudy && m_wholeStudy;
        if (wholeStudy)
            m_wholeStudy(options);
        // A page of every series needs no line of the series shown.
        const render::PreparedReport report = render::PrepareReport(
            selectedReport(), wholeStudy && options.wholeStudy
                                  ? stats::WholeStudyAnalysis(*options.wholeStudy, options)
                                  : stats::Analyze(editor->evaluatedStudy(), options));
        if (report.validation.failed) {
            editor->showValidationFailure(report.validation);
            return;
        }
        if (report.zeroSlope) {
            m_dialogs.message(this, QString::fromUtf8(stats::kZeroSlopeMessage));
            return;
        }
        QPrinter printer(QPrinter::HighResolution);
        if (!m_dialogs.print(this, printer))
            return;
        const cli::PrintRecord record = cli::MakePrintRecord(m_origin ? m_origin() : cli::StudySource{});
        const render::DocumentInfo info =
            render::StudyDocumentInfo(render::ReportName(selectedReport()), record, editor->analyst(), editor->method());
        BeginRecordedPrint(printer, info);
        QPainter painter;
        if (!painter.begin(&printer)) {
            m_dialogs.error(this, QStringLiteral("No se pudo iniciar la impresión en la impresora elegida."));
            return;
        }
        const bool printed =
            render::DrawReportPages(painter, report.pages, [&printer] { return printer.newPage(); }, record);
        if (!painter.end() || !printed) {
            m_dialogs.error(this, QStringLiteral("La impresión no pudo completarse."));
            return;
        }
        FinishRecordedPrint(printer, info);
    });
}
