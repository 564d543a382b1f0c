// Both page encodings through the create road and back through the reader.

#include "support/test_windows.h"
#include "support/record_editor.h"
#include "core/reopen/page_reader.h"
#include "support/reopen_test_support.h"
#include "support/file_compare.h"
#include "support/recording_desktop.h"
#include "core/text/cp932.h"
#include "core/text/page_encoding.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zelmora;
using namespace zelmora::test;

namespace {

// A program folder with its settings file; body is the [OptionSettei]
// section's lines, or no file at all when null.
struct Program {
    explicit Program(const QString &folder, const char *body)
    {
        QDir().mkpath(folder);
        paths = initPortablePaths(folder);
        if (body) {
            QFile f(paths.settingsFile);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("[OptionSettei]\r\nDousaSettei=0\r\nKensakuSettei=2\r\n") + body);
        }
    }

    // Creates the set; the editor is empty afterwards, as after every creation.
    void create(const PageSet &set)
    {
        RecordEditor editor(set);
        RecordingDesktop desktop;
        createSet(test::commandContext(editor, state, paths, desktop));
        ASSERT_EQ(desktop.calls.size(), 2) << "two reports, no warning";
    }

    QStringList files() const { return QDir(paths.outputFolder).entryList(QDir::Files, QDir::Name); }
    QByteArray file(const QString &name) const { return readAll(paths.outputFolder + name); }

    ProgramPaths paths;
    EditorState state;
};

PageSet sixPages(const QString &title)
{
    PageSet set;
    set.title = title;
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QStringLiteral("一行目 😀\r\n<b>二行目</b> &#12354; &amp; ①");
    set.page(2).kind = PageKind::StandardPicture;
    set.page(2).standardFile = QStringLiteral("花.gif");
    set.page(2).standardAlt = QStringLiteral("写真 é");
    set.page(3).kind = PageKind::WidePicture;
    set.page(3).wideFile = QStringLiteral("wide.gif");
    set.page(3).wideAlt = QStringLiteral("横長");
    set.page(4).kind = PageKind::Text;
    set.page(4).text = QStringLiteral("ﾊﾝｶｸ and ＺＥＮＫＡＫＵ");
    set.page(5).kind = PageKind::Text;
    set.page(6).kind = PageKind::StandardPicture;
    selectBackgroundKind(set, BackgroundKind::Picture);
    set.backgroundValue = QStringLiteral("背景.gif");
    return set;
}

struct RoundTripCase {
    const char *name;
    const char *setting; // the MojiCodeSettei and KeishikiSettei lines
    PageEncoding encoding;
    const char *title;
    const char *start = nullptr; // how every file begins, when not the classic format's
    const char *text = nullptr;  // typed into page 5, which is empty otherwise
    const char *picture = nullptr; // page 6's picture, which has none otherwise
    const char *src = nullptr;     // and how page 6 names it
};

const char kHtml5Start[] = "\xEF\xBB\xBF<!DOCTYPE html>\r\n<html lang=\"ja\">\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n";

const char kHostileName[] = "&amp;<b>\"x\" 'y' &#39;&apos;&#x41;&#128512;😀 &lt;&;&#;.gif";

void PrintTo(const RoundTripCase &c, std::ostream *os) { *os << c.name; }

class RoundTrip : public testing::TestWithParam<RoundTripCase> {
protected:
    QTemporaryDir dir;
};

PageSet reopened(const Program &program, const QString &title)
{
    PageSet start;
    start.title = title;
    resetPageSet(start);
    const ReadOutcome outcome = readPageSetFiles(program.paths.outputFolder, title,
                                                 QStringLiteral(".htm"), start);
    EXPECT_EQ(outcome.pagesRead, 6);
    return outcome.set;
}

