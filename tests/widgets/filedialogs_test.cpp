// The open and save dialogs show every column of their file list whole.
#include "widgets/userdialogs.h"
#include "support/shots.h"

#include <QFileDialog>
#include <QFileSystemModel>
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
        fitFileDialog(dialog);
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
        saveShot(&dialog, "open-dialog");
    }
};

QTEST_MAIN(FileDialogsTest)
#include "filedialogs_test.moc"
