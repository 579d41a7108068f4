#pragma once
// The study editor: the child window of the frame in which the analyst types
// one linearity study. Its fields and grids are the study's only storage; the
// engine reads them through stats::StudyTexts.
//
// Three pages in the notebook `thoja`: general information, levels and
// replicates, data. Key rules, leave and enter checks and the page rules guard
// the entry; every key marks the study "Modificado" in the frame's status
// panel, and the data grid enables the frame's commands as it is filled.
#include "stats/seriesstudy.h"
#include "stats/study.h"

#include <QList>
#include <QWidget>

#include <optional>

class StudyEditorHost;
class FocusTracker;
class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabWidget;
class StringGrid;
class UserDialogs;

class StudyEditor : public QWidget, public stats::StudyTexts {
    Q_OBJECT
public:
    StudyEditor(StudyEditorHost &host, char decimalSeparator, QWidget *parent = nullptr);
    ~StudyEditor() override;

    // Fills the fields and both grids, shapes and headings included, from a
    // study read from a file. The modified indicator is left as it is.
    void loadStudy(const stats::StudyData &study);

    // A .lin study: the series bar appears above the pages, levels go up to
    // 20 and points to 12, and the grids show one series' calibration or
    // validation standards at a time. The modified indicator is left alone.
    void loadSeriesStudy(const stats::SeriesStudy &study);
    bool holdsSeries() const { return lin_.has_value(); }
    // The whole .lin study, with what the grids show written back; none,
    // once the editor said why, while the shown standards are not a study
    // yet (a count or a cell missing).
    std::optional<stats::SeriesStudy> seriesStudy();
    // The same without a word to the user: while the shown standards are no
    // study yet, the study as it was when they last were.
    std::optional<stats::SeriesStudy> currentSeriesStudy();
    int shownSeries() const { return shownSeries_ + 1; } // 1-based
    stats::StandardKind shownKind() const { return shownKind_; }
    // What the calculations evaluate: the texts typed for a .w04 study; the
    // shown series' calibration standards without their excluded points for
    // a .lin one (stats::StudyRefusal when that is no study to evaluate).
    stats::StudyData evaluatedStudy();
    // Leaves the data grid's current point out, asking the reason, or takes
    // it back; both are recorded with the user and the time.
    void excludeCurrentPoint();
    void includeCurrentPoint();

    // What ValidateStudy found: shows the message, turns to the page and puts
    // the focus on the control (no leave or enter check runs for that move).
    void showValidationFailure(const stats::ValidationFailure &failure);

    // The data grid's pop-up menu `PopMenu`; the frame connects the entries'
    // triggered() signals to its commands and enables them.
    QMenu *popupMenu() const { return PopMenu; }
    QAction *popupAction(const QString &objectName) const;
    QList<QAction *> popupActions() const; // in menu order, without separators or hidden entries

    // stats::StudyTexts over the widgets.
    std::string method() const override;
    std::string analyst() const override;
    std::string date() const override;
    std::string units() const override;
    std::string levelCount() const override;
    int replicateColumnCount() const override;
    std::string replicateCell(int column, int row) const override;
    int dataRowCount() const override;
    std::string dataCell(int column, int row) const override;
    int mostLevels() const override;
    int fewestLevels() const override;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    QWidget *buildGeneralPage();
    QWidget *buildLevelsPage();
    QWidget *buildDataPage();
    void buildPopupMenu();
    QWidget *buildSeriesBar();
    void trackControls();

    // Key rules.
    void fieldKeyPress(QLineEdit *field, QChar key);
    void stgnivelesKeyPress(QChar key);
    void stgdatosKeyPress(QChar key);
    // Leave and enter checks.
    void enivelesExit();
    void stgnivelesExit();
    void stgdatosExit();
    void stgnivelesEnter();
    void stgdatosEnter();
    void thojaEnter();
    // Buttons and pages.
    void shapeLevelGrid();
    void acceptLevels();
    void thojaChange(int page);
    bool tabBarEvent(QEvent *event);

    void shapeDataGrid();
    int mostReplicates() const;
    bool levelCountAccepted(int levels) const;
    QString levelsOutOfRange() const;

    // The .lin study's series and standards.
    void showStandards(int series, stats::StandardKind kind);
    bool keepShownStandards();
    void writeShownBack();
    void listSeries();
    void chooseSeries(int index);
    void chooseKind(int index);
    void addSeries();
    void renameSeries();
    void removeSeries();
    void markExcludedRows();
    const stats::StudyPoint *shownPoint(int row) const;
    void enablePointEntries();
    stats::StudyPoint *currentPoint();
    void markModified();
    void turnPage(int page);
    void focusOn(QWidget *control);
    void refuse(QWidget *control, const QString &message);
    QWidget *controlFor(stats::StudyControl control) const;
    QWidget *firstControlOf(int page) const;

    StudyEditorHost &host_;
    UserDialogs &dialogs_;
    const char separator_;
    FocusTracker *tracker_ = nullptr;
    bool closed_ = false;

    QTabWidget *thoja = nullptr;
    QLineEdit *emetodo = nullptr;
    QLineEdit *eanalista = nullptr;
    QLineEdit *efecha = nullptr;
    QLineEdit *uadicionada = nullptr;
    QLineEdit *eniveles = nullptr;
    QPushButton *btnsinumero = nullptr;
    QPushButton *botonok = nullptr;
    StringGrid *stgniveles = nullptr;
    StringGrid *stgdatos = nullptr;
    QMenu *PopMenu = nullptr;

    std::optional<stats::SeriesStudy> lin_; // a .lin study; its shown standards live in the grids
    int shownSeries_ = 0;
    stats::StandardKind shownKind_ = stats::StandardKind::Calibration;
    QWidget *seriesBar_ = nullptr;
    QComboBox *cbserie = nullptr;
    QComboBox *cbestandares = nullptr;
    QAction *pmnuexcluir = nullptr;
    QAction *pmnuincluir = nullptr;
};
