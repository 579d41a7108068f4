#pragma once
// What the study editor asks of the frame that holds it. The frame
// (MainWindow) implements it; the editor's tests use a recording fake.
#include <QString>

class UserDialogs;

class StudyEditorHost {
public:
    virtual ~StudyEditorHost() = default;

    // Whether the study holds changes not yet saved, kept by the frame and
    // shown in its status panel `estado`: "Modificado" while modified, empty
    // while not, a single blank once the editor closed.
    enum class StudyMark { Unchanged, Modified, Closed };
    virtual StudyMark studyMark() const = 0;
    virtual void setStudyMark(StudyMark mark) = 0;

    // Enabling events of the data grid (the frame applies its enabling table).
    virtual void dataGridEntered() = 0;
    virtual void dataGridKeyTyped(bool inLastCell) = 0;

    // Runs the frame's Save command on this editor; true when the study was
    // written (false when its validation, the dialog or the disk refused).
    virtual bool saveStudy() = 0;

    // The editor has closed (after its close question); the frame applies
    // the closing rules of its enabling table.
    virtual void editorClosed() = 0;

    virtual UserDialogs &dialogs() = 0;
};
