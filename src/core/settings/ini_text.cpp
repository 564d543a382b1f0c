// Fixed rules: how Windows' profile functions read and write a settings
// file, case by case (blanks, quotes, comments, duplicate keys, line ends).
// Each branch below is one rule that stored files rely on; keep them as
// they are (formatting is off for this file).
// clang-format off

#include "core/settings/ini_text.h"

#include "core/text/cp932.h"

#include <QtEndian>

namespace zelmora::ini {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Windows trims vertical tabs with the blanks.
bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\v'; }
bool isLineBreak(QChar c) { return c == u'\r' || c == u'\n'; }

bool sameName(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool isQuoted(QStringView value)
{
    return value.size() >= 2 && value.front() == value.back()
        && (value.front() == u'"' || value.front() == u'\'');
}

// One line of the text: [begin, contentEnd) is its content, [contentEnd, end)
// its line end (CR LF, LF, CR, or nothing on a last line without one).
struct Line {
    qsizetype begin = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;
};

bool nextLine(QStringView text, qsizetype &pos, Line &line)
{
    const qsizetype size = text.size();
    if (pos >= size)
        return false;
    line.begin = pos;
    // Every character of the file passes this loop, once per search: plain
    // code units keep it cheap in unoptimised builds too.
    const char16_t *units = text.utf16();
    qsizetype i = pos;
    while (i < size && units[i] != u'\r' && units[i] != u'\n')
        ++i;
    line.contentEnd = i;
    if (i < size)
        i += (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n') ? 2 : 1;
    line.end = pos = i;
    return true;
}

struct LineInfo {
    enum Kind { Other, Comment, Section, Key } kind = Other;
    QStringView name;          // the section or key, blanks trimmed
    qsizetype valueBegin = 0;  // a key's value starts here, just after its "="
};

LineInfo classify(QStringView text, const Line &line)
{
    const QStringView content = text.sliced(line.begin, line.contentEnd - line.begin);
    qsizetype start = 0;
    while (start < content.size() && isBlank(content[start]))
        ++start;
    if (start == content.size())
        return {};
    // Only a ";" that opens the line makes a comment; elsewhere it is text.
    if (content[start] == u';')
        return {LineInfo::Comment};
    if (content[start] == u'[') {
        const qsizetype close = content.indexOf(u']', start + 1);
        if (close >= 0)
            return {LineInfo::Section, trimBlanks(content.sliced(start + 1, close - start - 1))};
    }
    const qsizetype eq = content.indexOf(u'=', start);
    if (eq < 0)
        return {};
    return {LineInfo::Key, trimBlanks(content.sliced(start, eq - start)), line.begin + eq + 1};
}

// A stored value as it is read back.
QStringView readForm(QStringView stored)
{
    QStringView value = trimBlanks(stored);
    if (isQuoted(value))
        value = value.sliced(1, value.size() - 2);
    return value;
}

struct Location {
    bool sectionFound = false;
    qsizetype insertAt = 0; // after the section's header or its last key line
    bool keyFound = false;
    Line keyLine;
    qsizetype valueBegin = 0;
};

Location locate(QStringView text, QStringView section, QStringView key, bool stopAtKey)
{
    Location loc;
    qsizetype pos = 0;
    Line line;
    while (nextLine(text, pos, line)) {
        const LineInfo info = classify(text, line);
        if (info.kind == LineInfo::Section) {
            // Lines before the first section belong to none, and a second
            // section of the same name is never searched.
            if (loc.sectionFound)
                break;
            if (sameName(info.name, section)) {
                loc.sectionFound = true;
                loc.insertAt = line.end;
            }
            continue;
        }
        if (!loc.sectionFound || info.kind != LineInfo::Key)
            continue;
        loc.insertAt = line.end;
        if (!loc.keyFound && sameName(info.name, key)) {
            loc.keyFound = true;
            loc.keyLine = line;
            loc.valueBegin = info.valueBegin;
            if (stopAtKey)
                break;
        }
    }
    return loc;
}

// The value as it goes into the file. A value is one line: a line break in
// it would end the line and could make the rest read as a key or section of
// its own, so it becomes a space. A value that reads as quoted would lose its
// quotes when read back; one more pair keeps them.
QString storedValue(QStringView value)
{
    QString stored = value.toString();
    for (QChar &c : stored) {
        if (isLineBreak(c))
            c = u' ';
    }
    const QStringView trimmed = trimBlanks(stored);
    if (isQuoted(trimmed))
        return u'"' + trimmed.toString() + u'"';
    return stored;
}

void removeKey(QString &text, QStringView section, QStringView key)
{
    QString kept;
    kept.reserve(text.size());
    bool inSection = false;
    bool sectionSeen = false;
    qsizetype pos = 0;
    Line line;
    while (nextLine(text, pos, line)) {
        const LineInfo info = classify(text, line);
        if (info.kind == LineInfo::Section) {
            inSection = !sectionSeen && sameName(info.name, section);
            sectionSeen = sectionSeen || inSection;
        } else if (inSection && info.kind == LineInfo::Key && sameName(info.name, key)) {
            continue;
        }
        kept += QStringView(text).sliced(line.begin, line.end - line.begin);
    }
    text = std::move(kept);
}

// Text with every line end as CR LF.
QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    qsizetype pos = 0;
    Line line;
    while (nextLine(text, pos, line)) {
        out += text.sliced(line.begin, line.contentEnd - line.begin);
        if (line.end > line.contentEnd)
            out += kCrLf;
    }
    return out;
}

QString decodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    const qsizetype units = bytes.size() / 2;
    QString out(units, Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < units; ++i) {
        const uchar *p = reinterpret_cast<const uchar *>(bytes.data()) + 2 * i;
        dst[i] = bigEndian ? qFromBigEndian<char16_t>(p) : qFromLittleEndian<char16_t>(p);
    }
    // A surrogate without its partner cannot be written back as UTF-8.
    for (qsizetype i = 0; i < units; ++i) {
        if (QChar::isHighSurrogate(dst[i]) && i + 1 < units && QChar::isLowSurrogate(dst[i + 1]))
            ++i;
        else if (QChar::isSurrogate(dst[i]))
            dst[i] = QChar::ReplacementCharacter;
    }
    if (bytes.size() % 2 != 0)
        out += QChar(QChar::ReplacementCharacter);
    return out;
}

} // namespace

