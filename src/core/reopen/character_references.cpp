#include "core/reopen/character_references.h"

#include "core/text/cp932.h"

namespace zelmora {
namespace {

constexpr int kMaxDigits = 7; // U+10FFFF is 1114111

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// The character named by a reference at text[at] ("&#" already seen), and
// the reference's length; 0 when it is not one the writer could have made.
qsizetype parseReference(const QString &text, qsizetype at, char32_t &character)
{
    qsizetype i = at + 2;
    if (i >= text.size() || !isAsciiDigit(text[i]) || text[i] == u'0')
        return 0;
    char32_t value = 0;
    int digits = 0;
    while (i < text.size() && isAsciiDigit(text[i])) {
        if (++digits > kMaxDigits)
            return 0;
        value = value * 10 + char32_t(text[i].unicode() - u'0');
        ++i;
    }
    if (i >= text.size() || text[i] != u';')
        return 0;
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    if (isCp932Encodable(QString::fromUcs4(&value, 1)))
        return 0;
    character = value;
    return i + 1 - at;
}

} // namespace

QString decodeUnencodableReferences(const QString &text)
{
    qsizetype amp = text.indexOf(u"&#");
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype copied = 0;
    while (amp >= 0) {
        char32_t character = 0;
        const qsizetype length = parseReference(text, amp, character);
        if (length == 0) {
            amp = text.indexOf(u"&#", amp + 1);
            continue;
        }
        out += QStringView(text).mid(copied, amp - copied);
        out += QString::fromUcs4(&character, 1);
        copied = amp + length;
        amp = text.indexOf(u"&#", copied);
    }
    out += QStringView(text).mid(copied);
    return out;
}

} // namespace zelmora
