#include "widgets/userdialogs.h"

#include "cli/outputfile.h"
#include "stats/errors.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QTreeView>

#include <new>

void QtUserDialogs::message(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtUserDialogs::error(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtUserDialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

void fitFileDialog(QFileDialog &dialog)
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
    fitFileDialog(dialog);
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
    dialog.selectFile(proposedName);
    fitFileDialog(dialog);
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

bool runReportingErrors(UserDialogs &dialogs, QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const stats::CommandError &e) {
        dialogs.error(parent, QString::fromStdString(stats::ErrorReportText(e.what())));
    } catch (const std::bad_alloc &) {
        dialogs.error(parent, QStringLiteral("Memoria insuficiente para completar la orden."));
    }
    return false;
}

bool QtUserDialogs::printDialog(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtUserDialogs::showModal(QDialog &dialog) { return dialog.exec(); }
