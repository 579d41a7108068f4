#include "windows/splashwindow.h"

#include "windows/objectnames.h"
#include "render/productpicture.h"
#include "widgets/windowplacement.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace {

QLabel *centredLabel(const QString &text, const char *name, int pointSize, bool bold, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"), pointSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

SplashWindow::SplashWindow(QWidget *parent, int intervalMs)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QString(objectnames::Fshow));
    setFixedSize(505, 416);

    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(3);
    panel->setAutoFillBackground(true);

    auto *product = centredLabel(QStringLiteral("TOLVEK v. w 3.1"), "ProductName", 24, true, panel);

    auto *frame = new QFrame(panel);
    frame->setObjectName(QStringLiteral("PictureFrame"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame->setLineWidth(2);
    auto *picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(render::ProductPicture(QSize(340, 230)));
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(2, 2, 2, 2);
    frameLayout->addWidget(picture);

    auto *line = centredLabel(QStringLiteral("Control de Calidad"), "Comments", 18, true, panel);

    auto *panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(16, 14, 16, 16);
    panelLayout->setSpacing(10);
    panelLayout->addWidget(product);
    panelLayout->addWidget(frame, 0, Qt::AlignHCenter);
    panelLayout->addWidget(line);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);

    timer_.setInterval(intervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::timerFired);
}

void SplashWindow::mainWindowActivated()
{
    if (!timer_.isActive())
        timer_.start();
}

void SplashWindow::timerFired()
{
    timer_.stop();
    hide();
}

void SplashWindow::showEvent(QShowEvent *event)
{
    widgets::CentreOnScreen(this);
    QWidget::showEvent(event);
}
