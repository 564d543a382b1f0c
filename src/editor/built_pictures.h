#pragma once

#include "editor/ui_support.h"

#include <QImage>
#include <QPainterPath>
#include <QString>

#include <iterator>

// Pictures that the first paint of the main window needs, prepared when the
// program is built (zelmora_built_pictures_gen writes built_pictures_data.cpp)
// so that start-up neither decodes a PNG nor loads a font just to draw them.
namespace zelmora::built_pictures {

// Decoded pixels of an image, as QImage holds them.
struct Image {
    const unsigned char *pixels; // nullptr when the build had no such image
    int width;
    int height;
    int bytesPerLine;
    int format; // QImage::Format
    long long resourceSize; // of the resource it was decoded from, if any
    long long resourceModified; // seconds since the epoch
};

// The image over the built pixels (which live as long as the program).
inline QImage toImage(const Image &built)
{
    return QImage(built.pixels, built.width, built.height, built.bytesPerLine, QImage::Format(built.format));
}

// The outline of a word as QPainterPath::addText gives it at the origin.
struct PathElement {
    int type; // QPainterPath::ElementType
    double x;
    double y;
};
struct Outline {
    const PathElement *elements; // nullptr when the build had no Gothic face
    int count;
    int fillRule; // Qt::FillRule
};

// A word of the picture buttons: drawn in the bold Gothic face at a size in
// units of the button picture's box.
struct Word {
    const char16_t *text;
    int pixelSize;
};
inline constexpr Word kSettingsWord{u"設定", 10};
inline constexpr Word kHelpMark{u"?", 21};

// The window icon's sizes and their pictures (editor/application_picture.h).
inline constexpr int kApplicationPictureSizes[] = {16, 24, 32, 48, 64};
extern const Image kApplicationPictures[std::size(kApplicationPictureSizes)];

// Fusion's group-box frame, the resource it reads it from, and the frame's
// pixels as this Qt decodes them.
inline const QString kGroupBoxFramePath =
    QStringLiteral(":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png");
extern const Image kGroupBoxFrame;
extern const Outline kSettingsWordOutline;
extern const Outline kHelpMarkOutline;

// The word's outline laid out now, in the Gothic face the system has.
inline QPainterPath layOutWord(const Word &word)
{
    QFont font = gothicFont(9, true);
    font.setPixelSize(word.pixelSize);
    QPainterPath path;
    path.addText(0, 0, font, QString::fromUtf16(word.text));
    return path;
}
// The built outline, or the word laid out now when the build had none.
QPainterPath wordOutline(const Word &word, const Outline &built);

// Fusion draws every group-box frame from a PNG among Qt's resources, and
// reading it at the first paint costs the PNG decoder and, through the image
// reader, the loading of every image-format plugin. This hands Qt's pixmap
// cache the frame decoded at build time, under the name the style reads the
// file by, so the style finds it there. Nothing is put in when this Qt's
// resource is not the one the pixels were taken from; the style then reads
// the PNG as before.
void preloadStylePictures();
// The frame part of it: false when nothing was put in.
bool preloadGroupBoxFrame(const Image &built);

// The name under which QPixmap(path) looks a file's pixmap up in the cache.
QString pixmapCacheKey(const QString &path);

} // namespace zelmora::built_pictures
