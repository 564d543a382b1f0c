#include "core/text/page_encoding.h"

#include "core/text/cp932.h"

#include <cstring>

namespace zelmora {

PageFormat pageFormatFromSetting(const QString &value)
{
    return value == QStringLiteral("1") ? PageFormat::Html5 : PageFormat::Classic;
}

PageEncoding pageEncodingOf(PageFormat format, const QString &encodingSetting)
{
    return format == PageFormat::Html5 ? PageEncoding::Utf8
                                       : pageEncodingFromSetting(encodingSetting);
}

PageEncoding pageEncodingFromSetting(const QString &value)
{
    return value == QStringLiteral("1") ? PageEncoding::Utf8 : PageEncoding::ShiftJis;
}

QString settingFromPageEncoding(PageEncoding encoding)
{
    return encoding == PageEncoding::Utf8 ? QStringLiteral("1") : QStringLiteral("0");
}

QStringList withCharsetDeclaration(QStringList lines, PageEncoding encoding)
{
    if (encoding != PageEncoding::Utf8)
        return lines;
    const qsizetype head = lines.indexOf(QStringLiteral("<head>"));
    Q_ASSERT(head >= 0);
    lines.insert(head + 1, kUtf8Declaration);
    return lines;
}

QByteArray encodePageLines(const QStringList &lines, PageEncoding encoding)
{
    QByteArray bytes;
    switch (encoding) {
    case PageEncoding::ShiftJis:
        for (const QString &line : lines) {
            bytes += encodeCp932(line);
            bytes += "\r\n";
        }
        return bytes;
    case PageEncoding::Utf8:
        bytes += kUtf8Bom;
        for (const QString &line : lines) {
            bytes += line.toUtf8();
            bytes += "\r\n";
        }
        return bytes;
    }
    Q_ASSERT(false); // a new encoding needs its case above
    return bytes;
}

namespace {

bool startsWithNoCase(QByteArrayView text, QByteArrayView prefix)
{
    return text.size() >= prefix.size()
        && qstrnicmp(text.data(), prefix.data(), std::size_t(prefix.size())) == 0;
}

// A <meta> line such as <meta charset="UTF-8"> or <META HTTP-EQUIV=...
// CONTENT="text/html; charset=utf-8">: "charset", optional blanks, "=",
// an optional quote, then the label "utf-8" or "utf8".
bool declaresUtf8(QByteArrayView line)
{
    while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
        line = line.sliced(1);
    if (!startsWithNoCase(line, "<meta"))
        return false;
    for (qsizetype i = 0; i + 7 <= line.size(); ++i) {
        if (!startsWithNoCase(line.sliced(i), "charset"))
            continue;
        qsizetype j = i + 7;
        while (j < line.size() && line[j] == ' ')
            ++j;
        if (j >= line.size() || line[j] != '=')
            continue;
        ++j;
        while (j < line.size() && (line[j] == ' ' || line[j] == '"' || line[j] == '\''))
            ++j;
        const QByteArrayView label = line.sliced(j);
        if (startsWithNoCase(label, "utf-8") || startsWithNoCase(label, "utf8"))
            return true;
    }
    return false;
}

// Whether "charset", in any case and with optional blanks, stands before one
// of the '=' signs. The reader asks this of every page, and a Shift-JIS page
// has none: this one pass over its '=' signs settles it.
bool mentionsCharset(QByteArrayView text)
{
    const char *const begin = text.data();
    const char *const end = begin + text.size();
    for (auto *eq = static_cast<const char *>(std::memchr(begin, '=', std::size_t(end - begin)));
         eq; eq = static_cast<const char *>(std::memchr(eq + 1, '=', std::size_t(end - eq - 1)))) {
        const char *name = eq;
        while (name > begin && name[-1] == ' ')
            --name;
        if (name - begin >= 7 && qstrnicmp(name - 7, "charset", 7) == 0)
            return true;
    }
    return false;
}

} // namespace

PageEncoding detectPageEncoding(QByteArrayView start)
{
    if (start.startsWith(QByteArrayView(kUtf8Bom, 3)))
        return PageEncoding::Utf8;
    start = start.first(std::min(start.size(), kEncodingPrescanBytes));
    if (!mentionsCharset(start))
        return PageEncoding::ShiftJis;
    // Line by line through the head only: a page's own text, which comes
    // after it, may hold anything.
    while (!start.isEmpty()) {
        qsizetype end = 0;
        while (end < start.size() && start[end] != '\r' && start[end] != '\n')
            ++end;
        const QByteArrayView line = start.first(end);
        if (startsWithNoCase(line, "</head>") || startsWithNoCase(line, "<body"))
            break;
        if (declaresUtf8(line))
            return PageEncoding::Utf8;
        start = start.sliced(std::min(start.size(), end + 1));
    }
    return PageEncoding::ShiftJis;
}

QString decodeUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView(kUtf8Bom, 3)))
        bytes = bytes.sliced(3);
    return QString::fromUtf8(bytes);
}

} // namespace zelmora
