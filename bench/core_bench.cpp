// The file roads against their floors: creating a six-page set (six popup
// pages and the data page) and reading it back.

#include "support/sample_sets.h"
#include "support/record_editor.h"
#include "posix_floor.h"

#include "core/model/editor.h"
#include "core/places/program_paths.h"
#include "support/test_windows.h"
#include "core/generate/data_page.h"
#include "core/generate/popup_page.h"
#include "core/reopen/page_reader.h"
#include "core/settings/settings_file.h"
#include "support/recording_desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace zelmora::bench {

using test::sixPageSet;
namespace {

const QString kTitle = QStringLiteral("お店の案内");

// A program folder with the settings file the options dialog leaves.
struct Workspace {
    QTemporaryDir root;
    ProgramPaths paths;
    QString floorFolder;

    Workspace()
    {
        if (!root.isValid())
            std::abort();
        paths = initPortablePaths(root.path());
        if (writeStoredSettings(StoredSettings{}, paths.settingsFile))
            std::abort();
        floorFolder = root.filePath(QStringLiteral("floor"));
        QDir().mkpath(floorFolder);
    }
};

Workspace &workspace()
{
    static Workspace w;
    return w;
}

void createOnce(const ProgramPaths &paths)
{
    RecordEditor editor(sixPageSet(kTitle));
    EditorState state;
    test::RecordingDesktop desktop;
    desktop.answer = true; // each round replaces the set of the round before
    createSet(test::commandContext(editor, state, paths, desktop));
    if (!desktop.calls.isEmpty() && desktop.calls[0].kind == test::RecordingDesktop::Call::Question)
        desktop.calls.removeFirst();
    // Six pages, then the data page; anything else is a failure.
    if (desktop.calls.size() != 3
        || desktop.calls[0].kind != test::RecordingDesktop::Call::Information) {
        std::fprintf(stderr, "the create command failed\n");
        std::abort();
    }
}

QStringList setFileNames()
{
    QStringList names;
    for (int k = 1; k <= kPageCount; ++k)
        names << popupPageFileName(kTitle, k, QStringLiteral(".htm"));
    names << dataPageFileName(kTitle, QStringLiteral(".htm"));
    return names;
}

void BM_CreateSixPages(benchmark::State &state)
{
    const ProgramPaths &paths = workspace().paths;
    for (auto _ : state)
        createOnce(paths);
}

// The very bytes the command wrote, to the same names in a folder of the
// same file system.
std::vector<FileBytes> floorFiles()
{
    Workspace &w = workspace();
    createOnce(w.paths);
    std::vector<FileBytes> files;
    for (const QString &name : setFileNames()) {
        QFile in(w.paths.outputFolder + name);
        if (!in.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = in.readAll();
        files.push_back(
            {QFile::encodeName(w.floorFolder + u'/' + name).toStdString(), bytes.toStdString()});
    }
    writeFilesSafely(files); // so both replace existing files
    return files;
}

void BM_CreateSixPagesFloor(benchmark::State &state)
{
    const std::vector<FileBytes> files = floorFiles();
    for (auto _ : state)
        writeFilesSafely(files);
}

void readOnce(const ProgramPaths &paths)
{
    RecordEditor editor;
    editor.setTitle(kTitle);
    EditorState editorState;
    editorState.readExtension = QStringLiteral(".htm");
    test::RecordingDesktop desktop;
    readPageSet(test::commandContext(editor, editorState, paths, desktop));
    if (editor.set().page(6).kind != PageKind::Text)
        std::abort();
    benchmark::DoNotOptimize(editor.set());
}

std::vector<std::string> pagePaths()
{
    std::vector<std::string> paths;
    for (int k = 1; k <= kPageCount; ++k)
        paths.push_back(QFile::encodeName(workspace().paths.outputFolder
                                          + popupPageFileName(kTitle, k, QStringLiteral(".htm")))
                            .toStdString());
    return paths;
}

void BM_ReadSixPages(benchmark::State &state)
{
    Workspace &w = workspace();
    createOnce(w.paths);
    for (auto _ : state)
        readOnce(w.paths);
}

void BM_ReadSixPagesFloor(benchmark::State &state)
{
    createOnce(workspace().paths);
    const std::vector<std::string> paths = pagePaths();
    for (auto _ : state)
        benchmark::DoNotOptimize(readFiles(paths));
}

// The program and its floor alternately within one benchmark, each timed on
// its own, so both meet the same moods of a shared disk (whose flushes vary
// tenfold from one second to the next); reports their ratio.
template <class Program, class Floor>
void sideBySide(benchmark::State &state, Program program, Floor floor)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration inProgram{}, inFloor{};
    bool programFirst = true;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        programFirst ? program() : floor();
        const auto t1 = Clock::now();
        programFirst ? floor() : program();
        const auto t2 = Clock::now();
        inProgram += programFirst ? t1 - t0 : t2 - t1;
        inFloor += programFirst ? t2 - t1 : t1 - t0;
        programFirst = !programFirst;
    }
    const double n = double(state.iterations());
    state.counters["program_us"] = std::chrono::duration<double, std::micro>(inProgram).count() / n;
    state.counters["floor_us"] = std::chrono::duration<double, std::micro>(inFloor).count() / n;
    state.counters["ratio"] = double(inProgram.count()) / double(inFloor.count());
}

void BM_CreateSideBySide(benchmark::State &state)
{
    const ProgramPaths &paths = workspace().paths;
    const std::vector<FileBytes> files = floorFiles();
    sideBySide(
        state, [&] { createOnce(paths); }, [&] { writeFilesSafely(files); });
}

void BM_ReadSideBySide(benchmark::State &state)
{
    Workspace &w = workspace();
    createOnce(w.paths);
    const std::vector<std::string> paths = pagePaths();
    sideBySide(
        state, [&] { readOnce(w.paths); }, [&] { benchmark::DoNotOptimize(readFiles(paths)); });
}

BENCHMARK(BM_CreateSideBySide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadSideBySide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateSixPages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreateSixPagesFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadSixPages)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadSixPagesFloor)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace zelmora::bench

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