QStringView trimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

QString decode(const QByteArray &bytes)
{
    // Byte-order marks repeated after the first (a file converted twice) go
    // with it: the text is written back as UTF-8, where a leading one would
    // be taken for a byte-order mark the next time and its first line change.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool bigEndian = bytes.startsWith("\xFE\xFF");
        QString text = decodeUtf16(QByteArrayView(bytes).sliced(2), bigEndian);
        qsizetype marks = 0;
        while (marks < text.size() && text[marks] == QChar::ByteOrderMark)
            ++marks;
        return withCrLf(QStringView(text).sliced(marks));
    }
    const QByteArray kUtf8Bom = "\xEF\xBB\xBF";
    QByteArrayView body = bytes;
    while (body.startsWith(kUtf8Bom))
        body = body.sliced(3);
    // Valid UTF-8 is exactly what decodes and encodes back to the same bytes;
    // anything else is taken as the ANSI code page of a Windows-made file.
    QString utf8 = QString::fromUtf8(body);
    if (QByteArrayView(utf8.toUtf8()) == body)
        return utf8;
    return withCrLf(decodeCp932(body.toByteArray()));
}

QByteArray encode(const QString &text) { return text.toUtf8(); }

std::optional<QString> findValue(QStringView text, QStringView section, QStringView key)
{
    const Location loc = locate(text, section, key, true);
    if (!loc.keyFound)
        return std::nullopt;
    return readForm(text.sliced(loc.valueBegin, loc.keyLine.contentEnd - loc.valueBegin))
        .toString();
}

void setValue(QString &text, QStringView section, QStringView key, QStringView value)
{
    const Location loc = locate(text, section, key, false);
    if (value.isEmpty()) {
        if (loc.keyFound)
            removeKey(text, section, key);
        return;
    }
    const QString stored = storedValue(value);
    if (loc.keyFound) {
        const qsizetype length = loc.keyLine.contentEnd - loc.valueBegin;
        // A value that already reads the same keeps its line as it is
        // (quotes, blanks); otherwise everything up to the "=" stays as the
        // file spells it.
        if (readForm(QStringView(text).sliced(loc.valueBegin, length)) == readForm(stored))
            return;
        // A rewritten line always ends in CR LF, as Windows writes it, the
        // last line of a file without one included.
        if (loc.keyLine.end == loc.keyLine.contentEnd)
            text.insert(loc.keyLine.contentEnd, kCrLf);
        text.replace(loc.valueBegin, length, stored);
        return;
    }
    const qsizetype at = loc.sectionFound ? loc.insertAt : text.size();
    QString added;
    // Only the last line can lack its line end, and only there can a new
    // line be joined to an old one.
    if (at == text.size() && !text.isEmpty() && !isLineBreak(text.back()))
        added += kCrLf;
    if (!loc.sectionFound)
        added += u'[' + section.toString() + u']' + kCrLf;
    added += key.toString() + u'=' + stored + kCrLf;
    text.insert(at, added);
}

bool isValidSectionName(QStringView name)
{
    return !name.isEmpty() && trimBlanks(name).size() == name.size()
        && !name.contains(u']') && !name.contains(u'\r') && !name.contains(u'\n');
}

bool isValidKeyName(QStringView name)
{
    return !name.isEmpty() && trimBlanks(name).size() == name.size() && name.front() != u';'
        && name.front() != u'[' && !name.contains(u'=') && !name.contains(u'\r')
        && !name.contains(u'\n');
}

} // namespace zelmora::ini
