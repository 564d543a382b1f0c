#pragma once

// Shared by the fault and bad-input tests: what a folder holds, byte for
// byte, and what a process holds in memory at its peak.

#include "support/file_compare.h"
#include "core/model/desktop.h"
#include "core/model/page_set.h"
#include "support/sample_sets.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// gtest prints texts as text, not as arrays of 16-bit units.
namespace zelmora::test {

// Every entry under root, hidden ones included, by its path relative to root:
// "d" for a folder, "l -> target" for a link (never followed), "p" for a FIFO,
// and "f " + the bytes' hash for a file. Comparing two trees shows every file
// a road added, removed, replaced or changed.
QMap<QString, QString> folderTree(const QString &root);

// The paths whose entries differ between two trees, sorted.
QStringList changedPaths(const QMap<QString, QString> &before, const QMap<QString, QString> &after);

// The names directly in a folder, hidden ones included, sorted.
QStringList entryNames(const QString &folder);

// Writes a whole file; fails the test when it cannot.
void writeFile(const QString &path, const QByteArray &bytes);

// Makes a FIFO; fails the test when it cannot.
void makeFifo(const QString &path);

// The resident memory of this process in bytes now (VmRSS) and at its peak
// (VmHWM); resetPeakMemory() starts a new peak from the present size.
qint64 residentMemoryBytes();
qint64 peakMemoryBytes();
void resetPeakMemory();

// Counts the opens of one path while it lives, without opening it: inotify
// reports every open of a FIFO or file, by whatever process.
class OpenWatch {
public:
    explicit OpenWatch(const QString &path);
    ~OpenWatch();
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;

    bool isValid() const { return m_fd >= 0 && m_watch >= 0; }
    // Opens reported since the watch began (or the last call).
    int opens();

private:
    int m_fd = -1;
    int m_watch = -1;
};

} // namespace zelmora::test
