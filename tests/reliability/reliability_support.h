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

#include <atomic>
#include <ostream>
#include <thread>

#include <sys/types.h>

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

// Makes a FIFO; fails the test when it cannot.
void makeFifo(const QString &path);

// The resident memory of this process in bytes now (VmRSS) and at its peak
// (VmHWM); resetPeakMemory() starts a new peak from the present size.
qint64 residentMemoryBytes();
qint64 peakMemoryBytes();
void resetPeakMemory();

// Counts this process's opens of one file while it lives (a road run by the
// test), through the C library's open and openat, whatever path leads there;
// needs no file watch. Opens of a FIFO or other special file are
// refused, so that the road can never block on one.
class OpenWatch {
public:
    explicit OpenWatch(const QString &path);
    ~OpenWatch();
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;

    bool isValid() const { return m_inode != 0; }
    // Opens since the watch began (or the last call).
    int opens() { return m_opens.exchange(0); }

    // For the open functions: counts an open of path (in folder) that
    // reaches a watched file; false when it is refused.
    static bool allowOpen(int folder, const char *path, int flags);

private:
    dev_t m_device = 0;
    ino_t m_inode = 0;
    bool m_refuse = false;
    std::atomic<int> m_opens{0};
};

// While it lives, this process's calls on a path holding pathPart (for a
// descriptor, where it was opened) fail with error, as a failing disk or a
// foreign file system fails them.
enum class SystemCall { UnnamedOpen, OpenForWriting, Link, RenameNoReplace, Read, Write, Sync };
struct SystemFault {
    SystemCall call;
    int error = 0;
    QByteArray pathPart;
};
class SystemFaults {
public:
    explicit SystemFaults(QList<SystemFault> faults);
    ~SystemFaults();
    // The thread and path of each fdatasync since the start.
    QList<std::pair<std::thread::id, QByteArray>> syncs() const;
    static int fail(SystemCall call, int folder, const char *path);
};

// exFAT and FAT in folder: no O_TMPFILE, no hard links, no RENAME_NOREPLACE.
QList<SystemFault> likeExfat(const QByteArray &folder);

// Whether any process has read a file since markUnread(path): a read moves
// the access time that markUnread sets back to 2000. markUnread says whether
// this file system records reads at all (it does not when mounted noatime).
bool markUnread(const QString &path);
bool readSinceMarked(const QString &path);

} // namespace zelmora::test
