#include "core/text/markup_escape.h"

#include "core/text/cp932.h"

#include <algorithm>
#include <iterator>

namespace zelmora {
namespace {

struct Entity {
    QStringView text;
    QChar character;
};

// What escapeName writes, what escapeHtml writes (one more), and what
// unescapeHtml reads (one more again).
constexpr Entity kEntities[] = {
    {u"&amp;", u'&'},  {u"&lt;", u'<'},   {u"&gt;", u'>'},
    {u"&quot;", u'"'}, {u"&#39;", u'\''}, {u"&apos;", u'\''},
};
constexpr qsizetype kNameEntities = 4;
constexpr qsizetype kHtmlEntities = 5;

QString escaped(const QString &text, qsizetype entityCount)
{
    const Entity *const end = kEntities + entityCount;
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const Entity *e
            = std::find_if(kEntities, end, [c](const Entity &e) { return e.character == c; });
        out += e == end ? QStringView(&c, 1) : e->text;
    }
    return out;
}

// The length of a reference at the start of text and its character in c;
// 0 when there is none.
using ReferenceRule = qsizetype (*)(QStringView text, char32_t &c);

// text with every reference its rule finds replaced by its character.
QString replacedReferences(const QString &text, ReferenceRule rule)
{
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    while (amp >= 0) {
        char32_t c = 0;
        const qsizetype length = rule(QStringView(text).mid(amp), c);
        if (length == 0) {
            amp = text.indexOf(u'&', amp + 1);
            continue;
        }
        out += QStringView(text).mid(copied, amp - copied);
        out += QString::fromUcs4(&c, 1);
        copied = amp + length;
        amp = text.indexOf(u'&', copied);
    }
    out += QStringView(text).mid(copied);
    return out;
}

qsizetype namedEntity(QStringView text, char32_t &c, const Entity *first, const Entity *last)
{
    const auto e
        = std::find_if(first, last, [&](const Entity &e) { return text.startsWith(e.text); });
    if (e == last)
        return 0;
    c = e->character.unicode();
    return e->text.size();
}

// "&#" digits ";" or "&#x" hexadecimal digits ";" naming a character; a
// leading zero only where zeroAllowed. Seven decimal digits reach U+10FFFF.
qsizetype numericReference(QStringView text, bool hexAllowed, bool zeroAllowed, char32_t &c)
{
    if (!text.startsWith(u"&#"))
        return 0;
    const bool hex = hexAllowed && text.size() > 2 && (text[2] == u'x' || text[2] == u'X');
    const int base = hex ? 16 : 10;
    qsizetype i = hex ? 3 : 2;
    const qsizetype digitsStart = i;
    char32_t value = 0;
    for (; i < text.size() && i - digitsStart < (hex ? 6 : 7); ++i) {
        const char16_t u = text[i].unicode();
        const char16_t lower = u | 0x20;
        if (u >= u'0' && u <= u'9')
            value = value * base + (u - u'0');
        else if (hex && lower >= u'a' && lower <= u'f')
            value = value * base + (lower - u'a' + 10);
        else
            break;
    }
    if (i == digitsStart || i >= text.size() || text[i] != u';')
        return 0;
    if (!zeroAllowed && text[digitsStart] == u'0')
        return 0;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    c = value;
    return i + 1;
}

} // namespace

QString escapeName(const QString &name)
{
    return escaped(name, kNameEntities);
}

QString escapeHtml(const QString &text)
{
    return escaped(text, kHtmlEntities);
}

QString unescapeName(const QString &markup)
{
    return replacedReferences(markup, [](QStringView text, char32_t &c) {
        return namedEntity(text, c, std::begin(kEntities), std::begin(kEntities) + kNameEntities);
    });
}

QString unescapeHtml(const QString &markup)
{
    return replacedReferences(markup, [](QStringView text, char32_t &c) {
        const qsizetype length = namedEntity(text, c, std::begin(kEntities), std::end(kEntities));
        return length ? length : numericReference(text, true, true, c);
    });
}

QString decodeUnencodableReferences(const QString &text)
{
    return replacedReferences(text, [](QStringView text, char32_t &c) {
        const qsizetype length = numericReference(text, false, false, c);
        return length > 0 && !isCp932Encodable(QString::fromUcs4(&c, 1)) ? length : 0;
    });
}

} // namespace zelmora
