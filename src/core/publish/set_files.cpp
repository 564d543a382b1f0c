#include "core/publish/set_files.h"

#include "core/files/file_error.h"
#include "core/generate/popup_page.h"
#include "core/generate/set_writer.h"
#include "core/model/texts.h"
#include "core/reopen/page_reader.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

namespace {

// The file's size and hash, read through a descriptor opened without
// following a link, so that a link planted in the folder never sends a file
// from elsewhere; errno on failure.
int hashFile(const QString &path, SetFile *file)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ELOOP ? EINVAL : errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return EINVAL;
    }
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buffer[1 << 16];
    qint64 total = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        if (n == 0)
            break;
        hash.addData(QByteArrayView(buffer, n));
        total += n;
    }
    ::close(fd);
    file->size = total;
    file->sha256 = hash.result();
    return 0;
}

} // namespace

std::optional<SetFiles> collectSetFiles(const QString &outputFolder, const QString &title,
                                        const QString &ext, QString *problem)
{
    const ReadOutcome read = readPageSetFiles(outputFolder, title, ext, PageSet{});
    if (read.pagesRead == 0) {
        *problem = read.refusal.isEmpty()
            ? Texts::tr("「%1」はまだ作成されていません。先に作成してください。").arg(title + ext)
            : read.refusal;
        return std::nullopt;
    }
    QStringList names;
    for (int k = 1; k <= read.pagesRead; ++k)
        names << popupPageFileName(title, k, ext);
    for (const QString &name : allCompanionFiles(title)) {
        if (isWrittenCompanion(outputFolder + name))
            names << name;
    }
    QStringList pictures;
    for (int k = 1; k <= read.pagesRead; ++k) {
        const Page &page = read.set.page(k);
        if (page.kind == PageKind::StandardPicture || page.kind == PageKind::WidePicture)
            pictures << pictureFile(page);
    }
    if (read.set.backgroundKind == BackgroundKind::Picture)
        pictures << read.set.backgroundValue;
    for (const QString &picture : pictures) {
        // A name the pages cannot hold as a file of this folder is not sent.
        if (picture.isEmpty() || picture == u'.' || picture == QStringLiteral("..")
            || picture.contains(u'/') || picture.contains(QChar(0))) {
            *problem = Texts::tr("ページの画像名「%1」は出力フォルダのファイルではありません。")
                           .arg(picture);
            return std::nullopt;
        }
        if (!names.contains(picture))
            names << picture;
    }

    SetFiles out;
    out.pages = read.pagesRead;
    for (const QString &name : names) {
        SetFile file;
        file.name = name;
        if (const int error = hashFile(outputFolder + name, &file)) {
            *problem
                = Texts::tr("ファイルを読み込めませんでした。\n%1\n理由: %2")
                      .arg(QDir::toNativeSeparators(outputFolder + name), systemErrorText(error));
            return std::nullopt;
        }
        out.files << file;
    }
    return out;
}

QStringList stalePages(const QStringList &remoteNames, const QString &title, const QString &ext,
                       int pages)
{
    QStringList out;
    for (int k = pages + 1; k <= kPageCount; ++k) {
        const QString name = popupPageFileName(title, k, ext);
        if (remoteNames.contains(name))
            out << name;
    }
    return out;
}

} // namespace zelmora
