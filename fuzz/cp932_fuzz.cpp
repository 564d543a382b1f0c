// Any text encodes without a crash; text that CP932 can hold decodes back to
// itself; the half-width conversion never grows a text beyond twice its size
// and leaves text without full-width characters alone.

#include "core/text/cp932.h"
#include "core/text/half_width.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The input is taken as UTF-16, so lone surrogates and every code point
    // are reachable.
    const QString text
        = QString::fromUtf16(reinterpret_cast<const char16_t *>(data), qsizetype(size / 2));
    const QByteArray encoded = zelmora::encodeCp932(text);
    if (zelmora::isCp932Encodable(text) && zelmora::decodeCp932(encoded) != text)
        std::abort();

    const QString narrow = zelmora::toHalfWidth(text);
    if (narrow.size() > 2 * text.size())
        std::abort();
    bool plain = true;
    for (QChar c : text)
        plain = plain && !(c.unicode() >= 0x3000 && c.unicode() <= 0x30FF)
            && !(c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E);
    if (plain && narrow != text)
        std::abort();

    // Bytes as CP932: decoding never fails.
    const QString decoded
        = zelmora::decodeCp932(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    (void)decoded;
    return 0;
}
