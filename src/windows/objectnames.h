#pragma once
// The system's own names of the controls, menu entries and tool buttons that its
// rules speak of: their object names, the keys of the enabling table, and
// what the tests look for. One place, so that every rule can be traced.

namespace objectnames {

// The windows.
inline constexpr const char *TMainForm = "TMainForm"; // the frame
inline constexpr const char *ClientArea = "ClientArea";
inline constexpr const char *Finforma = "Finforma"; // the study editor
inline constexpr const char *frmpredice = "frmpredice";
inline constexpr const char *TFinfo = "TFinfo"; // inference
inline constexpr const char *TfinfoA = "TfinfoA"; // analysis of variance
inline constexpr const char *TfinfoR = "TfinfoR"; // residuals
inline constexpr const char *TFerrorp = "TFerrorp"; // systematic error
inline constexpr const char *Tfrminforme = "Tfrminforme"; // report
inline constexpr const char *TFcriterios = "TFcriterios"; // acceptance criteria
inline constexpr const char *TFponderacion = "TFponderacion"; // weighting, variance and outliers
inline constexpr const char *LimitesDlg = "LimitesDlg"; // acceptance limits
inline constexpr const char *PlotForm = "PlotForm"; // graphs: "PlotForm" and "PlotFormR"
inline constexpr const char *OptionsDlg = "OptionsDlg";
inline constexpr const char *Fopprt1 = "Fopprt1"; // print options
inline constexpr const char *VerificationWindow = "VerificationWindow";
inline constexpr const char *Fshow = "Fshow"; // splash
inline constexpr const char *AboutBox = "AboutBox";

// Main menu entries and their menus.
inline constexpr const char *mnuinferencia = "mnuinferencia";
inline constexpr const char *HelpContentsItem = "HelpContentsItem";
inline constexpr const char *HelpAboutItem = "HelpAboutItem";
inline constexpr const char *FileNewItem = "FileNewItem";
inline constexpr const char *FileExitItem = "FileExitItem";
inline constexpr const char *PrintLasser = "PrintLasser";
inline constexpr const char *HelpSearchItem = "HelpSearchItem";
inline constexpr const char *FilePrintItem = "FilePrintItem";
inline constexpr const char *mnuinforme = "mnuinforme";
inline constexpr const char *mnucriterios = "mnucriterios";
inline constexpr const char *mnugraph = "mnugraph";
inline constexpr const char *mnuanova = "mnuanova";
inline constexpr const char *mnuresid = "mnuresid";
inline constexpr const char *mnupredice = "mnupredice";
inline constexpr const char *mnugraphr = "mnugraphr";
inline constexpr const char *mnueesc = "mnueesc";
inline constexpr const char *mnuclose = "mnuclose";
inline constexpr const char *FileOpenItem = "FileOpenItem";
inline constexpr const char *mnucalculos = "mnucalculos";
inline constexpr const char *FileSaveItem = "FileSaveItem";
inline constexpr const char *WindowTileItem = "WindowTileItem";
inline constexpr const char *WindowCascadeItem = "WindowCascadeItem";
inline constexpr const char *HelpHowToUseItem = "HelpHowToUseItem";
inline constexpr const char *FileSaveAsItem = "FileSaveAsItem";
inline constexpr const char *HelpVerifyItem = "HelpVerifyItem";
inline constexpr const char *FileEvaluateArchiveItem = "FileEvaluateArchiveItem";
inline constexpr const char *FileImportItem = "FileImportItem";
inline constexpr const char *mnuventana = "mnuventana";
inline constexpr const char *mnuayuda = "mnuayuda";
inline constexpr const char *mnuarchivo = "mnuarchivo";

// Tool bar and status bar.
inline constexpr const char *spdprint = "spdprint";
inline constexpr const char *spdexit = "spdexit";
inline constexpr const char *spdcontenido = "spdcontenido";
inline constexpr const char *spdnuevo = "spdnuevo";
inline constexpr const char *spdclose = "spdclose";
inline constexpr const char *spdabrir = "spdabrir";
inline constexpr const char *spdmosaico = "spdmosaico";
inline constexpr const char *spdguardar = "spdguardar";
inline constexpr const char *spdcascada = "spdcascada";
inline constexpr const char *SpeedBar = "SpeedBar";
inline constexpr const char *Paneld = "Paneld";
inline constexpr const char *estado = "estado";
inline constexpr const char *StatusLine = "StatusLine";

// The study editor.
inline constexpr const char *eniveles = "eniveles";
inline constexpr const char *stgniveles = "stgniveles";
inline constexpr const char *stgdatos = "stgdatos";
inline constexpr const char *emetodo = "emetodo";
inline constexpr const char *botonok = "botonok";
inline constexpr const char *thoja = "thoja";
inline constexpr const char *btnsinumero = "btnsinumero";
inline constexpr const char *uadicionada = "uadicionada";
inline constexpr const char *pmnugraphr = "pmnugraphr";
inline constexpr const char *pmnuresid = "pmnuresid";
inline constexpr const char *pmnuinferencia = "pmnuinferencia";
inline constexpr const char *pmnugraph = "pmnugraph";
inline constexpr const char *pmnuanova = "pmnuanova";
inline constexpr const char *efecha = "efecha";
inline constexpr const char *eanalista = "eanalista";
inline constexpr const char *pmnupredice = "pmnupredice";
inline constexpr const char *pmnueesc = "pmnueesc";

// The prediction window.
inline constexpr const char *epredice = "epredice";
inline constexpr const char *btncalcula = "btncalcula";
inline constexpr const char *lblm = "lblm";
inline constexpr const char *lblB = "lblB";
inline constexpr const char *stgpredice = "stgpredice";
inline constexpr const char *lblm1 = "lblm1";
inline constexpr const char *lblb1 = "lblb1";
inline constexpr const char *LBLCD = "LBLCD";
inline constexpr const char *lblm2 = "lblm2";
inline constexpr const char *lblb2 = "lblb2";
inline constexpr const char *btnok = "btnok";
inline constexpr const char *BtBtncerrar = "BtBtncerrar";
inline constexpr const char *lblx = "lblx";
inline constexpr const char *lblmas = "lblmas";
inline constexpr const char *lblY = "lblY";

// Result and verification windows.
inline constexpr const char *btnguardarpdf = "btnguardarpdf";
inline constexpr const char *stgverificacion = "stgverificacion";
inline constexpr const char *stganova = "stganova";
inline constexpr const char *btncerrar = "btncerrar";

// The acceptance criteria window and its limits dialog (each limit's field is
// named by its key: minLevels, minR...).
inline constexpr const char *ecantidad = "ecantidad"; // T, the amount at 100 %
inline constexpr const char *btnlimites = "btnlimites";
inline constexpr const char *mmcifras = "mmcifras";
inline constexpr const char *stgcriterios = "stgcriterios";
inline constexpr const char *Ldictamen = "Ldictamen";
inline constexpr const char *stginverso = "stginverso";
inline constexpr const char *stgsesgo = "stgsesgo";
inline constexpr const char *btnomision = "btnomision";
inline constexpr const char *btnaceptar = "btnaceptar";
inline constexpr const char *btncancelar = "btncancelar";

// The weighting window and its menu entries.
inline constexpr const char *mnuponderacion = "mnuponderacion";
inline constexpr const char *pmnuponderacion = "pmnuponderacion";
inline constexpr const char *Lveredicto = "Lveredicto";
inline constexpr const char *mmvarianza = "mmvarianza";
inline constexpr const char *stgponderaciones = "stgponderaciones";
inline constexpr const char *cbponderacion = "cbponderacion";
inline constexpr const char *Lelegida = "Lelegida";
inline constexpr const char *mmrecta = "mmrecta";
inline constexpr const char *stginversop = "stginversop";
inline constexpr const char *stgsesgop = "stgsesgop";
inline constexpr const char *stgdiagnostico = "stgdiagnostico";
inline constexpr const char *stggrubbs = "stggrubbs";
// The quadratic model: its window, its menu and pop-up entries, its text.
inline constexpr const char *TFcuadratico = "TFcuadratico";
inline constexpr const char *mnucuadratico = "mnucuadratico";
inline constexpr const char *pmnucuadratico = "pmnucuadratico";
inline constexpr const char *mmcuadratico = "mmcuadratico";
// The samples window.
inline constexpr const char *TFmuestras = "TFmuestras";
inline constexpr const char *mnumuestras = "mnumuestras";
inline constexpr const char *pmnumuestras = "pmnumuestras";
inline constexpr const char *mmmetodo = "mmmetodo";
inline constexpr const char *econfianza = "econfianza";
inline constexpr const char *stgmuestras = "stgmuestras";
inline constexpr const char *btnleer = "btnleer";
inline constexpr const char *btnguardarmuestras = "btnguardarmuestras";

} // namespace objectnames
