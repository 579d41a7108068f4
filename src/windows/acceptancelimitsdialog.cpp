#include "windows/acceptancelimitsdialog.h"

#include "cli/acceptancelimits.h"
#include "stats/conversions.h"
#include "stats/numberformat.h"
#include "widgets/helpcontext.h"
#include "widgets/userdialogs.h"
#include "windows/objectnames.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kGroup = QStringLiteral("criteria");
constexpr int kHelpContext = 16;

QSettings userSettings()
{
    return {QSettings::IniFormat, QSettings::UserScope, QCoreApplication::organizationName(),
            QCoreApplication::applicationName()};
}

} // namespace

namespace windows {

stats::AcceptanceLimits AcceptanceLimitsFromSettings(QSettings &settings)
{
    stats::AcceptanceLimits limits;
    settings.beginGroup(kGroup);
    for (const stats::LimitField &f : stats::LimitFields()) {
        bool ok = false;
        const double value = settings.value(QLatin1String(f.key)).toDouble(&ok);
        if (ok && std::isfinite(value) && cli::LimitRule(f, value).empty())
            limits.*f.member = value;
    }
    settings.endGroup();
    return limits;
}

void WriteAcceptanceLimits(QSettings &settings, const stats::AcceptanceLimits &limits)
{
    settings.beginGroup(kGroup);
    for (const stats::LimitField &f : stats::LimitFields())
        settings.setValue(QLatin1String(f.key), limits.*f.member);
    settings.endGroup();
}

stats::AcceptanceLimits StoredAcceptanceLimits()
{
    QSettings settings = userSettings();
    return AcceptanceLimitsFromSettings(settings);
}

bool StoreAcceptanceLimits(const stats::AcceptanceLimits &limits)
{
    QSettings settings = userSettings();
    if (settings.status() != QSettings::NoError || !settings.isWritable())
        return false;
    WriteAcceptanceLimits(settings, limits);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

AcceptanceLimitsNotifier &AcceptanceLimitsNotifier::instance()
{
    static AcceptanceLimitsNotifier notifier;
    return notifier;
}

} // namespace windows

AcceptanceLimitsDialog::AcceptanceLimitsDialog(UserDialogs &dialogs, char decimalSeparator, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs), separator_(decimalSeparator)
{
    setObjectName(QLatin1String(objectnames::LimitesDlg));
    setWindowTitle(QStringLiteral("Límites de aceptación"));
    widgets::SetHelpContext(this, kHelpContext);

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    for (const stats::LimitField &f : stats::LimitFields()) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(f.key));
        edit->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("0.000000000")) + 12);
        edit->setMaxLength(40);
        form->addRow(QString::fromUtf8(f.label) + ':', edit);
        fields_ << edit;
    }
    auto *note = new QLabel(QStringLiteral("Se guardan en la configuración del usuario y se aplican a todas las "
                                           "ventanas de criterios abiertas."),
                            this);
    note->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *defaults = buttons->addButton(QStringLiteral("Valores por omisión"), QDialogButtonBox::ResetRole);
    QPushButton *ok = buttons->addButton(QStringLiteral("Aceptar"), QDialogButtonBox::AcceptRole);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    defaults->setObjectName(QLatin1String(objectnames::btnomision));
    ok->setObjectName(QLatin1String(objectnames::btnaceptar));
    cancel->setObjectName(QLatin1String(objectnames::btncancelar));
    ok->setDefault(true);
    connect(defaults, &QPushButton::clicked, this, [this] { fill(stats::AcceptanceLimits()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &AcceptanceLimitsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AcceptanceLimitsDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    fill(windows::StoredAcceptanceLimits());
}

void AcceptanceLimitsDialog::fill(const stats::AcceptanceLimits &limits)
{
    // Enough digits that a stored value reads back as it was.
    for (qsizetype i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(
            QString::fromStdString(stats::FormatGeneral(limits.*stats::LimitFields()[i].member, 15, separator_)));
}

void AcceptanceLimitsDialog::refuse(qsizetype index, const QString &rule)
{
    dialogs_.message(this, QStringLiteral("El límite «%1» debe ser %2.")
                               .arg(QString::fromUtf8(stats::LimitFields()[index].label), rule));
    fields_[index]->setFocus();
    fields_[index]->selectAll();
}

void AcceptanceLimitsDialog::accept()
{
    stats::AcceptanceLimits limits;
    for (qsizetype i = 0; i < fields_.size(); ++i) {
        const stats::LimitField &f = stats::LimitFields()[i];
        double value = 0;
        // Only finite numbers pass (1e999 does not).
        if (!stats::TryStrToFloat(fields_[i]->text().toStdString(), separator_, value)) {
            refuse(i, QStringLiteral("un número"));
            return;
        }
        if (const std::string rule = cli::LimitRule(f, value); !rule.empty()) {
            refuse(i, QString::fromStdString(rule));
            return;
        }
        limits.*f.member = value;
    }
    if (!windows::StoreAcceptanceLimits(limits)) {
        dialogs_.message(this, QStringLiteral("No se pudieron guardar los límites de aceptación en «%1».")
                                   .arg(userSettings().fileName()));
        return;
    }
    QDialog::accept();
    emit windows::AcceptanceLimitsNotifier::instance().stored();
}
