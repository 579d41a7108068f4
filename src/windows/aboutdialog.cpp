#include "windows/aboutdialog.h"

#include "windows/objectnames.h"
#include "render/productpicture.h"
#include "widgets/helpcontext.h"
#include "widgets/windowplacement.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel *textLabel(const QString &text, const char *name, bool bold, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 1.3);
        label->setFont(font);
    }
    return label;
}

} // namespace

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QString(objectnames::AboutBox));
    widgets::SetHelpContext(this, 33);
    setWindowTitle(QStringLiteral("Acerca de"));

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    auto *icon = new QLabel(panel);
    icon->setObjectName(QStringLiteral("ProgramIcon"));
    icon->setPixmap(render::ProductPicture(QSize(112, 84)));
    icon->setFrameStyle(QFrame::Box | QFrame::Plain);

    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(textLabel(QStringLiteral("TOLVEK v. w 3.1"), "ProductName", true, panel), 0, 1);
    grid->addWidget(textLabel(QStringLiteral("Ostrevia"), "Copyright", false, panel), 1, 1);
    grid->addWidget(textLabel(QStringLiteral("Control de Calidad"), "Comments", false, panel), 2, 1);
    grid->setColumnStretch(1, 1);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(panel);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutDialog::showEvent(QShowEvent *event)
{
    widgets::CentreOnScreen(this);
    QDialog::showEvent(event);
}
