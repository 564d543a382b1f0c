// The page inputs on the main window: the kind rule and its chain of pages,
// the background kind rule, the colour dialog, the picture buttons and the
// text boxes' limit.

#include "ui/page_inputs/colour_code.h"
#include "app/main_window.h"
#include "ui/kit/form_layout.h"
#include "support/recording_desktop.h"
#include "support/ui_test_support.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <functional>

#include <gtest/gtest.h>

using namespace zelmora;
using zelmora::test::child;
using zelmora::test::onNextModal;

namespace {

class PageInputsTest : public testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<MainWindow>(desktop, initPortablePaths(dir.path()));
        test::visitEveryTab(window.get());
        window->show();
    }

    QWidget *w(const QString &name) { return child<QWidget>(window.get(), name); }
    QAbstractButton *option(int k, int index)
    {
        return child<QAbstractButton>(window.get(), QStringLiteral("Option%1_%2").arg(k).arg(index));
    }
    void click(int k, PageKind kind) { option(k, int(kind))->click(); }
    QString text(const QString &name) { return child<QLineEdit>(window.get(), name)->text(); }
    QString caption(const QString &name) { return child<QLabel>(window.get(), name)->text(); }

    // Which inputs of page k are open: text, standard (label, button, alt), wide.
    void expectOpen(int k, bool text, bool standard, bool wide)
    {
        SCOPED_TRACE(k);
        const QString n = QString::number(k);
        EXPECT_EQ(w(QStringLiteral("Text") + n)->isEnabled(), text);
        for (const QString &name : {QStringLiteral("Label%1_0").arg(n), QStringLiteral("OpenFiles_%1p").arg(n),
                                    QStringLiteral("p_Text") + n})
            EXPECT_EQ(w(name)->isEnabled(), standard) << name.toStdString();
        for (const QString &name : {QStringLiteral("Label%1_1").arg(n), QStringLiteral("OpenFiles_%1w").arg(n),
                                    QStringLiteral("w_Text") + n})
            EXPECT_EQ(w(name)->isEnabled(), wide) << name.toStdString();
    }
    bool frameOpen(int k) { return w(QStringLiteral("Frame%1").arg(k))->isEnabled(); }

    QTemporaryDir dir;
    test::RecordingDesktop desktop;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(PageInputsTest, startsWithOnlyPageOneOpenAndNothingChosen)
{
    EXPECT_TRUE(frameOpen(1));
    for (int k = 2; k <= 6; ++k)
        EXPECT_FALSE(frameOpen(k)) << k;
    for (int k = 1; k <= 6; ++k) {
        EXPECT_TRUE(option(k, 0)->isChecked()) << k;
        expectOpen(k, false, false, false);
    }
    EXPECT_TRUE(child<QAbstractButton>(window.get(), QStringLiteral("Option0_0"))->isChecked());
    EXPECT_TRUE(w(QStringLiteral("SelColor_BK"))->isEnabled());
    EXPECT_FALSE(w(QStringLiteral("OpenFiles_BK"))->isEnabled());
    EXPECT_EQ(window->pageSet(), PageSet{});
    // Start-up made the output folder beside the program.
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("Popleaf"))).exists());
    EXPECT_EQ(window->paths(), initPortablePaths(dir.path()));
}

TEST_F(PageInputsTest, textKindOpensTheTextAndTheNextPage)
{
    click(1, PageKind::Text);
    expectOpen(1, true, false, false);
    EXPECT_TRUE(frameOpen(2));
    EXPECT_FALSE(frameOpen(3));
}

TEST_F(PageInputsTest, switchingKindClosesButKeepsTheText)
{
    click(1, PageKind::Text);
    test::typeText(w(QStringLiteral("Text1")), QStringLiteral("残る"));
    click(1, PageKind::StandardPicture);
    expectOpen(1, false, true, false);
    EXPECT_EQ(window->pageSet().page(1).text, QStringLiteral("残る"));
    click(1, PageKind::WidePicture);
    expectOpen(1, false, false, true);
    EXPECT_TRUE(frameOpen(2));
}

