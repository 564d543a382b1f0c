// The reason a failed write gives the user comes in the user's language,
// also for the four errors that Qt words itself in English.

#include "text/line_file.h"
#include "text/system_error.h"

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

TEST(SystemError, qtWordings_becomeTheSystemsText_othersUnchanged)
{
    MessagesLocale plain("C");
    const struct {
        const char *qtText;
        int errorNumber;
    } cases[] = {
        {"Permission denied", EACCES},
        {"Too many open files", EMFILE},
        {"No such file or directory", ENOENT},
        {"No space left on device", ENOSPC},
    };
    for (const auto &c : cases)
        EXPECT_EQ(localFileErrorText(QString::fromLatin1(c.qtText)), systemErrorText(c.errorNumber)) << c.qtText;
    EXPECT_EQ(systemErrorText(ENOSPC), QStringLiteral("No space left on device"));
    EXPECT_EQ(localFileErrorText(QStringLiteral("Read-only file system")), QStringLiteral("Read-only file system"));
    EXPECT_EQ(localFileErrorText(QString()), QString());
}
