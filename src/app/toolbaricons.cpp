#include "app/toolbaricons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 32;

void page(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 7, r.top());
    path.lineTo(r.right(), r.top() + 7);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 7, r.top()), QPointF(r.right() - 7, r.top() + 7));
    p.drawLine(QPointF(r.right() - 7, r.top() + 7), QPointF(r.right(), r.top() + 7));
}

void window(QPainter &p, const QRectF &r, const QColor &title)
{
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, 5), title);
}

void draw(QPainter &p, ToolIcon kind)
{
    const QColor navy(0, 51, 153), green(0, 128, 64), red(190, 30, 30);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    switch (kind) {
    case ToolIcon::New:
        page(p, QRectF(7, 3, 18, 26));
        p.setPen(QPen(green, 3));
        p.drawLine(QPointF(21, 17), QPointF(21, 27));
        p.drawLine(QPointF(16, 22), QPointF(26, 22));
        break;
    case ToolIcon::Open: {
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(3, 9, 24, 18));
        p.setBrush(QColor(250, 220, 120));
        QPolygonF flap({QPointF(3, 27), QPointF(9, 14), QPointF(30, 14), QPointF(27, 27)});
        p.drawPolygon(flap);
        break;
    }
    case ToolIcon::Save:
        p.setBrush(navy);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 4, 14, 9));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(9, 18, 14, 10));
        break;
    case ToolIcon::Print:
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(150, 150, 150));
        p.drawRoundedRect(QRectF(3, 12, 26, 11), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 19, 16, 10));
        p.setPen(QPen(navy, 1));
        p.drawLine(QPointF(11, 23), QPointF(21, 23));
        p.drawLine(QPointF(11, 26), QPointF(19, 26));
        break;
    case ToolIcon::Close:
        window(p, QRectF(4, 5, 24, 22), navy);
        p.setPen(QPen(red, 3));
        p.drawLine(QPointF(11, 14), QPointF(21, 24));
        p.drawLine(QPointF(21, 14), QPointF(11, 24));
        break;
    case ToolIcon::Exit: {
        p.setBrush(QColor(150, 100, 60));
        p.drawRect(QRectF(5, 3, 14, 26));
        p.setPen(QPen(red, 3));
        p.drawLine(QPointF(14, 16), QPointF(29, 16));
        QPolygonF head({QPointF(29, 16), QPointF(23, 11), QPointF(23, 21)});
        p.setBrush(red);
        p.setPen(Qt::NoPen);
        p.drawPolygon(head);
        break;
    }
    case ToolIcon::Tile:
        window(p, QRectF(3, 4, 12, 24), navy);
        window(p, QRectF(17, 4, 12, 24), navy);
        break;
    case ToolIcon::Cascade:
        window(p, QRectF(3, 3, 18, 15), navy);
        window(p, QRectF(7, 8, 18, 15), navy);
        window(p, QRectF(11, 13, 18, 15), navy);
        break;
    case ToolIcon::Help: {
        p.setBrush(navy);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        QFont f("Arial");
        f.setPixelSize(21);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, "?");
        break;
    }
    }
}

} // namespace

QIcon toolIcon(ToolIcon kind)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, kind);
    p.end();
    return QIcon(pixmap);
}
