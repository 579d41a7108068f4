#include "windows/predictionwindow.h"

#include "widgets/focustracker.h"
#include "widgets/helpcontext.h"
#include "widgets/printableinput.h"
#include "widgets/stringgrid.h"
#include "widgets/userdialogs.h"
#include "widgets/windowplacement.h"
#include "windows/objectnames.h"

#include "stats/conversions.h"
#include "stats/numberformat.h"
#include "stats/prediction.h"
#include "stats/regression.h"
#include "stats/studyfile.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

const QString kCountMismatch = QStringLiteral("El número de celdas de captura no coincide con el número de niveles.");
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kNavy(0, 0, 128);

QLabel *makeLabel(const char *name, const QString &text, bool bold = false)
{
    auto *label = new QLabel(text);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText); // some show what a study file holds
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

void setColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QPushButton *makeButton(const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    return button;
}

QString fromStd(const std::string &text) { return QString::fromStdString(text); }

} // namespace

PredictionWindow::PredictionWindow(UserDialogs &dialogs, char decimalSeparator, QWidget *parent)
    : QDialog(parent), dialogs_(dialogs), separator_(decimalSeparator)
{
    setObjectName(QString(objectnames::frmpredice));
    setWindowTitle(QStringLiteral("Predicciones"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);
    widgets::SetHelpContext(this, 12);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(453, 336);
    buildControls();

    tracker_ = new FocusTracker(this);
    tracker_->addControl(epredice, {}, [this] { eprediceExit(); });
    tracker_->addButton(btnok);
    tracker_->addControl(stgpredice, [this] { stgprediceEnter(); }, [this] { stgprediceExit(); });
    tracker_->addButton(btncalcula);
    tracker_->addButton(BtBtncerrar);

    connect(btnok, &QPushButton::clicked, this, &PredictionWindow::shapePredictionGrid);
    connect(btncalcula, &QPushButton::clicked, this, &PredictionWindow::computePredictions);
    connect(BtBtncerrar, &QPushButton::clicked, this, &QDialog::accept);
    connect(stgpredice, &QTableWidget::currentCellChanged, this, &PredictionWindow::followTabRule);
    connect(stgpredice, &StringGrid::cellEdited, this, &PredictionWindow::stateEdited);
    connect(epredice, &QLineEdit::textEdited, this, &PredictionWindow::stateEdited);
    followTabRule();
}

PredictionWindow::~PredictionWindow()
{
    delete tracker_;
    tracker_ = nullptr;
}

void PredictionWindow::buildControls()
{
    lblY = makeLabel(objectnames::lblY, QStringLiteral(" Y   ="));
    lblm1 = makeLabel(objectnames::lblm1, QStringLiteral("("), true);
    lblm = makeLabel(objectnames::lblm, slope_, true);
    lblm2 = makeLabel(objectnames::lblm2, QStringLiteral(")"), true);
    lblx = makeLabel(objectnames::lblx, QStringLiteral("X"));
    lblmas = makeLabel(objectnames::lblmas, QStringLiteral("+"));
    lblb1 = makeLabel(objectnames::lblb1, QStringLiteral("("), true);
    lblB = makeLabel(objectnames::lblB, intercept_, true);
    lblb2 = makeLabel(objectnames::lblb2, QStringLiteral(")"), true);
    for (QLabel *parenthesis : {lblm1, lblm2, lblb1, lblb2}) {
        setColour(parenthesis, kRed);
        parenthesis->hide(); // until a negative coefficient is shown
    }

    epredice = new QLineEdit(QStringLiteral("3"));
    epredice->setObjectName(QString(objectnames::epredice));
    epredice->setFixedWidth(50);
    widgets::AcceptPrintableOnly(epredice);
    Label1 = makeLabel("Label1", QStringLiteral("&Número de Datos :"));
    Label1->setBuddy(epredice);
    btnok = makeButton(objectnames::btnok, QStringLiteral("&Aceptar"));
    btnok->setDefault(true);
    btnok->setMinimumWidth(100);

    stgpredice = new StringGrid(2, 4);
    stgpredice->setObjectName(QString(objectnames::stgpredice));
    stgpredice->setFixedColumns(0);
    stgpredice->setFixedRows(1);
    stgpredice->setColumnWidths(100);
    stgpredice->setRowHeights(24);
    stgpredice->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    stgpredice->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const int frame = 2 * stgpredice->frameWidth();
    stgpredice->setFixedSize(200 + frame + stgpredice->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                             8 * 24 + frame);
    stgpredice->setCell(0, 0, QStringLiteral("          X"));
    stgpredice->setCell(1, 0, QStringLiteral("          Y"));

    btncalcula = makeButton(objectnames::btncalcula, QStringLiteral("&Cálcula Predicción"));
    BtBtncerrar = makeButton(objectnames::BtBtncerrar, QStringLiteral("&Cerrar ventana"));
    for (QPushButton *button : {btncalcula, BtBtncerrar})
        button->setFixedSize(170, 32);
    // Both captions mark C; Alt+C presses the first button, the computation,
    // instead of only moving the focus between two.
    BtBtncerrar->setShortcut(QKeySequence());
    Label2 = makeLabel("Label2", QStringLiteral("COEFICIENTE DE DETERMINACION  (R^2) ="));
    LBLCD = makeLabel(objectnames::LBLCD, QString(), true);
    setColour(LBLCD, kNavy);

    auto *equation = new QHBoxLayout;
    equation->setSpacing(4);
    for (QLabel *label : {lblY, lblm1, lblm, lblm2, lblx, lblmas, lblb1, lblB, lblb2})
        equation->addWidget(label);
    equation->addStretch();

    auto *count = new QHBoxLayout;
    count->addWidget(Label1);
    count->addWidget(epredice);
    count->addSpacing(16);
    count->addWidget(btnok);
    count->addStretch();

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btncalcula);
    buttons->addSpacing(12);
    buttons->addWidget(BtBtncerrar);
    buttons->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addWidget(stgpredice);
    middle->addSpacing(24);
    middle->addLayout(buttons);
    middle->addStretch();

    auto *determination = new QHBoxLayout;
    determination->addWidget(Label2);
    determination->addWidget(LBLCD);
    determination->addStretch();

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(14, 12, 14, 12);
    column->setSpacing(10);
    column->addLayout(equation);
    column->addLayout(count);
    column->addLayout(middle);
    column->addStretch();
    column->addLayout(determination);
}

