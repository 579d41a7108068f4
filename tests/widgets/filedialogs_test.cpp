// The open and save dialogs show every column of their file list whole; the
// save dialog of an output tells a refused name before it asks to replace it;
// the question offers Cancelar, which Escape and its close button answer.
#include "widgets/userdialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QHeaderView>
#include <QStyle>
#include <QTreeView>
#include <QtTest>

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void sizeTypeAndDateAreNotCut()
    {
        QFileDialog dialog(nullptr, QStringLiteral("Abrir archivo"), QStringLiteral(TEST_DATA_DIR),
                           QStringLiteral("Tolvek v. w3.0 (*.w04)"));
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setViewMode(QFileDialog::Detail);
        widgets::FitFileDialog(dialog);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *list = dialog.findChild<QTreeView *>("treeView");
        QVERIFY(list);
        const QModelIndex root = list->rootIndex();
        QTRY_VERIFY(list->model()->rowCount(root) >= 2);
        QCoreApplication::processEvents();
        const QFontMetrics metrics(list->font());
        // An item's text is drawn inside a margin on either side.
        const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
        QHeaderView *header = list->header();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            for (int column = 0; column < header->count(); ++column) {
                const QString text = list->model()->index(row, column, root).data().toString();
                QVERIFY2(metrics.horizontalAdvance(text) + margins <= header->sectionSize(column), qPrintable(text));
            }
        }
        // All the columns within the list's width: nothing to scroll sideways for.
        const int last = header->count() - 1;
        QVERIFY(header->sectionViewportPosition(last) + header->sectionSize(last) <= list->viewport()->width());
    }

    // The real dialog, driven as a user drives it: a name typed over a file
    // that exists gets the refusal first (not Qt's replace question), and
    // the dialog stays for another name.
    void aRefusedNameIsToldBeforeTheReplaceQuestion()
    {
        QTemporaryDir dir;
        const QString refused = dir.filePath("estudio.pdf"), chosen = dir.filePath("informe.pdf");
        QFile existing(refused);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        QStringList typed = {refused, chosen}, boxes;
        QTimer user;
        connect(&user, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << box->text();
                box->accept();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal); dialog && !typed.isEmpty()) {
                // Typed into the name field, which has the focus as when the user types.
                QLineEdit *name = dialog->findChild<QLineEdit *>("fileNameEdit");
                QApplication::setActiveWindow(dialog);
                name->setFocus();
                name->setText(typed.takeFirst());
                // Clicked once this tick is over: the refusal's box runs its own loop.
                QPushButton *save = dialog->findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Save);
                QTimer::singleShot(0, save, &QPushButton::click);
            }
        });
        user.start(50);
        QtUserDialogs dialogs;
        const QString answer = dialogs.saveFileName(nullptr, "Guardar", "Documento PDF (*.pdf)", "pdf", "x.pdf",
                                                    [&](const QString &path) {
                                                        return path == refused ? QStringLiteral("no aquí") : QString();
                                                    });
        QCOMPARE(answer, chosen);
        QCOMPARE(boxes, QStringList{"no aquí"});
    }

    // Putting the question aside never answers No: No discards a study.
    void questionIsCancelledByEscapeAndItsCloseButton_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<int>("answer");
        QTest::newRow("Escape") << "escape" << int(UserDialogs::Answer::Cancel);
        QTest::newRow("close button") << "close" << int(UserDialogs::Answer::Cancel);
        QTest::newRow("Sí") << "yes" << int(UserDialogs::Answer::Yes);
        QTest::newRow("No") << "no" << int(UserDialogs::Answer::No);
        QTest::newRow("Cancelar") << "cancel" << int(UserDialogs::Answer::Cancel);
    }
    void questionIsCancelledByEscapeAndItsCloseButton()
    {
        QFETCH(QString, gesture);
        QFETCH(int, answer);
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            for (QAbstractButton *b : box->buttons())
                buttons << QString::number(box->standardButton(b), 16);
            if (gesture == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (gesture == "close")
                box->close();
            else
                box->button(gesture == "yes" ? QMessageBox::Yes : gesture == "no" ? QMessageBox::No : QMessageBox::Cancel)
                    ->click();
        });
        QtUserDialogs dialogs;
        QCOMPARE(int(dialogs.question(nullptr, "Guardar archivo?", "Se realizaron cambios!")), answer);
        buttons.sort();
        QStringList expected = {QString::number(QMessageBox::Yes, 16), QString::number(QMessageBox::No, 16),
                                QString::number(QMessageBox::Cancel, 16)};
        expected.sort();
        QCOMPARE(buttons, expected);
    }
};

QTEST_MAIN(FileDialogsTest)
#include "filedialogs_test.moc"
