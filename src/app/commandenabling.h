#pragma once
// Which commands each event enables and disables. Every event sets its own
// states (there is no central update pass); the table below is the whole
// rule, group by group, so it can be checked line by line.
#include <QStringList>

enum class CommandEvent {
    StartUp,
    NewStudy,
    OpenStudy,             // after the study is read
    DataGridEntered,       // focus enters the editor's data grid
    DataGridKey,           // key typed in the data grid, not in its last cell
    DataGridLastCellKey,   // key typed in the last cell of the data grid
    EditorClosed,          // the study editor closes, whichever way
    EditorClosedLast,      // ... and it is the last child window
    ResultClosedLast,      // a result window closes and it is the last child window
    CloseUsedOnEditor,     // the Close command, after the editor has closed
};

struct CommandStateChange {
    QStringList enabled;  // object names of actions
    QStringList disabled;
};

// The change an event makes, with the groups expanded to action names.
CommandStateChange commandStateChange(CommandEvent event);

// The command groups, by the object names of their menu entries, tool
// buttons and the editor's pop-up entries.
namespace app::commandgroups {
QStringList NewGroup();
QStringList OpenGroup();
QStringList CloseGroup();
QStringList SaveGroup();
QStringList SaveAsGroup();
QStringList PrintGroup();
QStringList ArrangeGroup();
QStringList CalculationsGroup();
} // namespace app::commandgroups
