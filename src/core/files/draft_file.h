#pragma once

#include "core/model/page_set.h"
#include "core/files/atomic_file.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <utility>

namespace zelmora {

// The editor's whole page set as a draft file: JSON with a marker of its own,
// so that a file of another program is never taken for a draft.
QByteArray draftBytes(const PageSet &set);

// The page set of a draft, or nothing when the bytes are not a draft this
// program wrote (damaged, truncated, foreign, a value out of range).
std::optional<PageSet> parseDraft(const QByteArray &bytes);

// An flock on a draft's lock file, held until destroyed. Drafts are replaced
// by rename, so the lock lives in a file of its own that is never replaced;
// the kernel lets it go when the process ends, however it ends.
class DraftLock {
public:
    DraftLock() = default;
    explicit DraftLock(int fd) : m_fd(fd) {}
    DraftLock(DraftLock &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    DraftLock &operator=(DraftLock &&other) noexcept;
    DraftLock(const DraftLock &) = delete;
    DraftLock &operator=(const DraftLock &) = delete;
    ~DraftLock();

    bool held() const { return m_fd >= 0; }
    // At a clean end: removes the lock file at path while the lock still
    // holds it (and only if path still names this lock's file), then lets
    // go. A copy that opened the file just before sees it gone and tries
    // again (lockDraft), so no two copies ever hold one slot.
    void removeAndRelease(const QString &path);

private:
    int m_fd = -1;
};

// The lock file of a draft: Zelmora.3.draft has Zelmora.3.lock.
QString draftLockPath(const QString &draftPath);

// Takes the draft's lock without waiting. An unheld lock means that no
// running copy owns the draft; the error says why the lock file could not
// be opened, and is empty when another copy holds it.
//
// A lock file that is a link, a FIFO, a folder or another user's file is
// never followed, opened for writing or changed: unusable is set, and the
// draft is left to whoever put it there. With ReadOnlyFolder, a folder the
// program cannot write to (a read-only mount) still has its existing lock
// files locked; where a lock file is missing there, no running copy can hold
// it, and nobodyCanHold is set instead.
struct DraftLockAttempt {
    DraftLock lock;
    std::optional<FileError> error;
    bool unusable = false;
    bool nobodyCanHold = false;
};
enum class LockFolder { Writable, ReadOnly };
DraftLockAttempt lockDraft(const QString &draftPath, LockFolder folder = LockFolder::Writable);

// This copy's own draft beside the settings file: the first Zelmora.<n>.draft
// whose lock it can take and that holds nothing left by an earlier copy; a
// slot whose lock file is unusable is passed over. The
// lock is kept for as long as the slot lives. On failure path is empty and
// error says why.
struct DraftSlot {
    QString path;
    DraftLock lock;
    std::optional<FileError> error;
};
DraftSlot claimDraftSlot(const QString &settingsFile);

// Every draft beside the settings file, the numbered ones and the single
// one of older versions, the most recently saved first. Whether a running
// copy owns one is told by lockDraft.
QStringList draftsBeside(const QString &settingsFile);

// What is found at the draft's place.
struct DraftOnDisk {
    enum class State { None, Found, Damaged, Unreadable } state = State::None;
    PageSet set;
    QString setAsidePath;           // where a damaged draft was moved to
    std::optional<FileError> error; // why an unreadable draft could not be read
};

// Reads the draft. A damaged or foreign file is renamed aside (name +
// ".damaged", replacing an older one) so it is reported once and never read
// again; one that cannot be moved is left and reported as damaged. A draft
// the system fails to read (a failing disk) is Unreadable and left as it is:
// it may well be whole.
DraftOnDisk takeDraft(const QString &path);

// Replaces the draft atomically (a reader sees the old or the new draft).
std::optional<FileError> saveDraft(const QString &path, const PageSet &set);

// Removes the draft; a missing draft is not an error.
void removeDraft(const QString &path);

} // namespace zelmora
