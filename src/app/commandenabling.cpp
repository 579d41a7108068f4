#include "app/commandenabling.h"

#include "cli/analysismodules.h"
#include "windows/objectnames.h"

// The names of the command table, as the table writes them.
using namespace objectnames;

namespace app::commandgroups {

// Importing makes a new study from a spreadsheet's points: it goes with New.
QStringList NewGroup() { return {FileNewItem, spdnuevo, FileImportItem}; }
QStringList OpenGroup() { return {FileOpenItem, spdabrir}; }
QStringList CloseGroup() { return {mnuclose, spdclose}; }
QStringList SaveGroup() { return {FileSaveItem, spdguardar}; }
QStringList SaveAsGroup() { return {FileSaveAsItem}; }
QStringList PrintGroup() { return {FilePrintItem, PrintLasser, spdprint}; }
QStringList ArrangeGroup() { return {WindowTileItem, spdmosaico, WindowCascadeItem, spdcascada}; }
QStringList CalculationsGroup()
{
    // The prediction command has its entries here too: it needs a study
    // like the other calculations.
    QStringList group = {mnuinferencia,  mnuanova,  mnuresid,  mnueesc,  mnugraph,  mnugraphr,   mnuinforme,
                         mnupredice,     pmnuinferencia, pmnuanova, pmnuresid, pmnueesc, pmnugraph, pmnugraphr,
                         pmnupredice};
    // Each evaluation's entries.
    for (const cli::AnalysisModule &module : cli::AnalysisModules()) {
        group << QLatin1String(module.menuEntry);
        if (module.popup)
            group << QLatin1Char('p') + QLatin1String(module.menuEntry);
    }
    return group;
}

} // namespace app::commandgroups

namespace {

using namespace app::commandgroups;

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
        return {NewGroup() + exitGroup() + helpEntries(),
                OpenGroup() + CloseGroup() + SaveGroup() + SaveAsGroup() + PrintGroup() + ArrangeGroup() +
                    QStringList{mnucalculos} + CalculationsGroup()};
    case CommandEvent::NewStudy:
        return {CloseGroup(), NewGroup() + OpenGroup() + SaveGroup() + SaveAsGroup()};
    case CommandEvent::OpenStudy:
        return {CloseGroup() + ArrangeGroup() + CalculationsGroup(),
                NewGroup() + OpenGroup() + SaveGroup() + SaveAsGroup() + PrintGroup()};
    case CommandEvent::DataGridEntered:
        return {SaveGroup() + SaveAsGroup() + QStringList{FilePrintItem, PrintLasser, spdprint, mnucalculos},
                {}};
    case CommandEvent::DataGridKey:
        return {SaveGroup() + SaveAsGroup() + QStringList{FilePrintItem, PrintLasser, spdprint}, {}};
    case CommandEvent::DataGridLastCellKey:
        return {SaveGroup() + SaveAsGroup() + PrintGroup() + QStringList{mnucalculos} + CalculationsGroup(), {}};
    case CommandEvent::EditorClosed:
        return {{}, SaveGroup() + SaveAsGroup() + PrintGroup() + CalculationsGroup()};
    case CommandEvent::EditorClosedLast:
        return {NewGroup() + OpenGroup(),
                CloseGroup() + SaveGroup() + SaveAsGroup() + PrintGroup() + ArrangeGroup() + CalculationsGroup()};
    case CommandEvent::ResultClosedLast:
        return {NewGroup() + OpenGroup(),
                CloseGroup() + SaveGroup() + SaveAsGroup() + QStringList{FilePrintItem, spdprint} +
                    ArrangeGroup() + QStringList{mnuinferencia}};
    case CommandEvent::CloseUsedOnEditor:
        return {NewGroup(), OpenGroup() + CloseGroup() + SaveGroup() + SaveAsGroup() + PrintGroup() +
                                ArrangeGroup() + CalculationsGroup()};
    }
    return {};
}