TEST_F(PageInputsTest, pageBackToNoneClosesOnlyTheNextPage)
{
    for (int k = 1; k <= 5; ++k) {
        click(k, PageKind::Text);
        child<QPlainTextEdit>(window.get(), QStringLiteral("Text%1").arg(k))->setPlainText(QStringLiteral("p%1").arg(k));
    }
    const PageSet before = window->pageSet();

    click(3, PageKind::None);
    EXPECT_FALSE(frameOpen(4));
    EXPECT_TRUE(frameOpen(5));
    EXPECT_TRUE(frameOpen(6));
    PageSet expected = before;
    expected.page(3).kind = PageKind::None;
    EXPECT_EQ(window->pageSet(), expected) << "pages 4 and 5 keep their kinds and texts";

    click(3, PageKind::StandardPicture);
    EXPECT_TRUE(frameOpen(4));
}

TEST_F(PageInputsTest, pageSixOpensNoFurtherPage)
{
    PageSet set;
    for (Page &page : set.pages)
        page.kind = PageKind::Text;
    window->showPageSet(set);
    for (int k = 1; k <= 6; ++k)
        EXPECT_TRUE(frameOpen(k)) << k;
    click(6, PageKind::None);
    for (int k = 1; k <= 6; ++k)
        EXPECT_TRUE(frameOpen(k)) << k;
}

TEST_F(PageInputsTest, backgroundKindRuleSetsTheAttributeAndEmptiesTheValue)
{
    auto *value = child<QLineEdit>(window.get(), QStringLiteral("Text_BK"));
    value->setText(QStringLiteral("#123456"));
    child<QAbstractButton>(window.get(), QStringLiteral("Option0_1"))->click();
    EXPECT_EQ(caption(QStringLiteral("Label_BK")), QStringLiteral("BackGround="));
    EXPECT_EQ(value->text(), QString());
    EXPECT_FALSE(w(QStringLiteral("SelColor_BK"))->isEnabled());
    EXPECT_TRUE(w(QStringLiteral("OpenFiles_BK"))->isEnabled());

    value->setText(QStringLiteral("back.gif"));
    child<QAbstractButton>(window.get(), QStringLiteral("Option0_0"))->click();
    EXPECT_EQ(caption(QStringLiteral("Label_BK")), QStringLiteral("BgColor="));
    EXPECT_EQ(value->text(), QString());
    EXPECT_TRUE(w(QStringLiteral("SelColor_BK"))->isEnabled());
    EXPECT_FALSE(w(QStringLiteral("OpenFiles_BK"))->isEnabled());
}

struct ColourCase {
    QColor colour;
    const char *code;
};

class ColourCode : public testing::TestWithParam<ColourCase> {};

TEST_P(ColourCode, isRrggbbFromTheDialogsNumber)
{
    EXPECT_EQ(htmlColour(colorRef(GetParam().colour)), QString::fromLatin1(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(Examples, ColourCode,
                         testing::Values(ColourCase{QColor(0xFF, 0, 0), "#FF0000"},
                                         ColourCase{QColor(0, 0, 0xFF), "#0000FF"},
                                         ColourCase{QColor(0, 0, 0), "#000000"},
                                         ColourCase{QColor(0xFF, 0xFF, 0xFF), "#FFFFFF"},
                                         ColourCase{QColor(0x56, 0x34, 0x12), "#563412"},
                                         ColourCase{QColor(0, 0x0A, 0), "#000A00"}));

TEST(ColourCodeNumber, readsRedFromTheLowestByte)
{
    EXPECT_EQ(colorRef(QColor(0x56, 0x34, 0x12)), 0x123456u);
    EXPECT_EQ(htmlColour(0x0000FFu), QStringLiteral("#FF0000"));
    EXPECT_EQ(htmlColour(0xFF0000u), QStringLiteral("#0000FF"));
    EXPECT_EQ(htmlColour(0x000001u), QStringLiteral("#010000"));
}

TEST_F(PageInputsTest, colourDialogWritesTheChosenColour)
{
    onNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<QColorDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("CommonDialog1"));
        dialog->setCurrentColor(QColor(0x56, 0x34, 0x12));
        dialog->accept();
    });
    child<QAbstractButton>(window.get(), QStringLiteral("SelColor_BK"))->click();
    EXPECT_EQ(text(QStringLiteral("Text_BK")), QStringLiteral("#563412"));
    EXPECT_EQ(window->pageSet().backgroundAttribute, QStringLiteral("BgColor＝"));
}

