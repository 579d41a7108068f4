#include "windows/sampleswindow.h"

#include "cli/atomicfile.h"
#include "cli/samplesoptions.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/outcomes.h"
#include "widgets/userdialogs.h"
#include "windows/objectnames.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFmuestras,
    .caption = QStringLiteral("Muestras"),
    .helpContext = 17,
    .size = QSize(1000, 700),
    .fixedSize = false,
};

const QColor kFlagged(190, 0, 0), kComputed(242, 242, 242);

// The responses of a cell: apart by semicolons, tabs or blanks (a comma may
// be the decimal separator).
std::vector<std::string> responsesOf(const QString &text)
{
    std::vector<std::string> responses;
    for (const QString &part : text.split(QRegularExpression(QStringLiteral("[;\\t ]+")), Qt::SkipEmptyParts))
        responses.push_back(part.toStdString());
    return responses;
}

// A row's fault as the grid numbers its rows, in the words of the file
// reader: "fila 2: 'abc' no es un número.".
std::string rowFault(int row, const std::string &why) { return "fila " + std::to_string(row + 1) + ": " + why; }

QString joined(const std::vector<std::string> &responses)
{
    QStringList parts;
    for (const std::string &r : responses)
        parts << QString::fromStdString(r);
    return parts.join(QStringLiteral("; "));
}

} // namespace

SamplesWindow::SamplesWindow(stats::StudyData study, char decimalSeparator, UserDialogs &dialogs, QWidget *parent)
    : ResultWindow(kLook, parent), study_(std::move(study)), units_(study_.units()), separator_(decimalSeparator),
      dialogs_(dialogs), confidence_(stats::DefaultConfidence())
{
    mmmetodo_ = addTextBox(QLatin1String(objectnames::mmmetodo), {});
    mmmetodo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The method's eleven lines, whole (and a twelfth's room for the text box's own spacing).
    mmmetodo_->setFixedHeight(mmmetodo_->fontMetrics().lineSpacing() * 12 +
                              2 * (static_cast<int>(mmmetodo_->document()->documentMargin()) + mmmetodo_->frameWidth()));

    auto *confidenceLabel = new QLabel(QStringLiteral("Confianza de los intervalos:"), this);
    confidenceText_ = QString::fromStdString(stats::FormatGeneral(stats::Real(confidence_), 6, separator_));
    econfianza_ = new QLineEdit(confidenceText_, this);
    econfianza_->setObjectName(QLatin1String(objectnames::econfianza));
    econfianza_->setMaxLength(20);
    econfianza_->setFixedWidth(econfianza_->fontMetrics().horizontalAdvance(QStringLiteral("0,999999")) + 16);
    confidenceLabel->setBuddy(econfianza_);
    btnleer_ = new QPushButton(QStringLiteral("Leer archivo de muestras..."), this);
    btnleer_->setObjectName(QLatin1String(objectnames::btnleer));
    btnguardar_ = new QPushButton(QStringLiteral("Guardar archivo de muestras..."), this);
    btnguardar_->setObjectName(QLatin1String(objectnames::btnguardarmuestras));
    auto *top = new QHBoxLayout;
    top->addWidget(confidenceLabel);
    top->addWidget(econfianza_);
    top->addStretch(1);
    top->addWidget(btnleer_);
    top->addWidget(btnguardar_);

    stgmuestras_ = new QTableWidget(kMaxSamples, ColumnCount, this);
    stgmuestras_->setObjectName(QLatin1String(objectnames::stgmuestras));
    QStringList headings = {QStringLiteral("Muestra"), QStringLiteral("Respuestas")};
    const stats::CellRow &computed = stats::SampleHeadings();
    for (size_t c = 1; c < computed.size(); ++c)
        headings << QString::fromStdString(computed[c]);
    stgmuestras_->setHorizontalHeaderLabels(headings);
    stgmuestras_->setWordWrap(false);
    stgmuestras_->installEventFilter(this);
    for (int row = 0; row < kMaxSamples; ++row)
        for (int c = M; c < ColumnCount; ++c) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setBackground(kComputed);
            item->setTextAlignment(Qt::AlignVCenter | (c == Flags ? Qt::AlignLeft : Qt::AlignRight));
            stgmuestras_->setItem(row, c, item);
        }
    stgmuestras_->verticalHeader()->setDefaultSectionSize(stgmuestras_->fontMetrics().height() + 6);
    stgmuestras_->setColumnWidth(Name, 100);
    stgmuestras_->setColumnWidth(Responses, 130);
    stgmuestras_->horizontalHeader()->setStretchLastSection(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    layout->addWidget(mmmetodo_);
    layout->addLayout(top);
    layout->addWidget(stgmuestras_, 1);

    addCloseMenu(mmmetodo_);
    connect(stgmuestras_, &QTableWidget::cellChanged, this, [this](int, int column) {
        if (!filling_ && column <= Responses)
            recompute();
    });
    // Typing sample after sample by keyboard: Enter in a name goes to its
    // responses; Enter or Tab in the responses goes to the next sample's
    // name, past the computed columns.
    connect(stgmuestras_->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
            [this](QWidget *, QAbstractItemDelegate::EndEditHint hint) {
                const int row = stgmuestras_->currentRow(), column = stgmuestras_->currentColumn();
                const bool enter = hint == QAbstractItemDelegate::SubmitModelCache;
                if (enter && column == Name)
                    stgmuestras_->setCurrentCell(row, Responses);
                else if (((enter && column == Responses) ||
                          (hint == QAbstractItemDelegate::EditNextItem && column == M)) &&
                         row + 1 < kMaxSamples)
                    stgmuestras_->setCurrentCell(row + 1, Name);
            });
    connect(econfianza_, &QLineEdit::editingFinished, this, &SamplesWindow::confidenceEdited);
    connect(btnleer_, &QPushButton::clicked, this, &SamplesWindow::readFile);
    connect(btnguardar_, &QPushButton::clicked, this, &SamplesWindow::saveFile);
    setFocusProxy(stgmuestras_);
    // The analyst opens the window to type samples: the first name cell.
    stgmuestras_->setCurrentCell(0, Name);
    stgmuestras_->setFocus();
    recompute();
}

