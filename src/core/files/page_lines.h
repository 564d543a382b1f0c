#pragma once

#include "core/files/file_error.h"
#include "core/text/page_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstring>
#include <functional>
#include <optional>
#include <type_traits>

namespace zelmora {

// Writes the lines of a generated page in its encoding (encodePageLines) as
// the whole new file (writeWholeFile).
std::optional<FileError> writePageLines(const QString &path, const QStringList &lines,
                                        PageEncoding encoding);

// A fixed piece the page writer puts on a line of its own, such as
// `BgColor=`: ASCII with an '=' in it and no line break. Every marker holds
// an '=', so a marker can only start where its own '=' lines up with one in
// the text: walking the text's '=' signs finds markers in one vectorised scan
// instead of a search for every marker over every line. The reader of raw
// page bytes and the parser of decoded lines both look for markers this way.
struct PageMarker {
    QByteArrayView text;
    qsizetype equals = 0; // where its first '=' is

    PageMarker() = default;
    explicit PageMarker(QByteArrayView marker) : text(marker), equals(marker.indexOf('='))
    {
        Q_ASSERT(equals > 0);
    }

    // Whether the marker stands in [begin, end) with its '=' at eq; Char is
    // a byte of the page or a UTF-16 unit of a decoded line, whose ASCII
    // characters are the same values.
    template <class Char>
    bool standsAt(const Char *begin, const Char *end, const Char *eq) const
    {
        const Char *start = eq - equals;
        // The character before '=' settles most places at once.
        if (start < begin || eq[-1] != Char(text[equals - 1]) || end - start < text.size())
            return false;
        if constexpr (std::is_same_v<Char, char>)
            return std::memcmp(start, text.data(), std::size_t(text.size())) == 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (start[i] != Char(text[i]))
                return false;
        }
        return true;
    }
};

// Longest line the reader hands on; a longer line is skipped whole, so a
// foreign file cannot make the reader hold more than this in memory.
inline constexpr qsizetype kMaxLineBytes = 1 << 20;

// Reads a generated page (path in the file system's encoding, as
// QFile::encodeName gives it) and calls onLine for each line holding one of
// the markers (PageMarker), in order, until it returns false or the file
// ends. CR LF, LF and CR all end a line. The page is CP932 unless its first
// bytes say UTF-8 (detectPageEncoding); its lines are decoded in the
// encoding found, which is stored in encoding, when given, before the first
// line is handed on. An ASCII character of the decoded text always comes
// from its own byte, so only the lines that hold a marker are decoded.
//
// Only a regular file is opened: a folder, a FIFO or a device counts as a
// file that cannot be opened, and the function returns false without
// calling onLine. A link is followed only to a regular file inside the
// page's own folder (judged by where the file really is), since a set may
// come from anyone and what the reader reads goes into the pages the user
// uploads. A file larger than kMaxPageFileBytes is not read either. Why a
// page was not read is stored in refusal, when given.
//
// A read that fails part-way (a failing disk, a stick pulled out) returns
// false with ReadFailed and the errno in readError, when given: the lines
// handed on by then are only part of the page and must not be taken as it.
enum class PageRefusal {
    None,
    NotFound,    // missing, unreadable, or not a regular file
    LinkOutside, // a link to a file outside the page's folder
    TooLarge,    // larger than any page the program writes
    ReadFailed,  // the system failed a read of the opened file
};
bool readPageLinesHolding(const QByteArray &nativePath, const QList<QByteArray> &markers,
                          const std::function<bool(const QString &)> &onLine,
                          PageEncoding *encoding = nullptr, PageRefusal *refusal = nullptr,
                          int *readError = nullptr);

// Larger than any page the program writes: a page's longest values come
// from a reopened line (kMaxLineBytes), and written back with entities
// and character references each byte takes at most six.
inline constexpr qint64 kMaxPageFileBytes = qint64(32) << 20;

} // namespace zelmora
