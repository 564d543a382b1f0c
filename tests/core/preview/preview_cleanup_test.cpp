// What closing a preview deletes, and what a preview page may load, with
// real files, links and folders.

#include "core/preview/preview_cleanup.h"
#include "core/preview/preview_sandbox.h"
#include "support/file_compare.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

using namespace zelmora;
using zelmora::test::entriesIn;
using zelmora::test::readAll;
using zelmora::test::writeFile;

namespace {

struct CleanupCase {
    const char *name;
    // Runs between recording the pages and closing the preview.
    std::function<void(const QString &root, const QString &temp)> meanwhile;
    QStringList removed;
    QStringList left; // in TEMP afterwards
};

void PrintTo(const CleanupCase &c, std::ostream *os) { *os << c.name; }

class PreviewCleanup : public testing::TestWithParam<CleanupCase> {};

} // namespace

// The preview wrote abc_1.htm and abc_2.htm; the folder also holds another
// program's file, a second instance's pages, a hidden file, a subfolder, a
// FIFO and a link to a file outside. Closing deletes this preview's pages
// and nothing else.
TEST_P(PreviewCleanup, deletesOnlyThePagesThisPreviewWrote)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const QString temp = root + QStringLiteral("TEMP/");
    ASSERT_TRUE(QDir().mkpath(temp + QStringLiteral("sub")));
    writeFile(temp + QStringLiteral("abc_1.htm"), "page 1");
    writeFile(temp + QStringLiteral("abc_2.htm"), "page 2");
    writeFile(temp + QStringLiteral("other program.txt"), "other");
    writeFile(temp + QStringLiteral("xyz_1.htm"), "second instance");
    writeFile(temp + QStringLiteral(".hidden"), "hidden");
    writeFile(root + QStringLiteral("outside.txt"), "the user's file");
    ASSERT_TRUE(QFile::link(root + QStringLiteral("outside.txt"), temp + QStringLiteral("link.htm")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(temp + QStringLiteral("fifo")).constData(), 0600), 0);

    PreviewPageFiles pages = PreviewPageFiles::record(
        temp, {QStringLiteral("abc_1.htm"), QStringLiteral("abc_2.htm"), QStringLiteral("abc_3.htm")});
    EXPECT_EQ(pages.names(), (QStringList{"abc_1.htm", "abc_2.htm"})) << "abc_3.htm was never written";
    if (GetParam().meanwhile)
        GetParam().meanwhile(root, temp);

    EXPECT_EQ(pages.remove(), GetParam().removed);
    EXPECT_EQ(entriesIn(temp), GetParam().left);
    EXPECT_EQ(readAll(temp + QStringLiteral("other program.txt")), "other");
    EXPECT_EQ(readAll(root + QStringLiteral("outside.txt")), "the user's file");
    EXPECT_TRUE(pages.remove().isEmpty()) << "a second close deletes nothing";
}

