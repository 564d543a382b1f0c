// Runs every benchmark of the program against its floor, several times side
// by side, and prints each figure's median, minimum and maximum with its
// target. Run under a display (make bench uses xvfb-run).
//
//   bench_report [--runs N] [--quick] [--only core|startup|preview|pickers|pictures]

#include "fixtures.h"
#include "gbench_run.h"
#include "process_run.h"
#include "ratio_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace zelmora::bench {
namespace {

struct Context {
    QString bin;        // the program and the bench helpers
    QString logs;       // each helper's standard error
    QStringList env;    // for every helper
    int runs = 5;
    bool quick = false; // shorter benchmark times, for a trial
    QString only;       // one group of rows, while working on it

    bool wants(const char *group) const { return only.isEmpty() || only == QLatin1String(group); }
};

QString helper(const Context &c, const char *name) { return c.bin + u'/' + QLatin1String(name); }
QString log(const Context &c, const char *name) { return c.logs + u'/' + QLatin1String(name) + QStringLiteral(".log"); }

void progress(const char *what)
{
    std::fprintf(stderr, "... %s\n", what);
}

QList<Row> coreRows(const Context &c)
{
    progress("create and read (bench_core)");
    const GbenchTimes t = runGbench(helper(c, "bench_core"), c.runs, c.quick ? 0.1 : 0.5, c.env,
                                    log(c, "bench_core"));
    Row create{QStringLiteral("create six pages"), {}, 1.3};
    create.samples = pairRatios(t, QStringLiteral("BM_CreateSixPages"),
                                QStringLiteral("BM_CreateSixPagesFloor"), &create.error);
    Row read{QStringLiteral("read six pages back"), {}, 2.0};
    read.samples = pairRatios(t, QStringLiteral("BM_ReadSixPages"),
                              QStringLiteral("BM_ReadSixPagesFloor"), &read.error);
    return {create, read};
}

QList<Row> pickerRows(const Context &c)
{
    progress("pickers over 10,000 files (bench_pickers)");
    const GbenchTimes t = runGbench(helper(c, "bench_pickers"), c.runs, c.quick ? 0.1 : 0.5, c.env,
                                    log(c, "bench_pickers"));
    Row set{QStringLiteral("set picker, 10,000 files"), {}, 1.5};
    set.samples = pairRatios(t, QStringLiteral("BM_SetPickerOpen"),
                             QStringLiteral("BM_SetPickerFloor"), &set.error);
    Row image{QStringLiteral("image picker, 10,000 files"), {}, 1.5};
    image.samples = pairRatios(t, QStringLiteral("BM_ImagePickerOpen"),
                               QStringLiteral("BM_ImagePickerFloor"), &image.error);
    return {set, image};
}

// Runs a and b alternately (which goes first alternates too), after one
// discarded pair that warms the file cache; calls pair() for every pair.
template <class Pair>
QString alternate(const Context &c, const std::function<ProcessRun()> &a,
                  const std::function<ProcessRun()> &b, Pair pair)
{
    for (int i = -1; i < c.runs; ++i) {
        ProcessRun x, y;
        if (i % 2 == 0) {
            x = a();
            y = b();
        } else {
            y = b();
            x = a();
        }
        if (!x.ok || !y.ok)
            return QStringLiteral("a helper failed; see the logs in %1").arg(c.logs);
        if (i >= 0)
            pair(x, y);
    }
    return {};
}

QList<Row> startupRows(const Context &c)
{
    progress("start-up (zelmora, bench_bare_window)");
    QStringList env = c.env;
    env << QStringLiteral("QT_PLUGIN_PATH=") + c.bin + QStringLiteral("/bench_plugins")
        << QStringLiteral("QT_QPA_GENERIC_PLUGINS=quitonexpose");
    Row time{QStringLiteral("start-up to painted window, time"), {}, 1.25};
    Row memory{QStringLiteral("start-up to painted window, peak memory"), {}, 1.25};
    time.error = alternate(
        c, [&] { return runProcess(helper(c, "zelmora"), {}, env, log(c, "zelmora"), 60); },
        [&] { return runProcess(helper(c, "bench_bare_window"), {}, env, log(c, "bench_bare_window"), 60); },
        [&](const ProcessRun &x, const ProcessRun &y) {
            time.samples << x.wallMs / y.wallMs;
            memory.samples << x.peakMiB / y.peakMiB;
        });
    memory.error = time.error;
    return {time, memory};
}

QList<Row> previewRows(const Context &c, const QString &page)
{
    progress("preview (bench_preview_run, bench_bare_webview)");
    Row first{QStringLiteral("first preview, command to page painted"), {}, 1.2};
    Row second{QStringLiteral("second preview / first preview"), {}, 0.25};
    if (page.isEmpty()) {
        first.error = second.error = QStringLiteral("the preview page could not be written");
        return {first, second};
    }
    first.error = alternate(
        c, [&] { return runProcess(helper(c, "bench_preview_run"), {}, c.env, log(c, "bench_preview_run"), 120); },
        [&] { return runProcess(helper(c, "bench_bare_webview"), {page}, c.env, log(c, "bench_bare_webview"), 120); },
        [&](const ProcessRun &x, const ProcessRun &y) {
            const QList<QByteArray> ns = x.output.trimmed().split(' ');
            if (ns.size() != 2)
                return;
            const double firstMs = ns[0].toDouble() / 1e6;
            const double secondMs = ns[1].toDouble() / 1e6;
            first.samples << firstMs / y.wallMs;
            second.samples << secondMs / firstMs;
        });
    second.error = first.error;
    return {first, second};
}

QList<Row> pictureRows(const Context &c, const QString &folder, bool written)
{
    progress("image picker, 8000 x 8000 picture (bench_image_select)");
    Row time{QStringLiteral("select 8000x8000 JPEG / 150x115, time"), {}, 10};
    Row memory{QStringLiteral("select 8000x8000 JPEG, added peak memory"), {}, 50, true};
    if (!written) {
        time.error = memory.error = QStringLiteral("the pictures could not be written");
        return {time, memory};
    }
    auto select = [&](const char *name) {
        return runProcess(helper(c, "bench_image_select"), {folder, QLatin1String(name)}, c.env,
                          log(c, "bench_image_select"), 120);
    };
    time.error = alternate(
        c, [&] { return select("big.jpg"); }, [&] { return select("small.jpg"); },
        [&](const ProcessRun &x, const ProcessRun &y) {
            time.samples << x.output.trimmed().toDouble() / y.output.trimmed().toDouble();
            memory.samples << x.peakMiB - y.peakMiB;
        });
    memory.error = time.error;
    return {time, memory};
}

} // namespace
} // namespace zelmora::bench

