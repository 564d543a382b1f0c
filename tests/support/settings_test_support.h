#pragma once

// Shared by the settings file tests: a fixture with its own folder and the
// file encodings the tests write by hand.

#include "core/settings/settings_file.h"

#include "support/file_compare.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zelmora::test {

inline const QString kDefault = QStringLiteral("DEF");
inline const QString &kName = kKeyHomeName;

// A UTF-16 file with its byte-order mark.
inline QByteArray utf16(const QString &text, bool bigEndian)
{
    QByteArray out = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8);
        const char lo = char(c.unicode() & 0xFF);
        out.append(bigEndian ? hi : lo).append(bigEndian ? lo : hi);
    }
    return out;
}

class SettingsFile : public testing::Test {
protected:
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Zelmora.ini"));

    QString read(const QString &key) { return readIniString(kSettingsSection, key, kDefault, path); }
    void write(const QString &key, const QString &value)
    {
        ASSERT_EQ(writeIniString(kSettingsSection, key, value, path), std::nullopt);
    }
};

} // namespace zelmora::test
