#include "mainwindow/ButtonGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

// A closed outline through the points.
QPainterPath outline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Draws the glyph on a 24 x 24 grid; the painter is scaled for larger sizes.
void drawGlyph(QPainter &p, ButtonGlyph glyph)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case ButtonGlyph::Transfer: {
        p.setPen(QPen(QColor(0x1B, 0x5E, 0x20), 1));
        p.setBrush(QColor(0x2E, 0x9D, 0x3A));
        p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(
            outline({{9.5, 5.5}, {14.5, 5.5}, {14.5, 11.5}, {18.5, 11.5}, {12, 18.5}, {5.5, 11.5}, {9.5, 11.5}}));
        break;
    }
    case ButtonGlyph::Help: {
        QPainterPath bubble;
        bubble.addEllipse(QRectF(2.5, 1.5, 19, 17));
        p.setPen(QPen(QColor(0x1A, 0x3C, 0x8C), 1.2));
        p.setBrush(Qt::white);
        p.drawPath(bubble.united(outline({{7, 15}, {5, 22.5}, {12, 17}})));
        // The question mark: a hook and a dot.
        QPainterPath hook;
        hook.moveTo(9, 7.5);
        hook.cubicTo(9, 4.5, 15, 4.5, 15, 7.5);
        hook.cubicTo(15, 9.5, 12, 9.8, 12, 12.2);
        p.setPen(QPen(QColor(0x1A, 0x3C, 0x8C), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1A, 0x3C, 0x8C));
        p.drawEllipse(QPointF(12, 15.3), 1.3, 1.3);
        break;
    }
    case ButtonGlyph::Brush: {
        p.setPen(QPen(QColor(0x6D, 0x4C, 0x1F), 1));
        p.setBrush(QColor(0xB0, 0x7A, 0x3A));
        p.drawRect(QRectF(10.5, 1.5, 3, 10)); // the handle
        p.setBrush(QColor(0x9E, 0x9E, 0x9E));
        p.drawRect(QRectF(8.5, 11.5, 7, 3)); // the ferrule
        p.setPen(QPen(QColor(0xB2, 0x8A, 0x00), 1));
        p.setBrush(QColor(0xF2, 0xC2, 0x1B));
        p.drawPath(outline({{8.5, 14.5}, {15.5, 14.5}, {17.5, 22.5}, {6.5, 22.5}})); // the bristles
        break;
    }
    case ButtonGlyph::Bin: {
        const QColor edge(0x4A, 0x4A, 0x4A);
        p.setPen(QPen(edge, 1));
        p.setBrush(QColor(0xB8, 0xB8, 0xB8));
        p.drawRect(QRectF(4.5, 4.5, 15, 3)); // the lid
        p.drawRect(QRectF(9.5, 2.5, 5, 2));  // its grip
        p.setBrush(QColor(0xD6, 0xD6, 0xD6));
        p.drawPath(outline({{6, 8.5}, {18, 8.5}, {16.8, 22.5}, {7.2, 22.5}})); // the body
        for (qreal x : {9.5, 12.0, 14.5})
            p.drawLine(QPointF(x, 11), QPointF(x, 20));
        break;
    }
    case ButtonGlyph::Batch: {
        // Three slips, the front one with its lines.
        p.setPen(QPen(QColor(0x1A, 0x3C, 0x8C), 1));
        for (int k = 2; k >= 0; --k) {
            p.setBrush(k == 0 ? QColor(Qt::white) : QColor(0xC8, 0xD6, 0xF0));
            p.drawRect(QRectF(2.5 + 3 * k, 9.5 - 3 * k, 14, 11));
        }
        for (qreal y : {12.5, 15.0, 17.5})
            p.drawLine(QPointF(4.5, y), QPointF(14.5, y));
        break;
    }
    }
}

QPixmap glyphPixmap(ButtonGlyph glyph, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.scale(size / 24.0, size / 24.0);
    drawGlyph(p, glyph);
    return pixmap;
}

} // namespace

QIcon ButtonGlyphIcon(ButtonGlyph glyph)
{
    QIcon icon;
    for (int size : {24, 48})
        icon.addPixmap(glyphPixmap(glyph, size));
    return icon;
}
