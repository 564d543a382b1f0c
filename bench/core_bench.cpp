// The file roads against their floors: creating a six-page set (six popup
// pages and the data page) and reading it back.

#include "bench_set.h"
#include "posix_floor.h"

#include "editor/editor.h"
#include "editor/program_paths.h"
#include "generate/create_command.h"
#include "generate/data_page.h"
#include "generate/popup_page.h"
#include "reopen/page_reader.h"
#include "settings/settings_file.h"
#include "support/recording_desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace zelmora::bench {
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
        paths = InitProgramPaths(root.path());
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
    runCreateCommand(editor, state, paths, desktop);
    // Six pages, then the data page; anything else is a failure.
    if (desktop.calls.size() != 3 || desktop.calls[0].kind != test::RecordingDesktop::Call::Information) {
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

void BM_CreateSixPagesFloor(benchmark::State &state)
{
    Workspace &w = workspace();
    createOnce(w.paths);
    // The very bytes the command wrote, to the same names in a folder of the
    // same file system.
    std::vector<FileBytes> files;
    for (const QString &name : setFileNames()) {
        QFile in(w.paths.StrOutFolder_S + name);
        if (!in.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = in.readAll();
        files.push_back({QFile::encodeName(w.floorFolder + u'/' + name).toStdString(),
                         bytes.toStdString()});
    }
    writeFilesSafely(files); // so both replace existing files
    for (auto _ : state)
        writeFilesSafely(files);
}

void BM_ReadSixPages(benchmark::State &state)
{
    Workspace &w = workspace();
    createOnce(w.paths);
    for (auto _ : state) {
        RecordEditor editor;
        editor.setTitle(kTitle);
        EditorState editorState;
        editorState.StrReadExt_S = QStringLiteral(".htm");
        test::RecordingDesktop desktop;
        ReadPageSet(editor, editorState, w.paths, desktop);
        if (editor.set().page(6).kind != PageKind::Text)
            std::abort();
        benchmark::DoNotOptimize(editor.set());
    }
}

void BM_ReadSixPagesFloor(benchmark::State &state)
{
    Workspace &w = workspace();
    createOnce(w.paths);
    std::vector<std::string> paths;
    for (int k = 1; k <= kPageCount; ++k)
        paths.push_back(QFile::encodeName(w.paths.StrOutFolder_S
                                          + popupPageFileName(kTitle, k, QStringLiteral(".htm")))
                            .toStdString());
    for (auto _ : state)
        benchmark::DoNotOptimize(readFiles(paths));
}

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
