// Selects one picture in the image picker and times the selection until the
// preview has painted it; prints nanoseconds. Peak memory is taken from the
// whole process by the caller, so one picture is selected per process.

#include "wait_for.h"

#include "ui/image_picker/image_picker.h"
#include "ui/kit/message_box_desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QWindow>

#include <cstdio>
#include <unistd.h>

using zelmora::bench::PaintSpy;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <folder> <picture name>\n", argv[0]);
        return 2;
    }
    zelmora::MessageBoxDesktop desktop(nullptr);
    zelmora::ImagePicker picker(desktop, QString::fromLocal8Bit(argv[1]));
    picker.show();
    zelmora::bench::waitFor(
        [&] { return picker.windowHandle() && picker.windowHandle()->isExposed(); });

    auto *list = picker.findChild<QListWidget *>(QStringLiteral("File1"));
    auto *image = picker.findChild<QLabel *>(QStringLiteral("Image1"));
    const QList<QListWidgetItem *> items = list
        ? list->findItems(QString::fromLocal8Bit(argv[2]), Qt::MatchExactly)
        : QList<QListWidgetItem *>();
    if (!image || items.size() != 1) {
        std::fprintf(stderr, "no such picture in the picker\n");
        return 1;
    }
    PaintSpy spy;
    image->installEventFilter(&spy);

    QElapsedTimer timer;
    timer.start();
    list->setCurrentItem(items.first());
    zelmora::bench::waitFor([&] { return spy.painted; });
    const qint64 ns = timer.nsecsElapsed();
    if (picker.pickedName() != items.first()->text() || image->pixmap().isNull()) {
        std::fprintf(stderr, "the picture was not shown\n");
        return 1;
    }
    QGuiApplication::sync();
    std::printf("%lld\n", ns);
    std::fflush(nullptr);
    ::_exit(0);
}
