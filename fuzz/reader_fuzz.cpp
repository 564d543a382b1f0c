// Arbitrary bytes as the popup pages of one set: reading never fails, never
// touches a page it did not read, and gives only what the rules allow.
// Input: a control byte, then the pages 1 to 6 separated by kSeparator (the
// sixth part keeps any further separators); pages after the last part do not
// exist. Control bit 0 picks ".html" over ".htm"; bits 1-3, when they give a
// page number 1 to 6, put a folder in place of that page.

#include "core/reopen/page_reader.h"

#include "core/generate/popup_page.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string.h>

using namespace zelmora;

namespace {

constexpr char kSeparator[] = "\n##PAGE##\n";
constexpr size_t kSeparatorSize = sizeof kSeparator - 1;
const QString kTitle = QStringLiteral("f");

const QString &folder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path() + u'/';
    if (!dir.isValid())
        abort();
    return path;
}

void removePages()
{
    for (const char *ext : {".htm", ".html"}) {
        for (int k = 1; k <= kPageCount; ++k) {
            const QString path = folder() + popupPageFileName(kTitle, k, QString::fromLatin1(ext));
            if (!QFile::remove(path))
                QDir().rmdir(path);
        }
    }
}

void check(bool condition, const char *what)
{
    if (!condition) {
        fprintf(stderr, "reader_fuzz: %s\n", what);
        abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t control = data[0];
    const QString ext = (control & 1) ? QStringLiteral(".html") : QStringLiteral(".htm");
    const int folderPage = (control >> 1) & 7;

    removePages();
    const char *rest = reinterpret_cast<const char *>(data + 1);
    size_t left = size - 1;
    int parts = 0;
    while (parts < kPageCount) {
        const void *hit
            = parts + 1 < kPageCount ? memmem(rest, left, kSeparator, kSeparatorSize) : nullptr;
        const size_t length = hit ? size_t(static_cast<const char *>(hit) - rest) : left;
        ++parts;
        const QString path = folder() + popupPageFileName(kTitle, parts, ext);
        if (parts == folderPage) {
            QDir().mkdir(path);
        } else {
            QFile file(path);
            check(file.open(QIODevice::WriteOnly), "cannot write a page");
            file.write(rest, qint64(length));
        }
        if (!hit)
            break;
        rest += length + kSeparatorSize;
        left -= length + kSeparatorSize;
    }

    PageSet start;
    start.title = kTitle;
    resetPageSet(start);
    const ReadOutcome outcome = readPageSetFiles(folder(), kTitle, ext, start);

    check(outcome.pagesRead >= 0 && outcome.pagesRead <= parts, "more pages read than exist");
    check(folderPage < 1 || outcome.pagesRead < folderPage, "a folder was read as a page");
    if (outcome.pagesRead == 0)
        check(outcome.set == start, "nothing read but the set changed");
    check(outcome.set.title == kTitle, "the title changed");
    for (int k = 1; k <= kPageCount; ++k) {
        const Page &page = outcome.set.page(k);
        if (k > outcome.pagesRead)
            check(page == start.page(k), "a page after the last one read changed");
        check(!page.text.contains(QStringLiteral("<BR>")), "a <BR> was left in a text");
    }
    const bool colour = outcome.set.backgroundKind == BackgroundKind::Colour;
    check(outcome.set.backgroundAttribute == (colour ? kColourAttribute : kPictureAttribute),
          "the background attribute does not follow its kind");
    check(!readReportMessage(kTitle, ext, outcome.pagesRead).isEmpty(), "no report");
    return 0;
}
