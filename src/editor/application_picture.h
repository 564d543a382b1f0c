#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace zelmora {

// The program's window icon at size by size pixels: a green leaf on a small
// popup window. Drawn in a box of 32 units whatever the size.
inline QImage paintApplicationPicture(int size)
{
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);

    // The popup window.
    p.setPen(QPen(QColor(0x30, 0x50, 0x80), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 3.5, 24, 18));
    p.setBrush(QColor(0x30, 0x60, 0xb0));
    p.drawRect(QRectF(1.5, 3.5, 24, 4));

    // The leaf over its lower right corner.
    QPainterPath leaf;
    leaf.moveTo(10, 30);
    leaf.cubicTo(8, 18, 18, 10, 31, 9);
    leaf.cubicTo(30, 22, 22, 30, 10, 30);
    p.setPen(QPen(QColor(0x1f, 0x6b, 0x1f), 1));
    p.setBrush(QColor(0x4c, 0xb0, 0x3c));
    p.drawPath(leaf);
    QPainterPath vein;
    vein.moveTo(8, 32);
    vein.cubicTo(14, 24, 20, 18, 28, 12);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x1f, 0x6b, 0x1f), 1.3));
    p.drawPath(vein);
    return picture;
}

} // namespace zelmora
