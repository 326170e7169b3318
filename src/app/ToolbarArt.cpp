#include "app/ToolbarArt.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>

// Pictures are drawn on a 24-unit grid. Outlines are one unit wide and run
// along half-unit coordinates so that they cover whole pixels at 1x and 2x.
namespace toolbarart {
namespace {

const QColor PAPER(0xFF, 0xFF, 0xFF);
const QColor PAPER_SHADE(0xE3, 0xE7, 0xED);
const QColor OUTLINE(0x5A, 0x62, 0x70);
const QColor TEXT_LINE(0xA9, 0xB1, 0xBD);
const QColor FOLDER(0xF4, 0xC5, 0x42);
const QColor FOLDER_BACK(0xD9, 0xA5, 0x20);
const QColor FOLDER_LINE(0x9A, 0x71, 0x12);
const QColor GREEN(0x3F, 0xA3, 0x4D);
const QColor GREEN_LINE(0x25, 0x6E, 0x30);
const QColor RED(0xD6, 0x45, 0x41);
const QColor RED_LINE(0x96, 0x27, 0x24);
const QColor BLUE(0x2F, 0x80, 0xED);
const QColor BLUE_LINE(0x1B, 0x58, 0xB0);
const QColor BLUE_PALE(0xD9, 0xE8, 0xFC);
const QColor METAL(0xC9, 0xD0, 0xD9);
const QColor METAL_DARK(0x8A, 0x93, 0xA0);
const QColor BOARD(0xC0, 0x8A, 0x4E);
const QColor BOARD_LINE(0x7E, 0x55, 0x2A);

QPen pen(const QColor& color, qreal width = 1.0)
{
    return QPen(color, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

void outlined(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& line)
{
    p.setBrush(fill);
    p.setPen(pen(line));
    p.drawPath(path);
}

void outlinedRect(QPainter& p, const QRectF& r, const QBrush& fill, const QColor& line)
{
    QPainterPath path;
    path.addRect(r);
    outlined(p, path, fill, line);
}

// Whole-pixel bars: crisp at any integer ratio without an outline.
void bar(QPainter& p, qreal x, qreal y, qreal w, qreal h, const QColor& color)
{
    p.fillRect(QRectF(x, y, w, h), color);
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    path.closeSubpath();
    return path;
}

// A page with its top right corner folded over.
void page(QPainter& p, const QRectF& r, qreal fold)
{
    const qreal l = r.left(), t = r.top(), rt = r.right(), b = r.bottom();
    outlined(p, polygon({{l, t}, {rt - fold, t}, {rt, t + fold}, {rt, b}, {l, b}}), PAPER, OUTLINE);
    p.setPen(QPen(OUTLINE, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(PAPER_SHADE);
    p.drawPath(polygon({{rt - fold, t}, {rt - fold, t + fold}, {rt, t + fold}}));
}

void plus(QPainter& p, qreal cx, qreal cy)
{
    // A white halo keeps the plus apart from whatever lies beneath it.
    QPainterPath path = polygon({{cx - 1.5, cy - 4.5}, {cx + 1.5, cy - 4.5}, {cx + 1.5, cy - 1.5},
                                 {cx + 4.5, cy - 1.5}, {cx + 4.5, cy + 1.5}, {cx + 1.5, cy + 1.5},
                                 {cx + 1.5, cy + 4.5}, {cx - 1.5, cy + 4.5}, {cx - 1.5, cy + 1.5},
                                 {cx - 4.5, cy + 1.5}, {cx - 4.5, cy - 1.5}, {cx - 1.5, cy - 1.5}});
    p.setPen(QPen(QColor(255, 255, 255, 230), 3.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    outlined(p, path, GREEN, GREEN_LINE);
}

void drawNew(QPainter& p)
{
    page(p, QRectF(4.5, 2.5, 15, 19), 5);
}

void drawOpen(QPainter& p)
{
    outlined(p,
             polygon({{2.5, 4.5}, {8.5, 4.5}, {10.5, 6.5}, {18.5, 6.5}, {18.5, 19.5}, {2.5, 19.5}}),
             FOLDER_BACK, FOLDER_LINE);
    outlinedRect(p, QRectF(5.5, 8.5, 11, 8), PAPER, OUTLINE);
    bar(p, 7, 10, 7, 1, TEXT_LINE);
    QLinearGradient front(0, 10, 0, 20);
    front.setColorAt(0, FOLDER.lighter(108));
    front.setColorAt(1, FOLDER);
    outlined(p, polygon({{6.5, 11.5}, {22.5, 11.5}, {18.5, 19.5}, {2.5, 19.5}}), front,
             FOLDER_LINE);
}

void drawSave(QPainter& p)
{
    outlined(p, polygon({{3.5, 3.5}, {18.5, 3.5}, {20.5, 5.5}, {20.5, 20.5}, {3.5, 20.5}}), BLUE,
             BLUE_LINE);
    outlinedRect(p, QRectF(7.5, 3.5, 9, 6), METAL, BLUE_LINE);
    bar(p, 13, 5, 2, 3, OUTLINE);
    outlinedRect(p, QRectF(6.5, 12.5, 11, 8), PAPER, BLUE_LINE);
    bar(p, 8, 15, 8, 1, TEXT_LINE);
    bar(p, 8, 17, 8, 1, TEXT_LINE);
}

void drawCut(QPainter& p)
{
    auto blade = [&](bool mirrored) {
        const qreal s = mirrored ? -1 : 1;
        auto at = [&](qreal x, qreal y) { return QPointF(12 + s * (x - 12), y); };
        QPainterPath path;
        path.moveTo(at(8.0, 14.4));
        path.lineTo(at(15.4, 1.8));
        path.quadTo(at(16.8, 2.4), at(16.6, 4.2));
        path.lineTo(at(10.8, 15.8));
        path.closeSubpath();
        outlined(p, path, METAL, OUTLINE);
    };
    auto ring = [&](qreal cx) {
        QPainterPath path;
        path.addEllipse(QPointF(cx, 18.0), 4.0, 4.0);
        path.addEllipse(QPointF(cx, 18.0), 2.0, 2.0);
        outlined(p, path, RED, RED_LINE);
    };
    blade(true);
    ring(16.5);
    blade(false);
    ring(7.5);
    p.setPen(pen(OUTLINE));
    p.setBrush(PAPER);
    p.drawEllipse(QPointF(12, 10.2), 1.3, 1.3);
}

void drawCopy(QPainter& p)
{
    page(p, QRectF(3.5, 2.5, 11, 14), 4);
    bar(p, 6, 7, 5, 1, TEXT_LINE);
    bar(p, 6, 9, 6, 1, TEXT_LINE);
    page(p, QRectF(9.5, 7.5, 11, 14), 4);
    bar(p, 12, 12, 5, 1, TEXT_LINE);
    bar(p, 12, 14, 6, 1, TEXT_LINE);
    bar(p, 12, 16, 6, 1, TEXT_LINE);
    bar(p, 12, 18, 4, 1, TEXT_LINE);
}

void drawPaste(QPainter& p)
{
    QPainterPath board;
    board.addRoundedRect(QRectF(3.5, 4.5, 14, 17), 1.5, 1.5);
    outlined(p, board, BOARD, BOARD_LINE);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(7.5, 2.5, 6, 4), 1, 1);
    outlined(p, clip, METAL, OUTLINE);
    bar(p, 9, 4, 3, 1, METAL_DARK);
    page(p, QRectF(10.5, 9.5, 10, 12), 3);
    bar(p, 13, 13, 4, 1, TEXT_LINE);
    bar(p, 13, 15, 5, 1, TEXT_LINE);
    bar(p, 13, 17, 5, 1, TEXT_LINE);
}

void closedFolder(QPainter& p)
{
    outlined(p,
             polygon({{2.5, 4.5}, {8.5, 4.5}, {10.5, 6.5}, {20.5, 6.5}, {20.5, 19.5}, {2.5, 19.5}}),
             FOLDER_BACK, FOLDER_LINE);
    QLinearGradient front(0, 8, 0, 20);
    front.setColorAt(0, FOLDER.lighter(108));
    front.setColorAt(1, FOLDER);
    outlinedRect(p, QRectF(2.5, 8.5, 18, 11), front, FOLDER_LINE);
}

void drawNewFolder(QPainter& p)
{
    closedFolder(p);
    plus(p, 18, 18);
}

void pencil(QPainter& p, QPointF tip, qreal angle)
{
    p.save();
    p.translate(tip);
    p.rotate(angle);
    p.setPen(QPen(QColor(255, 255, 255, 230), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(polygon({{0, 0}, {4.5, -2}, {16, -2}, {16, 2}, {4.5, 2}}));
    const QColor wood(0xF3, 0xD9, 0xA8);
    const QColor eraser(0xEE, 0x8E, 0x9A);
    QPen edge(OUTLINE, 0.9, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin);
    p.setPen(edge);
    p.setBrush(wood);
    p.drawPath(polygon({{0, 0}, {4.5, -2}, {4.5, 2}}));
    p.setPen(Qt::NoPen);
    p.setBrush(OUTLINE);
    p.drawPath(polygon({{0, 0}, {1.6, -0.75}, {1.6, 0.75}}));
    p.setPen(edge);
    p.setBrush(FOLDER);
    p.drawRect(QRectF(4.5, -2, 8, 4));
    p.setBrush(METAL);
    p.drawRect(QRectF(12.5, -2, 1.5, 4));
    p.setBrush(eraser);
    p.drawRect(QRectF(14, -2, 2, 4));
    p.restore();
}

void drawNewNote(QPainter& p)
{
    page(p, QRectF(3.5, 2.5, 13, 18), 4);
    bar(p, 6, 7, 6, 1, TEXT_LINE);
    bar(p, 6, 9, 8, 1, TEXT_LINE);
    bar(p, 6, 11, 8, 1, TEXT_LINE);
    bar(p, 6, 13, 5, 1, TEXT_LINE);
    pencil(p, QPointF(9.2, 21.0), -45);
}

void drawDelete(QPainter& p)
{
    QPainterPath arm;
    arm.addRoundedRect(QRectF(-9.5, -2.3, 19, 4.6), 1.2, 1.2);
    QTransform a, b;
    a.translate(12, 12);
    a.rotate(45);
    b.translate(12, 12);
    b.rotate(-45);
    QPainterPath cross = a.map(arm).united(b.map(arm));
    p.setPen(QPen(RED_LINE, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    QLinearGradient fill(0, 3, 0, 21);
    fill.setColorAt(0, RED.lighter(112));
    fill.setColorAt(1, RED);
    p.setBrush(fill);
    p.drawPath(cross.simplified());
}

void drawPreviewPane(QPainter& p)
{
    outlinedRect(p, QRectF(2.5, 3.5, 19, 17), PAPER, OUTLINE);
    bar(p, 3, 4, 18, 3, BLUE);
    bar(p, 3, 7, 18, 1, OUTLINE);
    outlinedRect(p, QRectF(12.5, 7.5, 9, 13), BLUE_PALE, OUTLINE);
    bar(p, 13, 8, 8, 12, BLUE_PALE);
    bar(p, 13, 8, 8, 1, QColor(0xB4, 0xD0, 0xF7));
    for (int y : {10, 13, 16}) {
        bar(p, 4, y, 1, 1, OUTLINE);
        bar(p, 6, y, 5, 1, TEXT_LINE);
    }
    bar(p, 14, 11, 6, 1, BLUE);
    bar(p, 14, 13, 6, 1, QColor(0x7F, 0xAE, 0xF2));
    bar(p, 14, 15, 6, 1, QColor(0x7F, 0xAE, 0xF2));
    bar(p, 14, 17, 4, 1, QColor(0x7F, 0xAE, 0xF2));
}

void drawFind(QPainter& p)
{
    p.setPen(QPen(OUTLINE, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath handle;
    handle.addRoundedRect(QRectF(-1.9, 0, 3.8, 9.2), 1.6, 1.6);
    QTransform t;
    t.translate(14.8, 14.8);
    t.rotate(-45);
    p.setBrush(QColor(0x3E, 0x44, 0x50));
    p.drawPath(t.map(handle));

    const QPointF c(9.5, 9.5);
    QRadialGradient glass(c - QPointF(2, 2), 7.5);
    glass.setColorAt(0, QColor(0xF4, 0xF9, 0xFF));
    glass.setColorAt(1, BLUE_PALE);
    QPainterPath rim;
    rim.addEllipse(c, 7.5, 7.5);
    rim.addEllipse(c, 5.5, 5.5);
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(c, 5.5, 5.5);
    outlined(p, rim, METAL_DARK, OUTLINE);
    p.setPen(QPen(PAPER, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 3.5, c.y() - 3.5, 7, 7), 100 * 16, 70 * 16);
}

void drawAbout(QPainter& p)
{
    QRadialGradient fill(QPointF(9, 7), 14);
    fill.setColorAt(0, BLUE.lighter(118));
    fill.setColorAt(1, BLUE);
    p.setPen(pen(BLUE_LINE));
    p.setBrush(fill);
    p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
    p.setPen(Qt::NoPen);
    p.setBrush(PAPER);
    p.drawEllipse(QPointF(12, 6.8), 1.7, 1.7);
    p.fillRect(QRectF(10, 10, 3, 1), PAPER);
    p.fillRect(QRectF(11, 10, 2, 7), PAPER);
    p.fillRect(QRectF(10, 16, 4, 1.5), PAPER);
}

using DrawFunction = void (*)(QPainter&);
constexpr std::array<DrawFunction, PICTURE_COUNT> DRAW = {
    drawNew,       drawOpen,    drawSave,   drawCut,         drawCopy, drawPaste,
    drawNewFolder, drawNewNote, drawDelete, drawPreviewPane, drawFind, drawAbout,
};

QImage render(int index, qreal ratio)
{
    if (!(ratio > 0))
        ratio = 1.0;
    const int side = std::max(1, int(std::lround(PICTURE_SIZE * ratio)));
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    if (index >= 0 && index < PICTURE_COUNT) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side / (PICTURE_SIZE * ratio), side / (PICTURE_SIZE * ratio));
        DRAW[size_t(index)](p);
    }
    return image;
}

// Maps each pixel onto a band of light greys. Brightness is the mean of
// luminance and value (the brightest channel): luminance alone turns coloured
// fills as dark as their outlines, value alone makes them as light as white.
void greyOut(QImage& image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = line[x];
            const int value = std::max({qRed(c), qGreen(c), qBlue(c)});
            const int lum = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
            const int grey = 110 + (value + lum) * 65 / 255;
            line[x] = qRgba(grey, grey, grey, qAlpha(c) * 215 / 255);
        }
    }
}

// The program icon on a 100-unit grid. Small sizes get a bigger padlock and
// no veins, so that both still read at 16 pixels.
QImage renderProgramIcon(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal unit = side / 100.0;
    p.scale(unit, unit);
    const bool small = side <= 24;
    // Outlines in device pixels, then turned into grid units.
    const qreal line = (side >= 128 ? 1.5 : small ? 1.0 : 1.2) / unit;

    const QColor leafLine(0x1F, 0x62, 0x2A);
    QPainterPath leaf;
    leaf.moveTo(14, 84);
    leaf.cubicTo(4, 50, 40, 16, 92, 6);
    leaf.cubicTo(88, 50, 64, 92, 14, 84);
    leaf.closeSubpath();

    p.setPen(QPen(leafLine, std::max(line * 2.5, 4.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(16, 82), QPointF(5, 95));

    QLinearGradient leafFill(20, 20, 80, 80);
    leafFill.setColorAt(0, QColor(0x7C, 0xCB, 0x6E));
    leafFill.setColorAt(0.55, GREEN);
    leafFill.setColorAt(1, QColor(0x2C, 0x83, 0x3A));
    p.setPen(QPen(leafLine, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(leafFill);
    p.drawPath(leaf);

    if (!small) {
        const QColor vein(0xD8, 0xF0, 0xCF, 210);
        QPainterPath rib;
        rib.moveTo(16, 82);
        rib.cubicTo(40, 60, 62, 36, 86, 12);
        p.setPen(QPen(vein, std::max(line * 1.2, 2.2), Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(rib);
        p.setPen(QPen(vein, std::max(line, 1.5), Qt::SolidLine, Qt::RoundCap));
        for (auto [x0, y0, x1, y1] : {std::array<qreal, 4>{36, 62, 28, 40},
                                      std::array<qreal, 4>{48, 49, 44, 28},
                                      std::array<qreal, 4>{60, 37, 60, 20},
                                      std::array<qreal, 4>{36, 62, 56, 60},
                                      std::array<qreal, 4>{48, 49, 70, 45},
                                      std::array<qreal, 4>{60, 37, 78, 30}}) {
            QPainterPath v;
            v.moveTo(x0, y0);
            v.quadTo((x0 + x1) / 2 + (y1 - y0) * 0.1, (y0 + y1) / 2 - (x1 - x0) * 0.1, x1, y1);
            p.drawPath(v);
        }
    }

    // The padlock sits on the leaf's lower right; a light halo separates it.
    const qreal s = small ? 1.25 : 1.0;
    p.translate(76, 74);
    p.scale(s, s);
    const QRectF body(-18, -8, 36, 28);
    QPainterPath shackle;
    shackle.moveTo(-11, -6);
    shackle.lineTo(-11, -16);
    shackle.arcTo(QRectF(-11, -27, 22, 22), 180, -180);
    shackle.lineTo(11, -6);

    const QColor halo(255, 255, 255, 235);
    const QColor shackleLine(0x5E, 0x66, 0x72);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(halo, 7 + 2 * line, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(shackle);
    p.setPen(QPen(halo, 3 * line + 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawRoundedRect(body, 4, 4);

    p.setPen(QPen(shackleLine, 7 + line, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(shackle);
    p.setPen(QPen(QColor(0xC9, 0xD0, 0xD9), 7 - line, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.drawPath(shackle);

    QLinearGradient gold(0, body.top(), 0, body.bottom());
    gold.setColorAt(0, QColor(0xFF, 0xD8, 0x5C));
    gold.setColorAt(0.5, QColor(0xF2, 0xB6, 0x32));
    gold.setColorAt(1, QColor(0xD4, 0x92, 0x16));
    p.setPen(QPen(QColor(0x8A, 0x5E, 0x0A), line, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(gold);
    p.drawRoundedRect(body, 4, 4);

    const QColor keyhole(0x5A, 0x3D, 0x06);
    p.setPen(Qt::NoPen);
    p.setBrush(keyhole);
    p.drawEllipse(QPointF(0, 3), 4, 4);
    p.drawPath(polygon({{-2.2, 4}, {2.2, 4}, {3, 13}, {-3, 13}}));
    return image;
}

} // namespace

QPixmap picture(int index, qreal devicePixelRatio)
{
    return QPixmap::fromImage(render(index, devicePixelRatio));
}

QPixmap disabledPicture(int index, qreal devicePixelRatio)
{
    QImage image = render(index, devicePixelRatio);
    greyOut(image);
    return QPixmap::fromImage(image);
}

QIcon icon(int index)
{
    static std::array<QIcon, PICTURE_COUNT> cache;
    if (index < 0 || index >= PICTURE_COUNT)
        return QIcon();
    QIcon& entry = cache[size_t(index)];
    if (entry.isNull()) {
        for (qreal ratio : {1.0, 2.0}) {
            entry.addPixmap(picture(index, ratio), QIcon::Normal);
            entry.addPixmap(disabledPicture(index, ratio), QIcon::Disabled);
        }
    }
    return entry;
}

QIcon programIcon()
{
    static QIcon cached;
    if (cached.isNull()) {
        for (int side : {16, 24, 32, 48, 64, 128, 256})
            cached.addPixmap(QPixmap::fromImage(renderProgramIcon(side)));
    }
    return cached;
}

} // namespace toolbarart