namespace {

const QStringList kOthers{".hidden", "fifo", "link.htm", "other program.txt", "sub", "xyz_1.htm"};

QStringList with(QStringList list, const QStringList &more)
{
    list << more;
    list.sort();
    return list;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewCleanup,
    testing::Values(
        CleanupCase{"untouched", {}, {"abc_1.htm", "abc_2.htm"}, kOthers},
        // A second instance previewing a set of the same title saves a new file.
        CleanupCase{"pageRewrittenBySecondInstance",
                    [](const QString &, const QString &temp) {
                        writeFile(temp + QStringLiteral("new"), "second instance's page");
                        ASSERT_EQ(::rename(QFile::encodeName(temp + QStringLiteral("new")).constData(),
                                           QFile::encodeName(temp + QStringLiteral("abc_2.htm")).constData()),
                                  0);
                    },
                    {"abc_1.htm"},
                    with(kOthers, {"abc_2.htm"})},
        CleanupCase{"pageReplacedByALink",
                    [](const QString &root, const QString &temp) {
                        ASSERT_TRUE(QFile::remove(temp + QStringLiteral("abc_1.htm")));
                        ASSERT_TRUE(QFile::link(root + QStringLiteral("outside.txt"),
                                                temp + QStringLiteral("abc_1.htm")));
                    },
                    {"abc_2.htm"},
                    with(kOthers, {"abc_1.htm"})},
        CleanupCase{"pageAlreadyGone",
                    [](const QString &, const QString &temp) {
                        ASSERT_TRUE(QFile::remove(temp + QStringLiteral("abc_1.htm")));
                    },
                    {"abc_2.htm"},
                    kOthers}),
    [](const testing::TestParamInfo<CleanupCase> &info) { return std::string(info.param.name); });

// The temporary folder swapped for a link to another folder holding files of
// the same names while the preview was open: nothing there is deleted.
TEST(PreviewCleanupFolder, folderReplacedByALink_nothingDeletedThroughIt)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const QString temp = root + QStringLiteral("TEMP/");
    ASSERT_TRUE(QDir().mkpath(temp));
    writeFile(temp + QStringLiteral("abc_1.htm"), "page 1");
    PreviewPageFiles pages = PreviewPageFiles::record(temp, {QStringLiteral("abc_1.htm")});
    ASSERT_EQ(pages.names(), QStringList{"abc_1.htm"});

    ASSERT_TRUE(QDir(root).rename(QStringLiteral("TEMP"), QStringLiteral("moved")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("elsewhere")));
    writeFile(root + QStringLiteral("elsewhere/abc_1.htm"), "someone else's");
    ASSERT_TRUE(QFile::link(root + QStringLiteral("elsewhere"), root + QStringLiteral("TEMP")));
    EXPECT_TRUE(temporaryFolderIsALink(temp));

    EXPECT_TRUE(pages.remove().isEmpty());
    EXPECT_EQ(readAll(root + QStringLiteral("elsewhere/abc_1.htm")), "someone else's");
    EXPECT_EQ(readAll(root + QStringLiteral("moved/abc_1.htm")), "page 1");
}

TEST(PreviewCleanupFolder, temporaryFolderIsALink_onlyForALinkItself)
{
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("TEMP")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("TEMP"), root + QStringLiteral("LINK")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("gone"), root + QStringLiteral("DANGLING")));
    EXPECT_FALSE(temporaryFolderIsALink(root + QStringLiteral("TEMP/")));
    EXPECT_TRUE(temporaryFolderIsALink(root + QStringLiteral("LINK/")));
    EXPECT_TRUE(temporaryFolderIsALink(root + QStringLiteral("DANGLING/")));
    EXPECT_FALSE(temporaryFolderIsALink(root + QStringLiteral("missing/")));
}

// ---- what a page may load ----------------------------------------------

namespace {

struct LoadCase {
    const char *name;
    QString url; // {root}: the program folder
    bool allowed;
};

void PrintTo(const LoadCase &c, std::ostream *os) { *os << c.name; }

class PreviewMayLoad : public testing::TestWithParam<LoadCase> {};

} // namespace

