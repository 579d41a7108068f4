#pragma once
// Unknown samples read off the study's line: the method's standard deviation
// and its detection and quantification limits above, and a grid where the
// analyst types or pastes each sample's name and responses, with its amount,
// intervals and flags beside it as it is typed. It follows the study in the
// editor; the window shows only what the engine computed. Samples typed and
// not saved to a samples file are not lost without a question: closing the
// window, reading another file or leaving the program asks first.
#include "stats/analysis.h"
#include "stats/samplesfile.h"
#include "stats/samplestexts.h"
#include "stats/study.h"
#include "windows/resultwindow.h"

#include <optional>
#include <vector>

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
    // asks for the file and tells what stops it. Saving is refused, naming
    // the row, while a typed row is not a sample the file could hold; true
    // when the file was written.
    void readFile();
    bool saveFile();

    // Whether the grid holds samples other than those last read from or
    // saved to a samples file.
    bool hasUnsavedSamples() const;
    // Before the grid's samples go: when unsaved, the Sí / No / Cancelar
    // question; Sí saves them. True when they may go (saved, or No).
    bool askToSaveSamples();

    bool eventFilter(QObject *watched, QEvent *event) override;
    void studyChanged(const stats::StudyData &study) override;
    bool followsStudy() const override { return true; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The texts typed in `row`; none when the row is empty.
    std::optional<stats::SampleTexts> typedRow(int row) const;
    void confidenceEdited();
    // Computes every typed row again and shows the results beside it.
    void recompute();
    void showRow(int row, const stats::CellRow &cells);

    stats::StudyData study_;
    // The study's analysis since it last changed: other samples or another
    // confidence compute the samples again, not the line they are read off.
    std::optional<stats::StudyAnalysis> analysis_;
    std::string units_;
    const char separator_;
    UserDialogs &dialogs_;
    stats::Rational confidence_;
    QString confidenceText_;
    bool filling_ = false; // the grid is being filled: one computation at the end
    std::vector<stats::SampleTexts> saved_; // as last read or saved

    QPlainTextEdit *mmmetodo_;
    QLineEdit *econfianza_;
    QTableWidget *stgmuestras_;
    QPushButton *btnleer_;
    QPushButton *btnguardar_;
};
