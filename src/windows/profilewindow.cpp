#include "windows/profilewindow.h"

#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/outcomes.h"
#include "widgets/userdialogs.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <memory>

namespace {

const ResultWindowLook kLook = {
    .objectName = "TFperfil",
    .caption = QStringLiteral("Perfil de exactitud"),
    .helpContext = 21,
    .size = QSize(980, 640),
    .fixedSize = false, // it scrolls
};

// "0.9" as typed with the user's separator.
QString typed(const stats::Rational &value, char separator)
{
    return QString::fromStdString(stats::FormatGeneral(stats::Real(value), 6, separator));
}

} // namespace

ProfileWindow::ProfileWindow(stats::SeriesStudy study, char decimalSeparator, UserDialogs &dialogs, QWidget *parent)
    : ResultWindow(kLook, parent), study_(std::move(study)), separator_(decimalSeparator), dialogs_(dialogs)
{
    const stats::ProfileOptions defaults;
    auto field = [this](const char *name, const QString &text) {
        auto *edit = new QLineEdit(text, this);
        edit->setObjectName(QLatin1String(name));
        edit->setMaxLength(20);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
        connect(edit, &QLineEdit::returnPressed, this, &ProfileWindow::recompute);
        return edit;
    };
    beta_ = field("ebeta", typed(defaults.beta, separator_));
    lambda_ = field("elambda", typed(defaults.lambda, separator_));
    auto *betaLabel = new QLabel(QStringLiteral("&Beta (proporción esperada):"), this);
    betaLabel->setBuddy(beta_);
    auto *lambdaLabel = new QLabel(QStringLiteral("&Lambda (± %):"), this);
    lambdaLabel->setBuddy(lambda_);
    auto *compute = new QPushButton(QStringLiteral("&Calcular"), this);
    compute->setObjectName(QStringLiteral("btncalcular"));
    connect(compute, &QPushButton::clicked, this, &ProfileWindow::recompute);
    model_ = new QComboBox(this);
    model_->setObjectName(QStringLiteral("cbmodelo"));
    auto *modelLabel = new QLabel(QStringLiteral("&Modelo de la gráfica:"), this);
    modelLabel->setBuddy(model_);
    connect(model_, &QComboBox::activated, this, [this](int index) {
        analysis_.options.profile.shown = static_cast<std::size_t>(std::max(index, 0));
    });
    graph_ = new QPushButton(QStringLiteral("&Gráfica..."), this);
    graph_->setObjectName(QStringLiteral("btngrafica"));
    connect(graph_, &QPushButton::clicked, this, [this] {
        if (showGraph_)
            showGraph_(analysis_);
    });

    auto *top = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{betaLabel, beta_, lambdaLabel, lambda_, compute, modelLabel,
                                                        model_, graph_})
        top->addWidget(w);
    top->addStretch();
    text_ = addTextBox(QStringLiteral("mmperfil"), {});
    text_->setFont(windows::ColumnFont(13));
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(top);
    layout->addWidget(text_);
    addCloseMenu(text_);
    setTabOrder(beta_, lambda_);
    setTabOrder(lambda_, compute);
    setTabOrder(compute, model_);
    setTabOrder(model_, graph_);

    analysis_.decimalSeparator = separator_;
    analysis_.options.decimalSeparator = separator_;
    followStudy([this] { return computed(); });
}

void ProfileWindow::wholeStudyChanged(const stats::SeriesStudy &study)
{
    if (study == study_)
        return;
    study_ = study;
    followStudy([this] { return computed(); });
}

bool ProfileWindow::recompute()
{
    stats::ProfileOptions options = analysis_.options.profile;
    for (const auto &[edit, parse, value] :
         {std::tuple{beta_, &stats::ParseProfileBeta, &options.beta},
          std::tuple{lambda_, &stats::ParseProfileLambda, &options.lambda}}) {
        try {
            *value = parse(edit->text().trimmed().toStdString());
        } catch (const stats::CommandError &e) {
            dialogs_.message(this, QString::fromUtf8(e.what()));
            edit->setFocus();
            edit->selectAll();
            return false;
        }
    }
    analysis_.options.profile.beta = options.beta;
    analysis_.options.profile.lambda = options.lambda;
    followStudy([this] { return computed(); });
    return true;
}

std::string ProfileWindow::computed()
{
    // Only the whole study is read: the series shown in the editor plays no part.
    stats::StudyAnalysis analysis = stats::WholeStudyAnalysis(study_, analysis_.options);
    const stats::CommandOutcome outcome = stats::ProfileOutcome(analysis);
    if (outcome.refused())
        return outcome.refusalMessage();
    analysis_ = std::move(analysis);
    const int scrolled = text_->verticalScrollBar()->value();
    windows::SetLines(text_, outcome.lines);
    text_->verticalScrollBar()->setValue(scrolled);
    fillModels();
    return {};
}

// The models computed, the chosen one first in the list's order as the
// profile has them; the one shown stays where it still exists.
void ProfileWindow::fillModels()
{
    const stats::Computed<stats::ProfileResult> &result = analysis_.profile();
    const auto &profile = result.value ? result.value->profile : std::nullopt;
    model_->clear();
    graph_->setEnabled(profile.has_value());
    model_->setEnabled(profile.has_value());
    if (!profile)
        return;
    for (std::size_t m = 0; m < profile->models.size(); ++m) {
        const stats::ModelProfile &model = profile->models[m];
        QString name = QString::fromStdString(stats::ProfileModelName(model.model, model.weight));
        if (profile->chosen == m)
            name += QStringLiteral(" (elegido)");
        model_->addItem(name);
    }
    std::size_t shown = analysis_.options.profile.shown.value_or(profile->chosen.value_or(0));
    if (shown >= profile->models.size())
        shown = profile->chosen.value_or(0);
    analysis_.options.profile.shown = shown;
    model_->setCurrentIndex(static_cast<int>(shown));
}
