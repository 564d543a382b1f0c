// Publishing a six-page set with 1 MB of pictures to a local sshd, against
// curl sending the same files over one SFTP connection, side by side in one
// run: the ratio's median, minimum and maximum over --runs runs. Each run
// starts from an empty remote folder, so that every file goes up.

#include "support/test_windows.h"
#include "core/places/program_paths.h"
#include "core/publish/publish_command.h"
#include "core/publish/set_files.h"
#include "publish/test_servers.h"
#include "support/record_editor.h"
#include "support/sample_sets.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace zelmora;

namespace {

constexpr double kTarget = 1.3;

// Answers every question yes (the trust of the first run) and keeps quiet.
class YesDesktop : public Desktop {
public:
    void information(const QString &) override {}
    void plainMessage(const QString &) override {}
    void warning(const QString &text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        failed = true;
    }
    void openUrl(const QUrl &) override {}
    bool question(const QString &) override { return true; }
    bool failed = false;
};

void emptyFolder(const QString &folder)
{
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(folder + u'/' + name);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int runs = 7;
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--runs")); at > 0 && at + 1 < args.size())
        runs = std::max(1, args[at + 1].toInt());

    const auto server = test::TestServer::create(PublishProtocol::Sftp);
    if (!server->start()) {
        std::printf("publish vs curl: SKIPPED (%s)\n", qPrintable(server->skipReason()));
        return 0;
    }
    QTemporaryDir work;
    qputenv("HOME", QFile::encodeName(work.path()));
    const ProgramPaths paths = initPortablePaths(work.path());
    const PageSet set = test::sixPageSet(QStringLiteral("bench"));
    for (const QString &picture : {set.page(4).standardFile, set.page(5).wideFile}) {
        QByteArray bytes(512 * 1024, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()),
                                              bytes.size() / 4);
        QFile file(paths.outputFolder + picture);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    RecordEditor editor(set);
    EditorState state;
    YesDesktop desktop;
    createSet(test::commandContext(editor, state, paths, desktop));
    QString problem;
    const auto files = collectSetFiles(paths.outputFolder, set.title, state.extension, &problem);
    if (!files || desktop.failed)
        return 1;
    QStringList names;
    for (const SetFile &file : files->files)
        names << file.name;

    PublishRequest request{set.title,
                           state.extension,
                           server->site(),
                           {server->password(), {}},
                           true};
    QuietProgress quiet;
    const auto publish = [&] { runPublishCommand(request, paths, desktop, quiet); };
    // curl reads the login from its standard input, not from its arguments.
    const auto curl = [&] {
        QProcess process;
        process.setWorkingDirectory(paths.outputFolder);
        process.start(QStringLiteral("curl"),
                      {QStringLiteral("-sS"), QStringLiteral("--insecure"), QStringLiteral("-K"),
                       QStringLiteral("-"), QStringLiteral("-T"), u'{' + names.join(u',') + u'}',
                       QStringLiteral("sftp://127.0.0.1:%1%2/")
                           .arg(request.site.port)
                           .arg(request.site.folder)});
        process.write(QStringLiteral("user = \"%1:%2\"\n")
                          .arg(request.site.user, request.secrets.password)
                          .toUtf8());
        process.closeWriteChannel();
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            desktop.failed = true;
    };
    publish(); // the host key trusted, the connection code warm
    QList<double> ratios;
    for (int run = 0; run < runs && !desktop.failed; ++run) {
        qint64 took[2] = {};
        for (int which : {run % 2, 1 - run % 2}) {
            emptyFolder(server->root());
            QElapsedTimer timer;
            timer.start();
            which == 0 ? publish() : curl();
            took[which] = timer.nsecsElapsed();
        }
        ratios << double(took[0]) / double(took[1]);
    }
    if (desktop.failed || ratios.isEmpty())
        return 1;
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios[ratios.size() / 2];
    std::printf("publish %lld files (6 pages, 1 MB of pictures) over SFTP / curl: median %.2f (min "
                "%.2f, max %.2f) "
                "over %lld runs, target <= %.1f: %s\n",
                qlonglong(names.size()), median, ratios.first(), ratios.last(),
                qlonglong(ratios.size()), kTarget, median <= kTarget ? "met" : "NOT MET");
    return median <= kTarget ? 0 : 2;
}
