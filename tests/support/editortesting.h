#pragma once
// A recording frame for the study editor and small helpers that act as the
// user does: keys go to the widget that has the focus, clicks go through the
// window system so that they move the focus first.
#include "widgets/stringgrid.h"
#include "windows/studyeditorhost.h"

#include <QApplication>
#include <QList>
#include <QTest>

class RecordingHost final : public StudyEditorHost {
public:
    explicit RecordingHost(UserDialogs &dialogs) : dialogs_(dialogs) {}

    StudyMark mark = StudyMark::Unchanged;
    int dataGridEntries = 0; // enabling events, in order
    QList<bool> dataGridKeys;

    StudyMark studyMark() const override { return mark; }
    void setStudyMark(StudyMark m) override { mark = m; }
    void dataGridEntered() override { ++dataGridEntries; }
    void dataGridKeyTyped(bool inLastCell) override { dataGridKeys << inLastCell; }
    bool saveStudy() override { return false; }
    void editorClosed() override {}
    UserDialogs &dialogs() override { return dialogs_; }

private:
    UserDialogs &dialogs_;
};

namespace user {

// Accented letters have no key of their own in the test keyboard: they are
// sent as the text of a key press, as an input method delivers them.
inline void type(const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
    }
}

inline void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), k, modifiers);
}

// Replaces the text of the focused field or cell.
inline void retype(const QString &text)
{
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Backspace);
    type(text);
}

inline void click(QWidget *widget, QPoint at = {}) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }

inline void clickCell(StringGrid *grid, int column, int row)
{
    grid->scrollTo(grid->model()->index(row, column));
    click(grid->viewport(), grid->visualRect(grid->model()->index(row, column)).center());
}

} // namespace user
