#include "view/TreeIcons.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <array>

namespace treeicons {

namespace {

// Every picture is drawn on a 16 × 16 grid and scaled, so the larger
// renderings are the same drawing, not blown-up pixels.
constexpr qreal GRID = 16.0;

QPen outline(const QColor& colour, qreal width = 1.0)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void drawHouse(QPainter& p)
{
    const QColor dark(0x5a, 0x3b, 0x23);

    p.setPen(outline(dark, 0.9));
    p.setBrush(QColor(0xb8, 0x4a, 0x32));
    p.drawRect(QRectF(10.6, 2.4, 2.2, 4.0));

    QLinearGradient wall(0, 7, 0, 15);
    wall.setColorAt(0, QColor(0xfb, 0xf3, 0xe2));
    wall.setColorAt(1, QColor(0xe6, 0xd3, 0xb3));
    p.setBrush(wall);
    p.drawRect(QRectF(3.0, 7.5, 10.0, 7.0));

    QPolygonF roof;
    roof << QPointF(0.8, 8.4) << QPointF(8.0, 1.4) << QPointF(15.2, 8.4);
    QLinearGradient tiles(0, 1.5, 0, 8.5);
    tiles.setColorAt(0, QColor(0xe0, 0x5b, 0x3c));
    tiles.setColorAt(1, QColor(0xb2, 0x36, 0x22));
    p.setBrush(tiles);
    p.drawPolygon(roof);

    p.setBrush(QColor(0x8a, 0x55, 0x2a));
    p.drawRect(QRectF(5.0, 10.0, 3.0, 4.5));

    p.setPen(outline(QColor(0x3d, 0x6e, 0x9c), 0.8));
    p.setBrush(QColor(0x9f, 0xd3, 0xf5));
    p.drawRect(QRectF(9.5, 9.5, 2.5, 2.5));
}

void drawFolder(QPainter& p)
{
    const QColor edge(0xa0, 0x73, 0x12);
    p.setPen(outline(edge, 0.9));

    QPolygonF back;
    back << QPointF(1.0, 3.0) << QPointF(5.8, 3.0) << QPointF(7.3, 4.6) << QPointF(15.0, 4.6)
         << QPointF(15.0, 13.5) << QPointF(1.0, 13.5);
    p.setBrush(QColor(0xe3, 0xa8, 0x22));
    p.drawPolygon(back);

    QPolygonF front;
    front << QPointF(1.0, 6.5) << QPointF(15.0, 6.5) << QPointF(15.0, 13.5) << QPointF(1.0, 13.5);
    QLinearGradient face(0, 6.5, 0, 13.5);
    face.setColorAt(0, QColor(0xff, 0xe6, 0x8c));
    face.setColorAt(1, QColor(0xf6, 0xc4, 0x3c));
    p.setBrush(face);
    p.drawPolygon(front);
}

// A pencil lying along the x axis, point at the left, centred on the origin.
void drawPencilShape(QPainter& p)
{
    const QColor dark(0x4a, 0x3a, 0x22);
    p.setPen(outline(dark, 0.8));

    p.setBrush(QColor(0xef, 0x8f, 0xa8));
    p.drawRect(QRectF(5.8, -2.0, 2.2, 4.0));
    p.setBrush(QColor(0xb4, 0xb8, 0xbe));
    p.drawRect(QRectF(4.2, -2.0, 1.6, 4.0));

    QLinearGradient body(0, -2, 0, 2);
    body.setColorAt(0, QColor(0xff, 0xd5, 0x4f));
    body.setColorAt(1, QColor(0xe8, 0x9a, 0x12));
    p.setBrush(body);
    p.drawRect(QRectF(-3.8, -2.0, 8.0, 4.0));

    QPolygonF wood;
    wood << QPointF(-3.8, -2.0) << QPointF(-8.0, 0.0) << QPointF(-3.8, 2.0);
    p.setBrush(QColor(0xf3, 0xd9, 0xae));
    p.drawPolygon(wood);

    QPolygonF lead;
    lead << QPointF(-6.3, -0.8) << QPointF(-8.0, 0.0) << QPointF(-6.3, 0.8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x33, 0x33, 0x33));
    p.drawPolygon(lead);
}

void drawPencil(QPainter& p, const QPointF& centre, qreal scale)
{
    p.save();
    p.translate(centre);
    p.rotate(-45.0);
    p.scale(scale, scale);
    drawPencilShape(p);
    p.restore();
}

void drawClock(QPainter& p, const QPointF& centre, qreal radius)
{
    p.setPen(outline(Qt::white, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, radius + 0.6, radius + 0.6);

    p.setPen(outline(QColor(0x1f, 0x4e, 0x8c), 0.9));
    QRadialGradient face(centre, radius);
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(0xdc, 0xea, 0xfa));
    p.setBrush(face);
    p.drawEllipse(centre, radius, radius);

    p.setPen(outline(QColor(0x20, 0x20, 0x20), 0.9));
    p.drawLine(centre, centre + QPointF(0.0, -radius * 0.65));
    p.drawLine(centre, centre + QPointF(radius * 0.5, 0.0));
}

void draw(QPainter& p, int index)
{
    switch (index) {
    case 0:
        drawHouse(p);
        break;
    case 1:
        drawFolder(p);
        break;
    case 2:
        drawPencil(p, QPointF(8.0, 8.0), 1.0);
        break;
    case 3:
        drawPencil(p, QPointF(6.8, 6.8), 0.85);
        drawClock(p, QPointF(11.3, 11.3), 4.0);
        break;
    default:
        break;
    }
}

QPixmap render(int index, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / GRID, size / GRID);
    draw(p, index);
    p.end();
    return QPixmap::fromImage(image);
}

std::array<QIcon, COUNT> makeIcons()
{
    std::array<QIcon, COUNT> icons;
    for (int i = 0; i < COUNT; ++i)
        for (int size : {16, 24, 32, 48})
            icons[i].addPixmap(render(i, size));
    return icons;
}

} // namespace

QIcon icon(int index)
{
    static const std::array<QIcon, COUNT> icons = makeIcons();
    if (index < 0 || index >= COUNT)
        return {};
    return icons[index];
}

} // namespace treeicons