void PredictionWindow::showEquation(const stats::RegressionResult &r)
{
    showCoefficients(fromStd(stats::FormatGeneral(r.slope, 6, separator_)),
                     fromStd(stats::FormatGeneral(r.intercept, 6, separator_)));
    LBLCD->setText(fromStd(stats::FormatGeneral(r.rSquared, 8, separator_)));
    const bool slopeNegative = r.slope.sign() < 0;
    setColour(lblm, slopeNegative ? kRed : kBlue);
    lblm1->setVisible(slopeNegative);
    lblm2->setVisible(slopeNegative);
    const bool interceptNegative = r.intercept.sign() < 0;
    setColour(lblB, interceptNegative ? kRed : kBlue);
    lblb1->setVisible(interceptNegative);
    lblb2->setVisible(interceptNegative);
}

void PredictionWindow::showCoefficients(const QString &slope, const QString &intercept)
{
    slope_ = slope;
    intercept_ = intercept;
    lblm->setText(slope);
    lblB->setText(intercept);
}

void PredictionWindow::storeInto(stats::StudyFile &file) const
{
    file.predictionSlope = slope_.toStdString();
    file.predictionIntercept = intercept_.toStdString();
    file.predictionCount = epredice->text().toStdString();
    file.predictionX.clear();
    file.predictionY.clear();
    for (int row = 1; row < stgpredice->rowCount(); ++row) {
        file.predictionX.push_back(stgpredice->cell(0, row).toStdString());
        file.predictionY.push_back(stgpredice->cell(1, row).toStdString());
    }
}

