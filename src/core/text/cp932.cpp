#include "core/text/cp932.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/uset.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace zelmora {
namespace {

struct ConverterCloser {
    void operator()(UConverter *c) const { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

enum class Unencodable { Escape, Stop };

// Writes the character as a decimal reference, "&#128512;".
void U_CALLCONV escapeAsReference(const void *, UConverterFromUnicodeArgs *args, const UChar *,
                                  int32_t, UChar32 codePoint, UConverterCallbackReason reason,
                                  UErrorCode *err)
{
    if (reason > UCNV_IRREGULAR)
        return; // reset, close or clone: nothing to write
    char reference[16];
    const int length = std::snprintf(reference, sizeof reference, "&#%d;", int(codePoint));
    *err = U_ZERO_ERROR;
    ucnv_cbFromUWriteBytes(args, reference, length, 0, err);
}

// Leaves the error set, so the conversion stops at the character.
void U_CALLCONV stop(const void *, UConverterFromUnicodeArgs *, const UChar *, int32_t, UChar32,
                     UConverterCallbackReason, UErrorCode *)
{
}

// Opening a converter loads its table; one per thread (the program has one)
// and per mode is kept for the whole run.
UConverter *converter(Unencodable mode)
{
    auto open = [mode] {
        UErrorCode status = U_ZERO_ERROR;
        // "windows-31j" is the converter's own name; "Shift_JIS" and "cp932"
        // open the same table but set an ambiguity warning.
        ConverterPtr conv(ucnv_open("windows-31j", &status));
        if (U_FAILURE(status) || !conv)
            qFatal("ICU cannot open the windows-31j converter: %s", u_errorName(status));
        ucnv_setFallback(conv.get(), false);
        // ICU's own callbacks silently drop an unassigned "default ignorable"
        // character (a zero-width joiner inside an emoji sequence, a
        // variation selector); these callbacks treat it like any other.
        ucnv_setFromUCallBack(conv.get(), mode == Unencodable::Escape ? escapeAsReference : stop,
                              nullptr, nullptr, nullptr, &status);
        return conv;
    };
    if (mode == Unencodable::Escape) {
        thread_local ConverterPtr escaping = open();
        return escaping.get();
    }
    thread_local ConverterPtr stopping = open();
    return stopping.get();
}

// The characters the table writes and reads back as themselves. It also
// writes a few one way only (U+F86F as 0x8782, which reads back as U+2116,
// even with fallbacks off): those count as not in CP932, like any other.
const USet *roundTripSet()
{
    static const USet *const set = [] {
        UErrorCode status = U_ZERO_ERROR;
        USet *s = uset_openEmpty();
        ucnv_getUnicodeSet(converter(Unencodable::Stop), s, UCNV_ROUNDTRIP_SET, &status);
        if (U_FAILURE(status))
            qFatal("ICU cannot list the windows-31j characters: %s", u_errorName(status));
        uset_freeze(s);
        return s;
    }();
    return set;
}

bool appendConvertedStretch(QByteArray &out, const char16_t *begin, qsizetype length,
                            Unencodable mode);

// Converts a run of non-ASCII UTF-16 text; returns false if the stopping
// converter met a character it cannot hold. A character that would not
// read back as itself is written as a reference, as an unmapped one is.
bool appendConverted(QByteArray &out, const char16_t *begin, qsizetype length, Unencodable mode)
{
    const USet *roundTrip = roundTripSet();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < length) {
        const qsizetype at = i;
        UChar32 c;
        U16_NEXT(begin, i, length, c);
        if (uset_contains(roundTrip, c))
            continue;
        if (!appendConvertedStretch(out, begin + start, at - start, mode)
            || mode == Unencodable::Stop)
            return false;
        char reference[16];
        out.append(reference, std::snprintf(reference, sizeof reference, "&#%d;", int(c)));
        start = i;
    }
    return appendConvertedStretch(out, begin + start, length - start, mode);
}

bool appendConvertedStretch(QByteArray &out, const char16_t *begin, qsizetype length,
                            Unencodable mode)
{
    if (length == 0)
        return true;
    UConverter *conv = converter(mode);
    ucnv_resetFromUnicode(conv);
    const UChar *src = reinterpret_cast<const UChar *>(begin);
    const UChar *srcEnd = src + length;
    char buffer[1024];
    bool flush = true;
    for (;;) {
        char *target = buffer;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(conv, &target, buffer + sizeof buffer, &src, srcEnd, nullptr, flush,
                         &status);
        out.append(buffer, target - buffer);
        if (status == U_BUFFER_OVERFLOW_ERROR)
            continue;
        return U_SUCCESS(status);
    }
}

bool encode(const QString &text, QByteArray &out, Unencodable mode)
{
    out.reserve(out.size() + text.size() * 2);
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        // ICU's table swaps 0x1A, 0x1C and 0x7F against Windows; every
        // character below U+0080 is written as its own byte instead.
        if (data[i] < 0x80) {
            out.append(char(data[i]));
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < size && data[j] >= 0x80)
            ++j;
        if (!appendConverted(out, data + i, j - i, mode))
            return false;
        i = j;
    }
    return true;
}

// Decodes a run of CP932 bytes onto the end of out, in place.
void appendDecodedRun(QString &out, const char *data, qsizetype length)
{
    if (length == 0)
        return;
    UConverter *conv = converter(Unencodable::Stop);
    ucnv_resetToUnicode(conv);
    // One byte never gives more than one UTF-16 unit, so this is normally
    // enough; the loop grows the buffer should a table ever do otherwise.
    const qsizetype at = out.size();
    out.resize(at + length + 8);
    const char *src = data;
    qsizetype written = 0;
    for (;;) {
        UChar *start = reinterpret_cast<UChar *>(out.data()) + at + written;
        UChar *target = start;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(conv, &target, reinterpret_cast<UChar *>(out.data()) + out.size(), &src,
                       data + length, nullptr, true, &status);
        written += target - start;
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
        out.resize(out.size() * 2);
    }
    out.resize(at + written);
    // ICU substitutes U+001A for a single invalid byte; the real byte 0x1A
    // never reaches this run (decodeCp932 splits it off), so every U+001A
    // here is a substitution and becomes the usual U+FFFD.
    QChar *run = out.data() + at;
    for (qsizetype i = 0; i < written; ++i) {
        if (run[i] == QChar(0x1A))
            run[i] = QChar(0xFFFD);
    }
}

} // namespace

