#include "widgets/userdialogs.h"

#include "cli/outputfile.h"
#include "stats/errors.h"

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QTreeView>


namespace {

// Runs a message box. What it shows is plain text whatever it holds (a file
// name or a study's text may look like markup), and the box is wide enough
// for its whole title as the window manager draws it: the caption's bold
// font and room for the buttons of the title bar.
int runMessageBox(QMessageBox::Icon icon, const QString &title, const QString &text,
                  QMessageBox::StandardButtons buttons, QWidget *parent)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    // The box sets its own fixed size from its layout when shown: a spacer
    // across the layout makes the layout itself as wide as the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(widgets::MessageBoxWidthForTitle(box), 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), 0, 1, grid->columnCount());
    return box.exec();
}

} // namespace

QString widgets::LiteralCaption(const QString &text)
{
    QString caption = text;
    return caption.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

int widgets::MessageBoxWidthForTitle(const QWidget &box)
{
    QFont caption = box.font();
    caption.setBold(true);
    const int buttons = 5 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    return QFontMetrics(caption).horizontalAdvance(box.windowTitle()) + buttons;
}

void QtUserDialogs::message(QWidget *parent, const QString &text)
{
    runMessageBox(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, parent);
}

void QtUserDialogs::error(QWidget *parent, const QString &text)
{
    runMessageBox(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, parent);
}

UserDialogs::Answer QtUserDialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    // With a Cancel button the box takes it for Escape and its close button.
    switch (runMessageBox(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                          parent)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

void widgets::FitFileDialog(QFileDialog &dialog)
{
    // The columns other than the name take what their texts need; the name the rest.
    if (auto *list = dialog.findChild<QTreeView *>(QStringLiteral("treeView"))) {
        QHeaderView *header = list->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    QSize size(860, 500);
    if (const QScreen *screen = dialog.screen())
        size = size.boundedTo(screen->availableGeometry().size());
    dialog.resize(size.expandedTo(dialog.minimumSizeHint()));
}

QString QtUserDialogs::openFileName(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &defaultSuffix)
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::ReadOnly, false);
    widgets::FitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

namespace {

// The save dialog that tells a refused name as soon as it is chosen, and
// stays open for another, before it asks whether to replace a file.
class CheckedFileDialog final : public QFileDialog {
public:
    CheckedFileDialog(QWidget *parent, const QString &title, const QString &filter, UserDialogs &dialogs,
                      const UserDialogs::NameCheck &refusal)
        : QFileDialog(parent, title, QString(), filter), dialogs_(dialogs), refusal_(refusal)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (refusal_ && files.size() == 1 && !QFileInfo(files.first()).isDir())
            if (const QString why = refusal_(files.first()); !why.isEmpty()) {
                dialogs_.message(this, why);
                return;
            }
        QFileDialog::accept();
    }

private:
    UserDialogs &dialogs_;
    const UserDialogs::NameCheck &refusal_;
};

} // namespace

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &defaultSuffix, const QString &proposedName,
                                    const NameCheck &refusal)
{
    CheckedFileDialog dialog(parent, title, filter, *this, refusal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    // With several types offered, a name typed without one takes the chosen type's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &chosen) {
        const qsizetype star = chosen.indexOf(QStringLiteral("(*."));
        if (star >= 0)
            dialog.setDefaultSuffix(chosen.mid(star + 3).section(u')', 0, 0).section(u' ', 0, 0));
    });
    dialog.selectFile(proposedName);
    widgets::FitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString UserDialogs::outputRefusal(const QString &path, const std::vector<std::string> &extensions) const
{
    std::vector<cli::GuardedFile> guarded;
    if (const QString study = openStudy_ ? openStudy_() : QString(); !study.isEmpty())
        guarded.push_back({QFile::encodeName(study).toStdString(), "el estudio abierto en el editor"});
    return QString::fromStdString(cli::CheckOutputFile(QFile::encodeName(path).toStdString(), extensions, guarded).message);
}

QString UserDialogs::outputFileName(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &defaultSuffix, const QString &proposedName,
                                    const std::vector<std::string> &extensions)
{
    const NameCheck refusal = [&](const QString &path) { return outputRefusal(path, extensions); };
    for (;;) {
        const QString path = saveFileName(parent, title, filter, defaultSuffix, proposedName, refusal);
        // Checked again: a platform's own dialog may not have asked.
        const QString why = path.isEmpty() ? QString() : refusal(path);
        if (why.isEmpty())
            return path;
        message(parent, why);
    }
}

bool UserDialogs::print(QWidget *parent, QPrinter &printer)
{
    for (;;) {
        if (!printDialog(parent, printer))
            return false;
        if (printer.outputFormat() != QPrinter::PdfFormat || printer.outputFileName().isEmpty())
            return true;
        const QString why = outputRefusal(printer.outputFileName(), cli::kPdfExtension);
        if (why.isEmpty())
            return true;
        message(parent, why);
    }
}

bool widgets::RunReportingErrors(UserDialogs &dialogs, QWidget *parent, const std::function<void()> &handler)
{
    return stats::ReportCommandErrors(
        handler, [&](const std::string &message) { dialogs.error(parent, QString::fromStdString(message)); });
}

bool QtUserDialogs::printDialog(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtUserDialogs::showModal(QDialog &dialog) { return dialog.exec(); }

QString UserDialogs::textInput(QWidget *parent, const QString &title, const QString &label, const QString &text)
{
    bool accepted = false;
    const QString answer = QInputDialog::getText(parent, title, label, QLineEdit::Normal, text, &accepted);
    return accepted ? (answer.isNull() ? QString(QLatin1String("")) : answer) : QString();
}

QString UserDialogs::existingFolder(QWidget *parent, const QString &title)
{
    return QFileDialog::getExistingDirectory(parent, title);
}