void PredictionWindow::loadFrom(const stats::StudyFile &file)
{
    showCoefficients(fromStd(file.predictionSlope), fromStd(file.predictionIntercept));
    epredice->setText(fromStd(file.predictionCount));
    // A file without prediction rows still leaves one row to type in.
    const int rows = std::max(1, static_cast<int>(file.predictionX.size()));
    stgpredice->setRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        const auto at = static_cast<size_t>(row - 1);
        stgpredice->setCell(0, row, at < file.predictionX.size() ? fromStd(file.predictionX[at]) : QString());
        stgpredice->setCell(1, row, at < file.predictionY.size() ? fromStd(file.predictionY[at]) : QString());
    }
    followTabRule();
}

void PredictionWindow::keyPressEvent(QKeyEvent *event)
{
    // The window closes by its button or its close box, not by Escape.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PredictionWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    widgets::CentreOnScreen(this);
}

bool PredictionWindow::focusNextPrevChild(bool next)
{
    return (tracker_ && tracker_->focusNext(next)) || QDialog::focusNextPrevChild(next);
}

// Tab leaves the grid from its last cell and moves between cells elsewhere.
void PredictionWindow::followTabRule() { stgpredice->setTabMovesBetweenCells(!stgpredice->isLastCell()); }

void PredictionWindow::refuse(QWidget *control, const QString &message)
{
    dialogs_.message(this, message);
    tracker_->putFocus(control);
}

bool PredictionWindow::checkCount(int &count)
{
    const QString text = epredice->text();
    if (text.isEmpty()) {
        refuse(epredice, QStringLiteral("Falta capturar el número de datos que desea predecir."));
        return false;
    }
    count = stats::StrToInt(text.toStdString());
    if (count < 1 || count > 10) {
        refuse(epredice, QStringLiteral("Datos fuera de rango, 1-10 Datos"));
        return false;
    }
    return true;
}

void PredictionWindow::shapePredictionGrid()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        int count = 0;
        if (!checkCount(count))
            return;
        if (count + 1 != stgpredice->rowCount()) {
            stgpredice->setRowCount(count + 1);
            emit stateEdited();
        }
        followTabRule();
    });
}

void PredictionWindow::eprediceExit()
{
    int count = 0;
    if (!widgets::RunReportingErrors(dialogs_, this, [&] { checkCount(count); }))
        tracker_->putFocus(epredice); // not a whole number: the field keeps the focus
}

void PredictionWindow::stgprediceEnter()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        if (stats::StrToInt(epredice->text().toStdString()) != stgpredice->rowCount() - 1)
            refuse(epredice, kCountMismatch);
    });
}

void PredictionWindow::stgprediceExit()
{
    stgpredice->moveTo(1, 1);
    followTabRule();
}

void PredictionWindow::computePredictions()
{
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const int rows = stgpredice->rowCount() - 1;
        if (stats::StrToInt(epredice->text().toStdString()) != rows) {
            dialogs_.message(this, kCountMismatch);
            tracker_->moveFocus(epredice);
            return;
        }
        for (int row = 1; row <= rows; ++row) {
            if (stgpredice->cell(0, row).isEmpty()) {
                dialogs_.message(this, QStringLiteral("Falta capturar el dato No. %1").arg(row));
                tracker_->moveFocus(stgpredice);
                return;
            }
        }
        // Every value is computed before any is written: an x that is not a
        // number leaves all the predicted values as they were.
        std::vector<QString> predicted;
        const std::string slope = slope_.toStdString();
        const std::string intercept = intercept_.toStdString();
        for (int row = 1; row <= rows; ++row)
            predicted.push_back(fromStd(stats::PredictFromDisplayed(
                slope, intercept, stgpredice->cell(0, row).toStdString(), separator_)));
        bool changed = false;
        for (int row = 1; row <= rows; ++row) {
            const QString &y = predicted[static_cast<size_t>(row - 1)];
            changed = changed || stgpredice->cell(1, row) != y;
            stgpredice->setCell(1, row, y);
        }
        if (changed)
            emit stateEdited();
    });
}