TEST_P(RoundTrip, createReopenCreateGivesTheSameFiles)
{
    const RoundTripCase &c = GetParam();
    PageSet set = sixPages(QString::fromUtf8(c.title));
    if (c.text) set.page(5).text = QString::fromUtf8(c.text);
    if (c.picture) set.page(6).standardFile = set.page(6).standardAlt = QString::fromUtf8(c.picture);
    // A reference typed as text comes back as typed from a UTF-8 page, where
    // the writer never makes one. (From a Shift-JIS page it comes back as the
    // emoji, which is written as the same bytes.)
    if (c.encoding == PageEncoding::Utf8)
        set.page(4).text += QStringLiteral(" &#128512;");
    Program first(dir.filePath(QStringLiteral("first")), c.setting);
    first.create(set);

    const QByteArray settingsBefore = readAll(first.paths.settingsFile);
    const PageSet read = reopened(first, set.title);
    EXPECT_EQ(read, set);
    EXPECT_TRUE(sameBytes(settingsBefore, readAll(first.paths.settingsFile)))
        << "reopening leaves the option alone";

    Program second(dir.filePath(QStringLiteral("second")), c.setting);
    second.create(read);
    // Six pages and the data page; an HTML5 set also its script and style.
    ASSERT_EQ(first.files().size(), c.start ? 9 : 7);
    ASSERT_EQ(second.files(), first.files());
    for (const QString &name : first.files()) {
        const QByteArray bytes = first.file(name);
        EXPECT_TRUE(sameBytes(bytes, second.file(name))) << name.toStdString();
        if (!name.endsWith(QStringLiteral(".htm")))
            continue;
        const bool utf8 = c.encoding == PageEncoding::Utf8;
        if (c.start)
            EXPECT_TRUE(bytes.startsWith(c.start)) << name.toStdString();
        else
            EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF<html>\r\n<head>\r\n<meta charset=\"UTF-8\">\r\n"), utf8)
                << name.toStdString();
        // Characters are written as themselves in UTF-8; only CP932 needs
        // references for what it cannot hold.
        if (name.endsWith(QStringLiteral("_1.htm")))
            EXPECT_EQ(bytes.contains("&#128512;"), !utf8);
        if (c.src && name.endsWith(QStringLiteral("_6.htm")))
            EXPECT_TRUE(bytes.contains(QByteArray(" src=\"") + c.src + '"'));
    }

}

class Utf8Set : public RoundTrip {};

