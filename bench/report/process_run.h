#pragma once

#include <QByteArray>
#include <QStringList>

namespace zelmora::bench {

// One finished child process: its wall time from start to exit, its own
// peak resident memory (not its children's) and what it printed on standard
// output. Measured by bench_exec_measure, which starts it.
struct ProcessRun {
    double wallMs = 0;
    double peakMiB = 0;
    bool ok = false; // exited with status 0 within the time limit
    QByteArray output;
};

// Runs program with arguments, the current environment plus extraEnvironment
// ("NAME=value"), standard error to errorLog (appended). Killed after
// timeoutSeconds.
ProcessRun runProcess(const QString &program, const QStringList &arguments,
                      const QStringList &extraEnvironment, const QString &errorLog,
                      int timeoutSeconds = 120);

} // namespace zelmora::bench
