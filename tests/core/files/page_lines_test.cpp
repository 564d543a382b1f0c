#include "core/files/page_lines.h"
#include "support/file_compare.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace zelmora;
using zelmora::test::writeFile;

namespace {

const QList<QByteArray> kMarkers = {"BgColor=", "<span id=\"param3\"", "onClick=\"Check_E()\""};

struct MarkedCase {
    const char *name;
    QByteArray bytes;
    QStringList expected;
};

void PrintTo(const MarkedCase &c, std::ostream *os) { *os << c.name; }

class MarkedLines : public testing::TestWithParam<MarkedCase> {
protected:
    QStringList read(const QByteArray &bytes, int stopAfter = -1)
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.htm"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QStringList lines;
        EXPECT_TRUE(readPageLinesHolding(QFile::encodeName(path), kMarkers, [&](const QString &line) {
            lines << line;
            return stopAfter < 0 || lines.size() < stopAfter;
        }));
        return lines;
    }
};

// A page that fits one read and the same page behind 70,000 bytes of other
// lines, which is read piece by piece: both hand on the same lines.
TEST_P(MarkedLines, handsOnTheLinesHoldingAMarkerInOrder)
{
    const MarkedCase &c = GetParam();
    EXPECT_EQ(read(c.bytes), c.expected);
    QByteArray padded;
    while (padded.size() < 70000)
        padded += "<tr><td width=\"320\">padding</td></tr>\r\n";
    EXPECT_EQ(read(padded + c.bytes), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, MarkedLines,
    testing::Values(
        MarkedCase{"crlf", "<html>\r\n<body BgColor=\"#ffcc00\">\r\n<p a=b>\r\n<span id=\"param3\">x</span>\r\n",
                   {QStringLiteral("<body BgColor=\"#ffcc00\">"), QStringLiteral("<span id=\"param3\">x</span>")}},
        MarkedCase{"lfAndCrAndNoLastBreak", "a=b\nBgColor=\"1\"\rq\r<span id=\"param3\">last",
                   {QStringLiteral("BgColor=\"1\""), QStringLiteral("<span id=\"param3\">last")}},
        MarkedCase{"twoMarkersOnOneLineGiveItOnce", "x\r\nBgColor=\"1\" onClick=\"Check_E()\"\r\n",
                   {QStringLiteral("BgColor=\"1\" onClick=\"Check_E()\"")}},
        MarkedCase{"partsOfMarkersAreNoMarkers", "Color=\"1\"\r\nonClick=\"Check('a')\"\r\nid=\"param3\"\r\n", {}},
        MarkedCase{"japaneseLineIsDecoded",
                   "<span id=\"param3\">\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd</span>\r\n",
                   {QStringLiteral("<span id=\"param3\">こんにちは</span>")}}));

TEST_F(MarkedLines, stopsWhenAskedTo)
{
    EXPECT_EQ(read("BgColor=\"1\"\r\nonClick=\"Check_E()\"\r\nBgColor=\"2\"\r\n", 2),
              (QStringList{QStringLiteral("BgColor=\"1\""), QStringLiteral("onClick=\"Check_E()\"")}));
}

} // namespace

namespace {

// The lines holding "k=", as the page reader asks for its markers.
QStringList readLines(const QString &path, bool *opened = nullptr)
{
    QStringList lines;
    const bool ok = readPageLinesHolding(QFile::encodeName(path), {"k="}, [&](const QString &line) {
        lines << line;
        return true;
    });
    if (opened)
        *opened = ok;
    return lines;
}

} // namespace

TEST(LineFile, readsEveryKindOfLineEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    writeFile(path, QByteArray("k=a\r\nk=b\nk=c\rk=d\r\n\r\nno\r\nk=e"));
    EXPECT_EQ(readLines(path), (QStringList{"k=a", "k=b", "k=c", "k=d", "k=e"}));
}

TEST(LineFile, stopsWhenAskedTo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    writeFile(path, QByteArray("k=1\r\nk=2\r\nk=3\r\n"));
    QStringList seen;
    readPageLinesHolding(QFile::encodeName(path), {"k="}, [&](const QString &line) {
        seen << line;
        return line != QStringLiteral("k=2");
    });
    EXPECT_EQ(seen, (QStringList{"k=1", "k=2"}));
}

TEST(LineFile, opensOnlyRegularFiles)
{
    QTemporaryDir dir;
    bool opened = true;
    readLines(dir.path(), &opened);
    EXPECT_FALSE(opened) << "a folder";
    readLines(dir.filePath(QStringLiteral("none")), &opened);
    EXPECT_FALSE(opened) << "a missing file";
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    readLines(fifo, &opened); // must not wait for a writer
    EXPECT_FALSE(opened) << "a FIFO";
    const QString link = dir.filePath(QStringLiteral("zero"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), link));
    readLines(link, &opened);
    EXPECT_FALSE(opened) << "a link to a device";
}

TEST(LineFile, skipsLinesLongerThanTheLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.txt"));
    // The longest line handed on, and one byte more.
    const QByteArray longest = QByteArray(kMaxLineBytes - 1, 'k') + '=';
    writeFile(path, "k=a\n" + longest + "\nk" + longest + "\nk=b\n");
    const QStringList lines = readLines(path);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[1].toLatin1(), longest);
    EXPECT_EQ(lines.last(), QStringLiteral("k=b"));
}