std::optional<stats::SampleTexts> SamplesWindow::typedRow(int row) const
{
    const QTableWidgetItem *name = stgmuestras_->item(row, Name), *responses = stgmuestras_->item(row, Responses);
    const QString nameText = name ? name->text().trimmed() : QString();
    stats::SampleTexts typed{nameText.toStdString(), responsesOf(responses ? responses->text() : QString())};
    if (nameText.isEmpty() && typed.responses.empty())
        return std::nullopt;
    return typed;
}

std::vector<stats::SampleTexts> SamplesWindow::typedSamples() const
{
    std::vector<stats::SampleTexts> samples;
    for (int row = 0; row < kMaxSamples; ++row)
        if (std::optional<stats::SampleTexts> typed = typedRow(row))
            samples.push_back(std::move(*typed));
    return samples;
}

void SamplesWindow::samplesInto(stats::AnalysisOptions &options) const
{
    std::vector<stats::Sample> samples;
    options.unreadSamples.clear();
    for (const stats::SampleTexts &typed : typedSamples())
        try {
            samples.push_back(stats::SampleOf(typed, separator_));
        } catch (const stats::ConversionError &e) {
            // printed in its place with what its row says
            options.unreadSamples.push_back({samples.size(), typed.name, e.what()});
        }
    options.samples = std::move(samples);
    options.confidence = confidence_;
}

void SamplesWindow::setSamples(const std::vector<stats::SampleTexts> &samples)
{
    {
        const QScopedValueRollback guard(filling_, true);
        for (int row = 0; row < kMaxSamples; ++row) {
            const bool given = row < static_cast<int>(samples.size());
            const stats::SampleTexts *s = given ? &samples[static_cast<size_t>(row)] : nullptr;
            stgmuestras_->setItem(row, Name, new QTableWidgetItem(s ? QString::fromStdString(s->name) : QString()));
            stgmuestras_->setItem(row, Responses, new QTableWidgetItem(s ? joined(s->responses) : QString()));
        }
    }
    recompute();
}

void SamplesWindow::paste(const QString &text)
{
    int row = std::max(stgmuestras_->currentRow(), 0);
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts);
    {
        const QScopedValueRollback guard(filling_, true);
        for (const QString &line : lines) {
            if (row >= kMaxSamples) {
                dialogs_.message(this, QStringLiteral("Solo caben %1 muestras.").arg(kMaxSamples));
                break;
            }
            QStringList fields = line.split(QRegularExpression(QStringLiteral("[;\\t]")));
            stgmuestras_->setItem(row, Name, new QTableWidgetItem(fields.takeFirst().trimmed()));
            stgmuestras_->setItem(row, Responses, new QTableWidgetItem(fields.join(QStringLiteral("; "))));
            ++row;
        }
    }
    recompute();
}

bool SamplesWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == stgmuestras_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Paste)) {
        paste(QApplication::clipboard()->text());
        return true;
    }
    return ResultWindow::eventFilter(watched, event);
}

void SamplesWindow::confidenceEdited()
{
    const QString text = econfianza_->text().trimmed();
    if (text == confidenceText_)
        return;
    try {
        confidence_ = stats::ParseConfidence(text.toStdString());
        confidenceText_ = text;
        recompute();
    } catch (const stats::ConversionError &) {
        econfianza_->setText(confidenceText_);
        dialogs_.message(this, QString::fromStdString(stats::ConfidenceOutOfRange(separator_)));
        econfianza_->setFocus();
    }
}

void SamplesWindow::showRow(int row, const stats::CellRow &cells)
{
    const QScopedValueRollback guard(filling_, true);
    for (int c = M; c < ColumnCount; ++c) {
        QTableWidgetItem *item = stgmuestras_->item(row, c);
        item->setText(c < static_cast<int>(cells.size()) + 1 ? QString::fromStdString(cells[static_cast<size_t>(c - 1)])
                                                              : QString());
        if (c == Flags) { // the whole of a long message where the column cuts it
            item->setForeground(kFlagged);
            item->setToolTip(item->text());
        }
    }
}

