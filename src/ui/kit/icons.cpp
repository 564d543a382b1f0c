#include "ui/kit/icons.h"

#include "core/model/texts.h"
#include "ui/kit/form_layout.h"

#include <QApplication>
#include <QImage>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>

#include <map>
#include <tuple>

namespace zelmora {

namespace {

// A word's outline centred in a square, so that strokes and fills can be
// drawn around the glyphs themselves.
QPainterPath centred(QPainterPath path, int size)
{
    const QRectF box = path.boundingRect();
    path.translate(QPointF(size / 2.0, size / 2.0) - box.center());
    return path;
}

// The pictures are drawn in a box of kButtonPictureSize units, whatever the
// size in device pixels: at a device pixel ratio of 2 they are painted at
// 44 by 44 pixels, not enlarged from 22 by 22. Each comes in two inks, for a
// light button face and for a dark one (a dark palette or theme), so that it
// stands out from the face either way.
void drawFolder(QPainter &p, bool)
{
    // Light enough to read on a dark face; the dark outline keeps its edge
    // on a light one.
    const QColor outline(0x8a, 0x64, 0x14);

    // The back of the folder with its tab.
    QPainterPath back;
    back.moveTo(1.5, 4.5);
    back.lineTo(8.5, 4.5);
    back.lineTo(10.5, 6.5);
    back.lineTo(19.5, 6.5);
    back.lineTo(19.5, 18.5);
    back.lineTo(1.5, 18.5);
    back.closeSubpath();
    p.setPen(QPen(outline, 1));
    p.setBrush(QColor(0xe0, 0xa8, 0x2e));
    p.drawPath(back);

    // The front flap, tilted open.
    QPainterPath front;
    front.moveTo(4.5, 9.5);
    front.lineTo(21.0, 9.5);
    front.lineTo(18.5, 18.5);
    front.lineTo(1.5, 18.5);
    front.closeSubpath();
    p.setBrush(QColor(0xfb, 0xd8, 0x68));
    p.drawPath(front);
}

// 公開: an arrow going up out of a tray, the set leaving for the site.
void drawPublish(QPainter &p, bool darkFace)
{
    const QColor ink = darkFace ? QColor(0x7c, 0xd9, 0x7c) : QColor(0x1e, 0x7b, 0x34);
    p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tray;
    tray.moveTo(3, 14);
    tray.lineTo(3, 19);
    tray.lineTo(19, 19);
    tray.lineTo(19, 14);
    p.drawPath(tray);
    p.drawLine(QPointF(11, 15), QPointF(11, 4));
    p.setBrush(ink);
    QPainterPath head;
    head.moveTo(11, 2);
    head.lineTo(16, 8);
    head.lineTo(6, 8);
    head.closeSubpath();
    p.drawPath(head);
}

// A word's outline in the bold Gothic face at a size in units of the
// picture's box, so that it can be filled and stroked like any shape.
QPainterPath wordOutline(const QString &word, int pixelSize)
{
    QFont font = gothicFont(9, true);
    font.setPixelSize(pixelSize);
    QPainterPath path;
    path.addText(0, 0, font, word);
    return path;
}

void drawSettings(QPainter &p, bool darkFace)
{
    p.setPen(Qt::NoPen);
    p.setBrush(darkFace ? QColor(0xb4, 0xcc, 0xff) : QColor(0x00, 0x33, 0xcc));
    p.drawPath(centred(wordOutline(Texts::tr("設定"), 10), kButtonPictureSize));
}

void drawHelp(QPainter &p, bool)
{
    // The dark rim keeps the yellow readable on a light button face; on a
    // dark face the yellow itself stands out.
    p.setPen(QPen(QColor(0x7a, 0x5c, 0x00), 1.2));
    p.setBrush(QColor(0xff, 0xd8, 0x00));
    p.drawPath(centred(wordOutline(QStringLiteral("?"), 21), kButtonPictureSize));
}

// The program's window icon at size by size pixels: a green leaf on a small
// popup window. Drawn in a box of 32 units whatever the size.
QImage paintApplicationPicture(int size)
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

using DrawPicture = void (*)(QPainter &, bool darkFace);

// A face darker than its caption: a dark palette, whatever its colours.
bool darkButtonFace()
{
    const QPalette palette = QApplication::palette();
    return palette.color(QPalette::Button).lightnessF()
        < palette.color(QPalette::ButtonText).lightnessF();
}

QPixmap paintPicture(DrawPicture draw, const QSize &pixels, bool darkFace)
{
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels.width() / double(kButtonPictureSize),
            pixels.height() / double(kButtonPictureSize));
    draw(p, darkFace);
    return pixmap;
}

// Paints the picture for every size QIcon asks for. QIcon asks for the size
// in device pixels (the button's icon size times the screen's ratio), so the
// picture is sharp at any scale, fractional ones included. Each size and
// mode is painted once per program: every window then shows the same
// pixels (text outlines can come out a shade different from one font
// engine to the next), and a window built later pays nothing for them.
class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(DrawPicture draw) : m_draw(draw) {}

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        static std::map<std::tuple<quintptr, int, int, int, bool>, QPixmap> painted;
        const bool darkFace = darkButtonFace();
        const auto key = std::make_tuple(reinterpret_cast<quintptr>(m_draw), size.width(),
                                         size.height(), int(mode), darkFace);
        if (const auto found = painted.find(key); found != painted.end())
            return found->second;
        QPixmap pixmap = paintPicture(m_draw, size, darkFace);
        if (mode != QIcon::Normal && mode != QIcon::Active) {
            // Disabled and selected looks as the style draws them for any icon.
            QStyleOption option;
            option.palette = QApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        }
        painted.emplace(key, pixmap);
        return pixmap;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatioF();
        QPixmap pixmap = this->pixmap(rect.size() * ratio, mode, state);
        pixmap.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), pixmap);
    }

    QIconEngine *clone() const override { return new PaintedIconEngine(m_draw); }

private:
    DrawPicture m_draw;
};

QIcon paintedIcon(DrawPicture draw)
{
    return QIcon(new PaintedIconEngine(draw));
}

} // namespace

QIcon folderIcon()
{
    return paintedIcon(drawFolder);
}

QIcon settingsIcon()
{
    return paintedIcon(drawSettings);
}

QIcon publishIcon()
{
    return paintedIcon(drawPublish);
}

QIcon helpIcon()
{
    return paintedIcon(drawHelp);
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(paintApplicationPicture(size)));
    return icon;
}

} // namespace zelmora
