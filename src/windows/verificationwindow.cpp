#include "windows/verificationwindow.h"

#include "cli/outputfile.h"
#include "render/drawingcommands.h"
#include "render/page.h"
#include "render/verificationreport.h"
#include "widgets/userdialogs.h"
#include "widgets/windowplacement.h"
#include "windows/objectnames.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString q(const std::string &text) { return QString::fromStdString(text); }

} // namespace

VerificationWindow::VerificationWindow(cli::VerificationReport report, UserDialogs &dialogs, QWidget *parent)
    : QDialog(parent), report_(std::move(report)), dialogs_(dialogs)
{
    setObjectName(QString(objectnames::VerificationWindow));
    setWindowTitle(QStringLiteral("Verificación de la instalación"));

    const cli::InstallationFacts &f = report_.facts;
    auto *facts = new QLabel(QStringLiteral("linealidad %1, revisión %2, compilado el %3\n%4 · Qt %5\n%6 · %7")
                                 .arg(q(f.programVersion), q(f.sourceRevision), q(f.buildDate), q(f.operatingSystem),
                                      q(render::QtVersionText()), q(f.userName), q(f.runDateTime)),
                             this);
    facts->setObjectName(QStringLiteral("Lfacts"));
    facts->setTextFormat(Qt::PlainText); // names taken from the system
    facts->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QStringList headings = {QStringLiteral("Estudio"),  QStringLiteral("Magnitud"), QStringLiteral("Referencia"),
                                  QStringLiteral("Obtenido"), QStringLiteral("LRE"),      QStringLiteral("Resultado"),
                                  QStringLiteral("Criterio")};
    table_ = new QTableWidget(static_cast<int>(report_.rows.size()), headings.size(), this);
    table_->setObjectName(QString(objectnames::stgverificacion));
    table_->setHorizontalHeaderLabels(headings);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    int r = 0;
    for (const cli::VerificationRow &row : report_.rows) {
        const QString study = row.study >= 0 ? q(report_.studies[static_cast<size_t>(row.study)].title)
                                             : QStringLiteral("Valores de referencia");
        const QStringList cells = {study, q(row.quantity), q(row.reference), q(row.obtained), q(cli::LreText(row)),
                                   QString::fromUtf8(cli::ResultText(row)), q(cli::CriterionText(row.criterion))};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (!row.passed) {
                item->setForeground(Qt::darkRed);
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            if (c == 0 && row.study >= 0)
                item->setToolTip(q(report_.studies[static_cast<size_t>(row.study)].origin));
            else if (c == headings.size() - 1)
                item->setToolTip(cells[c]);
            table_->setItem(r, c, item);
        }
        ++r;
    }
    table_->resizeColumnsToContents();

    verdict_ = new QLabel(q(report_.verdict()), this);
    verdict_->setObjectName(QStringLiteral("Lveredicto"));
    verdict_->setWordWrap(true);
    QFont bold = verdict_->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    verdict_->setFont(bold);
    verdict_->setStyleSheet(report_.passed() ? QStringLiteral("color: darkgreen") : QStringLiteral("color: darkred"));

    auto *save = new QPushButton(QStringLiteral("&Guardar PDF..."), this);
    save->setObjectName(QString(objectnames::btnguardarpdf));
    connect(save, &QPushButton::clicked, this, &VerificationWindow::saveReport);
    auto *close = new QPushButton(QStringLiteral("&Cerrar"), this);
    close->setObjectName(QString(objectnames::btncerrar));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(facts);
    layout->addWidget(table_, 1);
    layout->addWidget(verdict_);
    layout->addLayout(buttons);
    table_->resizeRowsToContents();
    // The criteria are long: on a small screen their column gives way (each
    // cell tells its whole text on its tool tip) before the table scrolls.
    table_->horizontalHeader()->setStretchLastSection(true);
    widgets::FitOnScreen(this, QSize(1060, 620));
}

QString VerificationWindow::verdictText() const { return verdict_->text(); }

void VerificationWindow::saveReport()
{
    const QString path = dialogs_.outputFileName(this, QStringLiteral("Guardar el informe de verificación"),
                                                 QStringLiteral("Documento PDF (*.pdf)"), QStringLiteral("pdf"),
                                                 QStringLiteral("VERIFICACION.pdf"), cli::kPdfExtension);
    if (path.isEmpty())
        return;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        render::WriteOutputFile(QFile::encodeName(path).toStdString(),
                                render::VerificationPdf(report_, render::LocalePageSize()));
    });
}
