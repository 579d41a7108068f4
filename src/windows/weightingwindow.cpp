#include "windows/weightingwindow.h"

#include "stats/analysis.h"
#include "stats/outcomes.h"
#include "stats/weightingtexts.h"
#include "widgets/userdialogs.h"
#include "windows/objectnames.h"
#include "windows/resulttables.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTableWidget>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFponderacion,
    .caption = QStringLiteral("Ponderación, varianza y datos atípicos"),
    .helpContext = 29,
    .size = QSize(1000, 900),
    .fixedSize = false,
};

QPlainTextEdit *fixedBox(QPlainTextEdit *box, QWidget *parent)
{
    box->setParent(parent);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

// A text box as tall and wide as its lines.
void fitToLines(QPlainTextEdit *box)
{
    const QFontMetrics metrics(box->font());
    int width = 0;
    const QStringList lines = windows::TextLines(box);
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    const int margins = 2 * (box->frameWidth() + static_cast<int>(box->document()->documentMargin())) + 8;
    box->setFixedSize(width + margins, metrics.lineSpacing() * static_cast<int>(lines.size()) + margins);
}

// Fits a box again whenever its font changes: the window is built before it
// joins the workspace, whose bold font it then takes and draws with.
class FitOnFontChange : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FontChange)
            fitToLines(static_cast<QPlainTextEdit *>(watched));
        return false;
    }
};

QLabel *wrappedLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

} // namespace

WeightingWindow::WeightingWindow(stats::StudyData study, const stats::WeightingResult &weighting,
                                 char decimalSeparator, UserDialogs &dialogs, QWidget *parent)
    : ResultWindow(kLook, parent), study_(std::move(study)), separator_(decimalSeparator), dialogs_(dialogs),
      weighting_(weighting)
{
    auto *scroll = new QScrollArea(this);
    scroll_ = scroll;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    content_ = new QWidget(scroll);
    scroll->setWidget(content_);
    scroll->viewport()->installEventFilter(this);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    Lveredicto_ = windows::Heading(QString(), content_);
    Lveredicto_->setObjectName(QLatin1String(objectnames::Lveredicto));
    mmvarianza_ = fixedBox(addTextBox(QLatin1String(objectnames::mmvarianza), {}), content_);
    mmvarianza_->installEventFilter(new FitOnFontChange(mmvarianza_));
    stgponderaciones_ = windows::ReadOnlyTable(objectnames::stgponderaciones, content_);
    indefinidas_ = wrappedLabel("Lindefinidas", content_);

    cbponderacion_ = new QComboBox(content_);
    cbponderacion_->setObjectName(QLatin1String(objectnames::cbponderacion));
    for (stats::Weight w : stats::Weights())
        cbponderacion_->addItem(QString::fromLatin1(stats::WeightId(w)));
    auto *choiceLabel = new QLabel(QStringLiteral("Ponderación de la recta:"), content_);
    choiceLabel->setBuddy(cbponderacion_);
    Lelegida_ = wrappedLabel(objectnames::Lelegida, content_);
    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(choiceLabel);
    choiceRow->addWidget(cbponderacion_);
    choiceRow->addWidget(Lelegida_, 1);

    mmrecta_ = fixedBox(addTextBox(QLatin1String(objectnames::mmrecta), {}), content_);
    mmrecta_->installEventFilter(new FitOnFontChange(mmrecta_));
    stginversop_ = windows::ReadOnlyTable(objectnames::stginversop, content_);
    stgsesgop_ = windows::ReadOnlyTable(objectnames::stgsesgop, content_);
    stgdiagnostico_ = windows::ReadOnlyTable(objectnames::stgdiagnostico, content_);
    stggrubbs_ = windows::ReadOnlyTable(objectnames::stggrubbs, content_);

    // The variance and the weights on the left, the chosen line beside them;
    // the diagnostics of the unweighted line below.
    auto *left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(windows::Heading(QStringLiteral("1. Homogeneidad de varianzas"), content_));
    left->addWidget(mmvarianza_);
    left->addSpacing(8);
    left->addWidget(windows::Heading(QStringLiteral("2. Ponderaciones"), content_));
    left->addWidget(stgponderaciones_);
    left->addWidget(indefinidas_);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(windows::Heading(QStringLiteral("3. Recta ponderada"), content_));
    right->addLayout(choiceRow);
    right->addWidget(mmrecta_);
    auto *tables = new QHBoxLayout;
    tables->addWidget(stginversop_, 0, Qt::AlignTop);
    tables->addWidget(stgsesgop_, 0, Qt::AlignTop);
    tables->addStretch(1);
    right->addLayout(tables);
    right->addStretch(1);
    auto *columns = new QBoxLayout(QBoxLayout::LeftToRight);
    columns->addLayout(left);
    columns->addSpacing(16);
    columns->addLayout(right);
    columns->addStretch(1);
    columns_ = columns;
    left_ = left;
    right_ = right;
    auto *below = new QHBoxLayout;
    below->addWidget(stgdiagnostico_, 0, Qt::AlignTop);
    below->addSpacing(16);
    below->addWidget(stggrubbs_, 0, Qt::AlignTop);
    below->addStretch(1);

    auto *layout = new QVBoxLayout(content_);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addWidget(Lveredicto_);
    layout->addLayout(columns);
    layout->addWidget(windows::Heading(QStringLiteral("4. Diagnóstico de la recta sin ponderar"), content_));
    layout->addLayout(below);
    layout->addWidget(new QLabel(QString::fromUtf8(stats::kNothingRemoved), content_));
    layout->addStretch(1);

    addCloseMenu(mmvarianza_);
    for (QWidget *area : std::initializer_list<QWidget *>{mmrecta_, stgponderaciones_, stginversop_, stgsesgop_,
                                                          stgdiagnostico_, stggrubbs_, scroll->viewport()}) {
        area->setContextMenuPolicy(Qt::ActionsContextMenu);
        area->addActions(actions());
    }
    display();
    connect(cbponderacion_, &QComboBox::currentIndexChanged, this, &WeightingWindow::weightChosen);
    setFocusProxy(cbponderacion_);
}