int main(int argc, char *argv[])
{
    using namespace zelmora::bench;
    QCoreApplication app(argc, argv);
    Context c;
    c.bin = QCoreApplication::applicationDirPath();
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            c.runs = std::max(1, args[++i].toInt());
        else if (args[i] == QLatin1String("--quick"))
            c.quick = true;
        else if (args[i] == QLatin1String("--only") && i + 1 < args.size())
            c.only = args[++i];
        else {
            std::fprintf(stderr, "usage: bench_report [--runs N] [--quick] "
                                 "[--only core|startup|preview|pickers|pictures]\n");
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "bench_report needs a display; run it under xvfb-run\n");
        return 2;
    }

    QTemporaryDir scratch;
    c.logs = QDir(c.bin).absoluteFilePath(QStringLiteral("../bench-logs"));
    QDir(c.logs).removeRecursively();
    QDir().mkpath(c.logs);
    // The helpers' runtime folder must be private; a fresh one avoids Qt's
    // warning and any state left from other programs.
    const QString runtime = scratch.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    c.env << QStringLiteral("XDG_RUNTIME_DIR=") + runtime << QStringLiteral("QT_QPA_PLATFORM=xcb");
    // The web engine's sandbox refuses to run as root.
    if (geteuid() == 0)
        c.env << QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX=1");

    QList<Row> rows;
    if (c.wants("core"))
        rows << coreRows(c);
    if (c.wants("startup"))
        rows << startupRows(c);
    if (c.wants("preview"))
        rows << previewRows(c, writePreviewPage(scratch.filePath(QStringLiteral("program"))));
    if (c.wants("pickers"))
        rows << pickerRows(c);
    if (c.wants("pictures")) {
        progress("writing the pictures");
        const QString pictures = scratch.filePath(QStringLiteral("pictures"));
        const bool written = writePictures(pictures);
        rows << pictureRows(c, pictures, written);
    }

    int width = 0;
    for (const Row &row : rows)
        width = std::max(width, int(row.what.size()));
    std::printf("\n%s\n", qPrintable(QStringLiteral("Ratios against the floor, median of %1 side-by-side runs").arg(c.runs)));
    int met = 0;
    for (const Row &row : rows) {
        std::printf("%s\n", qPrintable(formatRow(row, width)));
        met += row.met();
    }
    std::printf("%d of %d targets met; helpers' messages in %s\n", met, int(rows.size()), qPrintable(c.logs));
    return 0;
}
