// Build-time tool: writes the pictures of built_pictures.h into a C++ source
// file: the Fusion style's group-box frame as this Qt decodes it, the window
// icon at each of its sizes, and the outlines of the picture buttons' words
// in the bold Gothic face.
//
//   zelmora_built_pictures_gen <output.cpp>
//
// It runs on the offscreen platform, so it needs no display.

#include "editor/application_picture.h"
#include "editor/built_pictures.h"
#include "editor/ui_support.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QImage>

#include <cstdio>

namespace {

using namespace zelmora::built_pictures;

QByteArray number(double value)
{
    // Enough digits to give back the same double.
    return QByteArray::number(value, 'g', 17);
}

QByteArray imageInitializer(const QByteArray &pixelsName, const QImage &image, qint64 resourceSize = 0,
                            qint64 resourceModified = 0)
{
    if (image.isNull())
        return "{nullptr, 0, 0, 0, 0, 0, 0}";
    return "{" + pixelsName + ", " + QByteArray::number(image.width()) + ", "
           + QByteArray::number(image.height()) + ", " + QByteArray::number(image.bytesPerLine()) + ", "
           + QByteArray::number(int(image.format())) + ", " + QByteArray::number(resourceSize) + "LL, "
           + QByteArray::number(resourceModified) + "LL}";
}

QByteArray pixelsSource(const QByteArray &pixelsName, const QImage &image)
{
    if (image.isNull())
        return {};
    QByteArray out = "alignas(4) static const unsigned char " + pixelsName + "[] = {";
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (qsizetype x = 0; x < image.bytesPerLine(); ++x)
            out += (x % 16 == 0 ? "\n    " : " ") + QByteArray::number(line[x]) + ',';
    }
    return out + "\n};\n";
}

QByteArray resourceImageSource(const char *name, const QString &path)
{
    const QFileInfo info(path);
    const QImage image(path);
    const QByteArray pixels = QByteArray(name) + "Pixels";
    return pixelsSource(pixels, image) + "const Image " + name
           + imageInitializer(pixels, image, info.size(), info.lastModified().toSecsSinceEpoch()) + ";\n\n";
}

QByteArray applicationPicturesSource()
{
    QByteArray out;
    QByteArray list = "const Image kApplicationPictures[std::size(kApplicationPictureSizes)] = {\n";
    for (int size : kApplicationPictureSizes) {
        const QImage picture = zelmora::paintApplicationPicture(size);
        const QByteArray pixels = "kApplicationPicture" + QByteArray::number(size);
        out += pixelsSource(pixels, picture);
        list += "    " + imageInitializer(pixels, picture) + ",\n";
    }
    return out + list + "};\n\n";
}

QByteArray outlineSource(const char *name, const Word &word, bool haveFace)
{
    const QPainterPath path = layOutWord(word);
    bool wellFormed = haveFace && !path.isEmpty();
    for (int i = 0; wellFormed && i < path.elementCount(); ++i) {
        if (path.elementAt(i).type == QPainterPath::CurveToElement)
            wellFormed = i + 2 < path.elementCount()
                         && path.elementAt(i + 1).type == QPainterPath::CurveToDataElement
                         && path.elementAt(i + 2).type == QPainterPath::CurveToDataElement;
    }
    if (!wellFormed)
        return "const Outline " + QByteArray(name) + "{nullptr, 0, 0};\n\n";
    QByteArray out = "static const PathElement " + QByteArray(name) + "Elements[] = {\n";
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        out += "    {" + QByteArray::number(int(e.type)) + ", " + number(e.x) + ", " + number(e.y) + "},\n";
    }
    out += "};\nconst Outline " + QByteArray(name) + "{" + name + "Elements, "
           + QByteArray::number(path.elementCount()) + ", " + QByteArray::number(int(path.fillRule()))
           + "};\n\n";
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.cpp>\n", argv[0]);
        return 2;
    }

    // Without the Gothic face the words would be drawn in whatever face
    // stands in for it here; the program then lays them out at run time.
    const QFont face = zelmora::gothicFont(9, true);
    const bool haveFace = QFontInfo(face).family() == face.family();
    if (!haveFace)
        std::fprintf(stderr, "%s: no %s face here; the picture buttons' words are laid out at run time\n",
                     argv[0], qPrintable(face.family()));

    QByteArray out = "// Written by zelmora_built_pictures_gen.\n"
                     "#include \"editor/built_pictures.h\"\n\n"
                     "namespace zelmora::built_pictures {\n\n";
    out += resourceImageSource("kGroupBoxFrame", kGroupBoxFramePath);
    out += applicationPicturesSource();
    out += outlineSource("kSettingsWordOutline", kSettingsWord, haveFace);
    out += outlineSource("kHelpMarkOutline", kHelpMark, haveFace);
    out += "} // namespace zelmora::built_pictures\n";

    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.flush()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
