#include "core/files/picture_import.h"

#include "core/files/atomic_file.h"
#include "core/files/file_descriptor.h"
#include "core/files/file_error.h"
#include "core/model/page_set.h"
#include "core/model/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelmora {

namespace {

constexpr qsizetype kChunk = 1 << 20;

bool hasPictureSuffix(const QString &name)
{
    const QString lower = name.toLower();
    for (const char *suffix : {".gif", ".jpg", ".png", ".bmp"}) {
        if (lower.endsWith(QLatin1StringView(suffix)) && lower.size() > 4)
            return true;
    }
    return false;
}

// Same size and same bytes.
bool sameContent(int a, int b)
{
    struct stat sa {};
    struct stat sb {};
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0 || sa.st_size != sb.st_size)
        return false;
    QByteArray ba(kChunk, Qt::Uninitialized), bb(kChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t na = ::read(a, ba.data(), kChunk);
        const ssize_t nb = ::read(b, bb.data(), kChunk);
        if (na < 0 || nb < 0 || na != nb)
            return false;
        if (na == 0)
            return true;
        if (std::memcmp(ba.constData(), bb.constData(), size_t(na)) != 0)
            return false;
    }
}

// Writes all of in, from its start, to out; errno on failure.
int copyAll(int in, int out)
{
    if (::lseek(in, 0, SEEK_SET) != 0)
        return errno;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), kChunk);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return 0;
        if (const int error = writeAll(out, QByteArrayView(buffer.constData(), n)))
            return error;
    }
}

// Whether the file starts as a GIF, JPEG, PNG or BMP file does: the
// signatures by which image readers recognise these formats. Reads from
// the start; the caller seeks back before reading again.
bool holdsPicture(int fd)
{
    char head[8] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    if (n < 2)
        return false;
    const QByteArrayView bytes(head, n);
    return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a")
        || bytes.startsWith("\xFF\xD8\xFF") || bytes.startsWith("\x89PNG\r\n\x1A\n")
        || (bytes.startsWith("BM") && n >= 6);
}

QString candidateName(const QString &name, int number)
{
    if (number == 1)
        return name;
    const int dot = name.lastIndexOf(u'.');
    return name.left(dot) + u'_' + QString::number(number) + name.mid(dot);
}

} // namespace

std::optional<QString> pictureNameFault(const QString &folder, const QString &name)
{
    const auto control = std::find_if(name.begin(), name.end(), isLineControl);
    if (control != name.end()) {
        return Texts::tr("ファイル名に改行やタブなどの制御文字 (U+%1) があり、ページの行が"
                         "そこで分かれてしまいます。")
            .arg(control->unicode(), 4, 16, QChar(u'0'))
            .toUpper();
    }
    if (name.contains(u'"'))
        return Texts::tr("ファイル名に「\"」があり、ページの画像の指定がそこで切れてしまいます。");
    if (name.contains(QChar::ReplacementCharacter)) {
        // A name decodes to U+FFFD where its bytes are not UTF-8; such a
        // name cannot be encoded back to the file's own bytes.
        struct stat st {};
        if (::lstat(QFile::encodeName(QDir(folder).filePath(name)).constData(), &st) != 0)
            return Texts::tr("ファイル名が UTF-8 の文字になっていないため、ページからこのファイルを"
                             "指すことができません。");
    }
    return std::nullopt;
}

PictureImport importPicture(const QString &source, const QString &outFolder)
{
    PictureImport result;
    const QFileInfo info(source);
    const QString name = info.fileName();
    if (!hasPictureSuffix(name)) {
        result.problem = Texts::tr("%1: gif、jpg、png、bmp の画像ではありません").arg(name);
        return result;
    }
    if (const auto fault = pictureNameFault(info.absolutePath(), name)) {
        result.problem = QStringLiteral("%1: %2").arg(withControlCodes(name), *fault);
        return result;
    }
    // A link is judged by the file it leads to: that file must be a regular
    // file holding a picture, whatever its name says.
    const FileDescriptor in(
        ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat sourceInfo {};
    if (in.get() < 0 || ::fstat(in.get(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) {
        result.problem
            = QStringLiteral("%1: %2").arg(name,
                                           in.get() < 0
                                               ? systemErrorText(errno)
                                               : Texts::tr("通常のファイルではありません"));
        return result;
    }
    if (!holdsPicture(in.get())) {
        result.problem = Texts::tr("%1: 中身が gif、jpg、png、bmp の画像ではありません").arg(name);
        return result;
    }
    const QString folder = QDir(outFolder).absolutePath();
    if (QDir(info.absolutePath()).canonicalPath() == QDir(folder).canonicalPath()) {
        result.name = name;
        return result;
    }
    for (int number = 1; number < 10000; ++number) {
        const QString candidate = candidateName(name, number);
        const QByteArray target = QFile::encodeName(QDir(folder).filePath(candidate));
        struct stat existing {};
        if (::lstat(target.constData(), &existing) == 0) {
            if (!S_ISREG(existing.st_mode))
                continue;
            const FileDescriptor old(
                ::open(target.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
            ::lseek(in.get(), 0, SEEK_SET);
            if (old.get() >= 0 && sameContent(in.get(), old.get())) {
                result.name = candidate;
                return result;
            }
            continue;
        }

        // Written by the one file writer, which never replaces a file that
        // appeared meanwhile, and leaves nothing behind on a failure.
        const auto error = writeNewFile(QDir(folder).filePath(candidate),
                                        [&in](int out) { return copyAll(in.get(), out); });
        if (!error) {
            result.name = candidate;
            return result;
        }
        if (error->errorNumber != EEXIST) {
            result.problem = QStringLiteral("%1: %2").arg(name, error->reason);
            return result;
        }
        // Taken meanwhile: look at it like any other existing name.
        --number;
    }
    result.problem = Texts::tr("%1: 空いているファイル名が見つかりません").arg(name);
    return result;
}

QStringList droppedPictureFiles(const QMimeData *mime)
{
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl &url : mime->urls()) {
        if (url.isLocalFile() && hasPictureSuffix(url.toLocalFile()))
            files.append(url.toLocalFile());
    }
    return files;
}

void importPicturesInBackground(QObject *context, const QStringList &sources,
                                const QString &outFolder,
                                std::function<void(QStringList, QStringList)> done)
{
    // The worker never touches context: it fills the result, and the
    // connection below hands it to done on context's thread. Qt drops a
    // queued call whose receiver is gone, so a context destroyed meanwhile
    // (the picker closed during a long copy) never gets it.
    struct Result {
        QStringList names;
        QStringList problems;
    };
    auto result = std::make_shared<Result>();
    QThread *worker = QThread::create([result, sources, outFolder] {
        for (const QString &source : sources) {
            const PictureImport imported = importPicture(source, outFolder);
            if (!imported.name.isEmpty())
                result->names.append(imported.name);
            else
                result->problems.append(imported.problem);
        }
    });
    QObject::connect(worker, &QThread::finished, context,
                     [result, done = std::move(done)] { done(result->names, result->problems); });
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

QString pictureImportMessage(const QStringList &problems)
{
    return Texts::tr("次の画像は取り込めませんでした。\n%1").arg(problems.join(u'\n'));
}

} // namespace zelmora
