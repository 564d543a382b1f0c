// The reason a failed write gives the user comes in the user's language,
// also for the errors that Qt would word itself in English.

#include "core/files/atomic_file.h"
#include "core/settings/settings_file.h"

#include "support/file_compare.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>

using namespace zelmora;

namespace {

// Sets the messages locale for one test (each test runs in its own process,
// but a later test in the same run must not see it either).
class MessagesLocale {
public:
    explicit MessagesLocale(const char *name)
        : m_old(std::setlocale(LC_MESSAGES, nullptr)), m_ok(std::setlocale(LC_MESSAGES, name) != nullptr)
    {
        // LC_ALL=ja_JP.UTF-8 makes the messages Japanese only with a
        // character set that can hold them.
        std::setlocale(LC_CTYPE, name);
    }
    ~MessagesLocale()
    {
        std::setlocale(LC_MESSAGES, m_old.c_str());
        std::setlocale(LC_CTYPE, "C");
    }
    bool ok() const { return m_ok; }

private:
    std::string m_old;
    bool m_ok;
};

} // namespace

TEST(SystemError, writeIntoMissingFolder_reasonInJapanese)
{
    MessagesLocale japanese("ja_JP.UTF-8");
    ASSERT_TRUE(japanese.ok()) << "the locale ja_JP.UTF-8 is missing (make deps generates it)";
    qunsetenv("LANGUAGE"); // would override LC_MESSAGES for gettext

    QTemporaryDir dir;
    const auto error = writeWholeFile(dir.path() + QStringLiteral("/missing/a.htm"), "x");
    ASSERT_TRUE(error);
    // glibc's Japanese catalogue (libc-l10n), written out here.
    EXPECT_EQ(error->reason, QStringLiteral("そのようなファイルやディレクトリはありません"));
    EXPECT_EQ(systemErrorText(EACCES), QStringLiteral("許可がありません"));
}

// A read-only Zelmora.ini is refused even for root, with the system's
// reason in the user's language (it once came as Qt's English text).
TEST(SystemError, readOnlySettingsFile_reasonInJapanese)
{
    MessagesLocale japanese("ja_JP.UTF-8");
    ASSERT_TRUE(japanese.ok()) << "the locale ja_JP.UTF-8 is missing (make deps generates it)";
    qunsetenv("LANGUAGE");

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Zelmora.ini"));
    ASSERT_FALSE(writeWholeFile(ini, "[OptionSettei]\r\n"));
    ASSERT_TRUE(QFile::setPermissions(ini, QFileDevice::ReadOwner));
    const auto error = writeStoredSettings(StoredSettings{}, ini);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, QStringLiteral("許可がありません"));
    EXPECT_EQ(zelmora::test::readAll(ini), QByteArray("[OptionSettei]\r\n"));
}
