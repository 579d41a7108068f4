#pragma once
// Unknown samples read off the study's line: the method's standard deviation
// and its detection and quantification limits above, and a grid where the
// analyst types or pastes each sample's name and responses, with its amount,
// intervals and flags beside it as it is typed. It follows the study in the
// editor; the window shows only what the engine computed.
#include "stats/analysis.h"
#include "stats/samplesfile.h"
#include "stats/samplestexts.h"
#include "stats/study.h"
#include "windows/resultwindow.h"

class QLineEdit;
class QPushButton;
class QTableWidget;
class UserDialogs;

class SamplesWindow : public ResultWindow {
    Q_OBJECT
public:
    static constexpr int kMaxSamples = 200;
    // The grid's columns: what is typed, then what is computed.
    enum Column { Name, Responses, M, MeanResponse, X, Se, Interval, Inversion, Flags, ColumnCount };

    // `study` has passed the samples command.
    SamplesWindow(stats::StudyData study, char decimalSeparator, UserDialogs &dialogs, QWidget *parent = nullptr);

    QPlainTextEdit *method() const { return mmmetodo_; }
    QLineEdit *confidence() const { return econfianza_; }
    QTableWidget *grid() const { return stgmuestras_; }
    QPushButton *readButton() const { return btnleer_; }
    QPushButton *saveButton() const { return btnguardar_; }

    // What the grid holds, row by row, rows with nothing typed left out.
    std::vector<stats::SampleTexts> typedSamples() const;
    // Every sample typed (those that cannot be computed with the reason
    // their row shows), and the confidence, for a printed page.
    void samplesInto(stats::AnalysisOptions &options) const;
    // Fills the grid with `samples` (at most kMaxSamples) and computes them.
    void setSamples(const std::vector<stats::SampleTexts> &samples);
    // Pastes tab- or semicolon-separated lines from the current row down.
    void paste(const QString &text);
    // Reads a samples file into the grid, or saves the grid as one; each
    // asks for the file and tells what stops it.
    void readFile();
    void saveFile();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void studyChanged(const stats::StudyData &study) override;

private:
    void confidenceEdited();
    // Computes every typed row again and shows the results beside it.
    void recompute();
    void showRow(int row, const stats::CellRow &cells);

    stats::StudyData study_;
    std::string units_;
    const char separator_;
    UserDialogs &dialogs_;
    stats::Rational confidence_;
    QString confidenceText_;
    bool filling_ = false; // the grid is being filled: one computation at the end

    QPlainTextEdit *mmmetodo_;
    QLineEdit *econfianza_;
    QTableWidget *stgmuestras_;
    QPushButton *btnleer_;
    QPushButton *btnguardar_;
};