TEST_F(PageInputsTest, cancelledColourDialogKeepsTheValue)
{
    child<QLineEdit>(window.get(), QStringLiteral("Text_BK"))->setText(QStringLiteral("#ABCDEF"));
    onNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<QColorDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->currentColor(), QColor(0xAB, 0xCD, 0xEF)) << "starts at the current value";
        dialog->setCurrentColor(Qt::green);
        dialog->reject();
    });
    child<QAbstractButton>(window.get(), QStringLiteral("SelColor_BK"))->click();
    EXPECT_EQ(text(QStringLiteral("Text_BK")), QStringLiteral("#ABCDEF"));
}

namespace {

// In the picker: checks its place, selects the named files in turn (none for
// an empty pick) and closes it with ＯＫ.
void pickInPicker(QWidget *mainWindow, QStringList names, QPoint offsetTwips)
{
    const QPoint expected = mainWindow->frameGeometry().topLeft() + twipsPoint(offsetTwips.x(), offsetTwips.y());
    onNextModal([names, expected](QWidget *modal) {
        EXPECT_EQ(modal->objectName(), QStringLiteral("Form5"));
        EXPECT_EQ(modal->frameGeometry().topLeft(), expected);
        auto *list = modal->findChild<QListWidget *>(QStringLiteral("File1"));
        for (const QString &name : names) {
            const auto found = list->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            list->setCurrentItem(found.first());
        }
        modal->findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
    });
}

} // namespace

TEST_F(PageInputsTest, pictureButtonsFillFileNameAndAlternativeText)
{
    for (const char *name : {"a.png", "b.png"})
        ASSERT_TRUE(test::patternImage(20, 10).save(dir.filePath(QStringLiteral("Popleaf/") + QString::fromLatin1(name))));
    click(1, PageKind::Text);
    click(2, PageKind::WidePicture);

    pickInPicker(window.get(), {QStringLiteral("a.png")}, QPoint(3615, 6090));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_2w"))->click();
    EXPECT_EQ(caption(QStringLiteral("Label2_1")), QStringLiteral("a.png"));
    EXPECT_EQ(text(QStringLiteral("w_Text2")), QStringLiteral("a.png"));
    EXPECT_EQ(caption(QStringLiteral("Label2_0")), QString()) << "the standard picture is another field";

    click(2, PageKind::StandardPicture);
    pickInPicker(window.get(), {QStringLiteral("a.png"), QStringLiteral("b.png")}, QPoint(3615, 4890));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_2p"))->click();
    EXPECT_EQ(caption(QStringLiteral("Label2_0")), QStringLiteral("b.png"));
    EXPECT_EQ(text(QStringLiteral("p_Text2")), QStringLiteral("b.png"));

    EXPECT_EQ(caption(QStringLiteral("Label2_1")), QStringLiteral("a.png"));
}

// Every way of closing the picker without selecting a file.
struct CancelCase {
    const char *name;
    std::function<void(QWidget *picker)> close;
};

void PrintTo(const CancelCase &c, std::ostream *os) { *os << c.name; }

class CancelledPick : public PageInputsTest, public testing::WithParamInterface<CancelCase> {};

TEST_P(CancelledPick, keepsTheFileNameAndTheTypedAlternativeText)
{
    ASSERT_TRUE(test::patternImage(20, 10).save(dir.filePath(QStringLiteral("Popleaf/a.png"))));
    click(1, PageKind::StandardPicture);
    pickInPicker(window.get(), {QStringLiteral("a.png")}, QPoint(3615, 4890));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_1p"))->click();
    ASSERT_EQ(caption(QStringLiteral("Label1_0")), QStringLiteral("a.png"));
    child<QLineEdit>(window.get(), QStringLiteral("p_Text1"))->setText(QStringLiteral("猫の写真"));
    child<QAbstractButton>(window.get(), QStringLiteral("Option0_1"))->click();
    pickInPicker(window.get(), {QStringLiteral("a.png")}, QPoint(3400, 695));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_BK"))->click();
    ASSERT_EQ(text(QStringLiteral("Text_BK")), QStringLiteral("a.png"));

    for (const char *button : {"OpenFiles_1p", "OpenFiles_BK"}) {
        bool closed = false;
        onNextModal([&](QWidget *picker) {
            EXPECT_EQ(picker->objectName(), QStringLiteral("Form5"));
            GetParam().close(picker);
            closed = !picker->isVisible();
        });
        child<QAbstractButton>(window.get(), QString::fromLatin1(button))->click();
        EXPECT_TRUE(closed) << button;
    }
    EXPECT_EQ(caption(QStringLiteral("Label1_0")), QStringLiteral("a.png"));
    EXPECT_EQ(text(QStringLiteral("p_Text1")), QStringLiteral("猫の写真"));
    EXPECT_EQ(text(QStringLiteral("Text_BK")), QStringLiteral("a.png"));
}