QSize WeightingWindow::sizeHint() const { return content_->sizeHint(); }

stats::WeightingOptions WeightingWindow::userWeight() const
{
    if (weighting_.rule == stats::WeightRule::User)
        return {weighting_.chosen};
    return {};
}

bool WeightingWindow::eventFilter(QObject *watched, QEvent *event)
{
    // The weighted line beside the variance and the weights where the
    // window is wide enough for both; below them where it is not (a
    // 1024-pixel screen), so that nothing has to be scrolled sideways to.
    if (watched == scroll_->viewport() && event->type() == QEvent::Resize) {
        const QMargins margins = content_->layout()->contentsMargins();
        const int sideBySide =
            margins.left() + left_->sizeHint().width() + 16 + right_->sizeHint().width() + margins.right();
        const auto direction =
            scroll_->viewport()->width() >= sideBySide ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom;
        if (columns_->direction() != direction)
            columns_->setDirection(direction);
    }
    return ResultWindow::eventFilter(watched, event);
}

void WeightingWindow::weightChosen(int index)
{
    if (index < 0 || index >= static_cast<int>(stats::Weights().size()))
        return;
    const stats::Weight weight = stats::Weights()[static_cast<size_t>(index)];
    if (weight == weighting_.chosen)
        return;
    bool computed = false;
    widgets::RunReportingErrors(dialogs_, this, [&] {
        const stats::StudyAnalysis analysis =
            stats::Analyze(study_, {.decimalSeparator = separator_, .criteria = {}, .weighting = {weight}});
        const stats::CommandOutcome outcome = stats::WeightingOutcome(analysis);
        if (outcome.refused()) {
            dialogs_.message(this, QString::fromStdString(outcome.refusalMessage()));
            return;
        }
        weighting_.chosen = analysis.weighting().value->chosen;
        weighting_.rule = analysis.weighting().value->rule;
        weighting_.weighted = analysis.weighting().value->weighted;
        computed = true;
    });
    if (!computed) {
        const QSignalBlocker still(cbponderacion_);
        cbponderacion_->setCurrentIndex(static_cast<int>(weighting_.chosen));
        return;
    }
    showLine();
}

void WeightingWindow::studyChanged(const stats::StudyData &study)
{
    if (study == study_)
        return;
    study_ = study;
    followStudy([this]() -> std::string {
        const stats::StudyAnalysis analysis =
            stats::Analyze(study_, {.decimalSeparator = separator_, .criteria = {}, .weighting = userWeight()});
        const stats::CommandOutcome outcome = stats::WeightingOutcome(analysis);
        if (outcome.refused())
            return outcome.refusalMessage();
        weighting_ = *analysis.weighting().value;
        display();
        return {};
    });
}

void WeightingWindow::display()
{
    Lveredicto_->setText(QString::fromStdString(stats::WeightingVerdictLine(weighting_)));
    windows::SetLines(mmvarianza_, stats::HomogeneityLines(weighting_.homogeneity, separator_));
    fitToLines(mmvarianza_);
    windows::FillTable(stgponderaciones_, stats::CandidateCells(weighting_, separator_), 1);
    std::string undefined;
    for (const std::string &line : stats::UndefinedWeightLines(weighting_))
        undefined += (undefined.empty() ? "" : "\n") + line;
    indefinidas_->setText(QString::fromStdString(undefined));
    indefinidas_->setVisible(!undefined.empty());
    {
        const QSignalBlocker quiet(cbponderacion_);
        cbponderacion_->setCurrentIndex(static_cast<int>(weighting_.chosen));
    }
    windows::FillTable(stgdiagnostico_, stats::DiagnosticCells(weighting_, separator_), 0);
    windows::FillTable(stggrubbs_, stats::GrubbsCells(weighting_, separator_), 0);
    stggrubbs_->setVisible(!weighting_.grubbs.empty());
    showLine();
}

void WeightingWindow::showLine()
{
    Lelegida_->setText(QString::fromStdString(stats::ChoiceLine(weighting_)));
    windows::SetLines(mmrecta_, stats::WeightedLineLines(weighting_, separator_));
    fitToLines(mmrecta_);
    const bool line = weighting_.weighted.has_value();
    stginversop_->setVisible(line);
    stgsesgop_->setVisible(line);
    if (!line)
        return;
    windows::FillTable(stginversop_, stats::WeightedBackCalculationCells(*weighting_.weighted, separator_), 0);
    windows::FillTable(stgsesgop_, stats::WeightedLevelBiasCells(*weighting_.weighted, separator_), 0);
}
