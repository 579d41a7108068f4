#pragma once
// The prediction window: the fitted line of the active study as an equation,
// with its coefficient of determination, and the predicted amount recovered
// for up to ten typed amounts added. Created once at start-up and shown
// modally by the prediction command; what the user typed stays between
// showings and is stored in the study file.
#include <QDialog>

namespace stats {
struct RegressionResult;
struct StudyFile;
} // namespace stats

class FocusTracker;
class QLabel;
class QLineEdit;
class QPushButton;
class StringGrid;
class UserDialogs;

class PredictionWindow : public QDialog {
    Q_OBJECT
public:
    PredictionWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent = nullptr);
    ~PredictionWindow() override;

    // The equation and r² of `r`: slope and intercept with six significant
    // digits, blue when not negative, red in parentheses when negative. The
    // prediction command never passes a zero slope (it refuses it first).
    void showEquation(const stats::RegressionResult &r);

    // The window's state in a study file: the slope and intercept captions,
    // the typed count, and columns 0 and 1 of every prediction row.
    void storeInto(stats::StudyFile &file) const;
    // Sets that state; the grid gets one row per stored prediction.
    void loadFrom(const stats::StudyFile &file);

signals:
    // The user changed what the study file stores of the window: a cell
    // typed, the count typed or applied, the predictions computed anew.
    void stateEdited();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void buildControls();
    void shapePredictionGrid();
    void computePredictions();
    void eprediceExit();
    void stgprediceEnter();
    void stgprediceExit();
    void followTabRule();
    // The count in epredice: empty and out-of-range counts are refused with
    // their messages; false when refused.
    bool checkCount(int &count);
    void refuse(QWidget *control, const QString &message);

    // Shows the equation's slope and intercept as texts, as they are stored
    // and computed with.
    void showCoefficients(const QString &slope, const QString &intercept);

    UserDialogs &dialogs_;
    const char separator_;
    // The slope and intercept shown, until a study sets them the labels'
    // placeholder.
    QString slope_ = QStringLiteral("12345678");
    QString intercept_ = QStringLiteral("12345678");
    FocusTracker *tracker_ = nullptr;

    QLabel *lblY = nullptr;
    QLabel *lblm1 = nullptr;
    QLabel *lblm = nullptr;
    QLabel *lblm2 = nullptr;
    QLabel *lblx = nullptr;
    QLabel *lblmas = nullptr;
    QLabel *lblb1 = nullptr;
    QLabel *lblB = nullptr;
    QLabel *lblb2 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *epredice = nullptr;
    QPushButton *btnok = nullptr;
    StringGrid *stgpredice = nullptr;
    QPushButton *btncalcula = nullptr;
    QPushButton *BtBtncerrar = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *LBLCD = nullptr;
};
