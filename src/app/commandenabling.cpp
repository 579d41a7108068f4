#include "app/commandenabling.h"

#include "windows/objectnames.h"

// The names of the command table, as the table writes them.
using namespace objectnames;

namespace commandgroups {

QStringList newGroup() { return {FileNewItem, spdnuevo}; }
QStringList openGroup() { return {FileOpenItem, spdabrir}; }
QStringList closeGroup() { return {mnuclose, spdclose}; }
QStringList saveGroup() { return {FileSaveItem, spdguardar}; }
QStringList saveAsGroup() { return {FileSaveAsItem}; }
QStringList printGroup() { return {FilePrintItem, PrintLasser, spdprint}; }
QStringList arrangeGroup() { return {WindowTileItem, spdmosaico, WindowCascadeItem, spdcascada}; }
QStringList calculationsGroup()
{
    // The prediction command has its entries here too: it needs a study
    // like the other calculations.
    return {mnuinferencia, mnuanova,  mnuresid,       mnueesc,   mnugraph,  mnugraphr,
            mnuinforme,    mnupredice, pmnuinferencia, pmnuanova, pmnuresid, pmnueesc,
            pmnugraph,     pmnugraphr, pmnupredice};
}

} // namespace commandgroups

namespace {

using namespace commandgroups;

QStringList helpEntries()
{
    return {HelpContentsItem, HelpSearchItem, HelpHowToUseItem, HelpAboutItem, spdcontenido};
}
QStringList exitGroup() { return {FileExitItem, spdexit}; }

} // namespace

CommandStateChange commandStateChange(CommandEvent event)
{
    switch (event) {
    case CommandEvent::StartUp:
        return {newGroup() + exitGroup() + helpEntries(),
                openGroup() + closeGroup() + saveGroup() + saveAsGroup() + printGroup() + arrangeGroup() +
                    QStringList{mnucalculos} + calculationsGroup()};
    case CommandEvent::NewStudy:
        return {closeGroup(), newGroup() + openGroup() + saveGroup() + saveAsGroup()};
    case CommandEvent::OpenStudy:
        return {closeGroup() + arrangeGroup() + calculationsGroup(),
                newGroup() + openGroup() + saveGroup() + saveAsGroup() + printGroup()};
    case CommandEvent::DataGridEntered:
        return {saveGroup() + saveAsGroup() + QStringList{FilePrintItem, PrintLasser, spdprint, mnucalculos},
                {}};
    case CommandEvent::DataGridKey:
        return {saveGroup() + saveAsGroup() + QStringList{FilePrintItem, PrintLasser, spdprint}, {}};
    case CommandEvent::DataGridLastCellKey:
        return {saveGroup() + saveAsGroup() + printGroup() + QStringList{mnucalculos} + calculationsGroup(), {}};
    case CommandEvent::EditorClosed:
        return {{}, saveGroup() + saveAsGroup() + printGroup() + calculationsGroup()};
    case CommandEvent::EditorClosedLast:
        return {newGroup() + openGroup(),
                closeGroup() + saveGroup() + saveAsGroup() + printGroup() + arrangeGroup() + calculationsGroup()};
    case CommandEvent::ResultClosedLast:
        return {newGroup() + openGroup(),
                closeGroup() + saveGroup() + saveAsGroup() + QStringList{FilePrintItem, spdprint} +
                    arrangeGroup() + QStringList{mnuinferencia}};
    case CommandEvent::CloseUsedOnEditor:
        return {newGroup(), openGroup() + closeGroup() + saveGroup() + saveAsGroup() + printGroup() +
                                arrangeGroup() + calculationsGroup()};
    }
    return {};
}
