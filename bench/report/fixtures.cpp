#include "fixtures.h"

#include "support/sample_sets.h"

#include "core/places/program_paths.h"
#include "core/preview/preview_pages.h"

#include <QDir>
#include <QImage>

namespace zelmora::bench {

using test::sixPageSet;

QString writePreviewPage(const QString &programFolder)
{
    const ProgramPaths paths = initPortablePaths(programFolder);
    EditorState state;
    const QString title = QStringLiteral("お店の案内");
    if (writePreviewPages(sixPageSet(title), state, paths,
                          *setWriter(PageFormat::Classic, PageEncoding::ShiftJis)))
        return {};
    return paths.previewFolder + title + QStringLiteral("_1") + kPreviewExtension;
}

namespace {

// Smooth colour with some grain, so the JPEG is neither trivial nor noise.
QImage photograph(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28);
            line[x] = qRgb((x * 255 / width + grain) & 0xff, (y * 255 / height + grain) & 0xff,
                           ((x + y) * 127 / (width + height) + 64) & 0xff);
        }
    }
    return image;
}

} // namespace

bool writePictures(const QString &folder)
{
    QDir().mkpath(folder);
    return photograph(150, 115).save(folder + QStringLiteral("/small.jpg"), "JPEG", 85)
        && photograph(8000, 8000).save(folder + QStringLiteral("/big.jpg"), "JPEG", 85);
}

} // namespace zelmora::bench
