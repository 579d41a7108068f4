#pragma once
// A UserDialogs that never blocks: it records every box it is asked to show
// and answers questions and file dialogs from a plan. An unplanned question
// answers No and an unplanned file dialog is cancelled, and both are recorded.
#include "widgets/userdialogs.h"

#include <QDialog>
#include <QPrinter>
#include <QQueue>
#include <functional>
#include <QStringList>

class ScriptedDialogs final : public UserDialogs {
public:
    QStringList messages;    // plain boxes, in order
    QStringList errors;      // general error reports, in order
    QStringList questions;   // "title|text" of each question asked
    QStringList fileDialogs; // "open|title|filter|suffix" or "save|title|filter|suffix|proposed"
    QQueue<Answer> answers;  // planned answers to questions
    QQueue<QString> files;   // planned file names ("" = cancel)
    QStringList textInputs;  // "title|label|text" of each line asked for
    QQueue<QString> texts;   // planned lines (a null string = cancel); unplanned: cancelled
    // Planned answers to print dialogs: the PDF file each accepted dialog
    // prints to, "" = Cancel. An unplanned print dialog is cancelled.
    QQueue<QString> printFiles;
    int printDialogs = 0;    // print dialogs shown
    // Object names of the modal dialogs shown, in order. Each is shown (not
    // modally) while `onModal` runs, if planned, and answers its result;
    // otherwise it is left shown and answers Rejected.
    QStringList modalDialogs;
    std::function<int(QDialog &)> onModal;

    void message(QWidget *, const QString &text) override { messages << text; }
    void error(QWidget *, const QString &text) override { errors << text; }
    Answer question(QWidget *, const QString &title, const QString &text) override
    {
        questions << title + "|" + text;
        return answers.isEmpty() ? Answer::No : answers.dequeue();
    }
    QString openFileName(QWidget *, const QString &title, const QString &filter, const QString &suffix) override
    {
        fileDialogs << "open|" + title + "|" + filter + "|" + suffix;
        return files.isEmpty() ? QString() : files.dequeue();
    }
    // A name `refusal` refuses is told, as the real dialog tells it, and the
    // next planned name answers.
    QString saveFileName(QWidget *parent, const QString &title, const QString &filter, const QString &suffix,
                         const QString &proposed, const NameCheck &refusal = {}) override
    {
        fileDialogs << "save|" + title + "|" + filter + "|" + suffix + "|" + proposed;
        while (!files.isEmpty()) {
            const QString file = files.dequeue();
            const QString why = refusal && !file.isEmpty() ? refusal(file) : QString();
            if (why.isEmpty())
                return file;
            message(parent, why);
        }
        return {};
    }
    QString existingFolder(QWidget *, const QString &title) override
    {
        fileDialogs << "folder|" + title;
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString textInput(QWidget *, const QString &title, const QString &label, const QString &text) override
    {
        textInputs << title + "|" + label + "|" + text;
        return texts.isEmpty() ? QString() : texts.dequeue();
    }
    bool printDialog(QWidget *, QPrinter &printer) override
    {
        ++printDialogs;
        const QString file = printFiles.isEmpty() ? QString() : printFiles.dequeue();
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
    int showModal(QDialog &dialog) override
    {
        modalDialogs << dialog.objectName();
        dialog.show();
        if (!onModal)
            return QDialog::Rejected;
        const int result = onModal(dialog);
        dialog.hide();
        return result;
    }
    void clear()
    {
        messages.clear();
        errors.clear();
        questions.clear();
        fileDialogs.clear();
    }
};