QByteArray encodeCp932(const QString &text)
{
    QByteArray out;
    encode(text, out, Unencodable::Escape);
    return out;
}

bool isCp932Encodable(const QString &text)
{
    QByteArray out;
    return encode(text, out, Unencodable::Stop);
}

namespace {

bool isAscii(QByteArrayView bytes)
{
    // No early exit, so the compiler checks many bytes at a time.
    unsigned char any = 0;
    for (const char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

} // namespace

QString decodeCp932(QByteArrayView bytes)
{
    // Most lines of a page are markup in plain ASCII, and every byte below
    // 0x80 stands for itself (0x1A, 0x1C and 0x7F as below); such a line
    // needs no converter, which is most of the reading time.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);

    // Only the stretch from the first to the last byte of 0x80 and above goes
    // through the converter, with one byte more, which may be the second
    // byte of a double-byte code. Before that stretch and after it every
    // byte is a character of its own, so the result is the same as
    // converting the whole line, at a fraction of the converter's cost.
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype first = 0;
    while (static_cast<unsigned char>(data[first]) < 0x80)
        ++first;
    qsizetype last = size - 1;
    while (static_cast<unsigned char>(data[last]) < 0x80)
        --last;
    const qsizetype middleEnd = std::min(size, last + 2);

    QString out;
    out.reserve(size + 8);
    out += QLatin1StringView(data, first);
    // 0x1A, 0x1C and 0x7F never occur as the second byte of a double-byte
    // code, so splitting the input at them is safe; they are taken as the
    // ASCII characters Windows reads for them.
    qsizetype start = first;
    for (qsizetype i = first; i < middleEnd; ++i) {
        const char c = data[i];
        if (c == 0x1A || c == 0x1C || c == 0x7F) {
            appendDecodedRun(out, data + start, i - start);
            out += QChar(char16_t(c));
            start = i + 1;
        }
    }
    appendDecodedRun(out, data + start, middleEnd - start);
    out += QLatin1StringView(data + middleEnd, size - middleEnd);
    return out;
}

} // namespace zelmora