INSTANTIATE_TEST_SUITE_P(
    PageInputs, CancelledPick,
    testing::Values(
        CancelCase{"okWithoutSelecting",
                   [](QWidget *picker) {
                       picker->findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
                   }},
        // The close box and Alt+F4 both ask the window to close.
        CancelCase{"closeBox", [](QWidget *picker) { picker->close(); }},
        CancelCase{"escape", [](QWidget *picker) { QTest::keyClick(picker, Qt::Key_Escape); }}),
    [](const testing::TestParamInfo<CancelCase> &info) { return std::string(info.param.name); });

// Names that cannot stand in a page line are listed, but selecting one
// explains why and keeps the earlier pick; names that merely look odd are
// picked as they are.
struct PictureNameCase {
    const char *name;
    QByteArray file; // the name's bytes on disk
    QString listed;  // as the list shows it
    QString reason;  // empty: picked
};

void PrintTo(const PictureNameCase &c, std::ostream *os) { *os << c.name; }

class PictureName : public PageInputsTest, public testing::WithParamInterface<PictureNameCase> {};

TEST_P(PictureName, unusableNameIsListedButRefusedWithItsReason)
{
    const PictureNameCase &c = GetParam();
    for (const char *name : {"a.png", "b.png"})
        ASSERT_TRUE(test::patternImage(20, 10).save(dir.filePath(QStringLiteral("Popleaf/") + QString::fromLatin1(name))));
    // By its bytes: a name that is not UTF-8 has no QString that names it.
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("Popleaf/"))) + c.file;
    std::FILE *file = std::fopen(path.constData(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    click(1, PageKind::WidePicture);
    pickInPicker(window.get(), {QStringLiteral("a.png")}, QPoint(3615, 6090));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_1w"))->click();
    child<QLineEdit>(window.get(), QStringLiteral("w_Text1"))->setText(QStringLiteral("typed"));

    QString message;
    QStringList names;
    onNextModal([&](QWidget *picker) {
        auto *list = picker->findChild<QListWidget *>(QStringLiteral("File1"));
        for (int row = 0; row < list->count(); ++row)
            names << list->item(row)->text();
        const auto found = list->findItems(c.listed, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        // b.png first: a refused name leaves it the pick.
        const QListWidgetItem *b = list->findItems(QStringLiteral("b.png"), Qt::MatchExactly).value(0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(b).center());
        desktop.calls.clear();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.first()).center());
        // The window's desktop shows the picker's messages.
        for (const auto &call : desktop.calls) {
            if (call.kind == test::RecordingDesktop::Call::Warning)
                message = call.text;
        }
        if (!c.reason.isEmpty()) {
            EXPECT_EQ(list->selectedItems(), QList<QListWidgetItem *>{const_cast<QListWidgetItem *>(b)})
                << "the earlier pick stays selected";
            EXPECT_EQ(list->currentItem(), found.first()) << "the arrow keys go on from the refused name";
        }
        picker->findChild<QAbstractButton *>(QStringLiteral("Command1"))->click();
    });
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_1w"))->click();

    EXPECT_TRUE(names.contains(c.listed)) << "listed, so the user sees it";
    if (c.reason.isEmpty()) {
        EXPECT_TRUE(message.isEmpty());
        EXPECT_EQ(caption(QStringLiteral("Label1_1")), c.listed);
        EXPECT_EQ(text(QStringLiteral("w_Text1")), c.listed);
    } else {
        EXPECT_TRUE(message.startsWith(QStringLiteral("この画像は選べません。\n"))) << message.toStdString();
        EXPECT_TRUE(message.contains(c.reason)) << message.toStdString();
        EXPECT_EQ(caption(QStringLiteral("Label1_1")), QStringLiteral("b.png"));
        EXPECT_EQ(text(QStringLiteral("w_Text1")), QStringLiteral("b.png"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    PageInputs, PictureName,
    testing::Values(
        PictureNameCase{"lineBreak", "b\nc.gif", QStringLiteral("b\nc.gif"),
                        QStringLiteral("b[U+000A]c.gif\n理由: ファイル名に改行やタブなどの制御文字 (U+000A) があり")},
        PictureNameCase{"tab", "b\tc.gif", QStringLiteral("b\tc.gif"), QStringLiteral("制御文字 (U+0009)")},
        PictureNameCase{"doubleQuote", "b\"c.gif", QStringLiteral("b\"c.gif"),
                        QStringLiteral("ファイル名に「\"」があり、ページの画像の指定がそこで切れてしまいます。")},
        PictureNameCase{"notUtf8", "b\xFF\xFE.gif", QStringLiteral("b\uFFFD\uFFFD.gif"),
                        QStringLiteral("ファイル名が UTF-8 の文字になっていないため")},
        PictureNameCase{"apostropheAndMarkup", "it's <b>&amp;.gif", QStringLiteral("it's <b>&amp;.gif"), QString()},
        PictureNameCase{"replacementCharacterItself", "b\xEF\xBF\xBD.gif", QStringLiteral("b\uFFFD.gif"),
                        QString()}),
    [](const testing::TestParamInfo<PictureNameCase> &info) { return std::string(info.param.name); });

TEST_F(PageInputsTest, backgroundPictureComesFromThePicker)
{
    ASSERT_TRUE(test::patternImage(20, 10).save(dir.filePath(QStringLiteral("Popleaf/back.png"))));
    child<QAbstractButton>(window.get(), QStringLiteral("Option0_1"))->click();
    pickInPicker(window.get(), {QStringLiteral("back.png")}, QPoint(3400, 695));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_BK"))->click();
    EXPECT_EQ(text(QStringLiteral("Text_BK")), QStringLiteral("back.png"));

    // The window's close box keeps the pick as it stands: a selection made
    // before closing is the pick.
    onNextModal([](QWidget *modal) {
        auto *list = modal->findChild<QListWidget *>(QStringLiteral("File1"));
        list->setCurrentItem(list->findItems(QStringLiteral("back2.png"), Qt::MatchExactly).value(0));
        modal->close();
    });
    ASSERT_TRUE(test::patternImage(20, 10).save(dir.filePath(QStringLiteral("Popleaf/back2.png"))));
    child<QAbstractButton>(window.get(), QStringLiteral("OpenFiles_BK"))->click();
    EXPECT_EQ(text(QStringLiteral("Text_BK")), QStringLiteral("back2.png"));
}

TEST_F(PageInputsTest, textBoxStopsAtOneHundredTwentyCharacters)
{
    click(1, PageKind::Text);
    auto *box = child<QPlainTextEdit>(window.get(), QStringLiteral("Text1"));
    box->setFocus();
    test::typeText(box, QString(130, u'あ'));
    EXPECT_EQ(window->pageSet().page(1).text, QString(120, u'あ'));

    // Pasting: what fits is taken, also in place of a selection.
    box->clear();
    QGuiApplication::clipboard()->setText(QString(200, u'x'));
    box->paste();
    EXPECT_EQ(window->pageSet().page(1).text, QString(120, u'x'));
    box->selectAll();
    QGuiApplication::clipboard()->setText(QString(5, u'y') + QString(200, u'z'));
    box->paste();
    EXPECT_EQ(window->pageSet().page(1).text, QString(5, u'y') + QString(115, u'z'));

    // A line break is CR LF in the page set and takes two of the 120.
    box->clear();
    QTest::keyClicks(box, QString(119, u'a'));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(window->pageSet().page(1).text, QString(119, u'a'));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(window->pageSet().page(1).text, QString(118, u'a') + QStringLiteral("\r\n"));
    QGuiApplication::clipboard()->setText(QStringLiteral("more"));
    box->paste();
    EXPECT_EQ(window->pageSet().page(1).text.size(), 120);

    // A character outside the basic plane is two QString characters and is
    // never split.
    box->clear();
    QTest::keyClicks(box, QString(119, u'a'));
    QGuiApplication::clipboard()->setText(QStringLiteral("😀"));
    box->paste();
    EXPECT_EQ(window->pageSet().page(1).text, QString(119, u'a'));
}

TEST_F(PageInputsTest, textSetByTheProgramIsKeptWhole)
{
    PageSet set;
    set.page(1).kind = PageKind::Text;
    set.page(1).text = QString(150, u'長');
    window->showPageSet(set);
    EXPECT_EQ(window->pageSet().page(1).text, set.page(1).text);
}
