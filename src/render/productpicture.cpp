#include "render/productpicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Replicates of three levels, in unit coordinates (x across, y up).
constexpr QPointF kPoints[] = {{0.20, 0.21}, {0.20, 0.25}, {0.20, 0.17}, {0.50, 0.52},
                               {0.50, 0.47}, {0.50, 0.50}, {0.80, 0.78}, {0.80, 0.83}, {0.80, 0.81}};

} // namespace

namespace render {

QPixmap ProductPicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF all(QPointF(0, 0), QSizeF(size));
    QLinearGradient sky(all.topLeft(), all.bottomLeft());
    sky.setColorAt(0, QColor(250, 252, 255));
    sky.setColorAt(1, QColor(214, 228, 244));
    p.fillRect(all, sky);

    const qreal margin = qMin(size.width(), size.height()) * 0.12;
    const QRectF plot = all.adjusted(margin, margin * 0.7, -margin * 0.7, -margin);
    auto at = [&plot](qreal ux, qreal uy) {
        return QPointF(plot.left() + ux * plot.width(), plot.bottom() - uy * plot.height());
    };
    const qreal unit = qMax<qreal>(1.0, plot.height() / 120.0);

    // Light grid, then the axes with their arrows.
    p.setPen(QPen(QColor(180, 196, 216), unit * 0.6, Qt::DotLine));
    for (int i = 1; i <= 4; ++i) {
        p.drawLine(at(i * 0.22, 0), at(i * 0.22, 0.95));
        p.drawLine(at(0, i * 0.22), at(0.95, i * 0.22));
    }
    const QColor ink(30, 42, 64);
    p.setPen(QPen(ink, unit * 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(0, 0), at(1, 0));
    p.drawLine(at(0, 0), at(0, 1));
    const qreal head = unit * 5;
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({at(1, 0) + QPointF(head, 0), at(1, 0) + QPointF(0, -head * 0.6),
                             at(1, 0) + QPointF(0, head * 0.6)}));
    p.drawPolygon(QPolygonF({at(0, 1) + QPointF(0, -head), at(0, 1) + QPointF(-head * 0.6, 0),
                             at(0, 1) + QPointF(head * 0.6, 0)}));
    for (const qreal level : {0.20, 0.50, 0.80})
        p.drawLine(at(level, 0), at(level, 0) + QPointF(0, unit * 4));

    // The fitted line, and the replicates as hollow triangles.
    p.setPen(QPen(QColor(20, 90, 170), unit * 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(at(0.06, 0.07), at(0.94, 0.93));
    p.setPen(QPen(QColor(190, 40, 40), unit * 1.3));
    p.setBrush(QColor(255, 255, 255, 200));
    const qreal r = unit * 4.5;
    for (const QPointF &point : kPoints) {
        const QPointF c = at(point.x(), point.y());
        p.drawPolygon(QPolygonF({c + QPointF(0, -r), c + QPointF(-r, r * 0.7), c + QPointF(r, r * 0.7)}));
    }
    return picture;
}

} // namespace render