TEST_P(PreviewMayLoad, onlyThePagesAndThePicturesBesideThem)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/TEMP")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/Popleaf")));
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("/pictures")));
    writeFile(root + QStringLiteral("/TEMP/abc_1.htm"), "page");
    writeFile(root + QStringLiteral("/Popleaf/a.gif"), "picture");
    writeFile(root + QStringLiteral("/secret.txt"), "secret");
    writeFile(root + QStringLiteral("/pictures/b.gif"), "picture kept elsewhere");
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/secret.txt"), root + QStringLiteral("/Popleaf/secret.gif")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("/secret.txt"), root + QStringLiteral("/TEMP/secret.htm")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(root + QStringLiteral("/Popleaf/pipe.gif")).constData(), 0600), 0);

    const QUrl url(QString(GetParam().url).replace(QStringLiteral("{root}"), root));
    EXPECT_EQ(previewMayLoad(url, root + QStringLiteral("/TEMP")), GetParam().allowed) << url.toString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Urls, PreviewMayLoad,
    testing::Values(
        LoadCase{"thePage", QStringLiteral("file://{root}/TEMP/abc_1.htm"), true},
        LoadCase{"aPicture", QStringLiteral("file://{root}/TEMP/../Popleaf/a.gif"), true},
        LoadCase{"thePageAsData", QStringLiteral("data:text/html;charset=Shift_JIS,x"), true},
        LoadCase{"upFromThePictures", QStringLiteral("file://{root}/TEMP/../Popleaf/../secret.txt"), false},
        LoadCase{"aFileBesideTheProgram", QStringLiteral("file://{root}/secret.txt"), false},
        LoadCase{"aSystemFile", QStringLiteral("file:///etc/passwd"), false},
        LoadCase{"aLinkInThePicturesToAFileOutside", QStringLiteral("file://{root}/Popleaf/secret.gif"), false},
        LoadCase{"aLinkInTheTemporaryFolder", QStringLiteral("file://{root}/TEMP/secret.htm"), false},
        LoadCase{"aMissingFile", QStringLiteral("file://{root}/Popleaf/none.gif"), false},
        LoadCase{"aFifoNobodyWritesTo", QStringLiteral("file://{root}/Popleaf/pipe.gif"), false},
        LoadCase{"aFileOnAnotherHost", QStringLiteral("file://server/{root}/Popleaf/a.gif"), false},
        LoadCase{"http", QStringLiteral("http://127.0.0.1:9/x"), false},
        LoadCase{"https", QStringLiteral("https://example.com/x.gif"), false},
        LoadCase{"ftp", QStringLiteral("ftp://example.com/x.gif"), false},
        LoadCase{"websocket", QStringLiteral("ws://127.0.0.1:9/"), false}),
    [](const testing::TestParamInfo<LoadCase> &info) { return std::string(info.param.name); });

TEST(PreviewLinks, httpAsItIs_mailtoWithAddressSubjectAndBodyOnly_nothingElse)
{
    const struct { const char *clicked, *handedOn; } links[] = {
        {"http://example.com/", "http://example.com/"},
        {"https://example.com/a?b=c&attach=x#f", "https://example.com/a?b=c&attach=x#f"},
        {"mailto:a@example.com", "mailto:a@example.com"},
        {"mailto:a@b?subject=hi&attach=/etc/passwd&attachment=file:///etc/passwd", "mailto:a@b?subject=hi"},
        {"MAILTO:a@b?cc=c@d&Body=x%26y%0D%0Az&bcc=e@f&subject=s&subject=t", "mailto:a@b?subject=s&body=x%26y%0D%0Az"},
        {"mailto:?subject=no%20address", nullptr},
        {"mailto:a@b%0D%0ABcc:c@d", nullptr},
        {"mailto:a@b.invalid%3Fattach=/etc/passwd", nullptr}, {"mailto:a@b%26attach=/etc/passwd", nullptr},
        {"mailto:a@b?subject=hi%0D%0ABcc:%20e@f&body=a%0Ab", "mailto:a@b?subject=hi%20%20Bcc%3A%20e%40f&body=a%0D%0Ab"},
        {"http:/no/host", nullptr},
        {"file:///etc/passwd", nullptr}, {"javascript:alert(1)", nullptr}, {"ftp://example.com/", nullptr},
        {"data:text/html,x", nullptr}, {"smb://server/share", nullptr}, {"x-scheme-handler:thing", nullptr}, {"", nullptr},
    };
    for (const auto &l : links) {
        const auto link = linkForSystem(QUrl(QString::fromLatin1(l.clicked)));
        EXPECT_EQ(link ? link->toString(QUrl::FullyEncoded).toStdString() : "refused", l.handedOn ? l.handedOn : "refused")
            << l.clicked;
    }
}