TEST_P(Utf8Set, pageWithoutItsMarkIsReadByItsDeclaration)
{
    const RoundTripCase &c = GetParam();
    const PageSet set = sixPages(QString::fromUtf8(c.title));
    Program program(dir.filePath(QStringLiteral("p")), c.setting);
    program.create(set);
    // As an editor that drops the mark on saving would leave the pages.
    for (const QString &name : program.files().filter(QStringLiteral(".htm"))) {
        const QByteArray bytes = program.file(name);
        ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
        writeFile(program.paths.outputFolder + name, bytes.mid(3));
    }
    EXPECT_EQ(reopened(program, set.title), set);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, RoundTrip,
    testing::Values(RoundTripCase{"shiftJisAsciiTitle", "MojiCodeSettei=0\r\n", PageEncoding::ShiftJis, "abc"},
                    RoundTripCase{"shiftJisJapaneseTitle", "MojiCodeSettei=0\r\n", PageEncoding::ShiftJis,
                                  "春の便り"},
                    RoundTripCase{"shiftJisInlineMarkup", "MojiCodeSettei=0\r\n", PageEncoding::ShiftJis, "abc",
                                  nullptr, "<span style=color:red>red</span> and more words"},
                    RoundTripCase{"utf8AsciiTitle", "MojiCodeSettei=1\r\n", PageEncoding::Utf8, "abc"},
                    RoundTripCase{"utf8JapaneseTitle", "MojiCodeSettei= 1 \r\n", PageEncoding::Utf8,
                                  "春の便り"},
                    // HTML5 pages are UTF-8 whatever the encoding option says.
                    RoundTripCase{"html5AsciiTitle", "MojiCodeSettei=0\r\nKeishikiSettei=1\r\n",
                                  PageEncoding::Utf8, "abc", kHtml5Start},
                    RoundTripCase{"html5JapaneseTitle", "KeishikiSettei=1\r\n", PageEncoding::Utf8,
                                  "春の便り", kHtml5Start},
                    // A name that is no URL as it stands: written escaped, read back as named.
                    RoundTripCase{"html5PictureNameToEscape", "KeishikiSettei=1\r\n", PageEncoding::Utf8,
                                  "abc", kHtml5Start, nullptr, "my cat #1 100%?.gif", "my%20cat%20%231%20100%25%3F.gif"},
                    // Names made of what each format's escaping and its reverse deal with.
                    RoundTripCase{"shiftJisHostileName", "MojiCodeSettei=0\r\n", PageEncoding::ShiftJis, "abc",
                                  nullptr, nullptr, kHostileName},
                    RoundTripCase{"utf8HostileName", "MojiCodeSettei=1\r\n", PageEncoding::Utf8, "abc",
                                  nullptr, nullptr, kHostileName},
                    RoundTripCase{"html5HostileName", "KeishikiSettei=1\r\n", PageEncoding::Utf8, "abc",
                                  kHtml5Start, nullptr, kHostileName}),
    [](const testing::TestParamInfo<RoundTripCase> &info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Encodings, Utf8Set,
    testing::Values(RoundTripCase{"asciiTitle", "MojiCodeSettei=1\r\n", PageEncoding::Utf8, "abc"},
                    RoundTripCase{"japaneseTitle", "MojiCodeSettei=1\r\n", PageEncoding::Utf8,
                                  "春の便り"},
                    RoundTripCase{"html5", "KeishikiSettei=1\r\n", PageEncoding::Utf8, "春の便り",
                                  kHtml5Start}),
    [](const testing::TestParamInfo<RoundTripCase> &info) { return std::string(info.param.name); });

TEST(Encodings, utf8FilesAreTheShiftJisLinesWithTheDeclaration_andOtherSettingsKeepShiftJis)
{
    QTemporaryDir dir;
    // Only characters CP932 holds, so that both files carry the same text.
    PageSet set = sixPages(QStringLiteral("春の便り"));
    set.page(1).text = QStringLiteral("一行目\r\n二行目");
    set.page(2).standardAlt = QStringLiteral("写真");
    Program shiftJis(dir.filePath(QStringLiteral("0")), "MojiCodeSettei=0\r\n");
    Program utf8(dir.filePath(QStringLiteral("1")), "MojiCodeSettei=1\r\n");
    shiftJis.create(set);
    utf8.create(set);
    ASSERT_EQ(utf8.files(), shiftJis.files());
    for (const QString &name : shiftJis.files()) {
        const QByteArray old = shiftJis.file(name);
        EXPECT_FALSE(old.contains("charset")) << name.toStdString();
        QStringList lines = decodeCp932(old).split(QStringLiteral("\r\n"));
        lines.insert(2, QStringLiteral("<meta charset=\"UTF-8\">"));
        const QByteArray bytes = utf8.file(name);
        ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << name.toStdString();
        EXPECT_EQ(QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n")), lines)
            << name.toStdString();
    }

    // A missing key and any value but "1" give the Shift-JIS files, byte for byte.
    for (const char *setting : {"", "MojiCodeSettei=2\r\n", "MojiCodeSettei=UTF-8\r\n"}) {
        Program other(dir.filePath(QStringLiteral("other")), setting);
        other.create(set);
        for (const QString &name : shiftJis.files())
            EXPECT_TRUE(sameBytes(shiftJis.file(name), other.file(name))) << name.toStdString();
        QDir(dir.filePath(QStringLiteral("other"))).removeRecursively();
    }
}

} // namespace