void SamplesWindow::studyChanged(const stats::StudyData &study)
{
    if (study == study_)
        return;
    study_ = study;
    analysis_.reset();
    units_ = study_.units();
    recompute();
}

void SamplesWindow::recompute()
{
    // Each typed row: its sample, or what is wrong with it beside it.
    std::vector<stats::Sample> samples;
    std::vector<int> rows;
    for (int row = 0; row < kMaxSamples; ++row) {
        showRow(row, {});
        const std::optional<stats::SampleTexts> typed = typedRow(row);
        if (!typed)
            continue;
        try {
            samples.push_back(stats::SampleOf(*typed, separator_));
            rows.push_back(row);
        } catch (const stats::ConversionError &e) {
            stats::CellRow cells(stats::SampleHeadings().size());
            cells.back() = rowFault(row, e.what());
            showRow(row, cells);
        }
    }
    widgets::RunReportingErrors(dialogs_, this, [&] {
        stats::AnalysisOptions options;
        options.decimalSeparator = separator_;
        options.samples = std::move(samples);
        options.confidence = confidence_;
        analysis_ = analysis_ ? stats::Reanalysed(std::move(*analysis_), options) : stats::Analyze(study_, options);
        const stats::StudyAnalysis &analysis = *analysis_;
        const stats::CommandOutcome outcome = stats::SamplesOutcome(analysis);
        setOutOfDate(outcome.refused() ? outcome.refusalMessage() : std::string());
        if (outcome.refused()) {
            windows::SetLines(mmmetodo_, {outcome.refusalMessage()});
            return;
        }
        windows::SetLines(mmmetodo_, stats::DetectionLines(*analysis.detection().value, units_, separator_));
        const stats::SamplesResult &results = *analysis.samples().value;
        for (size_t i = 0; i < rows.size(); ++i)
            showRow(rows[i], stats::SampleCells(results.samples[i], separator_));
        for (int c = M; c < Flags; ++c)
            stgmuestras_->resizeColumnToContents(c);
    });
}

void SamplesWindow::readFile()
{
    if (!askToSaveSamples())
        return;
    const QString path = dialogs_.openFileName(this, QStringLiteral("Leer archivo de muestras"),
                                               QStringLiteral("Muestras (*.txt);;Todos los archivos (*)"),
                                               QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const std::vector<stats::SampleTexts> samples = cli::ReadSamplesFileTexts(path.toStdString());
        if (samples.size() > static_cast<size_t>(kMaxSamples))
            throw stats::SamplesFileError("«" + path.toStdString() + "» tiene " + std::to_string(samples.size()) +
                                          " muestras; la ventana admite " + std::to_string(kMaxSamples) + ".");
        setSamples(samples);
        saved_ = typedSamples();
    });
}

// Through the save dialog that refuses the open study and any file that
// holds one, then the one save primitive: the old file stays if it fails.
bool SamplesWindow::saveFile()
{
    std::string text;
    const std::vector<stats::SampleTexts> samples = typedSamples();
    const bool readable = widgets::RunReportingErrors(dialogs_, this, [&] {
        // The row that keeps the grid from being a file, as the grid shows it.
        for (int row = 0; row < kMaxSamples; ++row)
            if (const std::optional<stats::SampleTexts> typed = typedRow(row))
                try {
                    stats::SampleOf(*typed, separator_);
                } catch (const stats::ConversionError &e) {
                    stgmuestras_->setCurrentCell(row, Name);
                    throw stats::SamplesFileError("Tabla de muestras, " + rowFault(row, e.what()));
                }
        text = stats::SamplesFileText(samples, separator_);
    });
    if (!readable)
        return false;
    const QString path = dialogs_.outputFileName(this, QStringLiteral("Guardar archivo de muestras"),
                                                 QStringLiteral("Muestras (*.txt)"), QStringLiteral("txt"),
                                                 QStringLiteral("muestras.txt"), {".txt"});
    if (path.isEmpty() || !widgets::RunReportingErrors(dialogs_, this, [&] { cli::WriteFileAtomically(path.toStdString(), text); }))
        return false;
    saved_ = samples;
    return true;
}

bool SamplesWindow::hasUnsavedSamples() const { return typedSamples() != saved_; }

bool SamplesWindow::askToSaveSamples()
{
    if (!hasUnsavedSamples())
        return true;
    switch (dialogs_.question(this, QStringLiteral("¿Guardar el archivo de muestras?"),
                              QStringLiteral("Las muestras de la tabla no están guardadas en un archivo de muestras.\n"
                                             "¿Quiere guardarlas?"))) {
    case UserDialogs::Answer::Yes: return saveFile(); // a save refused or cancelled keeps them
    case UserDialogs::Answer::No: return true;
    case UserDialogs::Answer::Cancel: break;
    }
    return false;
}

void SamplesWindow::closeEvent(QCloseEvent *event)
{
    if (askToSaveSamples())
        event->accept();
    else
        event->ignore();
}
