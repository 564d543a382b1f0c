// The two pickers over an output folder of 10,000 files, from the command
// to the list painted on screen, against QDir::entryList of the same folder
// with the same patterns. Needs a display (run under xvfb-run).

#include "wait_for.h"

#include "ui/image_picker/image_picker.h"
#include "app/main_window.h"
#include "core/places/program_paths.h"
#include "ui/set_picker/set_picker.h"
#include "support/recording_desktop.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace zelmora::bench {
namespace {

constexpr int kFiles = 10000;

// Two program folders, each with an output folder of 10,000 files that its
// picker lists: the pages of 1,250 sets for the set picker, pictures of the
// four kinds for the image picker; extensions in both letter cases.
struct Folders {
    QTemporaryDir sets;
    QTemporaryDir pictures;
    ProgramPaths setPaths;
    ProgramPaths picturePaths;

    Folders()
    {
        setPaths = initPortablePaths(sets.path());
        picturePaths = initPortablePaths(pictures.path());
        for (int i = 0; i < kFiles; ++i) {
            const int set = i / 8;
            const int page = i % 8;
            const QString ext = set % 3 == 0 ? QStringLiteral(".html")
                : set % 3 == 1               ? QStringLiteral(".htm")
                                             : QStringLiteral(".HTM");
            const QString name = page < 6
                ? QStringLiteral("set%1_%2").arg(set, 5, 10, QLatin1Char('0')).arg(page + 1)
                : page == 6 ? QStringLiteral("set%1_data").arg(set, 5, 10, QLatin1Char('0'))
                            : QStringLiteral("セット%1_1").arg(set, 5, 10, QLatin1Char('0'));
            touch(setPaths.outputFolder + name + ext);
            static const char *const kinds[] = {".gif", ".jpg", ".png", ".bmp", ".JPG"};
            touch(picturePaths.outputFolder
                  + QStringLiteral("picture%1").arg(i, 5, 10, QLatin1Char('0'))
                  + QLatin1String(kinds[i % 5]));
        }
    }

    static void touch(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
    }
};

Folders &folders()
{
    static Folders f;
    return f;
}

// The pickers are opened from the shown main window, as in the program, so
// its fonts are loaded and the display connection is warm.
QWidget &mainWindow()
{
    static test::RecordingDesktop desktop;
    static QWidget *window = [] {
        auto *w = new MainWindow(desktop, initPortablePaths(folders().sets.path()));
        w->show();
        waitFor([w] { return w->windowHandle() && w->windowHandle()->isExposed(); });
        return w;
    }();
    return *window;
}

// Times one picker from its construction (the command) until its list has
// painted its rows; closing it is not timed.
template <class MakePicker>
void timePicker(benchmark::State &state, MakePicker make)
{
    QWidget &parent = mainWindow();
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto picker = make(&parent);
        auto *list = picker->template findChild<QListWidget *>(QStringLiteral("File1"));
        PaintSpy spy;
        list->viewport()->installEventFilter(&spy);
        picker->show();
        waitFor([&] { return spy.painted; });
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (list->count() != kFiles)
            std::abort();
        picker.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void BM_SetPickerOpen(benchmark::State &state)
{
    const ProgramPaths &paths = folders().setPaths;
    timePicker(state, [&](QWidget *parent) {
        return std::make_unique<SetPicker>(parent, paths.outputFolder, [](const QString &) {});
    });
}

void BM_ImagePickerOpen(benchmark::State &state)
{
    const QString folder = folders().picturePaths.outputFolder;
    test::RecordingDesktop desktop;
    timePicker(state, [&](QWidget *parent) {
        return std::make_unique<ImagePicker>(desktop, folder, parent);
    });
}

void timeEntryList(benchmark::State &state, const QString &folder, const QStringList &patterns)
{
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const QStringList names
            = QDir(folder).entryList(patterns, QDir::Files, QDir::Name | QDir::IgnoreCase);
        state.SetIterationTime(timer.nsecsElapsed() / 1e9);
        if (names.size() != kFiles)
            std::abort();
    }
}

void BM_SetPickerFloor(benchmark::State &state)
{
    timeEntryList(state, folders().setPaths.outputFolder,
                  {QStringLiteral("*.htm"), QStringLiteral("*.html")});
}

void BM_ImagePickerFloor(benchmark::State &state)
{
    timeEntryList(state, folders().picturePaths.outputFolder,
                  {QStringLiteral("*.gif"), QStringLiteral("*.jpg"), QStringLiteral("*.png"),
                   QStringLiteral("*.bmp")});
}

BENCHMARK(BM_SetPickerOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetPickerFloor)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImagePickerOpen)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImagePickerFloor)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zelmora::bench

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
