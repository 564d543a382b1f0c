#include "core/files/draft_file.h"

#include "core/files/file_descriptor.h"
#include "core/files/page_lines.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace zelmora {

namespace {

const QString kFormat = QStringLiteral("zelmora-draft");
constexpr int kVersion = 1;
// The largest set the editor can hold comes from reopening pages that were
// edited by hand: the reader hands on lines of up to kMaxLineBytes, and a
// page's text, its standard picture's file name and its wide picture's file
// name can each fill one (the typing limit does not apply to what the editor
// is shown). A byte of a line becomes at most one UTF-16 unit. The
// alternative texts, the title and the background value are line edits,
// which keep at most 32767 units. The JSON of a draft writes a unit as at
// most six bytes (a control character as \u00XX).
constexpr qint64 kLongestLineEdit = 32767;
constexpr qint64 kLargestSetUnits
    = kPageCount * (3 * kMaxLineBytes + 2 * kLongestLineEdit) + 2 * kLongestLineEdit;
// Every draft the program writes is read back: the largest set's text plus
// room for the keys and the indentation (a few hundred bytes). Anything
// larger is not one of ours.
constexpr qint64 kMaxDraftBytes = 6 * kLargestSetUnits + (1 << 20);
// A copy takes the first free slot, trying them in turn (one lock each), so
// the number bounds that search: far more copies than anyone runs at once,
// and a folder whose slots are all taken is reported as unusable.
constexpr int kMaxSlots = 999;

QString folderOf(const QString &settingsFile)
{
    return QFileInfo(settingsFile).absolutePath();
}

QString slotPath(const QString &folder, int slot)
{
    return folder + QStringLiteral("/Zelmora.%1.draft").arg(slot);
}

bool exists(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 || errno != ENOENT;
}

QString key(const char *name)
{
    return QString::fromLatin1(name);
}

std::optional<QString> stringField(const QJsonObject &object, const char *name)
{
    const QJsonValue value = object.value(key(name));
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<int> kindField(const QJsonObject &object, const char *name, int last)
{
    const QJsonValue value = object.value(key(name));
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number < 0 || number > last || number != static_cast<int>(number))
        return std::nullopt;
    return static_cast<int>(number);
}

} // namespace

