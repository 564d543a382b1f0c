// The picture buttons' icons at the screen's pixel ratio: painted at the
// size in device pixels, so at 2x they are as sharp as at 1x, not the 1x
// picture enlarged; the window icon drawn at each of its sizes.

#include "core/generate/css_colour.h"
#include "ui/kit/icons.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

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

// The window icon has a picture drawn for each size a desktop asks for,
// never one picture scaled, and each has its leaf.
TEST(ApplicationIcon, hasEverySizeDrawnAtThatSize)
{
    const QIcon icon = applicationIcon();
    const QList<QSize> sizes = icon.availableSizes();
    ASSERT_EQ(sizes, (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
    for (const QSize &size : sizes) {
        const QImage picture = icon.pixmap(size).toImage();
        EXPECT_EQ(picture.size(), size);
        // The leaf's green in its lower right quarter, as drawn at that size.
        const QColor leaf = picture.pixelColor(size.width() * 3 / 4, size.height() * 3 / 4);
        EXPECT_GT(leaf.green(), leaf.red() + 40) << size.width();
    }
}

// Each picture on its button, as Fusion paints it on a light and on a dark
// palette, stands out from the bare button by 4.5 to 1 (WCAG's contrast of
// its strongest pixel against the same pixel without the picture).
TEST_P(ButtonIcon, standsOutFromALightAndADarkButton)
{
    const auto contrast = [](QColor a, QColor b) {
        return contrastRatio(relativeLuminance(a.redF(), a.greenF(), a.blueF()), relativeLuminance(b.redF(), b.greenF(), b.blueF()));
    };
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    const QPalette before = QApplication::palette();
    for (const QPalette &palette : {QPalette(QColor(0xef, 0xef, 0xef)), QPalette(QColor(0x35, 0x35, 0x35), QColor(0x2a, 0x2a, 0x2a))}) {
        QApplication::setPalette(palette);
        QPushButton button;
        button.setStyle(fusion.get());
        button.setGeometry(0, 0, 27, 27); // 400 twips, as on the main window
        button.setIconSize(QSize(kButtonPictureSize, kButtonPictureSize));
        const QImage bare = button.grab().toImage();
        button.setIcon(GetParam().make());
        const QImage shown = button.grab().toImage();
        // The picture's own colour (its strongest pixel) against the face
        // wherever the picture lies, as WCAG measures text drawn as an image.
        double strongest = 0;
        QColor ink;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                if (const double c = contrast(shown.pixelColor(x, y), bare.pixelColor(x, y)); c > strongest)
                    strongest = c, ink = shown.pixelColor(x, y);
            }
        QRect box(QPoint(), QSize(kButtonPictureSize, kButtonPictureSize));
        box.moveCenter(bare.rect().center());
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                strongest = std::min(strongest, contrast(ink, bare.pixelColor(x, y)));
        EXPECT_GE(strongest, 4.5) << strongest << " on " << palette.color(QPalette::Button).name().toStdString();
    }
    QApplication::setPalette(before);
}
