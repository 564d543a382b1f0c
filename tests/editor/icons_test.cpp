// The picture buttons' icons at the screen's pixel ratio: painted at the
// size in device pixels, so at 2x they are as sharp as at 1x, not the 1x
// picture enlarged. The pictures prepared when the program is built.

#include "editor/application_picture.h"
#include "editor/built_pictures.h"
#include "editor/icons.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QPixmapCache>

#include <gtest/gtest.h>

using namespace zelmora;

namespace {

// Sum of squared steps between neighbouring pixels, all four channels: a
// blurred edge spreads its step over several pixels and scores lower than
// the same edge drawn crisply.
double edgeEnergy(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    double energy = 0;
    auto step = [&](QRgb a, QRgb b) {
        for (int shift : {0, 8, 16, 24}) {
            const int d = int((a >> shift) & 0xff) - int((b >> shift) & 0xff);
            energy += double(d) * d;
        }
    };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (x + 1 < image.width())
                step(image.pixel(x, y), image.pixel(x + 1, y));
            if (y + 1 < image.height())
                step(image.pixel(x, y), image.pixel(x, y + 1));
        }
    }
    return energy;
}

struct IconCase {
    const char *name;
    QIcon (*make)();
};

class ButtonIcon : public testing::TestWithParam<IconCase> {};

} // namespace

TEST_P(ButtonIcon, isPaintedAtTheDevicePixelRatio)
{
    const QIcon icon = GetParam().make();
    const QSize logical(kButtonPictureSize, kButtonPictureSize);

    const QPixmap one = icon.pixmap(logical, 1.0);
    EXPECT_EQ(one.size(), logical);
    EXPECT_EQ(one.devicePixelRatio(), 1.0);

    for (qreal ratio : {1.5, 2.0, 3.0}) {
        SCOPED_TRACE(ratio);
        const QPixmap scaled = icon.pixmap(logical, ratio);
        EXPECT_EQ(scaled.size(), logical * ratio);
        EXPECT_EQ(scaled.devicePixelRatio(), ratio);
        EXPECT_EQ(scaled.deviceIndependentSize(), QSizeF(logical)) << "laid out at 22 by 22";
    }

    // Drawn at 44 pixels, the edges are crisper than those of the 22-pixel
    // picture smoothly enlarged to 44: roughly twice the energy (twice the
    // edge length at full steps), against the blurred edge's half steps.
    const QImage native = icon.pixmap(logical, 2.0).toImage();
    const QImage enlarged = one.toImage().scaled(native.size(), Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation);
    EXPECT_GT(edgeEnergy(native), 1.3 * edgeEnergy(enlarged));

    // Not empty, and the disabled look is made from the same picture.
    EXPECT_GT(edgeEnergy(one.toImage()), 0);
    EXPECT_FALSE(icon.pixmap(logical, 2.0, QIcon::Disabled).toImage() == native);
}

INSTANTIATE_TEST_SUITE_P(PictureButtons, ButtonIcon,
                         testing::Values(IconCase{"folder", folderIcon},
                                         IconCase{"settings", settingsIcon},
                                         IconCase{"help", helpIcon}),
                         [](const testing::TestParamInfo<IconCase> &info) {
                             return std::string(info.param.name);
                         });

// The pictures prepared at build time are exactly what Qt and the Gothic face
// give at run time, and the style really finds the frame in the cache.
TEST(BuiltPictures, areWhatTheRunTimeWouldMake)
{
    using namespace built_pictures;
    for (const auto &[word, built] : {std::pair{kSettingsWord, kSettingsWordOutline},
                                      std::pair{kHelpMark, kHelpMarkOutline}}) {
        SCOPED_TRACE(QString::fromUtf16(word.text).toStdString());
        ASSERT_NE(built.elements, nullptr) << "the build had the Gothic face";
        const QPainterPath now = layOutWord(word);
        const QPainterPath fromBuild = wordOutline(word, built);
        ASSERT_EQ(fromBuild.elementCount(), now.elementCount());
        EXPECT_EQ(fromBuild.fillRule(), now.fillRule());
        for (int i = 0; i < now.elementCount(); ++i) {
            EXPECT_EQ(fromBuild.elementAt(i).type, now.elementAt(i).type) << i;
            EXPECT_EQ(fromBuild.elementAt(i).x, now.elementAt(i).x) << i;
            EXPECT_EQ(fromBuild.elementAt(i).y, now.elementAt(i).y) << i;
        }
    }

    for (std::size_t i = 0; i < std::size(kApplicationPictureSizes); ++i) {
        const Image &built = kApplicationPictures[i];
        ASSERT_NE(built.pixels, nullptr);
        EXPECT_EQ(toImage(built), paintApplicationPicture(kApplicationPictureSizes[i]))
            << kApplicationPictureSizes[i];
    }
    EXPECT_EQ(applicationIcon().availableSizes().size(), qsizetype(std::size(kApplicationPictureSizes)));

    ASSERT_NE(kGroupBoxFrame.pixels, nullptr);
    QImageReader reader(kGroupBoxFramePath);
    const QImage decoded = reader.read();
    ASSERT_FALSE(decoded.isNull());
    QPixmapCache::clear();
    preloadStylePictures();
    QPixmap cached;
    ASSERT_TRUE(QPixmapCache::find(pixmapCacheKey(kGroupBoxFramePath), &cached));
    const QPixmap asTheStyleReadsIt(kGroupBoxFramePath);
    EXPECT_EQ(asTheStyleReadsIt.cacheKey(), cached.cacheKey()) << "read from the cache, not the PNG";
    EXPECT_EQ(asTheStyleReadsIt.toImage(), QPixmap::fromImage(decoded).toImage());
    QPixmapCache::clear();
}

// Built pictures are used only when they fit this Qt and this build: a stale
// frame would draw wrong pixels under the name of the right ones, and a
// build without the Gothic face lays the words out at run time.
TEST(BuiltPictures, areUsedOnlyWhenTheyFit)
{
    using namespace built_pictures;
    EXPECT_EQ(wordOutline(kSettingsWord, Outline{nullptr, 0, 0}), layOutWord(kSettingsWord));

    struct Case {
        const char *name;
        Image frame;
        bool cached;
    };
    Image otherSize = kGroupBoxFrame;
    ++otherSize.resourceSize;
    Image otherTime = kGroupBoxFrame;
    --otherTime.resourceModified;
    const Case cases[] = {
        {"the resource it was taken from", kGroupBoxFrame, true},
        {"a resource of another size", otherSize, false},
        {"a resource of another time", otherTime, false},
        {"no pixels", Image{nullptr, 0, 0, 0, 0, 0, 0}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QPixmapCache::clear();
        EXPECT_EQ(preloadGroupBoxFrame(c.frame), c.cached);
        QPixmap cached;
        EXPECT_EQ(QPixmapCache::find(pixmapCacheKey(kGroupBoxFramePath), &cached), c.cached);
        // Either way the style gets the frame's pixels.
        EXPECT_EQ(QPixmap(kGroupBoxFramePath).toImage(), QPixmap::fromImage(QImage(kGroupBoxFramePath)).toImage());
    }
    QPixmapCache::clear();
}
