#include "core/text/half_width.h"

#include <array>

namespace zelmora {
namespace {

constexpr char16_t kVoiced = 0xFF9E;     // ﾞ
constexpr char16_t kSemiVoiced = 0xFF9F; // ﾟ

// Half-width form (first) and voicing mark (second, or 0) of every character
// from U+3000 to U+30FF; 0 in first means "keep the character".
struct Narrow {
    char16_t first = 0;
    char16_t mark = 0;
};
using Table = std::array<Narrow, 0x100>;

Table buildTable()
{
    Table t{};
    auto set = [&t](char16_t wide, char16_t narrow, char16_t mark = 0) {
        t[wide - 0x3000] = Narrow{narrow, mark};
    };
    set(0x3000, u' ');
    set(0x3001, 0xFF64); // 、
    set(0x3002, 0xFF61); // 。
    set(0x300C, 0xFF62); // 「
    set(0x300D, 0xFF63); // 」
    set(0x3099, kVoiced);
    set(0x309A, kSemiVoiced);
    set(0x309B, kVoiced);
    set(0x309C, kSemiVoiced);
    set(0x30FB, 0xFF65); // ・
    set(0x30FC, 0xFF70); // ー

    // Katakana in the order of the half-width block U+FF66..U+FF9D.
    static constexpr char16_t kana[] = {
        0x30F2,                                 // ｦ
        0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, // ｧｨｩｪｫ
        0x30E3, 0x30E5, 0x30E7, 0x30C3,         // ｬｭｮｯ
        0xFFFF,                                 // ｰ (handled above)
        0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, // ｱｲｳｴｵ
        0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, // ｶｷｸｹｺ
        0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, // ｻｼｽｾｿ
        0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, // ﾀﾁﾂﾃﾄ
        0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, // ﾅﾆﾇﾈﾉ
        0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, // ﾊﾋﾌﾍﾎ
        0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, // ﾏﾐﾑﾒﾓ
        0x30E4, 0x30E6, 0x30E8,                 // ﾔﾕﾖ
        0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, // ﾗﾘﾙﾚﾛ
        0x30EF, 0x30F3,                         // ﾜﾝ
    };
    char16_t narrow = 0xFF66;
    for (char16_t wide : kana) {
        if (wide != 0xFFFF)
            set(wide, narrow);
        ++narrow;
    }
    // Voiced letters: the plain letter's half-width form and ﾞ; semi-voiced: ﾟ.
    auto voiced = [&](char16_t wide, char16_t plain, char16_t mark) {
        set(wide, t[plain - 0x3000].first, mark);
    };
    for (char16_t plain : {0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB,
                           0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8})
        voiced(char16_t(plain + 1), plain, kVoiced); // ガ = カ + 1, ... ド = ト + 1
    for (char16_t plain : {0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB}) {
        voiced(char16_t(plain + 1), plain, kVoiced);     // バ
        voiced(char16_t(plain + 2), plain, kSemiVoiced); // パ
    }
    voiced(0x30F4, 0x30A6, kVoiced); // ヴ
    voiced(0x30F7, 0x30EF, kVoiced); // ヷ
    voiced(0x30FA, 0x30F2, kVoiced); // ヺ
    return t;
}

} // namespace

QString toHalfWidth(const QString &text)
{
    static const Table table = buildTable();
    QString out;
    out.reserve(text.size() + 4);
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0xFF01 && c <= 0xFF5E) {
            out += QChar(char16_t(c - 0xFF01 + 0x21));
        } else if (c >= 0x3000 && c <= 0x30FF && table[c - 0x3000].first != 0) {
            const Narrow n = table[c - 0x3000];
            out += QChar(n.first);
            if (n.mark)
                out += QChar(n.mark);
        } else {
            out += qc;
        }
    }
    return out;
}

} // namespace zelmora
