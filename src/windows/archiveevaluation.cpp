#include "windows/archiveevaluation.h"

#include "cli/acceptancelimits.h"
#include "cli/batch.h"
#include "cli/batchsummary.h"
#include "render/drawingcommands.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "widgets/helpcontext.h"
#include "widgets/userdialogs.h"
#include "windows/acceptancelimitsdialog.h"

#include <QDialog>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <atomic>
#include <iterator>
#include <sstream>
#include <thread>

namespace windows {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

constexpr int kArchiveHelpContext = 9; // its topic in the help file

// A figure sorts by its value, not by its text.
class FigureItem final : public QTableWidgetItem {
public:
    FigureItem(const QString &shown, double value) : QTableWidgetItem(shown), value_(value) {}
    bool operator<(const QTableWidgetItem &other) const override
    {
        if (const auto *figure = dynamic_cast<const FigureItem *>(&other))
            return value_ < figure->value_;
        return QTableWidgetItem::operator<(other);
    }

private:
    double value_;
};

// The summary, the rows that failed first; any column sorts it.
void showSummary(QWidget *parent, UserDialogs &dialogs, const std::vector<cli::SummaryRow> &rows,
                 const QString &summaryLine, char separator)
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
    const QStringList headings = SummaryHeadings();
    auto *table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headings.size()), &dialog);
    table->setObjectName(QStringLiteral("tablaresumen"));
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    std::vector<const cli::SummaryRow *> ordered;
    for (const cli::SummaryRow &row : rows)
        ordered.push_back(&row);
    std::stable_sort(ordered.begin(), ordered.end(), [](const cli::SummaryRow *a, const cli::SummaryRow *b) {
        return static_cast<int>(a->state) > static_cast<int>(b->state);
    });
    for (int r = 0; r < static_cast<int>(ordered.size()); ++r) {
        const cli::SummaryRow &row = *ordered[static_cast<size_t>(r)];
        const QStringList cells = SummaryCells(row, separator);
        for (int c = 0; c < cells.size() && c < table->columnCount(); ++c) {
            const size_t value = static_cast<size_t>(c) - 4;
            const cli::SummaryKind kind = cli::SummaryColumns()[static_cast<size_t>(c)].kind;
            const bool figure = (kind == cli::SummaryKind::Figure6 || kind == cli::SummaryKind::Figure8) &&
                                value < row.values.size() && !row.values[value].empty();
            QTableWidgetItem *item = figure ? new FigureItem(cells[c], QLocale::c().toDouble(text(row.values[value])))
                                            : new QTableWidgetItem(cells[c]);
            if (figure)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
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

QStringList SummaryHeadings()
{
    QStringList headings;
    for (const cli::SummaryColumn &column : cli::SummaryColumns())
        headings << QString::fromUtf8(column.heading);
    return headings;
}

QStringList SummaryCells(const cli::SummaryRow &row, char separator)
{
    QStringList cells;
    for (const std::string &cell : cli::SummaryCellsForPerson(row, separator))
        cells << text(cell);
    return cells;
}

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
        cli::WriteBatchFile(limits, cli::JsonText(cli::LimitsJson(StoredAcceptanceLimits())));
    } catch (const stats::CommandError &e) {
        dialogs.error(parent, QString::fromStdString(e.what()));
        return;
    }
    request.criteria.limits = StoredAcceptanceLimits(); // as the file beside the results says

    QProgressDialog progress(QStringLiteral("Buscando los estudios..."), QStringLiteral("Cancelar"), 0, 0, parent);
    progress.setObjectName(QStringLiteral("progresolote"));
    progress.setWindowTitle(QStringLiteral("Evaluar un archivo de estudios"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    // One width for the whole run: as wide as the longest progress line of
    // an archive of up to a million studies, so that it never jumps.
    cli::BatchProgress widest;
    widest.done = widest.total = widest.refused = widest.errors = 999999;
    widest.done = 999998;
    widest.elapsedSeconds = 99 * 60 + 59;
    const int longest = progress.fontMetrics().horizontalAdvance(QString::fromStdString(cli::ProgressLine(widest)));
    progress.setFixedWidth(longest + 60);
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
            request, messages, separator, render::DrawOutput,
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
    showSummary(parent, dialogs, rows, QString::fromStdString(lines), separator);
}

} // namespace windows
