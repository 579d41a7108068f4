#include "windows/archiveevaluation.h"

#include "cli/acceptancelimits.h"
#include "cli/batch.h"
#include "cli/batchsummary.h"
#include "render/drawingcommands.h"
#include "stats/errors.h"
#include "widgets/helpcontext.h"
#include "widgets/userdialogs.h"
#include "windows/acceptancelimitsdialog.h"

#include <QDialog>
#include <QEventLoop>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <atomic>
#include <sstream>
#include <thread>

namespace windows {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

constexpr int kArchiveHelpContext = 9; // its topic in the help file

// The summary, the rows that failed first; any column sorts it.
void showSummary(QWidget *parent, UserDialogs &dialogs, const std::vector<cli::SummaryRow> &rows,
                 const QString &summaryLine)
{
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("resumenlote"));
    dialog.setWindowTitle(QStringLiteral("Resumen de la evaluación"));
    widgets::SetHelpContext(&dialog, kArchiveHelpContext);
    auto *layout = new QVBoxLayout(&dialog);
    auto *line = new QLabel(summaryLine, &dialog);
    line->setTextFormat(Qt::PlainText);
    line->setWordWrap(true);
    layout->addWidget(line);
    auto *table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(cli::kSummaryColumns.size()),
                                   &dialog);
    table->setObjectName(QStringLiteral("tablaresumen"));
    QStringList headings;
    for (const char *column : cli::kSummaryColumns)
        headings << QString::fromUtf8(column);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    std::vector<const cli::SummaryRow *> ordered;
    for (const cli::SummaryRow &row : rows)
        ordered.push_back(&row);
    std::stable_sort(ordered.begin(), ordered.end(), [](const cli::SummaryRow *a, const cli::SummaryRow *b) {
        return static_cast<int>(a->state) > static_cast<int>(b->state);
    });
    static const char *const states[] = {"correcto", "rechazado", "error"};
    for (int r = 0; r < static_cast<int>(ordered.size()); ++r) {
        const cli::SummaryRow &row = *ordered[static_cast<size_t>(r)];
        QStringList cells = {text(row.name), text(row.sha256), QString::fromUtf8(states[static_cast<int>(row.state)]),
                             text(row.message)};
        for (const std::string &value : row.values)
            cells << text(value);
        for (int c = 0; c < cells.size() && c < table->columnCount(); ++c)
            table->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
    // Sortable by any column, shown first in the order above.
    table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table->setSortingEnabled(true);
    table->resizeColumnsToContents();
    table->setColumnWidth(1, 140); // the digest's start is enough to tell; the message must show
    table->setColumnWidth(3, std::min(table->columnWidth(3), 420));
    layout->addWidget(table);
    auto *close = new QPushButton(QStringLiteral("Cerrar"), &dialog);
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    dialog.resize(1000, 560);
    dialogs.showModal(dialog);
}

} // namespace

void EvaluateArchive(QWidget *parent, UserDialogs &dialogs, char separator)
{
    const QString archive = dialogs.existingFolder(parent, QStringLiteral("Carpeta del archivo de estudios"));
    if (archive.isEmpty())
        return;
    const QString results = dialogs.existingFolder(parent, QStringLiteral("Carpeta para los resultados"));
    if (results.isEmpty())
        return;
    cli::BatchRequest request;
    request.paths = {archive.toStdString()};
    request.outputDir = results.toStdString();
    request.formats = {"report", "json", "criteria"};
    const std::string limits = request.outputDir + "/limites.json";
    try {
        cli::WriteBatchFile(limits,
                            QJsonDocument(cli::LimitsJson(StoredAcceptanceLimits())).toJson().toStdString());
    } catch (const stats::CommandError &e) {
        dialogs.error(parent, QString::fromStdString(e.what()));
        return;
    }
    request.criteriaOptions = {{"--limits", limits}};

    QProgressDialog progress(QStringLiteral("Buscando los estudios..."), QStringLiteral("Cancelar"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("progresolote"));
    progress.setWindowTitle(QStringLiteral("Evaluar un archivo de estudios"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.show();

    std::atomic<bool> cancel{false};
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });
    std::vector<cli::SummaryRow> rows;
    std::ostringstream messages;
    int status = 0;
    QEventLoop loop;
    QPointer<QProgressDialog> shown(&progress);
    // The run's own thread reports through queued calls: the dialog is only
    // touched here, on the thread that owns it.
    std::thread run([&] {
        status = cli::RunBatch(
            request, messages, separator, render::BatchDrawerFor(separator),
            [&](const cli::BatchProgress &p) {
                QMetaObject::invokeMethod(&loop, [shown, p] {
                    if (!shown)
                        return;
                    shown->setMaximum(static_cast<int>(p.total));
                    shown->setValue(static_cast<int>(p.done));
                    shown->setLabelText(QString::fromStdString(cli::ProgressLine(p)));
                }, Qt::QueuedConnection);
            },
            &cancel, [&rows](const cli::SummaryRow &row) { rows.push_back(row); });
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    run.join();
    progress.reset();
    progress.hide();
    std::string lines = messages.str();
    while (!lines.empty() && lines.back() == '\n')
        lines.pop_back();
    if (rows.empty() && status != 0) {
        dialogs.error(parent, QString::fromStdString(lines));
        return;
    }
    showSummary(parent, dialogs, rows, QString::fromStdString(lines));
}

} // namespace windows
