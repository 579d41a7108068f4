#include "widgets/userdialogs.h"

#include "stats/errors.h"

#include <QFileDialog>
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

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &title, const QString &filter,
                                    const QString &defaultSuffix, const QString &proposedName)
{
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.selectFile(proposedName);
    fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
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

bool QtUserDialogs::print(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

int QtUserDialogs::showModal(QDialog &dialog) { return dialog.exec(); }
