#include "windows/criteriawindow.h"

#include "stats/outcomes.h"
#include "stats/criteriatexts.h"
#include "stats/errors.h"
#include "widgets/helpviewer.h"
#include "widgets/userdialogs.h"
#include "windows/acceptancelimitsdialog.h"
#include "windows/objectnames.h"
#include "windows/resulttables.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const ResultWindowLook kLook = {
    .objectName = objectnames::TFcriterios,
    .caption = QStringLiteral("Criterios de aceptación"),
    .helpContext = 16,
    // Both columns side by side within a 1024 x 768 screen's frame, as tall
    // as the frame allows; the contents scroll.
    .size = QSize(1000, 900),
    .fixedSize = false,
};

const QColor kPass(0, 110, 0), kFail(190, 0, 0), kNotAssessed(110, 110, 110);

QColor resultColour(stats::CheckResult result)
{
    switch (result) {
    case stats::CheckResult::Pass: return kPass;
    case stats::CheckResult::Fail: return kFail;
    case stats::CheckResult::NotAssessed: break;
    }
    return kNotAssessed;
}

} // namespace

CriteriaWindow::CriteriaWindow(stats::StudyData study, const stats::CriteriaResult &criteria, char decimalSeparator,
                               UserDialogs &dialogs, HelpViewer *help, QWidget *parent)
    : ResultWindow(kLook, parent), study_(std::move(study)), units_(study_.units()), separator_(decimalSeparator),
      dialogs_(dialogs), help_(help)
{
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto *content = new QWidget(scroll);
    content_ = content;
    scroll->setWidget(content);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    auto *targetLabel = new QLabel(QStringLiteral("Cantidad al 100 % (T):"), content);
    ecantidad_ = new QLineEdit(content);
    ecantidad_->setObjectName(QLatin1String(objectnames::ecantidad));
    ecantidad_->setPlaceholderText(QStringLiteral("media de los niveles"));
    ecantidad_->setMaxLength(40);
    ecantidad_->setFixedWidth(ecantidad_->fontMetrics().horizontalAdvance(ecantidad_->placeholderText()) + 16);
    targetLabel->setBuddy(ecantidad_);
    btnlimites_ = new QPushButton(QStringLiteral("Límites de aceptación..."), content);
    btnlimites_->setObjectName(QLatin1String(objectnames::btnlimites));
    auto *top = new QHBoxLayout;
    top->addWidget(targetLabel);
    top->addWidget(ecantidad_);
    unitsLabel_ = new QLabel(QString::fromStdString(units_), content);
    unitsLabel_->setTextFormat(Qt::PlainText); // the units as typed, even "<b>mg"
    top->addWidget(unitsLabel_);
    top->addStretch(1);
    top->addWidget(btnlimites_);

    mmcifras_ = addTextBox(QLatin1String(objectnames::mmcifras), {});
    mmcifras_->setParent(content);
    mmcifras_->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmcifras_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmcifras_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    stgcriterios_ = windows::ReadOnlyTable(objectnames::stgcriterios, content);
    Ldictamen_ = windows::Heading(QString(), content);
    Ldictamen_->setObjectName(QLatin1String(objectnames::Ldictamen));
    Ldictamen_->setWordWrap(true);
    stginverso_ = windows::ReadOnlyTable(objectnames::stginverso, content);
    stgsesgo_ = windows::ReadOnlyTable(objectnames::stgsesgo, content);

    // The judgement on the left, each observation's back-calculation beside it.
    auto *left = new QVBoxLayout;
    left->setSpacing(6);
    left->addWidget(mmcifras_);
    left->addSpacing(4);
    left->addWidget(windows::Heading(QStringLiteral("Criterios"), content));
    left->addWidget(stgcriterios_);
    left->addWidget(Ldictamen_);
    left->addSpacing(8);
    left->addWidget(windows::Heading(QStringLiteral("Sesgo por nivel"), content));
    left->addWidget(stgsesgo_);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(windows::Heading(QStringLiteral("Cálculo inverso"), content));
    right->addWidget(stginverso_);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(16);
    columns->addLayout(right);
    columns->addStretch(1);

    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addLayout(columns);

    addCloseMenu(mmcifras_);
    for (QWidget *area : std::initializer_list<QWidget *>{stgcriterios_, stginverso_, stgsesgo_, scroll->viewport()}) {
        area->setContextMenuPolicy(Qt::ActionsContextMenu);
        area->addActions(actions());
    }

    connect(ecantidad_, &QLineEdit::editingFinished, this, &CriteriaWindow::targetEdited);
    connect(btnlimites_, &QPushButton::clicked, this, &CriteriaWindow::editLimits);
    // Limits are the user's, not the window's: any window's dialog changes them all.
    connect(&windows::AcceptanceLimitsNotifier::instance(), &windows::AcceptanceLimitsNotifier::stored, this,
            [this] { recompute(criteria_.userTarget()); });
    setFocusProxy(ecantidad_);
    display(criteria);
}