QByteArray draftBytes(const PageSet &set)
{
    QJsonArray pages;
    for (const Page &page : set.pages) {
        pages.append(QJsonObject{
            {key("kind"), static_cast<int>(page.kind)},
            {key("text"), page.text},
            {key("standardFile"), page.standardFile},
            {key("standardAlt"), page.standardAlt},
            {key("wideFile"), page.wideFile},
            {key("wideAlt"), page.wideAlt},
        });
    }
    const QJsonObject root{
        {key("format"), kFormat},
        {key("version"), kVersion},
        {key("title"), set.title},
        {key("pages"), pages},
        {key("backgroundKind"), static_cast<int>(set.backgroundKind)},
        {key("backgroundAttribute"), set.backgroundAttribute},
        {key("backgroundValue"), set.backgroundValue},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<PageSet> parseDraft(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    if (root.value(key("format")).toString() != kFormat
        || root.value(key("version")).toInt() != kVersion)
        return std::nullopt;

    PageSet set;
    const auto title = stringField(root, "title");
    const auto backgroundKind = kindField(root, "backgroundKind", 1);
    const auto attribute = stringField(root, "backgroundAttribute");
    const auto value = stringField(root, "backgroundValue");
    const QJsonArray pages = root.value(key("pages")).toArray();
    if (!title || !backgroundKind || !attribute || !value || pages.size() != kPageCount)
        return std::nullopt;
    // The attribute is written into every page as it stands, so only the
    // captions the window itself can show are taken.
    if (*attribute != kColourAttribute && *attribute != kPictureAttribute
        && *attribute != kInitialColourAttribute)
        return std::nullopt;
    set.title = *title;
    set.backgroundKind = static_cast<BackgroundKind>(*backgroundKind);
    set.backgroundAttribute = *attribute;
    set.backgroundValue = *value;

    for (int k = 1; k <= kPageCount; ++k) {
        const QJsonObject object = pages.at(k - 1).toObject();
        const auto kind = kindField(object, "kind", 3);
        const auto text = stringField(object, "text");
        const auto standardFile = stringField(object, "standardFile");
        const auto standardAlt = stringField(object, "standardAlt");
        const auto wideFile = stringField(object, "wideFile");
        const auto wideAlt = stringField(object, "wideAlt");
        if (!kind || !text || !standardFile || !standardAlt || !wideFile || !wideAlt)
            return std::nullopt;
        Page &page = set.page(k);
        page.kind = static_cast<PageKind>(*kind);
        page.text = *text;
        page.standardFile = *standardFile;
        page.standardAlt = *standardAlt;
        page.wideFile = *wideFile;
        page.wideAlt = *wideAlt;
    }
    return set;
}

DraftLock &DraftLock::operator=(DraftLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

DraftLock::~DraftLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

namespace {

// Whether path names the file open as fd (not a link or another file put there).
bool namesOpenFile(const QByteArray &path, int fd)
{
    struct stat named {};
    struct stat open {};
    return ::lstat(path.constData(), &named) == 0 && ::fstat(fd, &open) == 0
        && named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

} // namespace

void DraftLock::removeAndRelease(const QString &path)
{
    if (m_fd < 0)
        return;
    const QByteArray native = QFile::encodeName(path);
    if (namesOpenFile(native, m_fd))
        ::unlink(native.constData());
    ::close(std::exchange(m_fd, -1));
}

QString draftLockPath(const QString &draftPath)
{
    QString path = draftPath;
    if (path.endsWith(QStringLiteral(".draft")))
        path.chop(6);
    return path + QStringLiteral(".lock");
}

namespace {

// Whether an opened lock file is one this program may lock: a regular file
// of this user's. A file system without owners (exFAT, FAT) shows every
// file as the mounting user's, folder and lock file alike, so a lock file
// owned like its folder is taken too.
bool usableLockFile(int fd, const QString &path)
{
    struct stat info {};
    struct stat folder {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    if (info.st_uid == ::geteuid())
        return true;
    return ::stat(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &folder) == 0
        && folder.st_uid == info.st_uid;
}

} // namespace

DraftLockAttempt lockDraft(const QString &draftPath, LockFolder lockFolder)
{
    DraftLockAttempt attempt;
    const QString path = draftLockPath(draftPath);
    const QByteArray native = QFile::encodeName(path);
    // Never through a link, and a FIFO planted there must not block the start.
    constexpr int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(native.constData(), O_RDWR | O_CREAT | flags, 0600);
    if (fd < 0) {
        const int error = errno;
        struct stat info {};
        const bool exists = ::lstat(native.constData(), &info) == 0;
        const bool readOnly = error == EROFS || error == EACCES;
        if (exists && !S_ISREG(info.st_mode)) {
            attempt.unusable = true;
        } else if (readOnly && lockFolder == LockFolder::ReadOnly) {
            // flock needs no write access: a copy that started before the
            // folder turned read-only may hold this lock still.
            fd = exists ? ::open(native.constData(), O_RDONLY | flags) : -1;
            attempt.nobodyCanHold = !exists;
        } else if (exists && error == EACCES) {
            attempt.unusable = true; // another user's file
        }
        if (fd < 0) {
            attempt.error = FileError::fromErrno(path, error);
            return attempt;
        }
    }
    if (!usableLockFile(fd, path)) {
        ::close(fd);
        attempt.unusable = true;
        attempt.error = FileError::fromErrno(path, EINVAL);
        return attempt;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK)
            attempt.error = FileError::fromErrno(path, error);
        return attempt;
    }
    // Its owner removed the file as it ended, after this open: the lock is
    // on a file nobody else will find. The path, opened again, is the slot.
    if (!namesOpenFile(native, fd)) {
        ::close(fd);
        return lockDraft(draftPath, lockFolder);
    }
    attempt.lock = DraftLock(fd);
    return attempt;
}

DraftSlot claimDraftSlot(const QString &settingsFile)
{
    DraftSlot slot;
    const QString folder = folderOf(settingsFile);
    for (int n = 1; n <= kMaxSlots; ++n) {
        const QString path = slotPath(folder, n);
        DraftLockAttempt attempt = lockDraft(path);
        if (!attempt.lock.held()) {
            // Something planted at one lock file leaves the others free; a
            // folder that refuses a lock file refuses them all.
            if (attempt.unusable)
                continue;
            if (attempt.error) {
                slot.error = attempt.error;
                return slot;
            }
            continue;
        }
        // Looked at under the lock: a draft there was left by a copy that
        // ended, and is offered at start rather than overwritten.
        if (exists(path))
            continue;
        slot.path = path;
        slot.lock = std::move(attempt.lock);
        return slot;
    }
    slot.error = FileError::fromErrno(slotPath(folder, kMaxSlots), EMFILE);
    return slot;
}

QStringList draftsBeside(const QString &settingsFile)
{
    const QDir folder(folderOf(settingsFile));
    static const QRegularExpression name(QStringLiteral("^Zelmora(\\.[1-9][0-9]*)?\\.draft$"));
    QFileInfoList found;
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files | QDir::System | QDir::Hidden)) {
        if (name.match(info.fileName()).hasMatch())
            found.append(info);
    }
    std::stable_sort(found.begin(), found.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.lastModified() > b.lastModified();
    });
    QStringList paths;
    for (const QFileInfo &info : found)
        paths.append(info.absoluteFilePath());
    return paths;
}

DraftOnDisk takeDraft(const QString &path)
{
    DraftOnDisk found;
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        return found;

    // Only a regular file of a sane size is read: a FIFO would block and a
    // link could point anywhere.
    if (S_ISREG(info.st_mode) && info.st_size <= kMaxDraftBytes) {
        const FileDescriptor fd(
            ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        struct stat opened {};
        if (fd.get() >= 0 && ::fstat(fd.get(), &opened) == 0 && S_ISREG(opened.st_mode)
            && opened.st_size <= kMaxDraftBytes) {
            QByteArray bytes(qsizetype(opened.st_size), Qt::Uninitialized);
            if (const int error = readAll(fd.get(), bytes)) {
                found.state = DraftOnDisk::State::Unreadable;
                found.error = FileError::fromErrno(path, error);
                return found;
            }
            if (const auto set = parseDraft(bytes)) {
                found.state = DraftOnDisk::State::Found;
                found.set = *set;
                return found;
            }
        }
    }
    found.state = DraftOnDisk::State::Damaged;
    const QString aside = path + QStringLiteral(".damaged");
    if (::rename(native.constData(), QFile::encodeName(aside).constData()) == 0)
        found.setAsidePath = aside;
    return found;
}

std::optional<FileError> saveDraft(const QString &path, const PageSet &set)
{
    const QByteArray bytes = draftBytes(set);
    // Never a draft that the next start would call damaged.
    if (bytes.size() > kMaxDraftBytes)
        return FileError::fromErrno(path, EFBIG);
    return writeWholeFile(path, bytes);
}

void removeDraft(const QString &path)
{
    ::unlink(QFile::encodeName(path).constData());
}

} // namespace zelmora
