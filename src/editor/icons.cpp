#include "editor/icons.h"

#include "editor/application_picture.h"
#include "editor/built_pictures.h"

#include <QApplication>
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
// 44 by 44 pixels, not enlarged from 22 by 22.
void drawFolder(QPainter &p)
{
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

// The words are outlines prepared when the program was built: no font is
// loaded to draw them, and they look the same whatever faces are installed.
void drawSettings(QPainter &p)
{
    using namespace built_pictures;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x33, 0xcc));
    p.drawPath(centred(wordOutline(kSettingsWord, kSettingsWordOutline), kButtonPictureSize));
}

void drawHelp(QPainter &p)
{
    using namespace built_pictures;
    // The dark rim keeps the yellow readable on a light button face.
    p.setPen(QPen(QColor(0x7a, 0x5c, 0x00), 1.2));
    p.setBrush(QColor(0xff, 0xd8, 0x00));
    p.drawPath(centred(wordOutline(kHelpMark, kHelpMarkOutline), kButtonPictureSize));
}

using DrawPicture = void (*)(QPainter &);

QPixmap paintPicture(DrawPicture draw, const QSize &pixels)
{
    QPixmap pixmap(pixels);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels.width() / double(kButtonPictureSize), pixels.height() / double(kButtonPictureSize));
    draw(p);
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
        static std::map<std::tuple<quintptr, int, int, int>, QPixmap> painted;
        const auto key = std::make_tuple(reinterpret_cast<quintptr>(m_draw), size.width(),
                                         size.height(), int(mode));
        if (const auto found = painted.find(key); found != painted.end())
            return found->second;
        QPixmap pixmap = paintPicture(m_draw, size);
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

QIcon helpIcon()
{
    return paintedIcon(drawHelp);
}

QIcon applicationIcon()
{
    // Drawn when the program was built; drawn now only if the build had none.
    using namespace built_pictures;
    QIcon icon;
    for (std::size_t i = 0; i < std::size(kApplicationPictureSizes); ++i) {
        const Image &built = kApplicationPictures[i];
        icon.addPixmap(QPixmap::fromImage(built.pixels ? toImage(built)
                                                       : paintApplicationPicture(kApplicationPictureSizes[i])));
    }
    return icon;
}

} // namespace zelmora