QSize CriteriaWindow::sizeHint() const { return content_->sizeHint(); }

void CriteriaWindow::editLimits()
{
    AcceptanceLimitsDialog dialog(dialogs_, separator_, this);
    if (help_)
        help_->attachContextKey(&dialog);
    dialogs_.showModal(dialog);
}

void CriteriaWindow::targetEdited()
{
    if (editing_)
        return;
    const QString text = ecantidad_->text().trimmed();
    if (text == targetText_)
        return;
    const QScopedValueRollback guard(editing_, true);
    stats::Target target;
    bool valid = true;
    if (!text.isEmpty()) {
        try {
            target = stats::ParseTarget(text.toStdString(), separator_);
        } catch (const stats::ConversionError &) {
            // Whatever is wrong with the text, the rule is the same.
            dialogs_.message(this, QString::fromUtf8(stats::kTargetNotPositive));
            valid = false;
        }
    }
    if (valid && recompute(target)) {
        targetText_ = text;
        return;
    }
    ecantidad_->setText(targetText_);
    ecantidad_->setFocus();
    ecantidad_->selectAll();
}

bool CriteriaWindow::recompute(const stats::Target &target)
{
    std::string refusal;
    if (!widgets::RunReportingErrors(dialogs_, this, [&] { refusal = computed(target); }))
        return false;
    if (!refusal.empty())
        dialogs_.message(this, QString::fromStdString(refusal));
    return refusal.empty();
}

std::string CriteriaWindow::computed(const stats::Target &target)
{
    const stats::StudyAnalysis analysis =
        stats::Analyze(study_, {.decimalSeparator = separator_, .criteria = {target, windows::StoredAcceptanceLimits()}});
    const stats::CommandOutcome outcome = stats::CriteriaOutcome(analysis);
    if (outcome.refused())
        return outcome.refusalMessage();
    display(*analysis.criteria().value);
    return {};
}

void CriteriaWindow::studyChanged(const stats::StudyData &study)
{
    if (study == study_)
        return;
    study_ = study;
    units_ = study_.units();
    unitsLabel_->setText(QString::fromStdString(units_));
    followStudy([this] { return computed(criteria_.userTarget()); });
}

void CriteriaWindow::display(const stats::CriteriaResult &criteria)
{
    criteria_ = criteria;
    const stats::Lines figures = stats::CriteriaFigureLines(criteria, units_, separator_);
    windows::SetLines(mmcifras_, figures);
    const QFontMetrics metrics(mmcifras_->font());
    int widest = 0;
    for (const std::string &line : figures)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(line)));
    const int margins = 2 * (static_cast<int>(mmcifras_->document()->documentMargin()) + mmcifras_->frameWidth());
    mmcifras_->setFixedSize(widest + margins + metrics.averageCharWidth(),
                            static_cast<int>(figures.size()) * metrics.lineSpacing() + margins);

    windows::FillTable(stgcriterios_, stats::CheckCells(criteria, separator_), 1);
    for (int r = 0; r < stgcriterios_->rowCount(); ++r) {
        QTableWidgetItem *result = stgcriterios_->item(r, stgcriterios_->columnCount() - 1);
        result->setForeground(resultColour(criteria.checks[static_cast<size_t>(r)].result));
        result->setTextAlignment(Qt::AlignCenter);
    }
    Ldictamen_->setText(QString::fromStdString(stats::VerdictLine(criteria)));
    QPalette palette = Ldictamen_->palette();
    palette.setColor(QPalette::WindowText, criteria.passes ? kPass : kFail);
    Ldictamen_->setPalette(palette);
    windows::FillTable(stginverso_, stats::BackCalculationCells(criteria, separator_), 0);
    windows::FillTable(stgsesgo_, stats::LevelBiasCells(criteria, separator_), 0);
}
