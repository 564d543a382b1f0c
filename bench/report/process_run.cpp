#include "process_run.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char **environ;

namespace zelmora::bench {
namespace {

// Beside the report, like every helper.
QString measureProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/bench_exec_measure");
}

} // namespace

ProcessRun runProcess(const QString &program, const QStringList &arguments,
                      const QStringList &extraEnvironment, const QString &errorLog,
                      int timeoutSeconds)
{
    ProcessRun result;
    QTemporaryFile output;
    QTemporaryFile measured;
    if (!output.open() || !measured.open())
        return result;

    std::vector<std::string> strings;
    strings.push_back(QFile::encodeName(measureProgram()).toStdString());
    strings.push_back(std::to_string(timeoutSeconds));
    strings.push_back(QFile::encodeName(measured.fileName()).toStdString());
    strings.push_back(QFile::encodeName(program).toStdString());
    for (const QString &a : arguments)
        strings.push_back(a.toLocal8Bit().toStdString());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char **e = environ; *e; ++e)
        envStrings.emplace_back(*e);
    for (const QString &e : extraEnvironment)
        envStrings.push_back(e.toLocal8Bit().toStdString());
    std::vector<char *> envp;
    for (std::string &s : envStrings)
        envp.push_back(s.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string outPath = QFile::encodeName(output.fileName()).toStdString();
    const std::string errPath = QFile::encodeName(errorLog).toStdString();
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_TRUNC,
                                     0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return result;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // "<wall ns> <peak KiB> <exit status>"
    const QList<QByteArray> figures = measured.readAll().trimmed().split(' ');
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || figures.size() != 3)
        return result;
    result.wallMs = figures[0].toDouble() / 1e6;
    result.peakMiB = figures[1].toDouble() / 1024.0;
    result.ok = figures[2].toInt() == 0;
    result.output = output.readAll();
    return result;
}

} // namespace zelmora::bench
