#include "editor/built_pictures.h"

#include <QDateTime>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QPixmapCache>

namespace zelmora::built_pictures {

namespace {

// Qt writes each number of the key as the hex digits of its bytes in memory
// order, the low digit of each byte first.
template <typename T>
void appendHexBytes(QString &key, T value)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    const auto *bytes = reinterpret_cast<const unsigned char *>(&value);
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        key += QLatin1Char(kDigits[bytes[i] & 0xf]);
        key += QLatin1Char(kDigits[bytes[i] >> 4]);
    }
}

} // namespace

QPainterPath wordOutline(const Word &word, const Outline &built)
{
    if (!built.elements)
        return layOutWord(word);
    QPainterPath path;
    path.setFillRule(Qt::FillRule(built.fillRule));
    path.reserve(built.count);
    for (int i = 0; i < built.count; ++i) {
        const PathElement &e = built.elements[i];
        switch (e.type) {
        case QPainterPath::MoveToElement:
            path.moveTo(e.x, e.y);
            break;
        case QPainterPath::LineToElement:
            path.lineTo(e.x, e.y);
            break;
        case QPainterPath::CurveToElement:
            // Always followed by its two data elements (checked when built).
            path.cubicTo(e.x, e.y, built.elements[i + 1].x, built.elements[i + 1].y,
                         built.elements[i + 2].x, built.elements[i + 2].y);
            i += 2;
            break;
        default:
            break;
        }
    }
    return path;
}

QString pixmapCacheKey(const QString &path)
{
    const QFileInfo info(path);
    QString key = QStringLiteral("qt_pixmap") + info.absoluteFilePath();
    appendHexBytes<uint>(key, uint(info.lastModified().toSecsSinceEpoch()));
    appendHexBytes<quint64>(key, quint64(info.size()));
    appendHexBytes<uint>(key, 0u); // the pixel type of a pixmap that is not a bitmap
    return key;
}

bool preloadGroupBoxFrame(const Image &built)
{
    if (!built.pixels)
        return false;
    const QFileInfo info(kGroupBoxFramePath);
    if (info.size() != built.resourceSize || info.lastModified().toSecsSinceEpoch() != built.resourceModified)
        return false;
    return QPixmapCache::insert(pixmapCacheKey(kGroupBoxFramePath), QPixmap::fromImage(toImage(built)));
}

void preloadStylePictures()
{
    preloadGroupBoxFrame(kGroupBoxFrame);
}

} // namespace zelmora::built_pictures
