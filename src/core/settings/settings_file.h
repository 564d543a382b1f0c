#pragma once

#include "core/files/atomic_file.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace zelmora {

// Zelmora.ini holds the seven options in one section. A file made or edited
// on Windows (by GetPrivateProfileStringA / WritePrivateProfileStringA, or by
// hand) is read the same way, and rewriting it keeps whatever else it holds.
inline const QString kSettingsSection = QStringLiteral("OptionSettei");
inline const QString kKeyDousa = QStringLiteral("DousaSettei");
inline const QString kKeyKensaku = QStringLiteral("KensakuSettei");
inline const QString kKeyHomeName = QStringLiteral("HomeName");
inline const QString kKeyHomeURL = QStringLiteral("HomeURL");
inline const QString kKeyKakucyosi = QStringLiteral("KakucyosiSettei");
inline const QString kKeyMojiCode = QStringLiteral("MojiCodeSettei");
inline const QString kKeyKeishiki = QStringLiteral("KeishikiSettei");

// Longest value handed out, in bytes of UTF-8; a longer one is cut before
// the character that would cross it.
inline constexpr qsizetype kMaxValueBytes = 255;

// A settings file larger than this is not a settings file: it reads as
// missing and is never rewritten.
inline constexpr qsizetype kMaxSettingsFileBytes = 16 << 20;

// The value of a key: the default for a missing file, section or key and for
// an empty value; otherwise the value without surrounding blanks, cut to
// kMaxValueBytes. A file that cannot be read counts as missing.
QString readIniString(const QString &section, const QString &key, const QString &defaultValue,
                      const QString &path);

// Writes one key; an empty value removes the key. Creates the file and the
// section when missing. The old file is replaced only by a complete new one,
// and not at all when the write fails.
std::optional<FileError> writeIniString(const QString &section, const QString &key,
                                        const QString &value, const QString &path);

// Writes several keys of one section as writeIniString does, all in one
// replacement of the file.
std::optional<FileError> writeIniStrings(const QString &section,
                                         const QList<std::pair<QString, QString>> &values,
                                         const QString &path);

// The seven options, each with the value a missing key stands for.
struct StoredSettings {
    QString DousaSettei = QStringLiteral("1");
    QString KensakuSettei = QStringLiteral("0");
    // Fixed output: the two defaults are written into Zelmora.ini as they stand.
    QString HomeName = QStringLiteral("リンクページ名");
    QString HomeURL = QStringLiteral("リンクページURL");
    QString KakucyosiSettei = QStringLiteral("0");
    QString MojiCodeSettei = QStringLiteral("0"); // "1": UTF-8 pages, else Shift-JIS
    QString KeishikiSettei = QStringLiteral("0"); // "1": HTML5 pages, else the classic format

    bool operator==(const StoredSettings &) const = default;
};

// Reads the seven keys as readIniString does, in the order above.
StoredSettings readStoredSettings(const QString &path);

// Writes the seven keys as writeIniString does, in the order above, all in one
// replacement of the file: either all seven are saved or the file is left as
// it was.
std::optional<FileError> writeStoredSettings(const StoredSettings &s, const QString &path);

} // namespace zelmora
